// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "colormarks.h"

#include "boardcolors.h"

#include <QTransform>

#include <algorithm>

namespace korvana::board {

QPainterPath colorMarkPath(int colorNumber, const QRectF &box)
{
    // Shapes are drawn in a unit square around the origin, then fitted to the box.
    QPainterPath path;
    switch (colorNumber) {
    case Blue:
        path.addEllipse(QPointF(0, 0), 0.3, 0.3);
        break;
    case Yellow:
        path.moveTo(0, -0.45);
        path.lineTo(0.5, 0.42);
        path.lineTo(-0.5, 0.42);
        path.closeSubpath();
        break;
    case Red:
        path.addRect(QRectF(-0.4, -0.4, 0.8, 0.8));
        break;
    case Green: {
        // Two bars crossing at right angles, turned by 45 degrees: an X.
        QPainterPath bars;
        bars.setFillRule(Qt::WindingFill); // the crossing is filled, not a hole
        bars.addRect(QRectF(-0.5, -0.13, 1.0, 0.26));
        bars.addRect(QRectF(-0.13, -0.5, 0.26, 1.0));
        path = QTransform().rotate(45).map(bars.simplified());
        break;
    }
    default:
        return path;
    }
    const double side = std::min(box.width(), box.height());
    return QTransform().translate(box.center().x(), box.center().y()).scale(side, side).map(path);
}

} // namespace korvana::board
