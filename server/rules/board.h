// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <bit>
#include <cstdint>

namespace korvana::rules {

inline constexpr int BoardSize = 20;
inline constexpr int MaxPlayers = 4;

// Cell values and colour numbers, as on the wire: 0 empty, then the seats' colours in seat order.
enum Color : int { Empty = 0, Blue = 1, Yellow = 2, Red = 3, Green = 4 };

// "blue", "yellow", "red", "green" for 1..4; "" for anything else.
[[nodiscard]] QString colorName(int colorNumber);
// Case-insensitive inverse of colorName; 0 for an unrecognised name, as the client reads colours.
[[nodiscard]] int colorNumber(QStringView name);

[[nodiscard]] constexpr bool isInside(int row, int col)
{
    return row >= 0 && row < BoardSize && col >= 0 && col < BoardSize;
}

// The 20 x 20 board of cell values, row-major.
struct CellGrid
{
    std::array<std::uint8_t, BoardSize * BoardSize> cells{};

    [[nodiscard]] int at(int row, int col) const { return cells[row * BoardSize + col]; }
    void set(int row, int col, int value) { cells[row * BoardSize + col] = std::uint8_t(value); }
    bool operator==(const CellGrid &) const = default;
};

// One bit per cell: bit `col` of rows[row]. Used for fast legality scans.
struct BitBoard
{
    static constexpr std::uint32_t RowMask = (1u << BoardSize) - 1;

    std::array<std::uint32_t, BoardSize> rows{};

    [[nodiscard]] bool test(int row, int col) const
    {
        return isInside(row, col) && (rows[row] >> col & 1u);
    }
    void set(int row, int col) { rows[row] |= 1u << col; }
    [[nodiscard]] bool any() const
    {
        for (auto r : rows)
            if (r)
                return true;
        return false;
    }
    [[nodiscard]] int count() const
    {
        int n = 0;
        for (auto r : rows)
            n += std::popcount(r);
        return n;
    }
    // Calls f(row, col) for every set bit, row by row, column by column.
    template <typename F> void forEach(F &&f) const
    {
        for (int r = 0; r < BoardSize; ++r)
            for (auto bits = rows[r]; bits; bits &= bits - 1)
                f(r, std::countr_zero(bits));
    }
    bool operator==(const BitBoard &) const = default;
};

// result(r, c) = source(r + dr, c + dc), false outside the board.
[[nodiscard]] BitBoard shifted(const BitBoard &source, int dr, int dc);
[[nodiscard]] BitBoard cellsOf(const CellGrid &board, int value);
[[nodiscard]] BitBoard occupiedCells(const CellGrid &board);

} // namespace korvana::rules
