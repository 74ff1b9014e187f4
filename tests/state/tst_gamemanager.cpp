// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagcapture.h"
#include "gamemanager.h"
#include "scriptedhttpserver.h"

#include <QAbstractItemModelTester>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

Q_DECLARE_METATYPE(korvana::test::ScriptedResponse)

namespace {
QByteArray stateJson(const QString &status, const QByteArray &players = "[]",
                     const QByteArray &extra = "")
{
    return QStringLiteral(R"({"roomId":"r1","gameStatus":"%1","players":%2%3})")
        .arg(status, QString::fromUtf8(players), QString::fromUtf8(extra))
        .toUtf8();
}

QByteArray seatJson(const QString &status, const QByteArray &players = "[]")
{
    return R"({"sessionId":"s1","roomId":"r1","playerId":"p1","playerName":"Ala","color":"blue","gameState":)" +
           stateJson(status, players) + "}";
}

QByteArray pollJson(const QString &status, const QByteArray &players = "[]",
                    const QByteArray &extra = "")
{
    return R"({"session":{"sessionId":"s1","userId":"1","playerId":"p1","roomId":"r1","color":"blue"},"gameState":)" +
           stateJson(status, players, extra) + "}";
}

// A poll answer of a server that holds polls: the state, its tag, and the offer.
ScriptedResponse offered(int status, const QByteArray &body, const QByteArray &tag)
{
    return ScriptedResponse::json(status, body)
        .withHeader("ETag", tag)
        .withHeader("Preference-Applied", "wait=25");
}

QByteArray player(const char *id, int score, const QByteArray &pieces = "[]")
{
    return QStringLiteral(R"({"playerId":"%1","name":"%1","color":"red","score":%2,"pieces":%3})")
        .arg(QLatin1String(id))
        .arg(score)
        .arg(QString::fromUtf8(pieces))
        .toUtf8();
}

const QByteArray kCatalogue =
    R"({"pieces":[{"id":"I2","name":"Dwójka","size":2,"squares":[[0,0],[0,1]]}]})";
const QString kNotFound =
    "Gra nie została znaleziona. Może została już zakończona. Odśwież listę serwerów.";
const QString kStarted = "Gra już się rozpoczęła. Nie można dołączyć do gry w trakcie.";
} // namespace

class TestGameManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void failureMessages_data();
    void failureMessages();
    void reloadChangesOnlyTheRoomsThatDiffer();
    void backgroundReloadKeepsAnActionAlert();
    void joinAlertAcknowledgedDuringItsReloadStaysAway();
    void serverListAlertsOncePerOutage();
    void alreadyInGameRetriesOnceAfterAWait();
    void enteringFillsSquaresAndPolls();
    void pollIntervalFollowsThePhase();
    void finishedStopsPollingAndSavesRank_data();
    void finishedStopsPollingAndSavesRank();
    void lateAnswerAfterLeavingChangesNothing();
    void pollOvertakenByMoveDoesNotRollBack();
    void refusedPlacementKeepsSelection_data();
    void refusedPlacementKeepsSelection();
    void successWithoutAState_data();
    void successWithoutAState();
    void finishedGameIsNeverPolledAgain_data();
    void finishedGameIsNeverPolledAgain();
    void outageAlertsCloseWhenTheConnectionReturns_data();
    void outageAlertsCloseWhenTheConnectionReturns();
    void destroyedWithRequestsInFlight();
    void heldPollReplacesTheTimerWhenOffered();
    void heldPollAnswerOvertakenByAMoveIsDropped();
    void moveReplyBehindTheHeldPollIsDropped();
    void heldPollFailureFallsBackToTheTimer();
    void answersAtOnceNeverLoopWithoutAPause_data();
    void answersAtOnceNeverLoopWithoutAPause();
    void leavingEndsTheHeldPoll();

private:
    void enter(const QString &status, const QByteArray &players = "[]");

    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<NetworkService> m_network;
    std::unique_ptr<GameManager> m_manager;
};

