// The game screen's drag, placement and signals against a real korvana-server: one player with
// three bots, driven through GameController the way the screen's QML drives it.

#include "authmanager.h"
#include "gamecontroller.h"
#include "gamemanager.h"
#include "keyvaluestore.h"
#include "recordingfeedback.h"
#include "serverprocess.h"
#include "soundmanager.h"

#include <QCoroTask>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>

using namespace korvana;
using namespace korvana::feedback;
using korvana::test::FeedbackCall;
using korvana::test::haptic;
using korvana::test::RecordingFeedback;
using korvana::test::ServerProcess;
using korvana::test::sound;
using korvana::ui::GameController;

namespace {
// The board drawn 200 points wide at the screen's top-left: a cell is 10 points.
const QRectF boardFrame(0, 0, 200, 200);
const QPointF trayTile(100, 400);

QPointF cellCentre(int row, int col)
{
    return {col * 10 + 5.0, row * 10 + 5.0};
}
} // namespace

class TestGameScreenController : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void tapSelectsAndRotationGoesRound();
    void dragToInvalidCellSendsNothing();
    void shortDragSelects();
    void cancelledDragIgnoresTheRestOfTheTouch();
    void dragReleasedOnValidCellPlaces();
    void turnSignalOncePerTurn();
    void refusedPlacementGivesErrorFeedback();
    void soundOffSilencesEveryEvent();
    void gameOverSignalsOnce();
    void cleanupTestCase();

private:
    [[nodiscard]] bool isMyTurn() const;
    [[nodiscard]] qint64 cell(int row, int col) const;
    // A whole tray drag from the tile to the cell under `finger`.
    void drag(const QString &pieceId, QPointF finger);

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    RecordingFeedback m_feedback;
    std::unique_ptr<NetworkService> m_network;
    std::unique_ptr<KeyValueStore> m_store;
    std::unique_ptr<AuthManager> m_auth;
    std::unique_ptr<GameManager> m_game;
    std::unique_ptr<SoundManager> m_sound;
    std::unique_ptr<GameController> m_controller;
};

void TestGameScreenController::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                                               QStringList{QStringLiteral("--insecure-fast-hash")});
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));

    m_network = std::make_unique<NetworkService>(m_server->baseUrl().toString());
    m_store = std::make_unique<KeyValueStore>(m_dir.filePath(QStringLiteral("store.json")));
    m_auth = std::make_unique<AuthManager>(*m_network, *m_store);
    m_game = std::make_unique<GameManager>(*m_network);
    QCoro::waitFor(m_auth->registerTask("gracz", "gracz@example.pl", "haslo123"));
    QVERIFY2(m_auth->isAuthenticated(), qPrintable(m_auth->errorMessageText()));

    QCoro::waitFor(m_game->createSessionTask(std::nullopt));
    QVERIFY2(m_game->isInGame(), qPrintable(m_game->errorMessageText()));
    QCoro::waitFor(m_game->voteToStartTask(true));
    QCOMPARE(m_game->gameState()->gameStatus, "in_progress");
    QCOMPARE(m_game->gameState()->players.size(), 4);
    QCOMPARE(m_game->myColor(), std::optional<QString>(QStringLiteral("blue")));

    m_sound = std::make_unique<SoundManager>(*m_store, m_feedback);
    m_controller = std::make_unique<GameController>(m_game.get(), m_feedback);
    m_controller->setSoundManager(m_sound.get());
    m_controller->setBoardFrame(boardFrame);
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
}

void TestGameScreenController::init()
{
    // The turn signal is checked with what the placement before it recorded.
    if (QByteArrayView(QTest::currentTestFunction()) != "turnSignalOncePerTurn")
        m_feedback.clear();
}

void TestGameScreenController::cleanupTestCase()
{
    m_controller.reset();
    m_sound.reset();
    m_game.reset();
}

bool TestGameScreenController::isMyTurn() const
{
    const auto &state = m_game->gameState();
    return state && state->gameStatus == u"in_progress" && state->currentPlayerId &&
           state->currentPlayerId == m_game->myPlayerId();
}

qint64 TestGameScreenController::cell(int row, int col) const
{
    return m_game->gameState()->board.value(row).value(col, -1);
}

void TestGameScreenController::drag(const QString &pieceId, QPointF finger)
{
    const QPointF start(0, -10);
    m_controller->trayDragChanged(pieceId, trayTile, start);
    m_controller->updateDragPreview(trayTile + start, start);
    const QPointF translation = finger - trayTile;
    m_controller->trayDragChanged(pieceId, trayTile, translation);
    m_controller->updateDragPreview(finger, translation);
    m_controller->trayDragEnded(pieceId, translation);
}

