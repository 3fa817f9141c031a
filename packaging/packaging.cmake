# Installing and packaging: the program, its desktop menu entry, its icon in the theme sizes
# and its software-centre description; a .deb built by CPack on Linux.
include(GNUInstallDirs)

# The changelog names the maker too.
set(CPACK_PACKAGE_CONTACT "${VELMORA_PUBLISHER} <support@velmora.example>")

# On Windows the program's folder holds it all, the DLLs beside the executable.
if(WIN32)
    install(TARGETS velmora RUNTIME DESTINATION .)
else()
    install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX AND NOT APPLE)
    # The menu entry keeps the executable's name: Qt reports "velmora" as the window's
    # class and Wayland app id, and desktops match windows to entries by that name.
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/example.velmora.Velmora.metainfo.xml.in
        ${PROJECT_BINARY_DIR}/example.velmora.Velmora.metainfo.xml @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/example.velmora.Velmora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # What Debian asks of every package: a manual page per program, and the changelog and
    # copyright in the package's documentation folder; the first two compressed with
    # gzip -9n (no name or time stamp, so the package is the same on every build).
    configure_file(${CMAKE_CURRENT_LIST_DIR}/velmora.1 ${PROJECT_BINARY_DIR}/velmora.1 COPYONLY)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
    foreach(page velmora.1 changelog)
        execute_process(COMMAND gzip -9n -c ${PROJECT_BINARY_DIR}/${page}
            OUTPUT_FILE ${PROJECT_BINARY_DIR}/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    install(FILES ${PROJECT_BINARY_DIR}/velmora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
    foreach(size ${VELMORA_ICON_SIZES})
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velmora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME velmora.png)
    endforeach()

    if(VELMORA_BUILD_TESTS)
        add_test(NAME test_install
            COMMAND ${PROJECT_SOURCE_DIR}/tests/test_install.sh ${PROJECT_BINARY_DIR}
                    ${PROJECT_VERSION} "${VELMORA_ICON_SIZES}")
        set_tests_properties(test_install PROPERTIES TIMEOUT 120)
    endif()
endif()

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "${VELMORA_PUBLISHER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sorts the lines or words of text lists alphabetically")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VELMORA_HOME_PAGE}")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows/windows.cmake)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The Description field is the summary above, then this text; CPack starts each of
    # its lines with the one space Debian asks for (a line that already starts with one
    # would be shown as preformatted text).
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Velmora fills an input list from plain-text files or a built-in sample, sorts
its lines, or all their words, by character code, and saves the results as an
aligned text file or copies them to the clipboard.")
    # The Qt libraries (and with them the X11 platform plugin) come from the linked
    # libraries; the captions are laid out for Arial, whose metric twin Liberation Sans
    # stands in where Arial is not installed.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
    # Liberation has the letters of Latin with accents, Greek and Cyrillic; Japanese (and
    # the rest of Chinese and Korean) and emoji take these two, without which they are boxes.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, fonts-noto-color-emoji")
endif()
include(CPack)