void TestGameManager::init()
{
    m_server = std::make_unique<ScriptedHttpServer>();
    m_server->setDefault("/api/game/pieces", ScriptedResponse::json(200, kCatalogue));
    m_server->setDefault("/api/game/servers", ScriptedResponse::json(200, R"({"servers":[]})"));
    m_network = std::make_unique<NetworkService>(m_server->baseUrl().toString());
    m_network->setTimeoutMs(5000);
    m_manager = std::make_unique<GameManager>(*m_network);
}

void TestGameManager::cleanup()
{
    m_manager.reset();
    m_network.reset();
    m_server.reset();
}

void TestGameManager::enter(const QString &status, const QByteArray &players)
{
    m_server->enqueue("/api/game/join", ScriptedResponse::json(200, seatJson(status, players)));
    QCoro::waitFor(m_manager->joinGameTask("r1"));
    QVERIFY(!m_manager->isLoading());
}

void TestGameManager::failureMessages_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("reloadsServers");

    QTest::addRow("servers 401") << "servers" << 401 << QByteArray()
                                 << "Musisz się zalogować, aby zobaczyć listę serwerów" << false;
    QTest::addRow("servers text") << "servers" << 500 << QByteArray(R"({"error":"Awaria"})")
                                  << "Błąd serwera: Awaria" << false;
    QTest::addRow("create 401") << "create" << 401 << QByteArray()
                                << "Musisz się zalogować, aby utworzyć sesję gry" << false;
    QTest::addRow("join started, any case")
        << "join" << 400 << QByteArray(R"({"error":"GRA JUŻ SIĘ ROZPOCZĘŁA"})") << kStarted << true;
    QTest::addRow("join 401") << "join" << 401 << QByteArray()
                              << "Musisz się zalogować, aby dołączyć do gry" << false;
    QTest::addRow("join 404") << "join" << 404 << QByteArray() << kNotFound << true;
    QTest::addRow("join 500") << "join" << 500 << QByteArray()
                              << "Błąd serwera (HTTP 500). Spróbuj ponownie." << false;
    QTest::addRow("rejoin 401") << "rejoin" << 401 << QByteArray()
                                << "Musisz się zalogować, aby powrócić do gry" << false;
    QTest::addRow("rejoin 400") << "rejoin" << 400 << QByteArray()
                                << "Gra już się zakończyła lub nieprawidłowe dane" << false;
    QTest::addRow("rejoin 404") << "rejoin" << 404 << QByteArray()
                                << "Gra nie została znaleziona lub nie jesteś jej uczestnikiem"
                                << false;
}

void TestGameManager::failureMessages()
{
    QFETCH(QString, operation);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(bool, reloadsServers);
    const QHash<QString, QString> paths{{"servers", "/api/game/servers"},
                                        {"create", "/api/game/session"},
                                        {"join", "/api/game/join"},
                                        {"rejoin", "/api/game/rejoin"}};
    if (operation == u"servers") {
        m_server->enqueue(paths[operation],
                          ScriptedResponse::json(200, R"({"servers":[{"roomId":"a"}]})"));
        QCoro::waitFor(m_manager->loadServersTask());
        QCOMPARE(m_manager->servers().size(), 1);
    }
    m_server->enqueue(paths[operation], ScriptedResponse::json(status, body));
    m_server->clearRequests();
    DiagCapture quiet;
    if (operation == u"servers")
        QCoro::waitFor(m_manager->loadServersTask());
    else if (operation == u"create")
        QCoro::waitFor(m_manager->createSessionTask(300));
    else if (operation == u"join")
        QCoro::waitFor(m_manager->joinGameTask("r1"));
    else
        QCoro::waitFor(m_manager->rejoinGameTask("r1"));
    QCOMPARE(m_manager->errorMessageText(), message);
    QVERIFY(!m_manager->isLoading() && !m_manager->isInGame());
    QVERIFY(m_manager->servers().isEmpty()); // no stale list beside an error
    const auto &sent = m_server->requests();
    QCOMPARE(std::count_if(sent.cbegin(), sent.cend(),
                           [](const auto &r) { return r.path == u"/api/game/servers"; }),
             int(operation == u"servers") + int(reloadsServers));
}