void TestGameScreenController::tapSelectsAndRotationGoesRound()
{
    m_controller->selectPiece(QStringLiteral("I1"));
    QCOMPARE(m_game->selectedPieceId(), std::optional<QString>(QStringLiteral("I1")));
    for (int i = 1; i <= 4; ++i) {
        m_controller->rotate();
        QCOMPARE(m_game->selectedRotation(), (i * 90) % 360);
    }
    const FeedbackCall rotated = sound(SystemSound::Rotated);
    const FeedbackCall light = haptic(Haptic::LightImpact);
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Selected), light, rotated, light, rotated,
                                  light, rotated, light, rotated, light}));
}

void TestGameScreenController::dragToInvalidCellSendsNothing()
{
    QSignalSpy finished(m_game.get(), &GameManager::placePieceFinished);
    const QString piece = QStringLiteral("I1");
    m_controller->trayDragChanged(piece, trayTile, QPointF(0, -20));
    QCOMPARE(m_controller->draggedPieceId(), piece);
    QCOMPARE(m_game->selectedPieceId(), std::optional<QString>(piece));

    // Over cell (5, 5): the first piece must cover a corner, so the preview is red.
    m_controller->updateDragPreview(cellCentre(5, 5), cellCentre(5, 5) - trayTile);
    QCOMPARE(m_controller->previewRow(), 5);
    QCOMPARE(m_controller->previewCol(), 5);
    QCOMPARE(m_controller->isPreviewValid(), QVariant(false));
    QVERIFY(m_controller->showsTargetCrosshair());
    QVERIFY(!m_controller->floatingPiece().isNull());

    m_controller->trayDragEnded(piece, cellCentre(5, 5) - trayTile);
    QTest::qWait(300);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!m_game->isLoading());
    QCOMPARE(cell(5, 5), 0);
    QCOMPARE(m_controller->draggedPieceId(), QString());
    QVERIFY(!m_controller->hasDragLocation());
    QCOMPARE(m_controller->previewRow(), -1);
    QVERIFY(m_controller->isPreviewValid().isNull());
    QVERIFY(!m_controller->showsTargetCrosshair());
    // Only the drag's start was heard.
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Selected), haptic(Haptic::LightImpact)}));
}

void TestGameScreenController::shortDragSelects()
{
    m_game->setSelectedPieceId(std::nullopt);
    const QString piece = QStringLiteral("V3");
    m_controller->trayDragChanged(piece, trayTile, QPointF(9, 0));
    m_controller->updateDragPreview(trayTile + QPointF(9, 0), QPointF(9, 0));
    m_controller->trayDragEnded(piece, QPointF(10, -10));
    QCOMPARE(m_game->selectedPieceId(), std::optional<QString>(piece));
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Selected), haptic(Haptic::LightImpact),
                                  sound(SystemSound::Selected)}));
}

void TestGameScreenController::cancelledDragIgnoresTheRestOfTheTouch()
{
    QSignalSpy finished(m_game.get(), &GameManager::placePieceFinished);
    const QString piece = QStringLiteral("I1");
    m_controller->trayDragChanged(piece, trayTile, QPointF(0, -30));
    m_controller->updateDragPreview(cellCentre(0, 0), cellCentre(0, 0) - trayTile);
    QCOMPARE(m_controller->isPreviewValid(), QVariant(true));

    m_controller->cancelDrag();
    QCOMPARE(m_controller->draggedPieceId(), QString());
    QCOMPARE(m_controller->previewRow(), -1);
    // The same finger goes on moving and is lifted over the valid cell: nothing happens.
    m_controller->trayDragChanged(piece, trayTile, cellCentre(0, 0) - trayTile);
    m_controller->updateDragPreview(cellCentre(0, 0), cellCentre(0, 0) - trayTile);
    QCOMPARE(m_controller->draggedPieceId(), QString());
    m_controller->trayDragEnded(piece, cellCentre(0, 0) - trayTile);
    QTest::qWait(300);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(cell(0, 0), 0);

    // The next touch drags again.
    m_controller->trayDragChanged(piece, trayTile, QPointF(0, -30));
    QCOMPARE(m_controller->draggedPieceId(), piece);
    m_controller->abandonTrayDrag();
    QCOMPARE(m_controller->draggedPieceId(), QString());
}

void TestGameScreenController::dragReleasedOnValidCellPlaces()
{
    QVERIFY(isMyTurn());
    QSignalSpy finished(m_game.get(), &GameManager::placePieceFinished);
    drag(QStringLiteral("V3"), cellCentre(0, 0));
    QVERIFY(finished.wait(5000));
    QVERIFY2(!m_game->errorMessage(), qPrintable(m_game->errorMessageText()));
    QCOMPARE(cell(0, 0), 1);
    QCOMPARE(cell(0, 1), 1);
    QCOMPARE(cell(1, 0), 1);
    QTRY_VERIFY(m_feedback.calls().size() >= 5);
    QCOMPARE(m_game->selectedPieceId(), std::optional<QString>());
    QCOMPARE(m_game->selectedRotation(), 0);
    QCOMPARE(m_controller->selectedRow(), -1);
    QCOMPARE(m_feedback.calls().mid(0, 5),
             QList<FeedbackCall>({sound(SystemSound::Selected), haptic(Haptic::LightImpact),
                                  sound(SystemSound::Placed), haptic(Haptic::MediumImpact),
                                  haptic(Haptic::MediumImpact)}));

    // The tray no longer offers the piece.
    const auto tray = m_controller->trayPiecesValue();
    QCOMPARE(tray.size(), 20);
    for (const QVariant &entry : tray)
        QVERIFY(entry.toMap().value(QStringLiteral("id")).toString() != u"V3");
}

