// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace korvana {

// Replaces the value of every "token" member so bearer tokens never reach a log line.
QString maskTokens(const QString &body);

} // namespace korvana