void TestGameManager::reloadChangesOnlyTheRoomsThatDiffer()
{
    DiagCapture quiet;
    const auto room = [](const char *id, int players) {
        return QStringLiteral(R"({"roomId":"%1","playerCount":%2})")
            .arg(QLatin1String(id))
            .arg(players);
    };
    const auto list = [](const QStringList &rooms) {
        return R"({"servers":[)" + rooms.join(',').toUtf8() + "]}";
    };
    m_server->enqueue(
        "/api/game/servers",
        ScriptedResponse::json(200, list({room("a", 1), room("b", 1), room("c", 2)})));
    QCoro::waitFor(m_manager->loadServersTask());
    RecordListModel *rooms = m_manager->serversModel();
    QAbstractItemModelTester tester(rooms, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy reset(rooms, &QAbstractItemModel::modelReset);
    QSignalSpy changed(rooms, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(rooms, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(rooms, &QAbstractItemModel::rowsRemoved);
    // "a" is gone, "b" gained a player, "c" is as it was, "d" is new.
    m_server->enqueue(
        "/api/game/servers",
        ScriptedResponse::json(200, list({room("b", 2), room("c", 2), room("d", 0)})));
    QCoro::waitFor(m_manager->loadServersTask());
    QCOMPARE(reset.count(), 0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(changed.count(), 1);
    const QModelIndex row = changed.at(0).at(0).toModelIndex();
    QCOMPARE(row.row(), 0);
    QCOMPARE(row.data(rooms->roleNames().key("playerCount")).toInt(), 2);
    QCOMPARE(changed.at(0).at(2).value<QList<int>>(),
             QList<int>{rooms->roleNames().key("playerCount")});
    QStringList ids;
    for (int r = 0; r < rooms->rowCount(); ++r)
        ids << rooms->index(r).data(rooms->roleNames().key("roomId")).toString();
    QCOMPARE(ids, (QStringList{"b", "c", "d"}));
}

void TestGameManager::backgroundReloadKeepsAnActionAlert()
{
    DiagCapture quiet;
    m_server->enqueue("/api/game/join", ScriptedResponse::json(400, R"({"error":"Pokój pełny"})"));
    QCoro::waitFor(m_manager->joinGameTask("r1"));
    QCoro::waitFor(m_manager->loadServersTask());
    QCOMPARE(m_manager->errorMessageText(), "Pokój pełny");
}

void TestGameManager::joinAlertAcknowledgedDuringItsReloadStaysAway()
{
    DiagCapture quiet;
    m_server->enqueue("/api/game/join", ScriptedResponse::json(404)); // the room is gone
    m_server->setDefault("/api/game/servers",
                         ScriptedResponse::json(200, R"({"servers":[]})").after(300ms));
    auto join = m_manager->joinGameTask("r1");
    QTRY_VERIFY(m_manager->errorMessage());
    m_manager->setErrorMessageText(""); // the player's "OK" while the list reloads
    QCoro::waitFor(std::move(join));
    QVERIFY(!m_manager->errorMessage());
}

void TestGameManager::serverListAlertsOncePerOutage()
{
    DiagCapture quiet;
    const QString down = "Błąd serwera (HTTP 502)";
    m_server->setDefault("/api/game/servers", ScriptedResponse::json(502));
    QCoro::waitFor(m_manager->loadServersTask());
    QCOMPARE(m_manager->errorMessageText(), down);
    m_manager->setErrorMessageText(""); // the player's "OK"
    QCoro::waitFor(m_manager->loadServersTask());
    QVERIFY(!m_manager->errorMessage()); // the same outage stays quiet
    m_manager->loadServers();            // but the player's own refresh alerts
    QTRY_COMPARE(m_manager->errorMessageText(), down);

    // A successful reload ends the outage and takes its own alert away.
    m_server->setDefault("/api/game/servers", ScriptedResponse::json(200, R"({"servers":[]})"));
    QCoro::waitFor(m_manager->loadServersTask());
    QVERIFY(!m_manager->errorMessage());
    m_server->setDefault("/api/game/servers", ScriptedResponse::json(502));
    QCoro::waitFor(m_manager->loadServersTask());
    QCOMPARE(m_manager->errorMessageText(), down);
}

void TestGameManager::alreadyInGameRetriesOnceAfterAWait()
{
    DiagCapture quiet;
    m_server->enqueue("/api/game/join",
                      ScriptedResponse::json(409, R"({"error":"Gracz już jest w grze"})"));
    m_server->enqueue("/api/game/join", ScriptedResponse::json(200, seatJson("finished")));
    QElapsedTimer clock;
    clock.start();
    QCoro::waitFor(m_manager->joinGameTask("r1"));
    QVERIFY(clock.elapsed() >= 450);
    QVERIFY(m_manager->isInGame()); // a retried join counts a finished game too
    QVERIFY(!m_manager->errorMessage());
    QCOMPARE(m_server->requestCount(), 3); // pieces, join, join: the retry reloads no list

    // A retry that fails again gives its own message.
    m_server->setDefault("/api/game/join",
                         ScriptedResponse::json(409, R"({"error":"already in game"})"));
    QCoro::waitFor(m_manager->joinGameTask("r1"));
    QCOMPARE(m_manager->errorMessageText(),
             "Nie udało się dołączyć do serwera. Spróbuj ponownie za chwilę.");
    QVERIFY(!m_manager->isLoading());
}

void TestGameManager::enteringFillsSquaresAndPolls()
{
    DiagCapture quiet;
    const QByteArray pieces =
        R"([{"id":"I2","name":"Dwójka","size":2},{"id":"I2","name":"x","placed":true},{"id":"ZZ","name":"?"}])";
    enter("waiting", "[" + player("p1", 0, pieces) + "]");
    QVERIFY(m_manager->isInGame());
    const auto &mine = m_manager->gameState()->players.at(0).pieces;
    QCOMPARE(mine.at(0).squares.size(), 2);
    QVERIFY(mine.at(1).squares.isEmpty()); // placed pieces are left alone
    QVERIFY(mine.at(2).squares.isEmpty());
    QVERIFY(m_manager->updateTimer()->isActive());
}

void TestGameManager::pollIntervalFollowsThePhase()
{
    enter("waiting");
    QCOMPARE(m_manager->updateTimer()->interval(), 1000);
    m_server->setDefault("/api/game/session/s1", ScriptedResponse::json(200, pollJson("waiting")));
    QTRY_VERIFY(m_manager->updateTimer()->remainingTime() < 800);
    QCoro::waitFor(m_manager->refreshGameState());
    // Same status: the timer was not restarted, so part of its second is already gone.
    QVERIFY2(m_manager->updateTimer()->remainingTime() < 800,
             qPrintable(QString::number(m_manager->updateTimer()->remainingTime())));

    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("in_progress")));
    QCoro::waitFor(m_manager->refreshGameState());
    QCOMPARE(m_manager->updateTimer()->interval(), 2000);
    QVERIFY(m_manager->updateTimer()->remainingTime() > 1500);
}

void TestGameManager::finishedStopsPollingAndSavesRank_data()
{
    QTest::addColumn<QByteArray>("players");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<int>("saveStatus");
    QTest::addColumn<QString>("message");
    const QByteArray ranked =
        "[" + player("p3", 30) + "," + player("p2", 50) + "," + player("p1", 50) + "]";
    const QByteArray save = R"({"roomId":"r1","score":50,"position":2,"playersCount":3})";
    QTest::addRow("second of two fifties") << ranked << save << 200 << QString();
    QTest::addRow("not among the players")
        << QByteArray("[" + player("p7", 10) + "]") << QByteArray() << 200 << QString();
    // The player is in the lobby by the time the save fails: the lobby tells it.
    QTest::addRow("save fails after leaving")
        << ranked << save << 500 << "Nie udało się zapisać wyniku: Błąd HTTP: 500";
}

void TestGameManager::finishedStopsPollingAndSavesRank()
{
    QFETCH(QByteArray, players);
    QFETCH(QByteArray, saved);
    QFETCH(int, saveStatus);
    QFETCH(QString, message);
    enter("in_progress");
    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("finished", players)));
    const QByteArray savedScore =
        R"({"message":"ok","score":{"id":1,"userId":1,"score":50,"position":2}})";
    m_server->setDefault(
        "/api/scores",
        ScriptedResponse::json(saveStatus, saveStatus == 200 ? savedScore : "").after(200ms));
    m_server->setDefault("/api/game/servers",
                         ScriptedResponse::json(200, R"({"servers":[]})").after(300ms));
    m_server->clearRequests();
    QSignalSpy finished(m_manager.get(), &GameManager::gameFinished);
    auto poll = m_manager->refreshGameState();
    QTRY_VERIFY(m_manager->gameState()->gameStatus == GameStatus::Finished);
    QVERIFY(!m_manager->updateTimer()->isActive());
    // A second answer about the finished game saves nothing more, and leaving the results at
    // once loses nothing.
    QCoro::waitFor(m_manager->refreshGameState());
    m_manager->leaveGame();
    QCoro::waitFor(poll);
    QByteArrayList bodies;
    for (const auto &r : m_server->requests())
        if (r.path == u"/api/scores")
            bodies << r.body;
    QCOMPARE(bodies, saved.isEmpty() ? QByteArrayList() : QByteArrayList{saved});
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!m_manager->isLoading());
    QCOMPARE(m_manager->errorMessageText(), message);
}

