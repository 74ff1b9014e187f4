// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game screen end to end: the real client window offscreen against a real korvana-server,
// driven with mouse and keys, with a second person or three bots at the table. Every test starts
// as a newly registered player in the lobby.

#include "appharness.h"
#include "boardrules.h"
#include "fakepathmonitor.h"
#include "headlessplayer.h"
#include "lobbyscript.h"
#include "recordingfeedback.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtQuickTest/quicktest.h>

#include <algorithm>

using namespace korvana;
using namespace korvana::feedback;
using namespace korvana::test;

class TestGameScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void twoPlayersVoteAndTheBoardAppears();
    void dragPlacesOnlyOverAGreenCellAndATapElsewhereIsRefused();
    void wholeGameEndsInResultsAndBackToLobby();
    void aSeatOutOfMovesAndAnOutageAreShown();
    void keyboardPlaysATurnInAWideWindow();
    void cleanupTestCase();

private:
    [[nodiscard]] GameManager &game() { return m_harness->app().gameManager(); }
    [[nodiscard]] bool isMyTurn();
    [[nodiscard]] QString text(const QString &name) const { return m_harness->text(name); }
    [[nodiscard]] QStringList texts(const QString &name) const { return m_harness->texts(name); }
    [[nodiscard]] bool isOpen(const QString &name) const { return m_harness->isOpen(name); }
    [[nodiscard]] QObject *controller() const;
    [[nodiscard]] QPoint cellPoint(int row, int col) const;
    // Presses on the tray tile and moves in steps to the cell, without releasing.
    void dragFromTile(const QString &pieceId, int row, int col);
    [[nodiscard]] qint64 cell(int row, int col) { return game().gameState()->board[row][col]; }
    [[nodiscard]] qsizetype count(FeedbackCall call) const;
    // From the lobby: a new game (with a clock of `timeLimit` seconds, through the manager),
    // filled with bots, until it is this player's turn.
    void startGameWithBots(std::optional<qint64> timeLimit = std::nullopt);

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    RecordingFeedback m_feedback;
    std::unique_ptr<AppHarness> m_harness;
    int m_players = 0;
};

void TestGameScreen::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The screen's SoundManager uses the process-wide store and feedback.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    SystemFeedback::setShared(&m_feedback);
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                                               QStringList{QStringLiteral("--insecure-fast-hash")});
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestGameScreen::init()
{
    // A fresh client, and a new account: a player who left a game still holds its seat.
    m_harness = std::make_unique<AppHarness>(m_server->baseUrl().toString());
    QVERIFY(m_harness->load());
    // Key presses reach the screen only in the active window.
    m_harness->window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_harness->window()));
    m_harness->completeLaunch();
    const QString name = QStringLiteral("Gracz%1").arg(++m_players);
    QCoro::waitFor(
        m_harness->app().authManager().registerTask(name, name + "@example.pl", "haslo123"));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));
    m_feedback.clear();
}

void TestGameScreen::cleanup()
{
    m_harness.reset();
}

void TestGameScreen::cleanupTestCase()
{
    SystemFeedback::setShared(nullptr);
}

bool TestGameScreen::isMyTurn()
{
    const auto &state = game().gameState();
    return state && state->gameStatus == GameStatus::InProgress && state->currentPlayerId &&
           state->currentPlayerId == game().myPlayerId();
}

QObject *TestGameScreen::controller() const
{
    return m_harness->find(QStringLiteral("gameController"));
}

QPoint TestGameScreen::cellPoint(int row, int col) const
{
    QQuickItem *board = m_harness->item(QStringLiteral("gameBoard"));
    if (!board)
        return {};
    const QRectF rect = board->property("boardRect").toRectF();
    const qreal cell = board->property("cellSize").toReal();
    return board->mapToScene(rect.topLeft() + QPointF((col + 0.5) * cell, (row + 0.5) * cell))
        .toPoint();
}

void TestGameScreen::dragFromTile(const QString &pieceId, int row, int col)
{
    // A busy machine may not have laid the screen out yet after the last change.
    QVERIFY(QQuickTest::qWaitForPolish(m_harness->window()));
    QQuickItem *tile = m_harness->item(QStringLiteral("trayTile_") + pieceId);
    QVERIFY2(tile, qPrintable(pieceId));
    const QPoint from = tile->mapToScene(QPointF(tile->width() / 2, tile->height() / 2)).toPoint();
    const QPoint to = cellPoint(row, col);
    QTest::mousePress(m_harness->window(), Qt::LeftButton, {}, from);
    constexpr int steps = 12;
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(m_harness->window(), from + (to - from) * i / steps, 10);
}

