// The game screen end to end: the real client window offscreen against a real korvana-server,
// driven with mouse and keys. Waiting room, votes, a game against three bots played by dragging
// pieces from the tray, passing, and the results.
//
// With KORVANA_SCREENSHOT_DIR set, the waiting room, a drag over the board and the results are
// also saved there as PNG files (scripts/screenshots).

#include "appharness.h"
#include "authmanager.h"
#include "gamemanager.h"
#include "keyvaluestore.h"
#include "recordingfeedback.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QDir>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace korvana;
using namespace korvana::feedback;
using korvana::test::AppHarness;
using korvana::test::FeedbackCall;
using korvana::test::haptic;
using korvana::test::RecordingFeedback;
using korvana::test::ServerProcess;
using korvana::test::sound;

namespace {

// Another player on the same server, without a screen.
struct Opponent
{
    Opponent(const QString &baseUrl, const QString &storeFile)
        : network(baseUrl)
        , store(storeFile)
        , auth(network, store)
        , game(network)
    {
    }
    NetworkService network;
    KeyValueStore store;
    AuthManager auth;
    GameManager game;
};

} // namespace

class TestGameScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void waitingRoomShowsSeatsAndVotes();
    void playWithBotsStartsTheGame();
    void dragToInvalidCellSendsNothing();
    void dragToValidCellPlaces();
    void keysRotateAndCancel();
    void boardTapRefusedShowsTheError();
    void passDialogPasses();
    void wholeGameReachesTheResults();
    void cleanupTestCase();

private:
    [[nodiscard]] GameManager &game() { return m_harness->app().gameManager(); }
    [[nodiscard]] bool isMyTurn();
    [[nodiscard]] QString text(const QString &objectName) const;
    [[nodiscard]] bool isOpen(const QString &popupName) const;
    [[nodiscard]] QObject *controller() const;
    // The centre of a board cell in window coordinates.
    [[nodiscard]] QPoint cellPoint(int row, int col) const;
    [[nodiscard]] QPoint tilePoint(const QString &pieceId) const;
    // Presses on the tile and moves in steps to `to`, without releasing.
    void dragFromTile(const QString &pieceId, QPoint to);
    // What the server itself says about the board now.
    [[nodiscard]] Board serverBoard();
    void shoot(const QString &name);

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    RecordingFeedback m_feedback;
    std::unique_ptr<AppHarness> m_harness;
    std::unique_ptr<Opponent> m_opponent;
    QString m_screenshots;
};

void TestGameScreen::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_screenshots = qEnvironmentVariable("KORVANA_SCREENSHOT_DIR");
    // The screen's SoundManager uses the process-wide store and feedback.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    SystemFeedback::setShared(&m_feedback);

    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                                               QStringList{QStringLiteral("--insecure-fast-hash")});
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));

    m_harness = std::make_unique<AppHarness>(m_server->baseUrl().toString());
    QVERIFY(m_harness->load());
    // Key presses reach the screen's shortcuts only in the active window.
    m_harness->window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_harness->window()));
    m_harness->completeLaunch();
    QCoro::waitFor(
        m_harness->app().authManager().registerTask("Aleksandra", "ala@example.pl", "haslo123"));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));

    m_opponent = std::make_unique<Opponent>(m_server->baseUrl().toString(),
                                            m_dir.filePath(QStringLiteral("opponent.json")));
    QCoro::waitFor(m_opponent->auth.registerTask("Bartłomiej", "bartek@example.pl", "haslo123"));
    QVERIFY(m_opponent->auth.isAuthenticated());
}

void TestGameScreen::cleanupTestCase()
{
    m_harness.reset();
    SystemFeedback::setShared(nullptr);
}

bool TestGameScreen::isMyTurn()
{
    const auto &state = game().gameState();
    return state && state->gameStatus == u"in_progress" && state->currentPlayerId &&
           state->currentPlayerId == game().myPlayerId();
}

QString TestGameScreen::text(const QString &objectName) const
{
    const auto items = m_harness->visibleItems(objectName);
    return items.isEmpty() ? QStringLiteral("<hidden>")
                           : items.constFirst()->property("text").toString();
}

bool TestGameScreen::isOpen(const QString &popupName) const
{
    QObject *popup = m_harness->find(popupName);
    return popup && popup->property("visible").toBool();
}

QObject *TestGameScreen::controller() const
{
    QQuickItem *view = m_harness->item(QStringLiteral("gameView"));
    return view ? view->property("controller").value<QObject *>() : nullptr;
}