void TestGameManager::lateAnswerAfterLeavingChangesNothing()
{
    enter("in_progress");
    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("in_progress")).after(200ms));
    m_server->enqueue(
        "/api/game/pass",
        ScriptedResponse::json(200, R"({"success":false,"error":"Nie twoja tura"})").after(200ms));
    auto poll = m_manager->refreshGameState();
    auto pass = m_manager->passTurnTask();
    m_manager->leaveGame();
    QCoro::waitFor(poll);
    QCoro::waitFor(pass);
    QVERIFY(!m_manager->isInGame() && !m_manager->gameState() && !m_manager->myPlayerId());
    QVERIFY(!m_manager->errorMessage() && !m_manager->isLoading());
    QVERIFY(!m_manager->session());
}

void TestGameManager::pollOvertakenByMoveDoesNotRollBack()
{
    enter("in_progress");
    const QByteArray empty = R"(,"board":[[0,0],[0,0]])";
    const QByteArray placed = R"(,"board":[[1,1],[0,0]])";
    m_server->enqueue(
        "/api/game/session/s1",
        ScriptedResponse::json(200, pollJson("in_progress", "[]", empty)).after(300ms));
    m_server->enqueue("/api/game/place",
                      ScriptedResponse::json(200, R"({"success":true,"gameState":)" +
                                                      stateJson("in_progress", "[]", placed) +
                                                      "}"));
    auto poll = m_manager->refreshGameState(); // sent first, answered last
    QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0));
    QCOMPARE(m_manager->gameState()->board.at(0).at(1), 1);
    QCoro::waitFor(poll);
    QCOMPARE(m_manager->gameState()->board.at(0).at(1), 1);
}