qsizetype TestGameScreen::count(FeedbackCall call) const
{
    return std::count(m_feedback.calls().cbegin(), m_feedback.calls().cend(), call);
}

void TestGameScreen::startGameWithBots(std::optional<qint64> timeLimit)
{
    if (timeLimit)
        game().createSession(QVariant(*timeLimit));
    else
        QVERIFY(m_harness->click(QStringLiteral("newGameButton")));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("game")));
    QTRY_VERIFY(!m_harness->visibleItems(QStringLiteral("playWithBotsButton")).isEmpty());
    QVERIFY(m_harness->click(QStringLiteral("playWithBotsButton")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_harness->visibleItems(QStringLiteral("gameBoard")).isEmpty(), 5000);
    QCOMPARE(game().gameState()->players.size(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    // Until the first check answers an outage banner may still push the board down.
    QTRY_VERIFY(m_harness->app().connectionManager().isConnected());
}

void TestGameScreen::twoPlayersVoteAndTheBoardAppears()
{
    QVERIFY(m_harness->click(QStringLiteral("newGameButton")));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("game")));
    QTRY_VERIFY(!m_harness->visibleItems(QStringLiteral("waitingRoomView")).isEmpty());
    const QString roomId = game().gameState()->roomId;
    // The room's name as the lobby lists it.
    QTRY_COMPARE(text(QStringLiteral("roomIdText")),
                 "Pokój gracza Gracz" + QString::number(m_players));
    QCOMPARE(m_harness->visibleItems(QStringLiteral("emptyPlayerSlot")).size(), 3);
    QVERIFY(!m_harness->item(QStringLiteral("startGameButton"))->isEnabled());
    // In a short window the keyboard's control scrolls into view.
    m_harness->window()->resize(390, 480);
    QQuickItem *scroller = m_harness->item(QStringLiteral("waitingRoomScroller"));
    QTRY_COMPARE(scroller->height() < 480, true);
    QQuickItem *focused = nullptr;
    for (int tab = 0; tab < 6 && (!focused || focused->objectName() != "leaveRoomButton"); ++tab) {
        m_harness->key(Qt::Key_Tab);
        focused = m_harness->window()->activeFocusItem();
    }
    QCOMPARE(focused->objectName(), "leaveRoomButton");
    const QRectF inView = focused->mapRectToItem(scroller, focused->boundingRect());
    QVERIFY2(inView.top() >= 0 && inView.bottom() <= scroller->height(),
             qPrintable(QString::number(inView.bottom())));
    m_harness->window()->resize(390, 844);

    HeadlessPlayer other(m_server->baseUrl().toString(), m_dir.filePath("other.json"));
    QVERIFY(other.registerAs(QStringLiteral("Bartłomiej")));
    QCoro::waitFor(other.game.joinGameTask(roomId));
    QVERIFY(other.game.isInGame());
    // The one-second poll brings the second player in; their vote shows on their card.
    QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("playerCountText")), "2/4", 5000);
    QVERIFY(m_harness->item(QStringLiteral("startGameButton"))->isEnabled());
    QCoro::waitFor(other.game.voteToStartTask(false));
    QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("votesText")), QStringLiteral("1/2"), 5000);
    QCOMPARE(texts(QStringLiteral("playerState")), QStringList({"Czeka...", "Gotowy!"}));

    // This player's vote is the last one needed: the game starts and the board appears.
    QVERIFY(m_harness->click(QStringLiteral("startGameButton")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_harness->visibleItems(QStringLiteral("gameBoard")).isEmpty(), 5000);
    QCOMPARE(texts(QStringLiteral("chipLabel")), QStringList({"Ty", "Bartło"}));
    QCOMPARE(text(QStringLiteral("trayTitle")), "KLOCKI (21)");

    // The red button leaves at once; the lobby comes back.
    QVERIFY(m_harness->click(QStringLiteral("leaveGameButton")));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));
    other.game.leaveGame();
}

