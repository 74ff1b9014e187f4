// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "legality.h"

using namespace Qt::StringLiterals;

namespace korvana::rules {

PlacementVerdict checkPlacement(const CellGrid &board, std::span<const SquareOffset> squares,
                                int rotation, int row, int col, int me)
{
    if (squares.empty())
        return PlacementVerdict::NoSquares;
    const auto rotated = rotatedSquares(squares, rotation);
    for (const auto &[dr, dc] : rotated) {
        const int r = row + dr;
        const int c = col + dc;
        if (!isInside(r, c))
            return PlacementVerdict::OffBoard;
        if (board.at(r, c) != Empty)
            return PlacementVerdict::Occupied;
    }

    const auto holdsMe = [&](int r, int c) { return isInside(r, c) && board.at(r, c) == me; };
    bool corner = false;
    bool diagonal = false;
    bool edge = false;
    constexpr int Last = BoardSize - 1;
    for (const auto &[dr, dc] : rotated) {
        const int r = row + dr;
        const int c = col + dc;
        corner = corner || ((r == 0 || r == Last) && (c == 0 || c == Last));
        diagonal = diagonal || holdsMe(r - 1, c - 1) || holdsMe(r - 1, c + 1) ||
                   holdsMe(r + 1, c - 1) || holdsMe(r + 1, c + 1);
        edge = edge || holdsMe(r - 1, c) || holdsMe(r + 1, c) || holdsMe(r, c - 1) ||
               holdsMe(r, c + 1);
    }

    bool hasOwnCell = false;
    for (const auto cell : board.cells)
        hasOwnCell = hasOwnCell || cell == me;
    if (!hasOwnCell)
        return corner ? PlacementVerdict::Valid : PlacementVerdict::NotOnCorner;
    if (edge)
        return PlacementVerdict::SideContact;
    return diagonal ? PlacementVerdict::Valid : PlacementVerdict::NoCornerContact;
}

QString verdictText(PlacementVerdict verdict)
{
    switch (verdict) {
    case PlacementVerdict::Valid:
        return {};
    case PlacementVerdict::NoSquares:
        return u"klocek nie ma kształtu"_s;
    case PlacementVerdict::OffBoard:
        return u"klocek wychodzi poza planszę"_s;
    case PlacementVerdict::Occupied:
        return u"pole jest już zajęte"_s;
    case PlacementVerdict::NotOnCorner:
        return u"pierwszy klocek musi zająć róg planszy"_s;
    case PlacementVerdict::SideContact:
        return u"klocek nie może stykać się bokiem z klockiem twojego koloru"_s;
    case PlacementVerdict::NoCornerContact:
        return u"klocek musi stykać się rogiem z klockiem twojego koloru"_s;
    }
    return {};
}

PlacementMasks placementMasks(const CellGrid &board, int me)
{
    const BitBoard own = cellsOf(board, me);
    const BitBoard taken = occupiedCells(board);
    const BitBoard up = shifted(own, 1, 0), down = shifted(own, -1, 0);
    const BitBoard left = shifted(own, 0, 1), right = shifted(own, 0, -1);
    const BitBoard d1 = shifted(own, 1, 1), d2 = shifted(own, 1, -1);
    const BitBoard d3 = shifted(own, -1, 1), d4 = shifted(own, -1, -1);

    PlacementMasks masks;
    masks.isFirstMove = !own.any();
    for (int r = 0; r < BoardSize; ++r) {
        const std::uint32_t side = up.rows[r] | down.rows[r] | left.rows[r] | right.rows[r];
        masks.free.rows[r] = ~(taken.rows[r] | side) & BitBoard::RowMask;
        if (!masks.isFirstMove)
            masks.anchorable.rows[r] =
                (d1.rows[r] | d2.rows[r] | d3.rows[r] | d4.rows[r]) & masks.free.rows[r];
    }
    if (masks.isFirstMove) {
        constexpr int Last = BoardSize - 1;
        for (const auto &[r, c] : {SquareOffset{0, 0}, SquareOffset{0, Last}, SquareOffset{Last, 0},
                                   SquareOffset{Last, Last}})
            if (board.at(r, c) == Empty)
                masks.anchorable.set(r, c);
    }
    return masks;
}

BitBoard validAnchors(const PlacementMasks &masks, std::span<const SquareOffset> squares)
{
    BitBoard all;
    BitBoard touch;
    if (squares.empty())
        return all;
    all.rows.fill(BitBoard::RowMask);
    for (const auto &[dr, dc] : squares) {
        // The anchor (r, c) puts this square on (r + dr, c + dc).
        for (int r = 0; r < BoardSize; ++r) {
            const int from = r + dr;
            if (from < 0 || from >= BoardSize) {
                all.rows[r] = 0;
                continue;
            }
            const auto shift = [dc](std::uint32_t bits) {
                return dc >= 0 ? bits >> dc : (bits << -dc) & BitBoard::RowMask;
            };
            all.rows[r] &= shift(masks.free.rows[from]);
            touch.rows[r] |= shift(masks.anchorable.rows[from]);
        }
    }
    for (int r = 0; r < BoardSize; ++r)
        all.rows[r] &= touch.rows[r];
    return all;
}

BitBoard validAnchors(const CellGrid &board, int me, int piece, int rotationIdx)
{
    return validAnchors(placementMasks(board, me), orientedSquares(piece, rotationIdx));
}

std::vector<LegalMove> legalMoves(const CellGrid &board, int me, const PieceSet &available,
                                  bool distinctShapesOnly)
{
    static constexpr std::array<int, RotationCount> AllRotations{0, 1, 2, 3};
    const PlacementMasks masks = placementMasks(board, me);
    std::vector<LegalMove> moves;
    for (int p = 0; p < PieceCount; ++p) {
        if (!available[p])
            continue;
        const std::span<const int> rotations =
            distinctShapesOnly ? distinctRotations(p) : std::span<const int>(AllRotations);
        for (const int k : rotations) {
            validAnchors(masks, orientedSquares(p, k)).forEach([&](int r, int c) {
                moves.push_back({p, Rotations[k], r, c});
            });
        }
    }
    return moves;
}

bool hasLegalMove(const CellGrid &board, int me, const PieceSet &available)
{
    const PlacementMasks masks = placementMasks(board, me);
    if (!masks.anchorable.any())
        return false;
    for (int p = 0; p < PieceCount; ++p) {
        if (!available[p])
            continue;
        for (const int k : distinctRotations(p))
            if (validAnchors(masks, orientedSquares(p, k)).any())
                return true;
    }
    return false;
}

} // namespace korvana::rules
