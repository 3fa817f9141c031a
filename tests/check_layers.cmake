# The layers test, a rule of folders: every file under core/ includes, from this
# repository, only files under core/, and no module of Qt Gui or Qt Widgets. (A widget's
# own header does not build there at all: Qt Widgets is not on the core library's include
# path.)
#
#   cmake -DSOURCE_DIR=<repository> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE core RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/core/*.cpp ${SOURCE_DIR}/core/*.h)
set(crossings 0)
foreach(relative ${core})
    file(STRINGS ${SOURCE_DIR}/${relative} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
        if(line MATCHES "\"([^\"]+)\"")
            set(included ${CMAKE_MATCH_1})
            if(NOT included MATCHES "^core/" OR NOT EXISTS ${SOURCE_DIR}/${included})
                message("${relative}: includes ${included}, which is not in core/")
                math(EXPR crossings "${crossings} + 1")
            endif()
        elseif(line MATCHES "<(QtWidgets|QtGui)[/>]")
            message("${relative}: includes ${CMAKE_MATCH_1}, which the core library must not use")
            math(EXPR crossings "${crossings} + 1")
        endif()
    endforeach()
endforeach()
if(crossings GREATER 0)
    message(FATAL_ERROR "${crossings} include(s) cross the layers")
endif()
list(LENGTH core count)
message("${count} files under core/ include only what lies in core/")
