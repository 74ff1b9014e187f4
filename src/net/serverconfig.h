// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace korvana {

// The server address given for this run (KORVANA_SERVER_URL), without trailing slashes; empty
// when none is given and the player's own choice applies.
QString serverUrlForThisRun();

// The port the server on this computer prefers: the one of the build's default address (8765).
quint16 localServerPort();

} // namespace korvana
