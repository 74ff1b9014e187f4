// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "board.h"
#include "pieces.h"

#include <QString>

#include <array>
#include <span>
#include <vector>

namespace korvana::rules {

enum class PlacementVerdict {
    Valid,
    NoSquares,       // a piece without squares is never valid
    OffBoard,        // a square falls outside 0..19
    Occupied,        // a square lands on a taken cell
    NotOnCorner,     // first piece of the colour covers no board corner
    SideContact,     // a square shares a side with the colour's own cell
    NoCornerContact, // no square touches the colour's own cell at a corner
};

// The client's placement check (its drag preview), square by square, with the reason of a
// refusal. `squares` are unrotated; `me` is the colour number (0 behaves as the client's).
[[nodiscard]] PlacementVerdict checkPlacement(const CellGrid &board,
                                              std::span<const SquareOffset> squares, int rotation,
                                              int row, int col, int me);
[[nodiscard]] inline bool isPlacementValid(const CellGrid &board,
                                           std::span<const SquareOffset> squares, int rotation,
                                           int row, int col, int me)
{
    return checkPlacement(board, squares, rotation, row, col, me) == PlacementVerdict::Valid;
}
// Polish reason for a refusal, e.g. "klocek wychodzi poza planszę"; empty for Valid.
[[nodiscard]] QString verdictText(PlacementVerdict verdict);

// The board corner whose glow marks colour 1..4: blue top-left, yellow top-right, red
// bottom-right, green bottom-left. Bots open there while it is free.
[[nodiscard]] constexpr SquareOffset homeCorner(int color)
{
    constexpr int Last = BoardSize - 1;
    constexpr std::array<SquareOffset, 4> Corners{{{0, 0}, {0, Last}, {Last, Last}, {Last, 0}}};
    return Corners[std::size_t(color - 1) % Corners.size()];
}

// Where colour `me` (1..4) may put squares: `free` cells are empty and share no side with `me`;
// `anchorable` cells are the free cells that would satisfy the contact rule (diagonal to `me`,
// or an empty board corner while `me` has no cell yet).
struct PlacementMasks
{
    BitBoard free;
    BitBoard anchorable;
    bool isFirstMove = false;
};
[[nodiscard]] PlacementMasks placementMasks(const CellGrid &board, int me);

// Every anchor cell (row, col) at which the already rotated `squares` are a legal placement.
// Agrees with checkPlacement on every cell of the board.
[[nodiscard]] BitBoard validAnchors(const PlacementMasks &masks,
                                    std::span<const SquareOffset> squares);
[[nodiscard]] BitBoard validAnchors(const CellGrid &board, int me, int piece, int rotationIdx);

struct LegalMove
{
    int piece = 0;    // catalogue index
    int rotation = 0; // degrees: 0, 90, 180, 270
    int row = 0;      // anchor cell
    int col = 0;
    bool operator==(const LegalMove &) const = default;
};

// Pieces still in hand, by catalogue index.
using PieceSet = std::array<bool, PieceCount>;

// All legal placements of the available pieces for colour `me`. With `distinctShapesOnly`,
// rotations that give the same shape as an earlier one are skipped (every covered cell set still
// appears once per anchor that reaches it), which is what a bot wants.
[[nodiscard]] std::vector<LegalMove> legalMoves(const CellGrid &board, int me,
                                                const PieceSet &available,
                                                bool distinctShapesOnly = false);
[[nodiscard]] bool hasLegalMove(const CellGrid &board, int me, const PieceSet &available);

} // namespace korvana::rules