void TestGameManager::refusedPlacementKeepsSelection_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("message");
    const QString generic = "Serwer nie przyjął tej akcji. Spróbuj ponownie.";
    QTest::addRow("with a reason")
        << QByteArray(R"({"success":false,"error":"Zły ruch"})") << "Zły ruch";
    QTest::addRow("without a reason") << QByteArray(R"({"success":false})") << generic;
}

void TestGameManager::refusedPlacementKeepsSelection()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, message);
    enter("in_progress");
    m_manager->setSelectedPieceId(QString("I2"));
    m_manager->setSelectedRotation(90);
    m_server->enqueue("/api/game/place", ScriptedResponse::json(200, answer));
    QCoro::waitFor(m_manager->placePieceTask("I2", 5, 5, 90));
    QCOMPARE(m_manager->errorMessageText(), message);
    QCOMPARE(m_manager->selectedPieceId(), std::optional<QString>("I2"));
    QCOMPARE(m_manager->selectedRotation(), 90);
}

void TestGameManager::successWithoutAState_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    const QString generic = "Serwer nie przyjął tej akcji. Spróbuj ponownie.";
    // Only placements and passes promise a new state; a vote may be accepted without one.
    QTest::addRow("vote") << "vote" << QString();
    QTest::addRow("placement") << "place" << generic;
    QTest::addRow("pass") << "pass" << generic;
}

