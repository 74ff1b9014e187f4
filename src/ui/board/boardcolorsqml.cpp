// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardcolorsqml.h"

#include "boardcolors.h"

namespace korvana::board {

BoardColorsQml::BoardColorsQml(QObject *parent)
    : QObject(parent)
{
}

QColor BoardColorsQml::playerColor(const QString &name) const
{
    return board::playerColor(name);
}

QColor BoardColorsQml::screenColor(const QString &name) const
{
    return board::screenColor(name);
}

int BoardColorsQml::colorNumber(const QString &name) const
{
    return board::colorNumber(name);
}

} // namespace korvana::board
