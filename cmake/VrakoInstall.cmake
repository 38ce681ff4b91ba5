# SPDX-License-Identifier: MIT
# Installs the game like any Linux desktop game (the programs, a desktop entry, hicolor icons,
# AppStream metadata, manual pages) and describes the Debian package `cpack -G DEB` builds.
include(GNUInstallDirs)

set(VRAKO_APP_ID io.github.vrako.Vrako)
set(_vrako_linux ${PROJECT_SOURCE_DIR}/assets/linux)

install(TARGETS vrako vrako-server vrako-lzrw1 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_vrako_linux}/${VRAKO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_vrako_linux}/${VRAKO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${_vrako_linux}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${_vrako_linux}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vrako)

# Manual pages are installed compressed, as Debian expects them.
set(_vrako_pages vrako.6 vrako-server.6 vrako-lzrw1.1)
set(_vrako_gz)
foreach(_page ${_vrako_pages})
    set(_gz ${CMAKE_BINARY_DIR}/man/${_page}.gz)
    add_custom_command(
        OUTPUT ${_gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${_vrako_linux}/man/${_page} ${_gz}
        DEPENDS ${_vrako_linux}/man/${_page}
        COMMENT "Compressing manual page ${_page}"
        VERBATIM)
    string(REGEX MATCH "[0-9]$" _section ${_page})
    install(FILES ${_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${_section})
    list(APPEND _vrako_gz ${_gz})
endforeach()
add_custom_target(vrako_manpages ALL DEPENDS ${_vrako_gz})

# Installs into a temporary folder and checks the installed files with the validators.
if(NOT DEFINED BUILD_TESTING OR BUILD_TESTING)
    add_test(NAME tst_install
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/install_check.sh ${CMAKE_BINARY_DIR}
                     ${PROJECT_SOURCE_DIR} ${PROJECT_VERSION} ${VRAKO_APP_ID})
    set_tests_properties(tst_install PROPERTIES TIMEOUT 300)
endif()

# The Debian package: cpack -G DEB in a release build gives vrako_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME vrako)
set(CPACK_PACKAGE_VENDOR "The Vrako developers")
set(CPACK_PACKAGE_CONTACT "The Vrako developers <vrako@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "four-seat card game with chat, spectators and computer players")
set(CPACK_PACKAGE_DESCRIPTION
    "Players take turns to play a card that matches the current colour, or whose number is the \
same as the top card or one more or less than it, or a special card. Started without arguments, \
Vrako is a solo game against three computer players; over the network one copy hosts and the \
others join, and everybody at the table shares a chat. Includes vrako-server, the game server \
without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/vrako/vrako)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot find them: the X11/Wayland platform plugins
# and the fonts the table's fixed label sizes are measured for. The Avahi client library is
# linked, so the scan finds it too; it is named here as well so that the dependency does not
# hang on the scan alone.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, libavahi-client3")
# Tables are announced and found on the local network only where the Avahi daemon runs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avahi-daemon")
include(CPack)