void TestGameScreen::dragPlacesOnlyOverAGreenCellAndATapElsewhereIsRefused()
{
    startGameWithBots();
    m_feedback.clear();
    QSignalSpy finished(&game(), &GameManager::placePieceFinished);
    QSignalSpy alerted(m_harness->find(QStringLiteral("turnAlert")), SIGNAL(alerted()));
    const QPointF slotOfV3 = m_harness->item(QStringLiteral("trayTile_V3"))->position();

    // A first piece away from every corner: red, and its release sends nothing.
    dragFromTile(QStringLiteral("I1"), 5, 5);
    QCOMPARE(controller()->property("previewRow").toInt(), 5);
    QCOMPARE(controller()->property("isPreviewValid"), QVariant(false));
    QVERIFY(m_harness->item(QStringLiteral("draggedPieceOverlay"))->isVisible());
    // A mouse carries the piece itself: no floating box.
    QVERIFY(m_harness->item(QStringLiteral("heldPiece"))->isVisible());
    QVERIFY(!m_harness->item(QStringLiteral("floatingBox"))->isVisible());
    QTest::mouseRelease(m_harness->window(), Qt::LeftButton, {}, cellPoint(5, 5));
    QVERIFY(!m_harness->item(QStringLiteral("draggedPieceOverlay"))->isVisible());

    // The L tromino onto the top-left corner: green; turned while held it leaves the board: red at
    // once; turned on back to where it fits, green again, and the release places it.
    dragFromTile(QStringLiteral("V3"), 0, 0);
    QCOMPARE(controller()->property("isPreviewValid"), QVariant(true));
    QVERIFY(controller()->property("showsTargetCrosshair").toBool());
    m_harness->key(Qt::Key_R);
    QCOMPARE(controller()->property("isPreviewValid"), QVariant(false));
    for (int turn = 0; turn < 3; ++turn)
        m_harness->key(Qt::Key_R);
    QCOMPARE(controller()->property("isPreviewValid"), QVariant(true));
    QTest::mouseRelease(m_harness->window(), Qt::LeftButton, {}, cellPoint(0, 0));
    // Another window takes the focus while the bots think (0.6 s each): the turn's return asks
    // for attention.
    QWindow elsewhere;
    elsewhere.show();
    elsewhere.requestActivate();
    QTRY_VERIFY(!m_harness->window()->isActive());
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(cell(5, 5), 0);
    QCOMPARE(cell(1, 0), 1);
    QTRY_COMPARE(text(QStringLiteral("trayTitle")), "KLOCKI (20)");
    QVERIFY(!m_harness->item(QStringLiteral("trayTile_V3")));
    QQuickItem *emptySlot = m_harness->item(QStringLiteral("emptyTraySlot"));
    QTRY_VERIFY(emptySlot && emptySlot->position() == slotOfV3);
    const auto selected = sound(SystemSound::Selected);
    const auto light = haptic(Haptic::LightImpact);
    const auto medium = haptic(Haptic::MediumImpact);
    QCOMPARE(count(sound(SystemSound::Rotated)), 4);
    QCOMPARE(m_feedback.calls().mid(0, 4), QList<FeedbackCall>({selected, light, selected, light}));
    QCOMPARE(m_feedback.calls().mid(12, 3),
             QList<FeedbackCall>({sound(SystemSound::Placed), medium, medium}));

    // The bots move; a poll hands the turn back with one signal, and repeated polls stay quiet.
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    QCoro::waitFor(game().refreshGameState());
    QCOMPARE(count(sound(SystemSound::MyTurn)), 1);
    QCOMPARE(alerted.count(), 1);
    m_harness->window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_harness->window()));

    // A tap on a board cell places the selected piece there; far from blue it is refused.
    QVERIFY(m_harness->click(QStringLiteral("trayTile_I2")));
    QCOMPARE(game().selectedPieceIdText(), "I2");
    // The board marks where it fits: diagonally off blue's first piece.
    const auto hints =
        m_harness->item("gameBoard")->property("moveHints").value<QList<board::Cell>>();
    QVERIFY(hints.contains(board::Cell{2, 1}) && !hints.contains(board::Cell{10, 10}));
    m_feedback.clear();
    QTest::mouseClick(m_harness->window(), Qt::LeftButton, {}, cellPoint(10, 10));
    QTRY_VERIFY(isOpen(QStringLiteral("errorAlert")));
    QVERIFY(!game().errorMessageText().isEmpty());
    QCOMPARE(text(QStringLiteral("errorAlertMessage")), game().errorMessageText());
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Refused), haptic(Haptic::ErrorNotification)}));
    QCOMPARE(game().selectedPieceIdText(), QString());
    QVERIFY(m_harness->click(QStringLiteral("errorAlertOk")));
    QTRY_VERIFY(!isOpen(QStringLiteral("errorAlert")));
    QCOMPARE(game().errorMessageText(), QString());
}

