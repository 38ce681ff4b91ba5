# SPDX-License-Identifier: MIT
# Shared settings for project targets: strict warnings, optional sanitizers.

set(VRAKO_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wno-error=deprecated-declarations)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12's optimiser reports impossible sizes inside inlined std::string code
    # (restrict, stringop-overflow); they stay warnings there.
    list(APPEND VRAKO_WARNINGS -Wno-error=restrict -Wno-error=stringop-overflow)
endif()
set(VRAKO_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

function(vrako_setup_target target)
    target_compile_options(${target} PRIVATE ${VRAKO_WARNINGS})
    if(VRAKO_SANITIZE)
        target_compile_options(${target} PRIVATE ${VRAKO_SAN_FLAGS})
        target_link_options(${target} PRIVATE ${VRAKO_SAN_FLAGS})
    endif()
endfunction()

# A layer library built from every source in its folder.
function(vrako_layer target)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    # A folder's main.cpp is a program entry, not part of its library.
    list(FILTER _src INCLUDE REGEX "\\.(cpp|qrc)$")
    list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
    if(NOT _src)
        # A layer whose code has not arrived yet still links.
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${ARG_LINKS})
        return()
    endif()
    file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    list(FILTER _all EXCLUDE REGEX "/main\\.cpp$")
    add_library(${target} STATIC ${_all})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
    vrako_setup_target(${target})
    if(VRAKO_SANITIZE)
        target_link_options(${target} INTERFACE ${VRAKO_SAN_FLAGS})
    endif()
endfunction()

# One Qt Test program per tst_*.cpp file in the calling folder.
function(vrako_tests)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    file(GLOB _helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_helper*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/*_helper*.h)
    foreach(_t ${_tests})
        get_filename_component(_name ${_t} NAME_WE)
        add_executable(${_name} ${_t} ${_helpers})
        target_link_libraries(${_name} PRIVATE Qt6::Test ${ARG_LINKS})
        target_include_directories(${_name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
        set_target_properties(${_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        vrako_setup_target(${_name})
        add_test(NAME ${_name} COMMAND ${_name})
        set_tests_properties(${_name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VRAKO_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
            TIMEOUT 600)
    endforeach()
endfunction()
