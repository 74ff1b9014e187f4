// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamestate.h"

#include "diagnostics.h"

#include <algorithm>

namespace korvana {
namespace {
constexpr qsizetype kBoardSide = 20;

qint64 cellValueOfColor(const std::optional<QString> &color)
{
    if (!color)
        return 0;
    const QString name = color->toLower();
    if (name == u"blue")
        return 1;
    if (name == u"yellow")
        return 2;
    if (name == u"red")
        return 3;
    if (name == u"green")
        return 4;
    return 0;
}

} // namespace

Board GameState::readBoard(json::ObjectReader &r, const GameState &)
{
    const auto element = r.find("board");
    if (!element)
        return emptyBoard();
    const json::PathNode node{r.path(), "board", -1};
    const json::Value value(*element, &node);
    Board numbers;
    if (!json::readValue(value, numbers))
        return numbers;
    QList<QList<BoardCell>> cells;
    if (json::readValue(value, cells))
        return emptyBoard();
    Board board;
    board.reserve(cells.size());
    for (const auto &row : std::as_const(cells)) {
        QList<qint64> values;
        values.reserve(row.size());
        for (const BoardCell &cell : row)
            values.append(cellValueOfColor(cell.color));
        board.append(std::move(values));
    }
    return board;
}

Board emptyBoard()
{
    return Board(kBoardSide, QList<qint64>(kBoardSide, 0));
}

Squares GamePiece::readSquares(json::ObjectReader &r, const GamePiece &piece)
{
    std::optional<Squares> squares;
    r.lenient("squares", squares);
    if (squares)
        return std::move(*squares);
    diag(QStringLiteral("⚠️ Nie można zdekodować squares dla klocka ") + piece.id +
         QStringLiteral(", używam pustej tablicy"));
    return {};
}

void GamePiece::afterRead(const GamePiece &piece)
{
    if (piece.squares.isEmpty() && piece.size > 0)
        diag(QStringLiteral("⚠️ Klocek ") + piece.id +
             QStringLiteral(" ma puste squares, ale size=") + QString::number(piece.size));
}

QList<Player> rankedPlayers(QList<Player> players)
{
    std::stable_sort(players.begin(), players.end(),
                     [](const Player &a, const Player &b) { return a.score > b.score; });
    return players;
}

} // namespace korvana
