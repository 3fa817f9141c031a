# Installing and packaging: the program, its desktop menu entry, its icon in the theme sizes
# and its software-centre description; a .deb built by CPack on Linux.
include(GNUInstallDirs)

install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    # The menu entry keeps the executable's name: Qt reports "velmora" as the window's
    # class and Wayland app id, and desktops match windows to entries by that name.
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/example.velmora.Velmora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velmora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME velmora.png)
    endforeach()

    if(VELMORA_BUILD_TESTS)
        add_test(NAME test_install
            COMMAND ${PROJECT_SOURCE_DIR}/tests/test_install.sh ${PROJECT_BINARY_DIR}
                    ${PROJECT_VERSION})
        set_tests_properties(test_install PROPERTIES TIMEOUT 120)
    endif()
endif()

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Team Tarnwick")
set(CPACK_PACKAGE_CONTACT "Team Tarnwick <support@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sorts the lines or words of text lists alphabetically")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.velmora.example/")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "sorts the lines or words of text lists alphabetically
 Velmora fills an input list from plain-text files or a built-in sample, sorts
 its lines, or all their words, by character code, and saves the results as an
 aligned text file or copies them to the clipboard.")
    # The Qt libraries (and with them the X11 platform plugin) come from the linked
    # libraries; the captions are laid out for Arial, whose metric twin Liberation Sans
    # stands in where Arial is not installed.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
endif()
include(CPack)
