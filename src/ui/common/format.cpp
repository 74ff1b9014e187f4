// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format.h"

#include <QCoreApplication>

namespace korvana::ui {

QString formatTimeLimit(qint64 seconds)
{
    // A negative limit cannot be chosen; reading it as "no limit" keeps a bad option harmless.
    if (seconds <= 0)
        return QCoreApplication::translate("Format", "Bez limitu");
    if (seconds < 60)
        return QStringLiteral("%1s").arg(seconds);
    if (seconds < 3600)
        return QCoreApplication::translate("Format", "%1 min").arg(seconds / 60);
    return QStringLiteral("%1h").arg(seconds / 3600);
}

} // namespace korvana::ui
