// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Renders every screen of the client to PNG files for review, at a chosen window size: launch,
// login and registration, the lobby with its sheets and alert (against a scripted server), then
// the waiting room, a game in progress with its last move outlined, drags, a pass notice and the
// results over the final board, and a timed game with every clock and its play aids (against a
// real korvana-server with bots). Usage: korvana_screenshots [--size WxH]
// FOLDER

#include "appharness.h"
#include "boardrules.h"
#include "fakepathmonitor.h"
#include "headlessplayer.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "playaidsettings.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>
#include <QTextStream>

#include <algorithm>

using namespace korvana;
using namespace korvana::test;

namespace {

struct Shots
{
    QString folder;
    QSize size;
    int count = 0;
    int failures = 0;

    // Files are numbered in the order taken and named after what they show.
    void take(AppHarness &harness, const QString &what)
    {
        QTest::qWait(450); // let sheets, springs and fades settle
        const QString path = QDir(folder).filePath(
            QStringLiteral("%1-%2.png").arg(++count, 2, 10, QChar('0')).arg(what));
        if (harness.window()->grabWindow().save(path)) {
            QTextStream(stdout) << path << '\n';
        } else {
            QTextStream(stderr) << "could not write " << path << '\n';
            ++failures;
        }
    }
    bool open(AppHarness &harness)
    {
        if (!harness.load())
            return false;
        harness.window()->resize(size);
        harness.window()->requestActivate();
        return QTest::qWaitForWindowActive(harness.window());
    }
    void fail(const char *what)
    {
        QTextStream(stderr) << what << '\n';
        ++failures;
    }
};

void signedOutScreens(Shots &shots, ScriptedHttpServer &server)
{
    AppHarness harness(server.baseUrl().toString());
    if (!shots.open(harness))
        return shots.fail("the window did not open");
    QTest::qWait(550);
    shots.take(harness, QStringLiteral("launch-at-one-second")); // step 2, 50 percent
    harness.waitForScreen(QStringLiteral("login"));
    shots.take(harness, QStringLiteral("login"));
    harness.type(harness.item(QStringLiteral("emailField")), QStringLiteral("ala@example.pl"));
    harness.type(harness.item(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    harness.click(QStringLiteral("submitButton"));
    QTest::qWait(300);
    shots.take(harness, QStringLiteral("login-refused"));
    harness.click(QStringLiteral("registerModeButton"));
    shots.take(harness, QStringLiteral("registration"));
}

void lobbyScreens(Shots &shots, ScriptedHttpServer &server)
{
    QTemporaryDir folder;
    auto harness = openSignedInLobby(server, folder.path());
    if (!harness)
        return shots.fail("the lobby did not show");
    AppHarness &h = *harness;
    h.window()->resize(shots.size);
    if (!QTest::qWaitFor([&] { return h.visibleItems(QStringLiteral("serverRow")).size() == 5; }))
        shots.fail("the lobby did not list the five scripted rooms");
    shots.take(h, QStringLiteral("lobby-rooms-and-own-games"));
    h.click(QStringLiteral("connectionStatusView"));
    shots.take(h, QStringLiteral("lobby-connection-badge-expanded"));
    h.click(QStringLiteral("connectionStatusView"));
    h.click(QStringLiteral("timeLimitButton"));
    shots.take(h, QStringLiteral("time-limit-picker"));
    h.click(h.visibleItems(QStringLiteral("timeOptionRow")).value(1));
    shots.take(h, QStringLiteral("lobby-time-limit-chosen"));
    h.click(QStringLiteral("settingsButton"));
    shots.take(h, QStringLiteral("settings"));
    h.key(Qt::Key_Escape);
    // The client's own text, in the language of the run.
    h.app().gameManager().setErrorMessage(QCoreApplication::translate(
        "FailureMessages",
        "Gra nie została znaleziona. Może została już zakończona. Odśwież listę serwerów."));
    shots.take(h, QStringLiteral("lobby-error-alert"));
}

// The server choice: the login screen's row, the sheet with another server (a typing mistake,
// then a successful check), the server on this computer running, and the settings with it
// shared on the local network. The local server is a real korvana-server on a free port.
void serverChoiceScreens(Shots &shots, ScriptedHttpServer &server)
{
    QTemporaryDir folder;
    const QString storePath = folder.filePath(QStringLiteral("store.json"));
    KeyValueStore(storePath).setString(storekeys::serverChoice, QStringLiteral("other"));
    KeyValueStore(storePath).setString(storekeys::otherServerUrl, server.baseUrl().toString());
    LocalServer::Options local;
    local.searchDirs = {QFileInfo(QStringLiteral(KORVANA_SERVER_EXECUTABLE)).absolutePath()};
    local.searchPath = false;
    local.databasePath = folder.filePath(QStringLiteral("server.sqlite"));
    local.preferredPort = freeTcpPort();

    AppHarness h({}, storePath, nullptr, local);
    if (!shots.open(h))
        return shots.fail("the window did not open");
    h.completeLaunch();
    if (!h.waitForScreen(QStringLiteral("login")))
        return shots.fail("the login screen did not show");
    shots.take(h, QStringLiteral("login-server-row"));
    h.click(QStringLiteral("serverRow"));
    QQuickItem *field = h.item(QStringLiteral("serverAddressField"));
    field->setProperty("text", QStringLiteral("http://gra.example.pl:99999"));
    shots.take(h, QStringLiteral("server-sheet-address-mistake"));
    field->setProperty("text", server.baseUrl().toString());
    h.click(QStringLiteral("probeButton"));
    (void)QTest::qWaitFor([&] { return !h.app().serverManager().isProbing(); }, 6000);
    shots.take(h, QStringLiteral("server-sheet-other-checked"));
    h.click(QStringLiteral("localChoice"));
    if (!QTest::qWaitFor(
            [&] {
                return h.app().serverManager().activeUrl().endsWith(
                    QString::number(local.preferredPort));
            },
            20000))
        shots.fail("the server on this computer did not start");
    shots.take(h, QStringLiteral("server-sheet-this-computer"));
    h.key(Qt::Key_Escape);

    QCoro::waitFor(h.app().authManager().registerTask(
        QStringLiteral("ala"), QStringLiteral("ala@example.pl"), QStringLiteral("haslo123")));
    if (!h.waitForScreen(QStringLiteral("lobby")))
        return shots.fail("the lobby did not show");
    h.click(QStringLiteral("settingsButton"));
    shots.take(h, QStringLiteral("settings-server"));
    h.app().serverManager().setShareOnLan(true);
    if (!QTest::qWaitFor([&] { return h.app().serverManager().localServer().onAllInterfaces(); },
                         20000))
        shots.fail("the shared server did not start");
    shots.take(h, QStringLiteral("settings-shared-on-lan"));
    h.app().serverManager().setShareOnLan(false);
}

QPoint cellPoint(AppHarness &h, board::Cell cell)
{
    QQuickItem *board = h.item(QStringLiteral("gameBoard"));
    const QRectF rect = board->property("boardRect").toRectF();
    const qreal side = board->property("cellSize").toReal();
    return board
        ->mapToScene(rect.topLeft() + QPointF((cell.col + 0.5) * side, (cell.row + 0.5) * side))
        .toPoint();
}

// My biggest piece still to play that fits somewhere, with the first anchor where it fits.
std::optional<std::pair<GamePiece, board::Cell>> biggestFit(const GameManager &game)
{
    const auto &state = game.gameState();
    const auto me = std::find_if(state->players.cbegin(), state->players.cend(),
                                 [&](const Player &p) { return p.id == game.myPlayerId(); });
    QList<GamePiece> pieces = me->pieces;
    std::stable_sort(pieces.begin(), pieces.end(), [](const GamePiece &a, const GamePiece &b) {
        return a.squares.size() > b.squares.size();
    });
    for (const GamePiece &piece : std::as_const(pieces)) {
        const auto cells = board::validCells(piece.squares, 0, state->board, game.myColorText());
        if (!piece.placed && !cells.isEmpty())
            return std::pair{piece, cells.constFirst()};
    }
    return std::nullopt;
}

void gameScreens(Shots &shots)
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                         {QStringLiteral("--insecure-fast-hash")});
    if (!server.start())
        return shots.fail("korvana-server did not start");
    const QString url = server.baseUrl().toString();
    QTemporaryDir folder;
    const QString store = folder.filePath(QStringLiteral("ala.json"));
    signUpInto(url, QStringLiteral("Aleksandra"), store);
    FakePathMonitor monitor; // the network path, so that an outage can be shown
    AppHarness h(url, store, &monitor);
    if (!shots.open(h))
        return shots.fail("the window did not open");
    h.completeLaunch();
    h.waitForScreen(QStringLiteral("lobby"));
    (void)QTest::qWaitFor([&] { return monitor.isRunning(); });
    monitor.report(true);
    GameManager &game = h.app().gameManager();
    const auto isMyTurn = [&] {
        const auto &state = game.gameState();
        return state && state->gameStatus == GameStatus::InProgress &&
               state->currentPlayerId == game.myPlayerId();
    };

    // The waiting room with a second person who has voted.
    h.click(QStringLiteral("newGameButton"));
    h.waitForScreen(QStringLiteral("game"));
    HeadlessPlayer other(url, folder.filePath(QStringLiteral("other.json")));
    other.registerAs(QStringLiteral("Bartłomiej"));
    QCoro::waitFor(other.game.joinGameTask(game.gameState()->roomId));
    QCoro::waitFor(other.game.voteToStartTask(false));
    (void)QTest::qWaitFor([&] { return game.gameState()->players.size() == 2; }, 5000);
    QTest::qWait(1200);
    shots.take(h, QStringLiteral("waiting-room-two-players-one-voted"));

    // With bots for the other seats: a few turns of play, so the board has pieces of every colour.
    h.click(QStringLiteral("playWithBotsButton"));
    int myMoves = 0;
    for (int round = 0; round < 200 && myMoves < 4; ++round) {
        QCoro::waitFor(game.refreshGameState());
        const auto fit = isMyTurn() ? biggestFit(game) : std::nullopt;
        if (fit && ++myMoves < 4) {
            QCoro::waitFor(game.placePieceTask(fit->first.id, fit->second.row, fit->second.col, 0));
            continue;
        }
        // The other person passes on their turns.
        QCoro::waitFor(other.game.refreshGameState());
        if (other.isMyTurn())
            QCoro::waitFor(other.game.passTurnTask());
    }
    if (!isMyTurn())
        return shots.fail("the game did not come back to this player");
    QTest::qWait(2500); // the screen's own poll catches up
    shots.take(h, QStringLiteral("game-last-move-outlined"));

    // A drag from the tray: over a cell where the piece fits, then over one where it does not.
    const auto fit = biggestFit(game);
    if (!fit)
        return shots.fail("no piece fits");
    QQuickItem *tile = h.item(QStringLiteral("trayTile_") + fit->first.id);
    const QPoint from = tile->mapToScene(QPointF(tile->width() / 2, tile->height() / 2)).toPoint();
    QTest::mousePress(h.window(), Qt::LeftButton, {}, from);
    // A mouse holds the piece by the square nearest where it took it: that square goes over its
    // own cell of the fit.
    const QPointF held =
        h.find(QStringLiteral("gameController"))->property("grabOffset").toPointF();
    const QPoint to =
        cellPoint(h, {fit->second.row + int(held.y()), fit->second.col + int(held.x())});
    for (int i = 1; i <= 12; ++i)
        QTest::mouseMove(h.window(), from + (to - from) * i / 12, 10);
    shots.take(h, QStringLiteral("game-drag-over-a-cell-where-it-fits"));
    QTest::mouseMove(h.window(), cellPoint(h, {10, 10}), 10);
    shots.take(h, QStringLiteral("game-drag-over-a-cell-where-it-does-not-fit"));
    // With the mouse along the top edge: the piece under the pointer, the ghost on the board.
    QTest::mouseMove(h.window(), cellPoint(h, {0, 9}), 10);
    shots.take(h, QStringLiteral("game-mouse-drag-near-the-top-edge"));
    h.key(Qt::Key_Escape);
    QTest::mouseRelease(h.window(), Qt::LeftButton, {}, cellPoint(h, {10, 10}));
    h.click(tile);
    h.key(Qt::Key_R);
    shots.take(h, QStringLiteral("game-piece-selected-and-turned"));
    h.key(Qt::Key_R), h.key(Qt::Key_R), h.key(Qt::Key_R);
    h.item(QStringLiteral("boardKeys"))->forceActiveFocus(Qt::TabFocusReason);
    shots.take(h, QStringLiteral("game-keyboard-cursor-on-the-board"));
    h.key(Qt::Key_Escape);

    // The network goes away for a moment.
    (void)QTest::qWaitFor([&] {
        monitor.report(false);
        return h.app().connectionManager().connectionStatus() == ConnectionStatus::Disconnected;
    });
    shots.take(h, QStringLiteral("game-connection-lost"));
    monitor.report(true);
    h.app().connectionManager().retryConnection();
    (void)QTest::qWaitFor([&] { return h.app().connectionManager().isConnected(); });

    // Passing until the end: the pass dialog once, then the results.
    h.click(QStringLiteral("passButton"));
    shots.take(h, QStringLiteral("game-pass-dialog"));
    bool noticeTaken = false;
    for (int round = 0; round < 300 && game.gameState()->gameStatus != GameStatus::Finished;
         ++round) {
        if (isMyTurn() && h.isOpen(QStringLiteral("passDialog"))) {
            h.click(QStringLiteral("passConfirmButton"));
            QTest::qWait(100);
        } else if (isMyTurn()) {
            h.click(QStringLiteral("passButton"));
            (void)QTest::qWaitFor([&] { return h.isOpen(QStringLiteral("passDialog")); }, 1000);
        } else {
            QCoro::waitFor(game.refreshGameState());
            QCoro::waitFor(other.game.refreshGameState());
            if (other.isMyTurn())
                QCoro::waitFor(other.game.passTurnTask());
        }
        // The other person's pass, as the board's notice tells it.
        if (!noticeTaken && !h.visibleItems(QStringLiteral("turnNotice")).isEmpty()) {
            noticeTaken = true;
            QTest::qWait(100);
            shots.take(h, QStringLiteral("game-pass-notice"));
        }
    }
    if (game.gameState()->gameStatus != GameStatus::Finished)
        return shots.fail("the game did not end");
    if (!noticeTaken)
        shots.fail("no pass notice was shown");
    shots.take(h, QStringLiteral("game-results-over-the-final-board"));
}

// My move in the aids' game: the biggest piece that fits, the first in the blue corner, later
// ones as close to the middle as they go, so the board fills like a real game's.
bool playTowardsTheMiddle(GameManager &game)
{
    const auto &state = game.gameState();
    const auto me = std::find_if(state->players.cbegin(), state->players.cend(),
                                 [&](const Player &p) { return p.id == game.myPlayerId(); });
    if (me == state->players.cend())
        return false;
    const bool first = std::none_of(me->pieces.cbegin(), me->pieces.cend(),
                                    [](const GamePiece &p) { return p.placed; });
    struct Move
    {
        QString pieceId;
        board::Cell cell;
        int rotation = 0;
    };
    std::optional<Move> best;
    qsizetype bestSize = 0;
    int bestScore = -1;
    for (const GamePiece &piece : me->pieces) {
        for (const int rotation : {0, 90, 180, 270}) {
            const auto cells = piece.placed ? QList<board::Cell>()
                                            : board::validCells(piece.squares, rotation,
                                                                state->board, game.myColorText());
            for (const board::Cell cell : cells) {
                const int score =
                    first ? 40 - cell.row - cell.col
                          : std::min(cell.row, 19 - cell.row) + std::min(cell.col, 19 - cell.col);
                if (piece.squares.size() > bestSize ||
                    (piece.squares.size() == bestSize && score > bestScore)) {
                    best = Move{piece.id, cell, rotation};
                    bestSize = piece.squares.size();
                    bestScore = score;
                }
            }
        }
    }
    if (!best)
        return false;
    auto task = game.placePieceTask(best->pieceId, best->cell.row, best->cell.col, best->rotation);
    QCoro::waitFor(std::move(task));
    return !game.errorMessage();
}

// A game with a 5-minute clock against three bots, half played: the move hints of a selected
// piece (tiles that fit nowhere dimmed), then the colour-blind marks, then the clock paused while
// the network is gone.
void playAidScreens(Shots &shots)
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                         {QStringLiteral("--insecure-fast-hash")});
    if (!server.start())
        return shots.fail("korvana-server did not start");
    const QString url = server.baseUrl().toString();
    QTemporaryDir folder;
    const QString store = folder.filePath(QStringLiteral("kasia.json"));
    signUpInto(url, QStringLiteral("Kasia"), store);
    FakePathMonitor network;
    AppHarness h(url, store, &network);
    if (!shots.open(h))
        return shots.fail("the window did not open");
    h.completeLaunch();
    h.waitForScreen(QStringLiteral("lobby"));
    GameManager &game = h.app().gameManager();
    const auto isMyTurn = [&] {
        const auto &state = game.gameState();
        return state && state->gameStatus == GameStatus::InProgress &&
               state->currentPlayerId == game.myPlayerId();
    };
    QCoro::waitFor(game.createSessionTask(300));
    QCoro::waitFor(game.voteToStartTask(true));
    for (int turn = 0; turn < 7; ++turn) {
        if (!QTest::qWaitFor(isMyTurn, 10000) || !playTowardsTheMiddle(game))
            break;
    }
    if (!QTest::qWaitFor(isMyTurn, 10000))
        return shots.fail("the timed game did not come back to this player");

    // The piece and turn with the most places to go, so the hints have something to show.
    const auto &state = *game.gameState();
    const auto me = std::find_if(state.players.cbegin(), state.players.cend(),
                                 [&](const Player &p) { return p.id == game.myPlayerId(); });
    std::optional<std::pair<QString, int>> choice;
    qsizetype most = 0;
    for (const GamePiece &piece : me->pieces) {
        for (const int rotation : {0, 90, 180, 270}) {
            const auto cells = piece.placed ? QList<board::Cell>()
                                            : board::validCells(piece.squares, rotation,
                                                                state.board, game.myColorText());
            if (piece.squares.size() >= 4 && cells.size() > most) {
                most = cells.size();
                choice = std::pair(piece.id, rotation);
            }
        }
    }
    if (!choice)
        return shots.fail("no piece of four or five squares fits");
    shots.take(h, QStringLiteral("game-every-clock-in-the-chips"));
    h.click(QStringLiteral("trayTile_") + choice->first);
    game.setSelectedRotation(choice->second);
    shots.take(h, QStringLiteral("game-move-hints-for-the-selected-piece"));

    auto *settings = h.app().engine().singletonInstance<ui::PlayAidSettings *>(
        qmlTypeId("Korvana", 1, 0, "PlayAidSettings"));
    if (!settings)
        return shots.fail("the play aids' settings are not there");
    settings->setColorMarks(true);
    shots.take(h, QStringLiteral("game-colour-blind-marks"));

    network.report(false);
    shots.take(h, QStringLiteral("game-clock-paused-while-offline"));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    Shots shots{QStringLiteral("screenshots"), QSize(390, 844)};
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const auto size =
            QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(args.value(i + 1));
        if (args.at(i) == u"--size" && size.hasMatch())
            shots.size = QSize(size.captured(1).toInt(), size.captured(2).toInt()), ++i;
        else if (args.at(i).startsWith(u'-'))
            return QTextStream(stderr) << "usage: korvana_screenshots [--size WxH] FOLDER\n", 2;
        else
            shots.folder = args.at(i);
    }
    QDir().mkpath(shots.folder);

    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/auth/login"),
                      ScriptedResponse::json(401, R"({"error":"Nieprawidłowy email lub hasło"})"));
    signedOutScreens(shots, server);
    lobbyScreens(shots, server);
    serverChoiceScreens(shots, server);
    gameScreens(shots);
    playAidScreens(shots);
    return shots.failures == 0 ? 0 : 1;
}
