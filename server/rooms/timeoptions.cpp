// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "timeoptions.h"

namespace korvana::rooms {

const QList<TimeOption> &timeOptions()
{
    static const QList<TimeOption> options{
        {6, QStringLiteral("1 minuta"), 60},       {7, QStringLiteral("3 minuty"), 3 * 60},
        {1, QStringLiteral("5 minut"), 5 * 60},    {2, QStringLiteral("10 minut"), 10 * 60},
        {3, QStringLiteral("15 minut"), 15 * 60},  {4, QStringLiteral("30 minut"), 30 * 60},
        {5, QStringLiteral("1 godzina"), 60 * 60},
    };
    return options;
}

} // namespace korvana::rooms