void TestGameScreen::wholeGameEndsInResultsAndBackToLobby()
{
    startGameWithBots(180);
    // Every seat's clock in its chip; leaving while mine runs asks first.
    QTRY_COMPARE(m_harness->visibleItems(QStringLiteral("chipClock")).size(), 4);
    QVERIFY(m_harness->click(QStringLiteral("leaveGameButton")));
    QTRY_VERIFY(isOpen(QStringLiteral("leaveDialog")));
    QVERIFY(m_harness->click(QStringLiteral("leaveStayButton")));
    QTRY_VERIFY(!isOpen(QStringLiteral("leaveDialog")));
    QVERIFY(game().isInGame());
    // "Anuluj" keeps the turn.
    QVERIFY(m_harness->click(QStringLiteral("passButton")));
    QTRY_VERIFY(isOpen(QStringLiteral("passDialog")));
    QVERIFY(m_harness->click(QStringLiteral("passCancelButton")));
    QTRY_VERIFY(!isOpen(QStringLiteral("passDialog")));
    QVERIFY(isMyTurn());

    // Pass whenever it is my turn until the bots have played the game out (a pass skips a turn
    // or puts this player out, depending on the server's rule; either way the game ends).
    for (int round = 0; round < 300 && game().gameState()->gameStatus != GameStatus::Finished;
         ++round) {
        if (isMyTurn() && m_harness->item(QStringLiteral("passButton"))->isEnabled()) {
            const auto turn = game().gameState()->turnNumber;
            QVERIFY(m_harness->click(QStringLiteral("passButton")));
            QTRY_VERIFY(isOpen(QStringLiteral("passDialog")));
            QVERIFY(m_harness->click(QStringLiteral("passConfirmButton")));
            QTRY_VERIFY_WITH_TIMEOUT(game().gameState()->turnNumber != turn, 5000);
        }
        QCoro::waitFor(game().refreshGameState());
    }
    QCOMPARE(game().gameState()->gameStatus, GameStatus::Finished);

    QTRY_VERIFY(!m_harness->visibleItems(QStringLiteral("resultsView")).isEmpty());
    // The final position stays under the results, its last move marked.
    QVERIFY(!m_harness->visibleItems(QStringLiteral("gameBoard")).isEmpty());
    QVERIFY(!controller()->property("lastMoveCells").value<QList<board::Cell>>().isEmpty());
    const auto &state = game().gameState();
    QVERIFY(state->winner.has_value());
    QCOMPARE(text(QStringLiteral("winnerName")), state->winner->name);
    QCOMPARE(texts(QStringLiteral("placeText")), QStringList({"#1", "#2", "#3", "#4"}));
    QCOMPARE(count(sound(SystemSound::GameFinished)), 1);

    // Again: a new room with the same clock, straight into its waiting room.
    const QString finishedRoom = state->roomId;
    QVERIFY(m_harness->click(QStringLiteral("playAgainButton")));
    QTRY_VERIFY_WITH_TIMEOUT(
        game().gameState() && game().gameState()->gameStatus == GameStatus::Waiting, 5000);
    QVERIFY(game().gameState()->roomId != finishedRoom);
    QCOMPARE(game().gameState()->timeLimit, 180);
    QVERIFY(m_harness->waitForScreen(QStringLiteral("game")));
    QVERIFY(m_harness->click(QStringLiteral("leaveRoomButton")));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));
    QVERIFY(!game().isInGame());
}

