# SPDX-FileCopyrightText: 2026 Korvana developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs at install time, when the prefix is known: writes the desktop entry and the service with the
# installed paths in them, and installs them with the service's settings. Under the prefix /usr
# (the Debian package) the settings go to /etc, as GNUInstallDirs has it.
set(KORVANA_GAMES_PATH "${CMAKE_INSTALL_PREFIX}/${KORVANA_INSTALL_GAMESDIR}")
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(KORVANA_SYSCONF_PATH /etc)
else()
    set(KORVANA_SYSCONF_PATH "${CMAKE_INSTALL_PREFIX}/etc")
endif()

set(staging "${KORVANA_PACKAGING_BINARY}/install-paths")
foreach(file org.korvana.Korvana.desktop korvana-server.service)
    configure_file("${KORVANA_PACKAGING_SOURCE}/${file}.in" "${staging}/${file}" @ONLY)
endforeach()

file(INSTALL "${staging}/org.korvana.Korvana.desktop"
    DESTINATION "${CMAKE_INSTALL_PREFIX}/${KORVANA_INSTALL_DATADIR}/applications")
file(INSTALL "${staging}/korvana-server.service"
    DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system")
file(INSTALL "${KORVANA_PACKAGING_SOURCE}/korvana-server.default"
    DESTINATION "${KORVANA_SYSCONF_PATH}/default" RENAME korvana-server)
