// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format.h"

namespace korvana::ui {

QString formatTimeLimit(qint64 seconds)
{
    // A negative limit cannot be chosen; reading it as "no limit" keeps a bad option harmless.
    if (seconds <= 0)
        return QStringLiteral("Bez limitu");
    if (seconds < 60)
        return QStringLiteral("%1s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min").arg(seconds / 60);
    return QStringLiteral("%1h").arg(seconds / 3600);
}

QString polishCount(qint64 count, const QString &one, const QString &few, const QString &many)
{
    // 2-4 take the "few" form, except 12-14; everything else but exactly 1 takes "many".
    const qint64 tens = count % 100;
    const qint64 units = count % 10;
    const QString &noun = count == 1                                             ? one
                          : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? few
                                                                                 : many;
    return QStringLiteral("%1 %2").arg(count).arg(noun);
}

QString formatStatistics(qint64 gamesPlayed, qint64 gamesWon)
{
    return polishCount(gamesPlayed, QStringLiteral("gra"), QStringLiteral("gry"),
                       QStringLiteral("gier")) +
           QStringLiteral(" • ") +
           polishCount(gamesWon, QStringLiteral("wygrana"), QStringLiteral("wygrane"),
                       QStringLiteral("wygranych"));
}

} // namespace korvana::ui
