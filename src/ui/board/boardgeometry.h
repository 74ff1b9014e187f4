// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace korvana::board {

// The largest centred square that fits `size`: where the board is drawn inside its item.
[[nodiscard]] QRectF fittedSquare(QSizeF size);

// The cell of a release on the board at `point` (board coordinates): each coordinate divided by
// the cell size and truncated toward zero, so a release less than a cell left of or above the
// board still gives 0. None outside the board, and for a board without area or cells.
[[nodiscard]] std::optional<Cell> releaseCell(QPointF point, double boardSide, int boardSize);

// The cell under a dragging finger at `point` relative to the board's frame: none unless the
// point lies inside the frame and on one of the 20 x 20 cells (cell size = frame width / 20).
[[nodiscard]] std::optional<Cell> dragCell(QPointF point, QSizeF frame);

// How a piece drawing lays its squares out in a square of side min(width, height) at the top
// left of the space: a unit per square with half a unit or more of margin, centred.
struct PreviewGeometry
{
    double side = 0;
    double unit = 0;
    double xOffset = 0;
    double yOffset = 0;
    double squareSide = 0;  // drawn side of each square
    QList<QPointF> centres; // one per well-formed square, in order
};
[[nodiscard]] PreviewGeometry previewGeometry(const Squares &squares, qint64 rotation, QSizeF size);

} // namespace korvana::board