void TestGameManager::successWithoutAState()
{
    QFETCH(QString, action);
    QFETCH(QString, message);
    DiagCapture quiet;
    enter("waiting");
    const QString path = action == u"vote" ? "/api/game/vote-to-start" : "/api/game/" + action;
    m_server->enqueue(path, ScriptedResponse::json(200, R"({"success":true,"started":false})"));
    if (action == u"vote")
        QCoro::waitFor(m_manager->voteToStartTask(false));
    else if (action == u"place")
        QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0));
    else
        QCoro::waitFor(m_manager->passTurnTask());
    QCOMPARE(m_manager->errorMessageText(), message);
    QVERIFY(m_manager->isInGame() && !m_manager->isLoading());
}

void TestGameManager::finishedGameIsNeverPolledAgain_data()
{
    QTest::addColumn<ScriptedResponse>("heldAnswer");
    // The two ways a held poll falls back to the timer.
    QTest::addRow("held poll fails") << ScriptedResponse::json(500).after(300ms);
    QTest::addRow("held poll answered without the offer")
        << ScriptedResponse::json(304).after(300ms);
}

void TestGameManager::finishedGameIsNeverPolledAgain()
{
    QFETCH(ScriptedResponse, heldAnswer);
    DiagCapture quiet;
    enter("in_progress");
    const QString path = "/api/game/session/s1";
    m_server->enqueue(path, offered(200, pollJson("in_progress"), "\"v1\""));
    m_server->enqueue(path, heldAnswer);
    m_server->setDefault(path, ScriptedResponse::json(200, pollJson("finished")));
    QCoro::waitFor(m_manager->refreshGameState());
    QVERIFY(m_manager->isHoldingPoll());
    // A plain poll sees the end while the held one is still out.
    QCoro::waitFor(m_manager->refreshGameState());
    QCOMPARE(m_manager->gameState()->gameStatus, GameStatus::Finished);
    QTRY_VERIFY(!m_manager->isHoldingPoll());
    QVERIFY(!m_manager->updateTimer()->isActive());
    const int before = m_server->requestCount();
    m_manager->connectionRestored(); // nor does the end of an outage poll it
    QVERIFY(!m_manager->updateTimer()->isActive() && !m_manager->isHoldingPoll());
    QCOMPARE(m_server->requestCount(), before);
}

void TestGameManager::outageAlertsCloseWhenTheConnectionReturns_data()
{
    QTest::addColumn<ScriptedResponse>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addRow("no answer") << ScriptedResponse::neverAnswer() << true;
    QTest::addRow("the server's refusal")
        << ScriptedResponse::json(200, R"({"success":false,"error":"Zły ruch"})") << false;
}

