// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a full four-player game state through the client's own reader, against simdjson's DOM
// parse of the same bytes and nothing more.
#include "actions.h"
#include "diagnostics.h"
#include "gamestate.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

using namespace korvana;

namespace {
// The 21 shapes of sizes 1 to 5, anchor first.
const QList<Squares> kShapes{
    {{0, 0}},
    {{0, 0}, {0, 1}},
    {{0, 0}, {0, 1}, {0, 2}},
    {{0, 0}, {1, 0}, {1, 1}},
    {{0, 0}, {0, 1}, {0, 2}, {0, 3}},
    {{0, 0}, {1, 0}, {2, 0}, {2, 1}},
    {{0, 0}, {0, 1}, {1, 0}, {1, 1}},
    {{0, 0}, {0, 1}, {0, 2}, {1, 1}},
    {{0, 0}, {0, 1}, {1, 1}, {1, 2}},
    {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}},
    {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}},
    {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 1}},
    {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {1, 3}},
    {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}},
    {{0, 0}, {0, 2}, {1, 0}, {1, 1}, {1, 2}},
    {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}},
    {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}},
    {{0, 0}, {0, 1}, {1, 1}, {2, 1}, {2, 2}},
    {{0, 0}, {0, 1}, {0, 2}, {1, 1}, {2, 1}},
    {{0, 0}, {0, 1}, {1, -1}, {1, 0}, {2, 0}},
    {{0, 0}, {1, -1}, {1, 0}, {1, 1}, {2, 0}},
};

QByteArray fullGameState()
{
    QRandomGenerator random(42);
    GameState state;
    state.roomId = QStringLiteral("room-4f2a9c");
    state.gameStatus = GameStatus::InProgress;
    state.currentPlayerId = QStringLiteral("player-2");
    state.turnNumber = 40;
    state.timeLimit = 600;
    state.timeRemaining = 312;
    const QStringList colors{"blue", "yellow", "red", "green"};
    const QStringList names{"Anna", "Bartek", "Celina", "Dawid"};
    for (int p = 0; p < 4; ++p) {
        Player player{.id = QStringLiteral("player-%1").arg(p + 1),
                      .name = names[p],
                      .color = colors[p],
                      .score = 40 + p};
        for (int i = 0; i < kShapes.size(); ++i) {
            GamePiece piece{.id = QStringLiteral("P%1").arg(i),
                            .name = QStringLiteral("Klocek %1").arg(i),
                            .size = kShapes[i].size(),
                            .squares = kShapes[i]};
            if (i % 2 == 0) {
                piece.placed = true;
                piece.position = PiecePosition{random.bounded(20), random.bounded(20)};
                piece.rotation = 90 * random.bounded(4);
            }
            player.pieces.append(piece);
        }
        player.lastMove = Move{"P0", 3, 4, 90};
        state.players.append(player);
    }
    for (auto &row : state.board)
        for (auto &cell : row)
            cell = random.bounded(2) ? 1 + random.bounded(4) : 0;
    return json::toJson(
        SessionWrapper{Session{"s-1", "17", "player-1", state.roomId, "blue"}, state});
}

const QByteArray &bytes()
{
    static const QByteArray data = fullGameState();
    return data;
}
} // namespace

static void BM_DecodeFullGameState(benchmark::State &s)
{
    setDiagnosticSink([](const QString &) {});
    for (auto _ : s) {
        auto result = json::decode<SessionWrapper>(bytes());
        benchmark::DoNotOptimize(result);
        if (!result)
            s.SkipWithError("unreadable");
    }
    s.SetBytesProcessed(int64_t(s.iterations()) * bytes().size());
    s.counters["bytes"] = double(bytes().size());
}
BENCHMARK(BM_DecodeFullGameState);

static void BM_SimdjsonParseFullGameState(benchmark::State &s)
{
    simdjson::dom::parser parser;
    const simdjson::padded_string padded(bytes().constData(), size_t(bytes().size()));
    for (auto _ : s) {
        simdjson::dom::element root;
        auto error = parser.parse(padded).get(root);
        benchmark::DoNotOptimize(root);
        if (error)
            s.SkipWithError("parse failed");
    }
    s.SetBytesProcessed(int64_t(s.iterations()) * bytes().size());
}
BENCHMARK(BM_SimdjsonParseFullGameState);

BENCHMARK_MAIN();
