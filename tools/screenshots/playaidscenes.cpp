#include "playaidscenes.h"

#include "appharness.h"
#include "boardrules.h"
#include "fakepathmonitor.h"
#include "gamemanager.h"
#include "playaidsettings.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QDir>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTest>
#include <QTextStream>
#include <QtQml/qqml.h>

#include <algorithm>

namespace korvana::screenshots {

using namespace korvana::test;

namespace {

bool shoot(AppHarness &harness, const QString &dir, const QString &name)
{
    QTest::qWait(450);
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!harness.window()->grabWindow().save(path)) {
        QTextStream(stderr) << "could not write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

const Player *me(const GameManager &game)
{
    const auto &state = game.gameState();
    if (!state)
        return nullptr;
    const auto found = std::find_if(state->players.cbegin(), state->players.cend(),
                                    [&](const Player &p) { return p.id == game.myPlayerId(); });
    return found == state->players.cend() ? nullptr : &*found;
}

bool isMyTurn(const GameManager &game)
{
    const auto &state = game.gameState();
    return state && state->gameStatus == u"in_progress" && state->currentPlayerId &&
           state->currentPlayerId == game.myPlayerId();
}

// A plausible move: the biggest piece that fits, in the blue corner first, then as close to the
// board's middle as it goes.
bool playOneMove(GameManager &game)
{
    const Player *player = me(game);
    if (!player)
        return false;
    QList<GamePiece> pieces;
    for (const GamePiece &piece : player->pieces) {
        if (!piece.placed && !piece.squares.isEmpty())
            pieces.append(piece);
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const GamePiece &a, const GamePiece &b) {
        return a.squares.size() > b.squares.size();
    });
    const Board &board = game.gameState()->board;
    for (const GamePiece &piece : std::as_const(pieces)) {
        std::optional<std::pair<board::Cell, int>> best;
        int bestScore = -1;
        for (const int rotation : {0, 90, 180, 270}) {
            for (const board::Cell cell :
                 board::validCells(piece.squares, rotation, board, game.myColorText())) {
                const bool first = player->pieces.size() == pieces.size();
                const int score =
                    first ? 40 - cell.row - cell.col
                          : std::min(cell.row, 19 - cell.row) + std::min(cell.col, 19 - cell.col);
                if (score > bestScore) {
                    bestScore = score;
                    best = std::pair(cell, rotation);
                }
            }
        }
        if (best) {
            auto task =
                game.placePieceTask(piece.id, best->first.row, best->first.col, best->second);
            QCoro::waitFor(std::move(task));
            return !game.errorMessage();
        }
    }
    return false;
}

} // namespace

int shootPlayAids(const QString &dir)
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                         {QStringLiteral("--insecure-fast-hash")});
    if (!server.start()) {
        QTextStream(stderr) << "korvana-server: " << server.errorString() << '\n';
        return 1;
    }
    QTemporaryDir storeDir;
    const QString storePath = storeDir.filePath(QStringLiteral("store.json"));
    if (!signUpInto(server.baseUrl().toString(), QStringLiteral("Kasia"), storePath))
        return 1;

    FakePathMonitor monitor;
    AppHarness harness(server.baseUrl().toString(), storePath, &monitor);
    if (!harness.load())
        return 1;
    harness.completeLaunch();
    if (!harness.waitForScreen(QStringLiteral("lobby")))
        return 1;

    GameManager &game = harness.app().gameManager();
    QCoro::waitFor(game.createSessionTask(300));
    QCoro::waitFor(game.voteToStartTask(true));
    if (!harness.waitForScreen(QStringLiteral("game")))
        return 1;

    // Half a game: the bots answer at once; the tool moves on each of its turns.
    for (int turn = 0; turn < 7; ++turn) {
        if (!QTest::qWaitFor([&] { return isMyTurn(game); }, 10000) || !playOneMove(game))
            break;
    }
    if (!QTest::qWaitFor([&] { return isMyTurn(game); }, 10000)) {
        QTextStream(stderr) << "the game did not come back to the tool's turn\n";
        return 1;
    }
    // The piece and turn with the most places to go, so the hints have something to show.
    const Player *player = me(game);
    std::optional<std::pair<QString, int>> choice;
    qsizetype most = 0;
    for (const GamePiece &piece : player ? player->pieces : QList<GamePiece>()) {
        for (const int rotation : {0, 90, 180, 270}) {
            const auto cells = piece.placed
                                   ? QList<board::Cell>()
                                   : board::validCells(piece.squares, rotation,
                                                       game.gameState()->board, game.myColorText());
            if (piece.squares.size() >= 4 && cells.size() > most) {
                most = cells.size();
                choice = std::pair(piece.id, rotation);
            }
        }
    }
    if (!choice) {
        QTextStream(stderr) << "no piece of four or five squares fits anywhere\n";
        return 1;
    }
    harness.click(QStringLiteral("trayTile_") + choice->first);
    game.setSelectedRotation(choice->second);

    int failures = 0;
    failures += shoot(harness, dir, QStringLiteral("aids-01-move-hints")) ? 0 : 1;

    auto *settings = harness.app().engine().singletonInstance<ui::PlayAidSettings *>(
        qmlTypeId("Korvana", 1, 0, "PlayAidSettings"));
    if (settings)
        settings->setColorMarks(true);
    failures += shoot(harness, dir, QStringLiteral("aids-02-colour-marks")) ? 0 : 1;

    monitor.report(false); // the network goes: the clock stands still and says so
    failures += shoot(harness, dir, QStringLiteral("aids-03-clock-paused")) ? 0 : 1;
    return failures;
}

} // namespace korvana::screenshots
