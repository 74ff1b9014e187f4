// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

namespace korvana::board {

// A shape painted once into an image at device resolution, and the rectangle it covers in item
// units. Scene-graph nodes draw these instead of geometry: the software renderer blits images
// cheaply but cannot draw custom geometry at all.
struct Sprite
{
    QImage image;
    QRectF rect;
};

// Background, grid and the four corner glows of a board of `boardSize` cells, relative to the
// board's top-left corner (the glows reach half a cell beyond it). Seats beyond `playerCount`
// glow dimly; glow i is left out where bit i of `hiddenGlows` is set (pieces cover its corner).
[[nodiscard]] Sprite backdropSprite(double cellSize, int boardSize, qsizetype playerCount,
                                    double dpr, int hiddenGlows = 0);

// The following are relative to the top-left corner of their cell. `mark`, where given, is the
// colour number whose mark (colormarks.h) is drawn over the shape in a dark tone; 0 draws none.
// An occupied cell in `color`.
[[nodiscard]] Sprite cellSprite(const QColor &color, double cellSize, double dpr, int mark = 0);
// The outline of the selected cell.
[[nodiscard]] Sprite selectionSprite(double cellSize, double dpr);
// The target's still parts: inner ring, dot, cross and the four corner brackets.
[[nodiscard]] Sprite crosshairSprite(const QColor &color, double cellSize, double dpr);
// The target's outer ring at scale 1, painted sharp enough to be scaled up to `maxScale`.
[[nodiscard]] Sprite pulseRingSprite(const QColor &color, double cellSize, double maxScale,
                                     double dpr);
// One square of the placement ghost.
[[nodiscard]] Sprite ghostSprite(const QColor &color, double cellSize, double dpr, int mark = 0);
// A move hint: a small dot in `color`, or the mark's shape in `color` when `mark` is given.
[[nodiscard]] Sprite hintSprite(const QColor &color, double cellSize, double dpr, int mark = 0);

// One square of a piece drawing of `unit`, relative to the square's centre.
[[nodiscard]] Sprite pieceSquareSprite(const QColor &color, double unit, bool shadow, double dpr,
                                       int mark = 0);

} // namespace korvana::board
