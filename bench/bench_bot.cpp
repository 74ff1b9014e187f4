// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Bot move time over whole 4-bot games, and the legality scan the bots rely on. Figures only.
#include "bots/bot.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

using korvana::GameStatus;
using namespace korvana::rules;
using namespace korvana::bots;

namespace {

Game fourBots()
{
    Game game = newGame();
    for (int i = 0; i < 4; ++i)
        (void)addPlayer(game, QString::number(i), QStringLiteral("Bot"), true);
    (void)startGame(game, 0);
    return game;
}

// A middle-game board: four bots after `turns` actions.
Game midGame(int turns)
{
    Game game = fourBots();
    for (int i = 0; i < turns && game.status == GameStatus::InProgress; ++i)
        (void)playTurn(game, 7, 0);
    return game;
}

// Each iteration plays one whole game; every playTurn (choice, placement, next turn) is timed.
void BM_BotMoveInWholeGames(benchmark::State &state)
{
    std::vector<double> ms;
    std::uint64_t seed = 1;
    for (auto _ : state) {
        Game game = fourBots();
        while (game.status == GameStatus::InProgress) {
            const auto start = std::chrono::steady_clock::now();
            const auto played = playTurn(game, seed, 0);
            const auto end = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(played);
            ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        ++seed;
    }
    std::ranges::sort(ms);
    state.counters["moves"] = double(ms.size());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["max_ms"] = ms.back();
    std::printf("bot move over %lld games, %zu moves: median %.3f ms, max %.3f ms "
                "(targets: median < 20 ms, max < 200 ms)\n",
                static_cast<long long>(state.iterations()), ms.size(), ms[ms.size() / 2],
                ms.back());
}
BENCHMARK(BM_BotMoveInWholeGames)->Iterations(20)->Unit(benchmark::kMillisecond);

// All valid anchor cells for one piece and rotation, from the board (masks included).
void BM_ValidCellsForPieceAndRotation(benchmark::State &state)
{
    const Game game = midGame(int(state.range(0)));
    const int piece = int(state.range(1));
    const int color = Yellow;
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(validAnchors(game.board, color, piece, k));
        k = (k + 1) % RotationCount;
    }
}
BENCHMARK(BM_ValidCellsForPieceAndRotation)
    ->ArgNames({"turns", "piece"})
    ->Args({0, 20})
    ->Args({24, 20})
    ->Args({24, 9})
    ->Args({48, 12})
    ->Unit(benchmark::kMicrosecond);

// The same with the board's masks computed once, as a bot scanning many pieces does.
void BM_ValidCellsFromMasks(benchmark::State &state)
{
    const Game game = midGame(int(state.range(0)));
    const PlacementMasks masks = placementMasks(game.board, Yellow);
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(validAnchors(masks, orientedSquares(20, k)));
        k = (k + 1) % RotationCount;
    }
}
BENCHMARK(BM_ValidCellsFromMasks)->ArgName("turns")->Arg(24)->Unit(benchmark::kMicrosecond);

// For comparison: the client's square-by-square check on each of the 400 cells.
void BM_ValidCellsByClientCheck(benchmark::State &state)
{
    const Game game = midGame(int(state.range(0)));
    const auto &squares = pieceCatalogue()[20].squares;
    for (auto _ : state) {
        int valid = 0;
        for (int r = 0; r < BoardSize; ++r)
            for (int c = 0; c < BoardSize; ++c)
                valid += isPlacementValid(game.board, squares, 90, r, c, Yellow);
        benchmark::DoNotOptimize(valid);
    }
}
BENCHMARK(BM_ValidCellsByClientCheck)->ArgName("turns")->Arg(24)->Unit(benchmark::kMicrosecond);

// "Has any legal move", checked for each player reaching a turn.
void BM_HasLegalMove(benchmark::State &state)
{
    const Game game = midGame(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(hasLegalMove(game, 1));
}
BENCHMARK(BM_HasLegalMove)->ArgName("turns")->Arg(24)->Arg(60)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
