// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "lobby.h"

namespace korvana::rooms {

// The time limits offered for a new room, shortest first. "No limit" is not among them: the
// client's picker has a row of its own for it.
[[nodiscard]] const QList<TimeOption> &timeOptions();

// A room may be created with any limit from 0 (none) to this many seconds.
inline constexpr qint64 MaxTimeLimitSeconds = 24 * 3600;

} // namespace korvana::rooms
