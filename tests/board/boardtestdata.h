#pragma once

#include "gamestate.h"

#include <QStringList>

#include <initializer_list>
#include <tuple>

namespace korvana::test {

// A 20 x 20 board (or rows x cols) with the given cells set: {row, col, value}.
inline Board boardWith(std::initializer_list<std::tuple<int, int, qint64>> cells, int rows = 20,
                       int cols = 20)
{
    Board board(rows, QList<qint64>(cols, 0));
    for (const auto &[r, c, v] : cells)
        board[r][c] = v;
    return board;
}

inline Squares squaresOf(std::initializer_list<std::initializer_list<qint64>> squares)
{
    Squares result;
    for (const auto &square : squares)
        result.append(Square(square));
    return result;
}

// "[0,1] [-1,0]": readable in a failed comparison.
inline QString text(const Squares &squares)
{
    QStringList parts;
    for (const Square &square : squares) {
        QStringList numbers;
        for (const qint64 v : square)
            numbers.append(QString::number(v));
        parts.append(QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']'));
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace korvana::test
