// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace korvana::rooms {

// The lobby's name of a room, in Polish: "Pokój Anny" for names that decline like a woman's
// name ending in -a, else "Pokój gracza <name>", which needs no declension.
[[nodiscard]] QString roomName(const QString &creator);

} // namespace korvana::rooms