void TestGameScreen::aSeatOutOfMovesAndAnOutageAreShown()
{
    // A scripted game where the server marks this player (blue) as passed but gives the turn.
    GameState state{.roomId = "r1",
                    .gameStatus = GameStatus::InProgress,
                    .currentPlayerId = "p1",
                    .timeLimit = 300,
                    .timeRemaining = 125};
    state.players = {Player{.id = "p1", .name = "Ala", .color = "blue", .hasPassed = true},
                     Player{.id = "p2", .name = "Bartłomiej", .color = "yellow"}};
    state.players[0].pieces = {GamePiece{.id = "I1", .squares = {{0, 0}}},
                               GamePiece{.id = "I2", .squares = {{0, 0}, {0, 1}}}};
    // After the move: yellow's turn, and this player is out.
    GameState after = state;
    after.currentPlayerId = "p2";
    after.board[0][0] = 1;
    after.players[0].pieces[0].placed = true;
    const auto session = [](const GameState &s) {
        return json::toJson(SessionWrapper{{"s1", "7", "p1", "r1", "blue"}, s});
    };
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault("/api/game/join",
                      ScriptedResponse::json(200, json::toJson(GameSessionResponse{
                                                      "s1", "r1", "p1", "Ala", "blue", state})));
    server.setDefault("/api/game/session/s1", ScriptedResponse::json(200, session(state)));
    FakePathMonitor monitor;
    m_harness.reset(); // one client at a time: the root publishes its managers to every screen
    auto h = openSignedInLobby(server, m_dir.path(), &monitor);
    QVERIFY(h);
    monitor.report(true);
    QTRY_VERIFY(h->app().connectionManager().isConnected());
    QCoro::waitFor(h->app().gameManager().joinGameTask("r1"));
    QVERIFY(h->waitForScreen(QStringLiteral("game")));
    const auto accessibleName = [&h](const QString &name) {
        for (QObject *child : h->item(name)->children())
            if (child->inherits("QQuickAccessibleAttached"))
                return child->property("name").toString();
        return QString();
    };

    // The mark does not lock a player whose turn it is.
    QVERIFY(h->visibleItems(QStringLiteral("outOfMovesText")).isEmpty());
    QVERIFY(h->item(QStringLiteral("passButton"))->isEnabled());
    QVERIFY(h->item(QStringLiteral("trayTile_I1"))->isEnabled());

    // The network goes: a banner in the monitor's words, and the clock stands still.
    QTRY_VERIFY([&] {
        monitor.report(false);
        return h->app().connectionManager().connectionStatus() == ConnectionStatus::Disconnected;
    }());
    QCOMPARE(h->text(QStringLiteral("outageStatusText")), "Brak sieci");
    QCOMPARE(accessibleName(QStringLiteral("outageBanner")),
             "Brak sieci. Gra czeka na połączenie z serwerem.");
    QCOMPARE(h->item(QStringLiteral("timerIcon"))->property("name"), "pause.fill");

    // A move dropped meanwhile says it is on its way until the answer comes.
    server.setDefault(
        "/api/game/place",
        ScriptedResponse::json(200, R"({"success":true,"gameState":)" + json::toJson(after) + "}")
            .after(std::chrono::milliseconds(1500)));
    h->app().gameManager().setSelectedPieceId(QString("I1"));
    QMetaObject::invokeMethod(h->find(QStringLiteral("gameController")), "placeSelectedPiece",
                              Q_ARG(int, 0), Q_ARG(int, 0));
    QTRY_COMPARE(h->text(QStringLiteral("outageDetailText")),
                 "Wysyłam ruch… Czeka na połączenie z serwerem.");
    server.setDefault("/api/game/session/s1", ScriptedResponse::json(200, session(after)));
    // Out on someone else's turn, with time left: out, but not "no moves".
    QTRY_COMPARE(h->text(QStringLiteral("outOfMovesText")),
                 "Jesteś poza grą. Poczekaj na koniec gry.");
    QVERIFY(!h->item(QStringLiteral("passButton"))->isEnabled());
    QVERIFY(!h->item(QStringLiteral("trayTile_I2"))->isEnabled());
    QList<bool> out;
    for (QQuickItem *chip : h->visibleItems(QStringLiteral("playerChip")))
        out << chip->property("isOut").toBool();
    QCOMPARE(out, QList<bool>({true, false}));

    // Back: "Łączenie..." ends its own sentence, and the clock waits for the server's value.
    server.setDefault("/api/health", ScriptedResponse::json(200).after(std::chrono::seconds(1)));
    server.setDefault("/api/game/session/s1",
                      ScriptedResponse::json(200, session(after)).after(std::chrono::seconds(1)));
    monitor.report(true);
    QCOMPARE(accessibleName(QStringLiteral("outageBanner")),
             "Łączenie... Gra czeka na połączenie z serwerem.");
    QTRY_VERIFY(h->app().connectionManager().isConnected());
    QVERIFY(h->visibleItems(QStringLiteral("outageBanner")).isEmpty());
    QCOMPARE(h->item(QStringLiteral("timerIcon"))->property("name"), "pause.fill");
    QTRY_COMPARE(h->item(QStringLiteral("timerIcon"))->property("name"), "timer");
    QCOMPARE(h->text(QStringLiteral("timerText")), "2:05");
    // A server that sends no clock per seat: the header's clock only, none in the chips.
    QVERIFY(h->visibleItems(QStringLiteral("chipClock")).isEmpty());
}

