// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardrules.h"

#include "boardcolors.h"

#include <QVarLengthArray>

#include <array>
#include <cstdint>

namespace korvana::board {

namespace {

constexpr int Last = BoardCells - 1;

// Two's-complement negation without overflow: a square at INT64_MIN stays far off the board.
constexpr qint64 negated(qint64 v)
{
    return qint64(0ULL - quint64(v));
}

struct Offset
{
    qint64 dr = 0;
    qint64 dc = 0;
};

constexpr Offset rotated(qint64 r, qint64 c, int k)
{
    switch (k) {
    case 90:
        return {negated(c), r};
    case 180:
        return {negated(r), negated(c)};
    case 270:
        return {c, negated(r)};
    default:
        return {r, c};
    }
}

bool isFullBoard(const Board &board)
{
    if (board.size() < BoardCells)
        return false;
    for (int r = 0; r < BoardCells; ++r) {
        if (board.at(r).size() < BoardCells)
            return false;
    }
    return true;
}

// Anchor + offset, or false when the sum overflows or leaves a board of `cells`.
bool target(qint64 anchor, qint64 offset, int &out, int cells = BoardCells)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(anchor, offset, &sum) || sum < 0 || sum >= cells)
        return false;
    out = int(sum);
    return true;
}

bool holds(const Board &board, int r, int c, qint64 me)
{
    return r >= 0 && r <= Last && c >= 0 && c <= Last && board.at(r).at(c) == me;
}

bool boardHolds(const Board &board, qint64 me)
{
    for (int r = 0; r < BoardCells; ++r) {
        const QList<qint64> &line = board.at(r);
        for (int c = 0; c < BoardCells; ++c) {
            if (line.at(c) == me)
                return true;
        }
    }
    return false;
}

bool isCorner(int r, int c)
{
    return (r == 0 || r == Last) && (c == 0 || c == Last);
}

// The rotated offsets of a piece, or false when a square is malformed.
using Offsets = QVarLengthArray<Offset, 8>;
bool rotatedOffsets(const Squares &squares, qint64 rotation, Offsets &out)
{
    const int k = normalizedRotation(rotation);
    out.reserve(squares.size());
    for (const Square &square : squares) {
        if (square.size() < 2)
            return false;
        out.append(rotated(square[0], square[1], k));
    }
    return !out.isEmpty();
}

} // namespace

std::optional<Cell> squareCell(qint64 row, qint64 col, const Square &square, int boardSize)
{
    Cell cell;
    if (square.size() < 2 || !target(row, square[0], cell.row, boardSize) ||
        !target(col, square[1], cell.col, boardSize))
        return std::nullopt;
    return cell;
}

int normalizedRotation(qint64 rotation)
{
    const qint64 k = rotation % 360;
    return int(k < 0 ? k + 360 : k);
}

Squares rotatedSquares(const Squares &squares, qint64 rotation)
{
    const int k = normalizedRotation(rotation);
    Squares result;
    result.reserve(squares.size());
    for (const Square &square : squares) {
        if (square.size() < 2) {
            result.append(square);
            continue;
        }
        const Offset o = rotated(square[0], square[1], k);
        result.append(Square{o.dr, o.dc});
    }
    return result;
}

bool isPlacementValid(const Squares &squares, qint64 rotation, qint64 row, qint64 col,
                      const Board &board, QStringView colorName)
{
    Offsets offsets;
    if (!rotatedOffsets(squares, rotation, offsets) || !isFullBoard(board))
        return false;

    QVarLengthArray<Cell, 8> cells;
    for (const Offset &o : offsets) {
        Cell cell;
        if (!target(row, o.dr, cell.row) || !target(col, o.dc, cell.col))
            return false;
        if (board.at(cell.row).at(cell.col) != 0)
            return false;
        cells.append(cell);
    }

    const qint64 me = colorNumber(colorName);
    bool corner = false;
    bool diagonal = false;
    bool edge = false;
    for (const auto [r, c] : cells) {
        corner = corner || isCorner(r, c);
        diagonal = diagonal || holds(board, r - 1, c - 1, me) || holds(board, r - 1, c + 1, me) ||
                   holds(board, r + 1, c - 1, me) || holds(board, r + 1, c + 1, me);
        edge = edge || holds(board, r - 1, c, me) || holds(board, r + 1, c, me) ||
               holds(board, r, c - 1, me) || holds(board, r, c + 1, me);
    }
    if (!boardHolds(board, me))
        return corner;
    return diagonal && !edge;
}

