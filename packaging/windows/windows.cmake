# What the Windows packages ship, in this one place: the portable zip (CPack's ZIP) and the
# installer (installer.nsi.in) are both made from the install tree these rules fill, and
# scripts/windows_package.sh checks that nothing the program loads is missing from it.
# There is no windeployqt for a cross build, so the list is kept by hand.

# The Qt libraries velmora.exe links, and the plugins it loads at run time: the platform
# plugin that draws its window, the .ico/.cur reader for HAND-M.CUR, and the native style.
set(VELMORA_WINDOWS_QT_DLLS Qt6Core Qt6Gui Qt6Widgets)
set(VELMORA_WINDOWS_QT_PLUGINS platforms/qwindows imageformats/qico styles/qwindowsvistastyle)
# MinGW's C++ runtime, unwinder and threads; every other DLL comes with Windows.
set(VELMORA_WINDOWS_RUNTIME_DLLS libstdc++-6 libgcc_s_seh-1 libwinpthread-1)

set(qt_bin "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
set(qt_plugins "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")
foreach(dll ${VELMORA_WINDOWS_QT_DLLS})
    install(FILES "${qt_bin}/${dll}.dll" DESTINATION .)
endforeach()
foreach(plugin ${VELMORA_WINDOWS_QT_PLUGINS})
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES "${qt_plugins}/${plugin}.dll" DESTINATION ${folder})
endforeach()
# The cross toolchain names the runtime's folders; a native MinGW keeps them beside gcc.
if(NOT VELMORA_MINGW_RUNTIME_DIRS)
    get_filename_component(VELMORA_MINGW_RUNTIME_DIRS "${CMAKE_CXX_COMPILER}" DIRECTORY)
endif()
foreach(dll ${VELMORA_WINDOWS_RUNTIME_DLLS})
    find_file(VELMORA_RUNTIME_${dll} ${dll}.dll PATHS ${VELMORA_MINGW_RUNTIME_DIRS}
        NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    install(FILES "${VELMORA_RUNTIME_${dll}}" DESTINATION .)
endforeach()

# The licences: ours, and Qt's (the LGPL 3, which takes in the GPL 3), with where the
# source of the Qt that ships comes from.
set(VELMORA_LICENCE_FOLDER /usr/share/common-licenses CACHE PATH
    "Where this machine keeps the LGPL 3 and GPL 3 texts")
configure_file(${CMAKE_CURRENT_LIST_DIR}/qt-source.txt.in ${PROJECT_BINARY_DIR}/QT-SOURCE.txt @ONLY
    NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt COPYONLY)
configure_file(${VELMORA_LICENCE_FOLDER}/LGPL-3 ${PROJECT_BINARY_DIR}/Qt-LGPL-3.txt COPYONLY)
configure_file(${VELMORA_LICENCE_FOLDER}/GPL-3 ${PROJECT_BINARY_DIR}/Qt-GPL-3.txt COPYONLY)
install(FILES ${PROJECT_BINARY_DIR}/LICENSE.txt ${PROJECT_BINARY_DIR}/QT-SOURCE.txt
              ${PROJECT_BINARY_DIR}/Qt-LGPL-3.txt ${PROJECT_BINARY_DIR}/Qt-GPL-3.txt
        DESTINATION licenses)

# The installer's script, with the names and version filled in; makensis runs it on the
# staged install tree (scripts/windows_package.sh).
configure_file(${CMAKE_CURRENT_LIST_DIR}/installer.nsi.in ${PROJECT_BINARY_DIR}/installer.nsi @ONLY)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME velmora-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