void TestGameScreen::keyboardPlaysATurnInAWideWindow()
{
    startGameWithBots();
    const auto boardRect = [this] {
        QQuickItem *board = m_harness->item(QStringLiteral("gameBoard"));
        return board->mapRectToScene(board->property("boardRect").toRectF());
    };
    const auto trayLeft = [this] { return m_harness->item("trayPanel")->mapToScene({0, 0}).x(); };
    // A phone: the board of 320 above the tray. A wide window: the board at the left, as tall as
    // the window allows, with the tray in a column at its right.
    QCOMPARE(boardRect().width(), 320.0);
    QCOMPARE(trayLeft(), 0.0);
    m_harness->window()->resize(1280, 800);
    QTRY_COMPARE(boardRect().height(), 780.0);
    QVERIFY(boardRect().right() < trayLeft());

    // Tab reaches the tray; the arrows go from piece to piece, each named by its shape.
    const auto focused = [this] { return m_harness->window()->activeFocusItem(); };
    for (int tab = 0; tab < 15 && !focused()->objectName().startsWith("trayTile_"); ++tab)
        m_harness->key(Qt::Key_Tab);
    QCOMPARE(focused()->objectName(), "trayTile_I1");
    for (int step = 0; step < 3; ++step)
        m_harness->key(Qt::Key_Right);
    QCOMPARE(focused()->objectName(), "trayTile_V3");
    QObject *named = focused()->findChild<QObject *>(QString(), Qt::FindDirectChildrenOnly);
    for (QObject *child : focused()->children())
        named = child->inherits("QQuickAccessibleAttached") ? child : named;
    QCOMPARE(named->property("name").toString(), "Klocek V, 3 pola");

    // Enter takes the piece to the board: on a first move the cursor starts on my free corner,
    // where it fits; the arrows and R change the verdict as a drag would.
    m_harness->key(Qt::Key_Return);
    QCOMPARE(focused()->objectName(), "boardKeys");
    QObject *control = controller();
    QCOMPARE(control->property("cursorDescription").toString(),
             "Wiersz 1, kolumna 1, puste, klocek pasuje");
    m_harness->key(Qt::Key_Right);
    QCOMPARE(control->property("isPreviewValid"), QVariant(false));
    m_harness->key(Qt::Key_Left);
    m_harness->key(Qt::Key_R);
    QCOMPARE(control->property("isPreviewValid"), QVariant(false));
    for (int turn = 0; turn < 3; ++turn)
        m_harness->key(Qt::Key_R);
    QCOMPARE(control->property("isPreviewValid"), QVariant(true));
    QSignalSpy finished(&game(), &GameManager::placePieceFinished);
    m_harness->key(Qt::Key_Return);
    QVERIFY(finished.wait(5000));
    QCOMPARE(cell(0, 0), 1);
    QTRY_VERIFY(focused()->objectName().startsWith("trayTile_"));

    // The pass dialog opens on "Anuluj", and Enter presses it.
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    QVERIFY(m_harness->click(QStringLiteral("passButton")));
    QTRY_COMPARE(focused()->objectName(), "passCancelButton");
    m_harness->key(Qt::Key_Return);
    QTRY_VERIFY(!isOpen(QStringLiteral("passDialog")));
    QVERIFY(isMyTurn());

    // H takes the selected piece to the board and from one cell where it fits to the next.
    QVERIFY(m_harness->click(QStringLiteral("trayTile_I1")));
    m_harness->key(Qt::Key_H);
    QCOMPARE(focused()->objectName(), "boardKeys");
    QCOMPARE(control->property("isPreviewValid"), QVariant(true));
    const QString firstFit = control->property("cursorDescription").toString();
    m_harness->key(Qt::Key_H);
    QCOMPARE(control->property("isPreviewValid"), QVariant(true));
    QVERIFY(control->property("cursorDescription").toString() != firstFit);
    m_harness->key(Qt::Key_Escape);
    m_harness->window()->resize(390, 844);
}

QTEST_MAIN(TestGameScreen)
#include "tst_gamescreen.moc"
