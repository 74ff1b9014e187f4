// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "board.h"

namespace korvana::rules {

namespace {
constexpr std::array<const char *, 5> ColorNames{"", "blue", "yellow", "red", "green"};
}

QString colorName(int colorNumber)
{
    if (colorNumber < Blue || colorNumber > Green)
        return {};
    return QString::fromLatin1(ColorNames[colorNumber]);
}

int colorNumber(QStringView name)
{
    for (int n = Blue; n <= Green; ++n)
        if (name.compare(QLatin1StringView(ColorNames[n]), Qt::CaseInsensitive) == 0)
            return n;
    return 0;
}

BitBoard shifted(const BitBoard &source, int dr, int dc)
{
    BitBoard out;
    for (int r = 0; r < BoardSize; ++r) {
        const int from = r + dr;
        if (from < 0 || from >= BoardSize)
            continue;
        const std::uint32_t bits = source.rows[from];
        out.rows[r] = dc >= 0 ? bits >> dc : (bits << -dc) & BitBoard::RowMask;
    }
    return out;
}

BitBoard cellsOf(const CellGrid &board, int value)
{
    BitBoard out;
    for (int r = 0; r < BoardSize; ++r)
        for (int c = 0; c < BoardSize; ++c)
            if (board.at(r, c) == value)
                out.set(r, c);
    return out;
}

BitBoard occupiedCells(const CellGrid &board)
{
    BitBoard out;
    for (int r = 0; r < BoardSize; ++r)
        for (int c = 0; c < BoardSize; ++c)
            if (board.at(r, c) != Empty)
                out.set(r, c);
    return out;
}

} // namespace korvana::rules
