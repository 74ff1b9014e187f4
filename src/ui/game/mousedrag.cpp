// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mousedrag.h"

#include "boardrules.h"

#include <algorithm>

namespace korvana::ui {

QPointF grabOffsetCells(const Squares &squares, qint64 rotation, QPointF point, double side)
{
    const Squares turned = board::rotatedSquares(squares, rotation);
    if (turned.isEmpty() || !(side > 0))
        return {};
    qint64 minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    bool first = true;
    for (const Square &square : turned) {
        if (square.size() < 2)
            return {};
        const qint64 r = square[0], c = square[1];
        minRow = first ? r : std::min(minRow, r);
        maxRow = first ? r : std::max(maxRow, r);
        minCol = first ? c : std::min(minCol, c);
        maxCol = first ? c : std::max(maxCol, c);
        first = false;
    }
    const double rowSpan = double(maxRow - minRow + 1);
    const double colSpan = double(maxCol - minCol + 1);
    const double unit = side / (std::max({rowSpan, colSpan, 1.0}) + 1);
    const double xOffset = (side - unit * colSpan) / 2;
    const double yOffset = (side - unit * rowSpan) / 2;
    // Piece coordinates: square (r, c) is centred on (c + 0.5, r + 0.5).
    const double col = (point.x() - xOffset) / unit + double(minCol);
    const double row = (point.y() - yOffset) / unit + double(minRow);
    // The square nearest the point; of equals, the earlier (the anchor comes first).
    QPointF best;
    double bestDistance = -1;
    for (const Square &square : turned) {
        const double dx = col - (double(square[1]) + 0.5);
        const double dy = row - (double(square[0]) + 0.5);
        const double distance = dx * dx + dy * dy;
        if (bestDistance < 0 || distance < bestDistance - 1e-9) {
            bestDistance = distance;
            best = QPointF(double(square[1]), double(square[0]));
        }
    }
    return best;
}

} // namespace korvana::ui
