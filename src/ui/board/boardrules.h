// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

#include <QList>
#include <QStringView>

#include <optional>

namespace korvana::board {

// Cells per side of the board that placements are checked against.
inline constexpr int BoardCells = 20;

struct Cell
{
    int row = 0;
    int col = 0;
    bool operator==(const Cell &) const = default;
};

// The cell that square [dr, dc] lands on from anchor (row, col), or none when the square is
// malformed or lands off a board of `boardSize` cells.
[[nodiscard]] std::optional<Cell> squareCell(qint64 row, qint64 col, const Square &square,
                                             int boardSize = BoardCells);

// k = rotation mod 360, made non-negative.
[[nodiscard]] int normalizedRotation(qint64 rotation);

// Turns a piece about its anchor: 90 gives [-c, r], 180 [-r, -c], 270 [c, -r], any other angle
// leaves it unchanged. Order kept, no normalisation. Extra coordinates of a square are dropped; a
// square with fewer than two is copied unchanged so that a later check can refuse it.
[[nodiscard]] Squares rotatedSquares(const Squares &squares, qint64 rotation);

// The client's placement check for the drag preview: every square on an empty cell of the
// 20 x 20 board; a colour's first piece covers a board corner, a later one touches the colour
// at a corner and never along a side. Malformed input (no squares, a square with fewer than two
// coordinates, a board with fewer than 20 rows or columns) is never valid.
[[nodiscard]] bool isPlacementValid(const Squares &squares, qint64 rotation, qint64 row, qint64 col,
                                    const Board &board, QStringView colorName);

// Every anchor cell on the board where isPlacementValid holds, row by row.
[[nodiscard]] QList<Cell> validCells(const Squares &squares, qint64 rotation, const Board &board,
                                     QStringView colorName);

// Whether the piece fits somewhere on the board in any of the four rotations.
[[nodiscard]] bool fitsAnywhere(const Squares &squares, const Board &board, QStringView colorName);

} // namespace korvana::board