void TestGameScreenController::turnSignalOncePerTurn()
{
    // The placement handed the turn to a bot; the bots move at once and a poll hands it back.
    QTRY_VERIFY_WITH_TIMEOUT(isMyTurn(), 10000);
    const auto turnSignals = [this] {
        return std::count(m_feedback.calls().cbegin(), m_feedback.calls().cend(),
                          sound(SystemSound::MyTurn));
    };
    QCOMPARE(turnSignals(), 1);
    QCOMPARE(m_feedback.calls().last(), haptic(Haptic::MediumImpact));
    // Polls that repeat the same current player are silent.
    QCoro::waitFor(m_game->refreshGameState());
    QCoro::waitFor(m_game->refreshGameState());
    QCOMPARE(turnSignals(), 1);
}

void TestGameScreenController::refusedPlacementGivesErrorFeedback()
{
    QVERIFY(isMyTurn());
    m_controller->selectPiece(QStringLiteral("I1"));
    m_controller->rotate();
    m_feedback.clear();
    // A tap on a board cell far from blue's cells: the server refuses it.
    auto task = m_controller->placeTask(QStringLiteral("I1"), 10, 10);
    QCoro::waitFor(std::move(task));
    QVERIFY(m_game->errorMessage().has_value());
    QCOMPARE(m_feedback.calls(),
             QList<FeedbackCall>({sound(SystemSound::Refused), haptic(Haptic::ErrorNotification)}));
    // Cleared all the same.
    QCOMPARE(m_game->selectedPieceId(), std::optional<QString>());
    QCOMPARE(m_game->selectedRotation(), 0);
    QCOMPARE(cell(10, 10), 0);
    m_game->setErrorMessage(std::nullopt);
}

void TestGameScreenController::soundOffSilencesEveryEvent()
{
    m_sound->toggleSound();
    QVERIFY(!m_sound->isSoundEnabled());
    m_controller->selectPiece(QStringLiteral("I2"));
    m_controller->rotate();
    m_controller->trayDragChanged(QStringLiteral("I2"), trayTile, QPointF(0, -40));
    m_controller->trayDragEnded(QStringLiteral("I2"), QPointF(5, 5));
    m_controller->rotate();
    m_controller->rotate();
    m_controller->rotate();
    QVERIFY(m_feedback.calls().isEmpty());
    m_sound->toggleSound();
    m_game->setSelectedPieceId(std::nullopt);
}

void TestGameScreenController::gameOverSignalsOnce()
{
    QVERIFY(isMyTurn());
    QSignalSpy finished(m_game.get(), &GameManager::placePieceFinished);
    QCoro::waitFor(m_game->passTurnTask());
    // Once out, this player's taps on the board send nothing.
    m_controller->selectPiece(QStringLiteral("I1"));
    m_controller->cellTapped(0, 19);
    QCOMPARE(m_controller->selectedRow(), 0);
    QCOMPARE(m_controller->selectedCol(), 19);

    QTRY_VERIFY_WITH_TIMEOUT(m_controller->wasGameFinished(), 30000);
    QCOMPARE(finished.count(), 0);
    const auto gameOver = std::count(m_feedback.calls().cbegin(), m_feedback.calls().cend(),
                                     sound(SystemSound::GameFinished));
    QCOMPARE(gameOver, 1);
    QVERIFY(m_feedback.calls().contains(haptic(Haptic::SuccessNotification)));

    // The results list every player, best first, with places.
    const auto ranked = m_controller->rankedPlayersValue();
    QCOMPARE(ranked.size(), 4);
    qint64 previous = std::numeric_limits<qint64>::max();
    for (int i = 0; i < ranked.size(); ++i) {
        const auto entry = ranked.at(i).toMap();
        QCOMPARE(entry.value(QStringLiteral("place")).toInt(), i + 1);
        QVERIFY(entry.value(QStringLiteral("score")).toLongLong() <= previous);
        previous = entry.value(QStringLiteral("score")).toLongLong();
    }
    QCOMPARE(ranked.first().toMap().value(QStringLiteral("name")).toString(),
             m_game->gameState()->winner->name);

    // A later poll of the finished game gives no second signal.
    m_feedback.clear();
    QCoro::waitFor(m_game->refreshGameState());
    QVERIFY(m_feedback.calls().isEmpty());
}

QTEST_GUILESS_MAIN(TestGameScreenController)
#include "tst_gamescreencontroller.moc"