void TestGameManager::outageAlertsCloseWhenTheConnectionReturns()
{
    QFETCH(ScriptedResponse, answer);
    QFETCH(bool, closes);
    enter("in_progress");
    m_network->setTimeoutMs(300);
    m_server->enqueue("/api/game/place", answer);
    QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0));
    QVERIFY(m_manager->errorMessage());
    // Back from the outage: its alert goes by itself, and the game is asked for at once.
    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("in_progress")));
    const int before = m_server->requestCount();
    m_manager->connectionRestored();
    QVERIFY(m_server->waitForRequests(before + 1, 1000ms));
    QCOMPARE(m_server->requests().last().path, "/api/game/session/s1");
    QCOMPARE(!m_manager->errorMessage(), closes);
}

void TestGameManager::destroyedWithRequestsInFlight()
{
    enter("in_progress");
    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("finished")).after(100ms));
    m_server->setDefault("/api/game/join",
                         ScriptedResponse::json(200, seatJson("waiting")).after(100ms));
    QSignalSpy answered(m_network.get(), &NetworkService::serverAnswered);
    m_manager->refreshGameState();
    m_manager->joinGameTask("r2");
    m_manager->passTurnTask();
    m_manager.reset();
    // The answers arrive to a manager that is gone.
    QTRY_VERIFY(answered.count() >= 2);
    QVERIFY(m_server->requestCount() >= 3);
}

void TestGameManager::heldPollReplacesTheTimerWhenOffered()
{
    enter("in_progress");
    const QString path = "/api/game/session/s1";
    const QByteArray moved = R"(,"board":[[1]])";
    m_server->enqueue(path, offered(200, pollJson("in_progress"), "\"v1\""));
    m_server->enqueue(path, offered(304, {}, "\"v1\"").after(100ms));
    m_server->enqueue(path, offered(200, pollJson("in_progress", "[]", moved), "\"v2\""));
    m_server->setDefault(path, ScriptedResponse::neverAnswer());
    QCoro::waitFor(m_manager->refreshGameState());
    QVERIFY(!m_manager->updateTimer()->isActive());
    QVERIFY(m_server->waitForRequests(m_server->requestCount() + 3));
    QTRY_COMPARE(m_manager->gameState()->board.value(0).value(0), 1);
    QVERIFY(m_manager->isHoldingPoll());
    QStringList tags;
    for (const auto &r : m_server->requests())
        if (r.path == path)
            tags << r.header("If-None-Match") + ' ' + r.header("Prefer");
    // The timer's poll names no tag; a 304 keeps the tag; the next poll waits on the new one.
    QCOMPARE(tags, (QStringList{" wait=25", "\"v1\" wait=25", "\"v1\" wait=25", "\"v2\" wait=25"}));
}

void TestGameManager::heldPollAnswerOvertakenByAMoveIsDropped()
{
    enter("in_progress");
    const QString path = "/api/game/session/s1";
    m_server->enqueue(path, offered(200, pollJson("in_progress"), "\"v1\""));
    m_server->enqueue(path, offered(200, pollJson("in_progress"), "\"v2\"").after(300ms));
    m_server->setDefault(path, ScriptedResponse::neverAnswer());
    m_server->enqueue(
        "/api/game/place",
        ScriptedResponse::json(200, R"({"success":true,"gameState":)" +
                                        stateJson("in_progress", "[]", R"(,"board":[[1]])") + "}"));
    QCoro::waitFor(m_manager->refreshGameState());
    QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0)); // answered before the held poll
    QVERIFY(m_server->waitForRequests(m_server->requestCount() + 1));
    QCOMPARE(m_manager->gameState()->board.value(0).value(0), 1);
    // The next poll waits on the tag of the state it applied, so it brings what was dropped.
    QCOMPARE(m_server->requests().last().header("If-None-Match"), "\"v1\"");
}

