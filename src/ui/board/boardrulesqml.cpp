// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardrulesqml.h"

#include "boardcolors.h"

namespace korvana::board {

BoardRulesQml::BoardRulesQml(QObject *parent)
    : QObject(parent)
{
}

QColor BoardRulesQml::playerColor(const QString &name) const
{
    return board::playerColor(name);
}

QColor BoardRulesQml::screenColor(const QString &name) const
{
    return board::screenColor(name);
}

int BoardRulesQml::colorNumber(const QString &name) const
{
    return board::colorNumber(name);
}

} // namespace korvana::board