QPoint TestGameScreen::cellPoint(int row, int col) const
{
    QQuickItem *board = m_harness->item(QStringLiteral("gameBoard"));
    if (!board)
        return {};
    const QRectF rect = board->property("boardRect").toRectF();
    const qreal cell = board->property("cellSize").toReal();
    const QPointF local(rect.x() + (col + 0.5) * cell, rect.y() + (row + 0.5) * cell);
    return board->mapToScene(local).toPoint();
}

QPoint TestGameScreen::tilePoint(const QString &pieceId) const
{
    QQuickItem *tile = m_harness->item(QStringLiteral("trayTile_") + pieceId);
    if (!tile)
        return {};
    return tile->mapToScene(QPointF(tile->width() / 2, tile->height() / 2)).toPoint();
}

void TestGameScreen::dragFromTile(const QString &pieceId, QPoint to)
{
    QQuickWindow *window = m_harness->window();
    const QPoint from = tilePoint(pieceId);
    QVERIFY2(!from.isNull(), qPrintable(pieceId));
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    constexpr int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        const QPoint step = from + (to - from) * i / steps;
        QTest::mouseMove(window, step, 10);
    }
}

Board TestGameScreen::serverBoard()
{
    auto task = m_harness->app().network().getSession(game().sessionIdText());
    const auto answer = QCoro::waitFor(std::move(task));
    return answer ? answer->gameState.board : Board();
}

void TestGameScreen::shoot(const QString &name)
{
    if (m_screenshots.isEmpty())
        return;
    QDir().mkpath(m_screenshots);
    QTest::qWait(400); // let bars, springs and fades settle
    const QString path = QDir(m_screenshots).filePath(name + QStringLiteral(".png"));
    QVERIFY2(korvana::test::saveScreenshot(m_harness->window(), path), qPrintable(path));
    qInfo("%s", qPrintable(path));
}

void TestGameScreen::waitingRoomShowsSeatsAndVotes()
{
    QCoro::waitFor(game().createSessionTask(std::nullopt));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("game")));
    QTRY_VERIFY(!m_harness->visibleItems(QStringLiteral("waitingRoomView")).isEmpty());
    const QString roomId = game().gameState()->roomId;
    QCOMPARE(text(QStringLiteral("roomIdText")), roomId);
    QCOMPARE(m_harness->visibleItems(QStringLiteral("playerCard")).size(), 1);
    QCOMPARE(m_harness->visibleItems(QStringLiteral("emptyPlayerSlot")).size(), 3);
    QVERIFY(!m_harness->item(QStringLiteral("startGameButton"))->isEnabled());

    QCoro::waitFor(m_opponent->game.joinGameTask(roomId));
    QVERIFY(m_opponent->game.isInGame());
    // The one-second poll brings the second player in.
    QTRY_COMPARE_WITH_TIMEOUT(m_harness->visibleItems(QStringLiteral("playerCard")).size(), 2,
                              5000);
    QCOMPARE(text(QStringLiteral("playerCountText")), "2/4");
    QCOMPARE(m_harness->visibleItems(QStringLiteral("emptyPlayerSlot")).size(), 2);
    QVERIFY(m_harness->item(QStringLiteral("startGameButton"))->isEnabled());

    QCoro::waitFor(m_opponent->game.voteToStartTask(false));
    QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("votesText")), QStringLiteral("1/2"), 5000);
    QStringList states;
    for (QQuickItem *item : m_harness->visibleItems(QStringLiteral("playerState")))
        states << item->property("text").toString();
    QCOMPARE(states, QStringList({"Czeka...", "Gotowy!"}));
    shoot(QStringLiteral("game-01-waiting-room"));

    // This player's vote is the last one needed: the game starts and the board appears.
    QVERIFY(m_harness->click(QStringLiteral("startGameButton")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_harness->visibleItems(QStringLiteral("gameBoard")).isEmpty(), 5000);
    QCOMPARE(game().gameState()->players.size(), 2);

    // The red button leaves at once; the lobby comes back.
    QVERIFY(m_harness->click(QStringLiteral("leaveGameButton")));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));
    QVERIFY(!game().isInGame());
    m_opponent->game.leaveGame();
}

