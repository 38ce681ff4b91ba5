# SPDX-License-Identifier: MIT
# Fails when a file includes a header of a layer above its own. Run by ctest as
#   cmake -DROOT=<source dir> -DLAYERS="support;net;..." -P CheckLayers.cmake
# LAYERS lists the layer folders lowest first; a layer may include itself and the layers before
# it. A test folder tests/<layer>/ is held to the same rule as <layer>.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT OR NOT LAYERS)
    message(FATAL_ERROR "CheckLayers: ROOT and LAYERS are required")
endif()

set(_violations 0)
set(_checked 0)
list(LENGTH LAYERS _count)
math(EXPR _last "${_count} - 1")
foreach(_i RANGE ${_last})
    list(GET LAYERS ${_i} _layer)
    # The layers this one may not include: every layer after it.
    set(_above "")
    if(_i LESS _last)
        math(EXPR _next "${_i} + 1")
        foreach(_j RANGE ${_next} ${_last})
            list(GET LAYERS ${_j} _upper)
            list(APPEND _above ${_upper})
        endforeach()
    endif()
    file(GLOB _files ${ROOT}/${_layer}/*.h ${ROOT}/${_layer}/*.cpp
                     ${ROOT}/tests/${_layer}/*.h ${ROOT}/tests/${_layer}/*.cpp)
    foreach(_file ${_files})
        math(EXPR _checked "${_checked} + 1")
        file(STRINGS ${_file} _includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^/\"]+/")
        foreach(_line ${_includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/.*" "\\1" _target "${_line}")
            if(_target IN_LIST _above)
                file(RELATIVE_PATH _rel ${ROOT} ${_file})
                message(SEND_ERROR "${_rel} (layer ${_layer}) includes ${_target}/: ${_line}")
                math(EXPR _violations "${_violations} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()
if(_violations GREATER 0)
    message(FATAL_ERROR "${_violations} include(s) climb the layer order")
endif()
message(STATUS "${_checked} files follow the layer order: ${LAYERS}")
