// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

namespace korvana::board {

// A colour's mark as a small item: the chips and the tray show it beside or over their colour.
// Draws nothing for a colour number outside 1..4.
class ColorMark : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int colorNumber READ colorNumber WRITE setColorNumber NOTIFY colorNumberChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit ColorMark(QQuickItem *parent = nullptr);

    [[nodiscard]] int colorNumber() const { return m_colorNumber; }
    void setColorNumber(int number);
    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void colorNumberChanged();
    void colorChanged();

private:
    int m_colorNumber = 0;
    QColor m_color = Qt::white;
};

} // namespace korvana::board
