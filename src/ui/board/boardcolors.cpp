// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardcolors.h"

#include <QString>

namespace korvana::board {

QColor displayColor(int number)
{
    switch (number) {
    case Blue:
        return QColor::fromRgbF(0.2f, 0.6f, 0.9f);
    case Yellow:
        return QColor::fromRgbF(0.95f, 0.75f, 0.2f);
    case Red:
        return QColor::fromRgbF(0.9f, 0.25f, 0.3f);
    case Green:
        return QColor::fromRgbF(0.25f, 0.75f, 0.5f);
    default:
        return QColor(0, 0, 0, 0);
    }
}

QColor systemGray()
{
    return QColor(142, 142, 147);
}
QColor systemGreen()
{
    return QColor(48, 209, 88);
}
QColor systemRed()
{
    return QColor(255, 69, 58);
}
QColor systemYellow()
{
    return QColor(255, 214, 10);
}

int colorNumber(QStringView name)
{
    // Case-insensitive compare instead of toLower(): no allocation on the drag path.
    static constexpr QStringView names[] = {u"blue", u"yellow", u"red", u"green"};
    for (int i = 0; i < 4; ++i) {
        if (name.compare(names[i], Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return NoColor;
}

QColor playerColor(QStringView name)
{
    const int number = colorNumber(name);
    return number == NoColor ? systemGray() : displayColor(number);
}

QColor screenColor(QStringView name)
{
    const int number = colorNumber(name);
    return number == NoColor ? QColor(Qt::white) : displayColor(number);
}

QColor cellColor(qint64 value)
{
    return value >= Blue && value <= Green ? displayColor(int(value)) : QColor(0, 0, 0, 0);
}

} // namespace korvana::board