namespace {

// The board once as flags on a grid with a one-cell border, so that the scan below needs no
// bounds checks around a square.
class PlacementScan
{
public:
    PlacementScan(const Board &board, qint64 me)
    {
        for (int r = 0; r < BoardCells; ++r) {
            const QList<qint64> &line = board.at(r);
            for (int c = 0; c < BoardCells; ++c) {
                const qint64 value = line.at(c);
                const auto flags =
                    std::uint8_t((value != 0 ? Taken : 0) | (value == me ? Mine : 0));
                m_grid[(r + 1) * Side + c + 1] = flags;
                m_hasMine = m_hasMine || (flags & Mine);
            }
        }
    }

    // Calls found(cell) for every valid anchor, row by row, until it returns false.
    template <class Found> void forEachValid(const Offsets &offsets, Found found) const
    {
        for (int row = 0; row < BoardCells; ++row) {
            for (int col = 0; col < BoardCells; ++col) {
                if (fits(offsets, row, col) && !found(Cell{row, col}))
                    return;
            }
        }
    }

private:
    static constexpr int Side = BoardCells + 2;
    enum : std::uint8_t { Taken = 1, Mine = 2 };

    [[nodiscard]] std::uint8_t at(int r, int c) const { return m_grid[(r + 1) * Side + c + 1]; }

    [[nodiscard]] bool fits(const Offsets &offsets, int row, int col) const
    {
        bool corner = false;
        bool diagonal = false;
        bool edge = false;
        for (const Offset &o : offsets) {
            int r = 0;
            int c = 0;
            if (!target(row, o.dr, r) || !target(col, o.dc, c) || (at(r, c) & Taken))
                return false;
            corner = corner || isCorner(r, c);
            diagonal =
                diagonal ||
                ((at(r - 1, c - 1) | at(r - 1, c + 1) | at(r + 1, c - 1) | at(r + 1, c + 1)) &
                 Mine);
            edge = edge || ((at(r - 1, c) | at(r + 1, c) | at(r, c - 1) | at(r, c + 1)) & Mine);
        }
        return m_hasMine ? diagonal && !edge : corner;
    }

    std::array<std::uint8_t, Side * Side> m_grid{};
    bool m_hasMine = false;
};

} // namespace

QList<Cell> validCells(const Squares &squares, qint64 rotation, const Board &board,
                       QStringView colorName)
{
    Offsets offsets;
    if (!rotatedOffsets(squares, rotation, offsets) || !isFullBoard(board))
        return {};
    QList<Cell> result;
    PlacementScan(board, colorNumber(colorName)).forEachValid(offsets, [&](Cell cell) {
        result.append(cell);
        return true;
    });
    return result;
}

bool fitsAnywhere(const Squares &squares, const Board &board, QStringView colorName)
{
    if (!isFullBoard(board))
        return false;
    const PlacementScan scan(board, colorNumber(colorName));
    for (const qint64 rotation : {0, 90, 180, 270}) {
        Offsets offsets;
        if (!rotatedOffsets(squares, rotation, offsets))
            return false;
        bool found = false;
        scan.forEachValid(offsets, [&](Cell) {
            found = true;
            return false;
        });
        if (found)
            return true;
    }
    return false;
}

} // namespace korvana::board
