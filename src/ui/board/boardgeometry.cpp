// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardgeometry.h"

#include <algorithm>
#include <cmath>

namespace korvana::board {

QRectF fittedSquare(QSizeF size)
{
    const double side = std::max(0.0, std::min(size.width(), size.height()));
    if (!std::isfinite(side))
        return {};
    return {(size.width() - side) / 2, (size.height() - side) / 2, side, side};
}

namespace {

// trunc(value) when it is a cell index below `cells`; truncation maps (-1, 0) to 0.
std::optional<int> cellIndex(double value, int cells)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double index = std::trunc(value);
    if (index < 0 || index >= cells)
        return std::nullopt;
    return int(index);
}

} // namespace

std::optional<Cell> releaseCell(QPointF point, double boardSide, int boardSize)
{
    if (boardSize <= 0 || !(boardSide > 0) || !std::isfinite(boardSide))
        return std::nullopt;
    const double cellSize = boardSide / boardSize;
    if (!(cellSize > 0))
        return std::nullopt;
    const auto row = cellIndex(point.y() / cellSize, boardSize);
    const auto col = cellIndex(point.x() / cellSize, boardSize);
    if (!row || !col)
        return std::nullopt;
    return Cell{*row, *col};
}

std::optional<Cell> dragCell(QPointF point, QSizeF frame)
{
    const double x = point.x();
    const double y = point.y();
    if (!(x >= 0 && x < frame.width() && y >= 0 && y < frame.height()))
        return std::nullopt;
    const double cellSize = frame.width() / BoardCells;
    if (!(cellSize > 0))
        return std::nullopt;
    const auto row = cellIndex(y / cellSize, BoardCells);
    const auto col = cellIndex(x / cellSize, BoardCells);
    if (!row || !col)
        return std::nullopt;
    return Cell{*row, *col};
}

PreviewGeometry previewGeometry(const Squares &squares, qint64 rotation, QSizeF size)
{
    PreviewGeometry g;
    g.side = std::max(0.0, std::min(size.width(), size.height()));
    if (!std::isfinite(g.side))
        g.side = 0;

    // Spans in double: coordinates of a hostile piece may be anywhere in the qint64 range.
    const Squares rotated = rotatedSquares(squares, rotation);
    double minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    bool first = true;
    for (const Square &sq : rotated) {
        if (sq.size() < 2)
            continue;
        const double r = double(sq[0]);
        const double c = double(sq[1]);
        minRow = first ? r : std::min(minRow, r);
        maxRow = first ? r : std::max(maxRow, r);
        minCol = first ? c : std::min(minCol, c);
        maxCol = first ? c : std::max(maxCol, c);
        first = false;
    }
    const double rowSpan = maxRow - minRow + 1;
    const double colSpan = maxCol - minCol + 1;
    g.unit = g.side / (std::max({rowSpan, colSpan, 1.0}) + 1);
    g.xOffset = (g.side - g.unit * colSpan) / 2;
    g.yOffset = (g.side - g.unit * rowSpan) / 2;
    g.squareSide = std::max(g.unit - 1.5, 2.0);
    for (const Square &sq : rotated) {
        if (sq.size() < 2)
            continue;
        g.centres.append({g.xOffset + (double(sq[1]) - minCol) * g.unit + g.unit / 2,
                          g.yOffset + (double(sq[0]) - minRow) * g.unit + g.unit / 2});
    }
    return g;
}

} // namespace korvana::board
