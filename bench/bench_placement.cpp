// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The client's placement check: one call, as the drag preview makes on every move; all valid
// anchors of one piece and rotation (the move hints); and whether each of the 21 pieces fits
// anywhere (the tray's dimmed tiles). On a middle-game board of four bots. Figures only.
#include "boardrules.h"

#include "bots/bot.h"

#include <benchmark/benchmark.h>

using namespace korvana;

namespace {

struct Position
{
    Board board;
    QString color;     // the colour to move
    Squares piece;     // a five-square piece
    board::Cell valid; // an anchor where it fits
    board::Cell taken; // an anchor on a taken cell
};

const Position &position()
{
    static const Position p = [] {
        rules::Game game = rules::newGame();
        for (int i = 0; i < 4; ++i)
            (void)rules::addPlayer(game, QString::number(i), QStringLiteral("Bot"), true);
        (void)rules::startGame(game, 0);
        while (game.status == GameStatus::InProgress &&
               rules::occupiedCells(game.board).count() < 160)
            (void)bots::playTurn(game, 3, 0);

        Position p;
        p.board = Board(20, QList<qint64>(20, 0));
        for (int r = 0; r < 20; ++r)
            for (int c = 0; c < 20; ++c)
                p.board[r][c] = game.board.at(r, c);
        const rules::PlayerState &player = game.players[std::size_t(game.currentPlayer)];
        p.color = rules::colorName(player.color);
        const auto moves = rules::legalMoves(game, game.currentPlayer);
        const auto five = std::find_if(moves.begin(), moves.end(), [](const rules::LegalMove &m) {
            return rules::pieceCatalogue()[std::size_t(m.piece)].size() == 5 && m.rotation == 90;
        });
        const rules::LegalMove move = five != moves.end() ? *five : moves.front();
        for (const auto &[r, c] : rules::pieceCatalogue()[std::size_t(move.piece)].squares)
            p.piece.append(Square{r, c});
        p.valid = {move.row, move.col};
        for (int i = 0; i < 400; ++i) {
            if (game.board.at(i / 20, i % 20) != 0) {
                p.taken = {i / 20, i % 20};
                break;
            }
        }
        return p;
    }();
    return p;
}

// The worst single call: every square on an empty cell, neighbours read, the board scanned for
// the colour.
void BM_IsPlacementValid_Valid(benchmark::State &state)
{
    const Position &p = position();
    for (auto _ : state) {
        const bool valid =
            board::isPlacementValid(p.piece, 90, p.valid.row, p.valid.col, p.board, p.color);
        benchmark::DoNotOptimize(valid);
    }
}
BENCHMARK(BM_IsPlacementValid_Valid);

void BM_IsPlacementValid_OnTakenCell(benchmark::State &state)
{
    const Position &p = position();
    for (auto _ : state) {
        const bool valid =
            board::isPlacementValid(p.piece, 90, p.taken.row, p.taken.col, p.board, p.color);
        benchmark::DoNotOptimize(valid);
    }
}
BENCHMARK(BM_IsPlacementValid_OnTakenCell);

void BM_ValidCells(benchmark::State &state)
{
    const Position &p = position();
    for (auto _ : state) {
        const auto cells = board::validCells(p.piece, 90, p.board, p.color);
        benchmark::DoNotOptimize(cells.data());
    }
}
BENCHMARK(BM_ValidCells);

// The tray's dimming after a board change: every piece of the catalogue, all rotations when it
// fits nowhere.
void BM_FitsAnywhere_AllPieces(benchmark::State &state)
{
    const Position &p = position();
    QList<Squares> pieces;
    for (const auto &shape : rules::pieceCatalogue()) {
        Squares squares;
        for (const auto &[r, c] : shape.squares)
            squares.append(Square{r, c});
        pieces.append(squares);
    }
    for (auto _ : state) {
        int fitting = 0;
        for (const Squares &piece : pieces)
            fitting += board::fitsAnywhere(piece, p.board, p.color) ? 1 : 0;
        benchmark::DoNotOptimize(fitting);
    }
}
BENCHMARK(BM_FitsAnywhere_AllPieces);

} // namespace

BENCHMARK_MAIN();
