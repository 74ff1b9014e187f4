// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace korvana::board {

// The board's colour tables for QML, as `BoardColors`: BoardColors.screenColor("red").
class BoardColorsQml : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(BoardColors)
    QML_SINGLETON

public:
    explicit BoardColorsQml(QObject *parent = nullptr);

    // Gray for an unknown name.
    Q_INVOKABLE QColor playerColor(const QString &name) const;
    // White for an unknown name (the game screen's rule).
    Q_INVOKABLE QColor screenColor(const QString &name) const;
    // 1..4 for the four colour names in any letter case, else 0.
    Q_INVOKABLE int colorNumber(const QString &name) const;
};

} // namespace korvana::board
