// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gametypes.h"

#include "variantinput.h"

namespace korvana::ui {

QString GameScreenFormat::formatTime(qint64 seconds)
{
    return ui::formatTime(seconds);
}

QString GameScreenFormat::pieceName(const QVariant &squares)
{
    return ui::pieceName(board::squaresFromVariant(squares));
}

QString GameScreenFormat::timerTone(qint64 secondsLeft)
{
    switch (ui::timerTone(secondsLeft)) {
    case TimerTone::Red:
        return QStringLiteral("red");
    case TimerTone::Orange:
        return QStringLiteral("orange");
    case TimerTone::White:
        break;
    }
    return QStringLiteral("white");
}

} // namespace korvana::ui