void TestGameScreen::playWithBotsStartsTheGame()
{
    // Leaving only forgets the game here; the server still seats this player in it. A second
    // account plays the game against the bots.
    m_harness->app().authManager().logout();
    QVERIFY(m_harness->waitForScreen(QStringLiteral("login")));
    QCoro::waitFor(
        m_harness->app().authManager().registerTask("Celina", "celina@example.pl", "haslo123"));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));

    QCoro::waitFor(game().createSessionTask(std::nullopt));
    QVERIFY2(game().isInGame(), qPrintable(game().errorMessageText()));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("game")));
    QTRY_VERIFY(!m_harness->visibleItems(QStringLiteral("playWithBotsButton")).isEmpty());
    QVERIFY(m_harness->click(QStringLiteral("playWithBotsButton")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_harness->visibleItems(QStringLiteral("gameBoard")).isEmpty(), 5000);
    QCOMPARE(game().gameState()->players.size(), 4);

    // Four chips, this player's reading "Ty"; the tray holds all 21 pieces.
    QStringList labels;
    for (QQuickItem *item : m_harness->visibleItems(QStringLiteral("chipLabel")))
        labels << item->property("text").toString();
    QCOMPARE(labels.size(), 4);
    QCOMPARE(labels.first(), "Ty");
    QCOMPARE(text(QStringLiteral("trayTitle")), "KLOCKI (21)");

    // The speaker switches every sound off and on, and the choice is kept.
    QVERIFY(m_harness->click(QStringLiteral("soundToggle")));
    QCOMPARE(KeyValueStore::shared().boolean(QStringLiteral("soundEnabled")), false);
    QVERIFY(m_harness->click(QStringLiteral("soundToggle")));
    QCOMPARE(KeyValueStore::shared().boolean(QStringLiteral("soundEnabled")), true);
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    QTRY_COMPARE(text(QStringLiteral("currentTurnText")), "TWOJA TURA!");
}

void TestGameScreen::dragToInvalidCellSendsNothing()
{
    QVERIFY(isMyTurn());
    m_feedback.clear();
    QSignalSpy finished(&game(), &GameManager::placePieceFinished);
    QSignalSpy loading(&game(), &GameManager::isLoadingChanged);

    dragFromTile(QStringLiteral("I1"), cellPoint(5, 5));
    QObject *control = controller();
    QVERIFY(control);
    QCOMPARE(control->property("draggedPieceId").toString(), "I1");
    QCOMPARE(control->property("previewRow").toInt(), 5);
    QCOMPARE(control->property("previewCol").toInt(), 5);
    QCOMPARE(control->property("isPreviewValid"), QVariant(false));
    QVERIFY(m_harness->item(QStringLiteral("draggedPieceOverlay"))->isVisible());
    shoot(QStringLiteral("game-02-drag-refused"));
    QTest::mouseRelease(m_harness->window(), Qt::LeftButton, {}, cellPoint(5, 5));

    QTest::qWait(500);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(loading.count(), 0);
    QVERIFY(!m_harness->item(QStringLiteral("draggedPieceOverlay"))->isVisible());
    QCOMPARE(serverBoard().value(5).value(5, -1), 0);
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Selected), haptic(Haptic::LightImpact)}));
}

void TestGameScreen::dragToValidCellPlaces()
{
    QVERIFY(isMyTurn());
    m_feedback.clear();
    QSignalSpy finished(&game(), &GameManager::placePieceFinished);

    // The L tromino onto the top-left corner, released where the preview is green.
    dragFromTile(QStringLiteral("V3"), cellPoint(0, 0));
    QObject *control = controller();
    QCOMPARE(control->property("isPreviewValid"), QVariant(true));
    QVERIFY(control->property("showsTargetCrosshair").toBool());
    shoot(QStringLiteral("game-03-drag-accepted"));
    QTest::mouseRelease(m_harness->window(), Qt::LeftButton, {}, cellPoint(0, 0));

    QVERIFY(finished.wait(5000));
    const Board board = serverBoard();
    QCOMPARE(board.value(0).value(0), 1);
    QCOMPARE(board.value(0).value(1), 1);
    QCOMPARE(board.value(1).value(0), 1);
    QTRY_VERIFY(m_feedback.calls().size() >= 5);
    QCOMPARE(m_feedback.calls().mid(0, 5),
             QList<FeedbackCall>({sound(SystemSound::Selected), haptic(Haptic::LightImpact),
                                  sound(SystemSound::Placed), haptic(Haptic::MediumImpact),
                                  haptic(Haptic::MediumImpact)}));
    QTRY_COMPARE(text(QStringLiteral("trayTitle")), "KLOCKI (20)");
    QVERIFY(!m_harness->item(QStringLiteral("trayTile_V3")));
    QCOMPARE(game().selectedPieceIdText(), QString());
}