void TestGameManager::moveReplyBehindTheHeldPollIsDropped()
{
    enter("in_progress");
    const QString path = "/api/game/session/s1";
    const auto turn = [](int n) { return QByteArray(R"(,"turnNumber":)") + QByteArray::number(n); };
    m_server->enqueue(path, offered(200, pollJson("in_progress", "[]", turn(5)), "\"v1\""));
    // The held poll, sent first, sees the move and the bots after it before the move's reply.
    m_server->enqueue(path,
                      offered(200, pollJson("in_progress", "[]", turn(7)), "\"v3\"").after(100ms));
    m_server->setDefault(path, ScriptedResponse::neverAnswer());
    m_server->enqueue("/api/game/place",
                      ScriptedResponse::json(200, R"({"success":true,"gameState":)" +
                                                      stateJson("in_progress", "[]", turn(6)) + "}")
                          .after(400ms));
    QCoro::waitFor(m_manager->refreshGameState());
    QVERIFY(m_manager->isHoldingPoll());
    QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0));
    QCOMPARE(m_manager->gameState()->turnNumber, 7);
}

void TestGameManager::heldPollFailureFallsBackToTheTimer()
{
    enter("waiting");
    const QString path = "/api/game/session/s1";
    m_server->enqueue(path, offered(200, pollJson("waiting"), "\"v1\""));
    m_server->enqueue(path, ScriptedResponse::json(500));
    QCoro::waitFor(m_manager->refreshGameState());
    QTRY_VERIFY(!m_manager->isHoldingPoll());
    QVERIFY(m_manager->updateTimer()->isActive());
    QCOMPARE(m_manager->updateTimer()->interval(), 1000);
}

void TestGameManager::answersAtOnceNeverLoopWithoutAPause_data()
{
    QTest::addColumn<ScriptedResponse>("answer");
    QTest::addRow("304") << offered(304, {}, "\"v1\"");
    QTest::addRow("the same tag") << offered(200, pollJson("in_progress"), "\"v1\"");
    QTest::addRow("no tag") << offered(200, pollJson("in_progress"), {});
}

void TestGameManager::answersAtOnceNeverLoopWithoutAPause()
{
    QFETCH(ScriptedResponse, answer);
    enter("in_progress");
    m_server->enqueue("/api/game/session/s1", offered(200, pollJson("in_progress"), "\"v1\""));
    m_server->setDefault("/api/game/session/s1", answer);
    const int before = m_server->requestCount();
    QCoro::waitFor(m_manager->refreshGameState());
    // A loop would hold the next poll at once: here the answer at once leads to a pause.
    QTRY_VERIFY(!m_manager->isHoldingPoll());
    QCOMPARE(m_server->requestCount() - before, 2);
    QVERIFY(m_server->waitForRequests(before + 3)); // and after the pause, the next one
}

void TestGameManager::leavingEndsTheHeldPoll()
{
    enter("in_progress");
    m_server->enqueue("/api/game/session/s1", offered(200, pollJson("in_progress"), "\"v1\""));
    m_server->setDefault("/api/game/session/s1",
                         offered(200, pollJson("finished"), "\"v2\"").after(300ms));
    QCoro::waitFor(m_manager->refreshGameState());
    QVERIFY(m_manager->isHoldingPoll());
    QPointer left = m_manager->session();
    m_manager->leaveGame();
    QTRY_VERIFY(!left); // gone once its held poll came back
    QVERIFY(!m_manager->session() && !m_manager->gameState());

    // The next game's first poll is held at once, naming no tag: its first move is not late.
    m_server->setDefault("/api/game/session/s1", ScriptedResponse::neverAnswer());
    const int before = m_server->requestCount();
    enter("in_progress");
    QVERIFY(m_manager->isHoldingPoll() && !m_manager->updateTimer()->isActive());
    QVERIFY(m_server->waitForRequests(before + 2));
    QVERIFY(m_server->requests().last().header("If-None-Match").isNull());
}

QTEST_GUILESS_MAIN(TestGameManager)
#include "tst_gamemanager.moc"
