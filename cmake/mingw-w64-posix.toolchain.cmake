# Cross-builds for 64-bit Windows with Debian's MinGW-w64, posix thread model (the program
# uses std::jthread, which the win32 model lacks), against the Qt for Windows that
# scripts/windows_qt.sh puts in the cache. Test and benchmark executables run under Wine
# through scripts/wine_run.sh, so ctest runs the .exe files as it runs native ones.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_velmora_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_velmora_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_velmora_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_velmora_triplet}-windres)
set(CMAKE_AR /usr/bin/${_velmora_triplet}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${_velmora_triplet}-ranlib CACHE FILEPATH "")

# Building Qt itself (scripts/windows_qt.sh) takes only the compilers.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_TOOLCHAIN_COMPILERS_ONLY)
if(VELMORA_TOOLCHAIN_COMPILERS_ONLY)
    list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_velmora_triplet})
    set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
    set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
    return()
endif()

# Where Qt for Windows is: VELMORA_QT_WINDOWS (cache or environment), else the cache
# folder scripts/windows_qt.sh fills.
if(NOT VELMORA_QT_WINDOWS)
    if(DEFINED ENV{VELMORA_QT_WINDOWS})
        set(VELMORA_QT_WINDOWS "$ENV{VELMORA_QT_WINDOWS}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
        set(VELMORA_QT_WINDOWS "$ENV{XDG_CACHE_HOME}/velmora/qt-6.4.2-mingw")
    else()
        set(VELMORA_QT_WINDOWS "$ENV{HOME}/.cache/velmora/qt-6.4.2-mingw")
    endif()
endif()
set(VELMORA_QT_WINDOWS "${VELMORA_QT_WINDOWS}" CACHE PATH "Qt 6 for Windows (MinGW)")
# try_compile projects see the toolchain file again, and need the same folder.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_QT_WINDOWS)
if(NOT EXISTS "${VELMORA_QT_WINDOWS}/lib/cmake/Qt6/Qt6Config.cmake")
    message(FATAL_ERROR "No Qt for Windows in ${VELMORA_QT_WINDOWS}: run scripts/windows_qt.sh")
endif()

# Libraries and headers come from the MinGW sysroot and that Qt only; programs (moc, rcc,
# uic, wine) from this machine, whose Qt must be the same version.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_velmora_triplet} "${VELMORA_QT_WINDOWS}")
list(APPEND CMAKE_PREFIX_PATH "${VELMORA_QT_WINDOWS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr CACHE PATH "")
set(Qt6HostInfo_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo CACHE PATH "")

# The MinGW runtime DLLs every executable needs beside it or on Wine's path.
set(VELMORA_MINGW_RUNTIME_DIRS /usr/lib/gcc/${_velmora_triplet}/12-posix
    /usr/${_velmora_triplet}/lib CACHE STRING "")

get_filename_component(_velmora_source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_velmora_source}/scripts/wine_run.sh"
    "${VELMORA_QT_WINDOWS}/bin" ${VELMORA_MINGW_RUNTIME_DIRS} --)