void TestGameScreen::keysRotateAndCancel()
{
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    QQuickWindow *window = m_harness->window();
    QVERIFY(m_harness->click(QStringLiteral("trayTile_I1")));
    QCOMPARE(game().selectedPieceIdText(), "I1");
    QTest::keyClick(window, Qt::Key_R);
    QCOMPARE(game().selectedRotation(), 90);
    QCOMPARE(text(QStringLiteral("rotationText")), "90°");
    QVERIFY(m_harness->click(QStringLiteral("rotateButton")));
    QCOMPARE(game().selectedRotation(), 180);
    shoot(QStringLiteral("game-04-selected"));

    // (2, 1) touches blue's corner cell (1, 0) only diagonally: green. Escape drops the drag
    // and the release that follows places nothing.
    QSignalSpy finished(&game(), &GameManager::placePieceFinished);
    dragFromTile(QStringLiteral("I1"), cellPoint(2, 1));
    QCOMPARE(controller()->property("isPreviewValid"), QVariant(true));
    QTest::keyClick(window, Qt::Key_Escape);
    QCOMPARE(controller()->property("draggedPieceId").toString(), QString());
    QVERIFY(!m_harness->item(QStringLiteral("draggedPieceOverlay"))->isVisible());
    QTest::mouseMove(window, cellPoint(2, 1) + QPoint(2, 2), 10);
    QTest::mouseRelease(window, Qt::LeftButton, {}, cellPoint(2, 1));
    QTest::qWait(300);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(serverBoard().value(2).value(1), 0);
}

void TestGameScreen::boardTapRefusedShowsTheError()
{
    QVERIFY(isMyTurn());
    QVERIFY(m_harness->click(QStringLiteral("trayTile_I2")));
    QCOMPARE(game().selectedPieceIdText(), "I2");
    m_feedback.clear();
    // A tap on a board cell places the selected piece there; far from blue it is refused.
    QTest::mouseClick(m_harness->window(), Qt::LeftButton, {}, cellPoint(10, 10));
    QTRY_VERIFY(isOpen(QStringLiteral("errorAlert")));
    QCOMPARE(text(QStringLiteral("errorAlertMessage")), game().errorMessageText());
    QVERIFY(!game().errorMessageText().isEmpty());
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Refused), haptic(Haptic::ErrorNotification)}));
    QCOMPARE(game().selectedPieceIdText(), QString());
    QVERIFY(m_harness->click(QStringLiteral("errorAlertOk")));
    QTRY_VERIFY(!isOpen(QStringLiteral("errorAlert")));
    QCOMPARE(game().errorMessageText(), QString());
    QCOMPARE(serverBoard().value(10).value(10), 0);
}

void TestGameScreen::passDialogPasses()
{
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    QVERIFY(m_harness->click(QStringLiteral("passButton")));
    QTRY_VERIFY(isOpen(QStringLiteral("passDialog")));
    QVERIFY(m_harness->click(QStringLiteral("passCancelButton")));
    QTRY_VERIFY(!isOpen(QStringLiteral("passDialog")));
    QTest::qWait(300);
    QVERIFY(isMyTurn());

    QVERIFY(m_harness->click(QStringLiteral("passButton")));
    QTRY_VERIFY(isOpen(QStringLiteral("passDialog")));
    QVERIFY(m_harness->click(QStringLiteral("passConfirmButton")));
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            const auto &state = game().gameState();
            if (!state)
                return false;
            const auto me =
                std::find_if(state->players.cbegin(), state->players.cend(),
                             [&](const Player &p) { return p.id == game().myPlayerId(); });
            return me != state->players.cend() && me->hasPassed;
        }(),
        5000);
}

void TestGameScreen::wholeGameReachesTheResults()
{
    // The bots play on alone; the poll that sees the end brings the results.
    QTRY_VERIFY_WITH_TIMEOUT(!m_harness->visibleItems(QStringLiteral("resultsView")).isEmpty(),
                             60000);
    const auto &state = game().gameState();
    QVERIFY(state->winner.has_value());
    QCOMPARE(text(QStringLiteral("winnerName")), state->winner->name);
    QCOMPARE(text(QStringLiteral("winnerScore")), QString::number(state->winner->score) + " pkt");
    const auto rows = m_harness->visibleItems(QStringLiteral("resultRow"));
    QCOMPARE(rows.size(), 4);
    QStringList places;
    for (QQuickItem *item : m_harness->visibleItems(QStringLiteral("placeText")))
        places << item->property("text").toString();
    QCOMPARE(places, QStringList({"#1", "#2", "#3", "#4"}));
    QVERIFY(m_harness->visibleItems(QStringLiteral("trayPanel")).isEmpty());
    QVERIFY(m_harness->visibleItems(QStringLiteral("gameBoard")).isEmpty());
    shoot(QStringLiteral("game-05-results"));

    const auto endings = std::count(m_feedback.calls().cbegin(), m_feedback.calls().cend(),
                                    sound(SystemSound::GameFinished));
    QCOMPARE(endings, 1);

    QVERIFY(m_harness->click(QStringLiteral("backToLobbyButton")));
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));
    QVERIFY(!game().isInGame());
}

QTEST_MAIN(TestGameScreen)
#include "tst_gamescreen.moc"
