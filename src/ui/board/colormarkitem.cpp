// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "colormarkitem.h"

#include "colormarks.h"

#include <QPainter>

namespace korvana::board {

ColorMark::ColorMark(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void ColorMark::setColorNumber(int number)
{
    if (number == m_colorNumber)
        return;
    m_colorNumber = number;
    emit colorNumberChanged();
    update();
}

void ColorMark::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    emit colorChanged();
    update();
}

void ColorMark::paint(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(colorMarkPath(m_colorNumber, boundingRect()), m_color);
}

} // namespace korvana::board
