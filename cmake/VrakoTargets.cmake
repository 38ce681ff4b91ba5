# SPDX-License-Identifier: MIT
# Shared settings for project targets: strict warnings, optional sanitizers.

option(VRAKO_WERROR "Treat warnings in project code as errors (on in the presets, test.sh and CI)" OFF)

set(VRAKO_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast)
if(VRAKO_WERROR)
    list(APPEND VRAKO_WARNINGS -Werror -Wno-error=deprecated-declarations)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # GCC 12's optimiser reports impossible sizes inside inlined std::string code
        # (restrict, stringop-overflow); they stay warnings there.
        list(APPEND VRAKO_WARNINGS -Wno-error=restrict -Wno-error=stringop-overflow)
    endif()
endif()
set(VRAKO_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

function(vrako_setup_target target)
    target_compile_options(${target} PRIVATE ${VRAKO_WARNINGS})
    if(VRAKO_SANITIZE)
        target_compile_options(${target} PRIVATE ${VRAKO_SAN_FLAGS})
        target_link_options(${target} PRIVATE ${VRAKO_SAN_FLAGS})
    endif()
endfunction()

# A layer library built from every source in its folder; a folder's main.cpp is a program
# entry, not part of its library. LINKS are what its headers expose to its users; PRIVATE_LINKS
# only its sources use.
function(vrako_layer target)
    cmake_parse_arguments(ARG "" "" "LINKS;PRIVATE_LINKS" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
    add_library(${target} STATIC ${_src})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
    vrako_setup_target(${target})
    # Every string of the game's code that becomes a QString says which encoding it is in.
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII)
    if(VRAKO_SANITIZE)
        target_link_options(${target} INTERFACE ${VRAKO_SAN_FLAGS})
    endif()
endfunction()

# One Qt Test program per tst_*.cpp file in the calling folder, labelled with the folder's name
# (`ctest -L server` runs one layer). The folder's *_helper* sources are built once, as a
# library that every test program of the folder links.
function(vrako_tests)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    get_filename_component(_layer ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    file(GLOB _helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_helper*.cpp)
    set(_links Qt6::Test ${ARG_LINKS})
    if(_helpers)
        set(_helperlib vrako_test_helpers_${_layer})
        add_library(${_helperlib} STATIC ${_helpers})
        target_link_libraries(${_helperlib} PUBLIC ${_links})
        target_include_directories(${_helperlib} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        vrako_setup_target(${_helperlib})
        list(APPEND _links ${_helperlib})
    endif()
    foreach(_t ${_tests})
        get_filename_component(_name ${_t} NAME_WE)
        add_executable(${_name} ${_t})
        target_link_libraries(${_name} PRIVATE ${_links})
        target_include_directories(${_name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
        set_target_properties(${_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        vrako_setup_target(${_name})
        add_test(NAME ${_name} COMMAND ${_name})
        set_tests_properties(${_name} PROPERTIES
            LABELS ${_layer}
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VRAKO_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
            TIMEOUT 600)
    endforeach()
endfunction()
