#include "diagcapture.h"
#include "gamemanager.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

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
} // namespace

class TestGameManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadServersFailures_data();
    void loadServersFailures();
    void loadTimeOptions_data();
    void loadTimeOptions();
    void createFailures_data();
    void createFailures();
    void joinFailures_data();
    void joinFailures();
    void rejoinFailures_data();
    void rejoinFailures();
    void alreadyInGameRetriesOnceAfterAWait();
    void enteringFillsSquaresAndPolls();
    void unknownStatusIsNotAGame();
    void createWhileInGameLeavesFirst();
    void pollIntervalFollowsThePhase();
    void finishedStopsPollingAndSavesRank_data();
    void finishedStopsPollingAndSavesRank();
    void lateAnswerAfterLeavingChangesNothing();
    void pollOvertakenByMoveDoesNotRollBack();
    void actionsWithoutSessionSendNothing();
    void placeRefusedKeepsSelection();
    void voteWithoutStartedKeepsWaiting();
    void destroyedWithRequestsInFlight();

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

void TestGameManager::loadServersFailures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");

    QTest::addRow("unauthorized")
        << 401 << QByteArray() << "Musisz się zalogować, aby zobaczyć listę serwerów"
        << QStringList{
               R"(❌ Błąd sieci przy ładowaniu serwerów: unauthorized("Brak tokenu autoryzacyjnego"))"};
    QTest::addRow("decoding") << 200 << QByteArray(R"({"servers":7})")
                              << "Błąd parsowania danych z serwera"
                              << QStringList{"❌ Błąd sieci przy ładowaniu serwerów: decodingError",
                                             "❌ Błąd dekodowania odpowiedzi serwera"};
    QTest::addRow("http") << 404 << QByteArray() << "Błąd serwera (HTTP 404)"
                          << QStringList{"❌ Błąd sieci przy ładowaniu serwerów: httpError(404)",
                                         "❌ Błąd HTTP 404"};
    QTest::addRow("server") << 500 << QByteArray(R"({"error":"Awaria"})") << "Błąd serwera: Awaria"
                            << QStringList{
                                   R"(❌ Błąd sieci przy ładowaniu serwerów: serverError("Awaria"))",
                                   "❌ Błąd serwera: Awaria"};
}

void TestGameManager::loadServersFailures()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    m_server->enqueue("/api/game/servers",
                      ScriptedResponse::json(200, R"({"servers":[{"roomId":"a"}]})"));
    QCoro::waitFor(m_manager->loadServersTask());
    QCOMPARE(m_manager->servers().size(), 1);

    m_server->enqueue("/api/game/servers", ScriptedResponse::json(status, body));
    DiagCapture capture;
    QCoro::waitFor(m_manager->loadServersTask());
    QVERIFY(m_manager->servers().isEmpty()); // no stale list beside an error
    QCOMPARE(m_manager->errorMessageText(), message);
    QStringList own;
    for (const QString &line : std::as_const(capture.lines))
        if (line.startsWith("❌"))
            own << line;
    QCOMPARE(own, lines);
    QVERIFY(!m_manager->isLoading());
}

void TestGameManager::loadTimeOptions_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("lines");

    QTest::addRow("two options")
        << 200
        << QByteArray(
               R"({"options":[{"value":1,"label":"a","seconds":60},{"value":2,"label":"b","seconds":120}]})")
        << 2 << QStringList{"✅ Załadowano 2 opcji czasu z serwera"};
    QTest::addRow("empty list")
        << 200 << QByteArray(R"({"options":[]})") << 6
        << QStringList{"⚠️ Serwer zwrócił pustą listę opcji czasu, używam domyślnych"};
    QTest::addRow("unauthorized") << 401 << QByteArray() << 6
                                  << QStringList{
                                         "⚠️ Brak autoryzacji przy ładowaniu opcji czasu "
                                         "(endpoint powinien być publiczny)"};
    QTest::addRow("http") << 500 << QByteArray() << 6
                          << QStringList{"⚠️ Błąd HTTP 500 przy ładowaniu opcji czasu"};
    QTest::addRow("server") << 503 << QByteArray(R"({"error":"Przerwa"})") << 6
                            << QStringList{
                                   "⚠️ Błąd serwera przy ładowaniu opcji czasu: Przerwa"};
}

void TestGameManager::loadTimeOptions()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, count);
    QFETCH(QStringList, lines);
    m_server->enqueue("/api/game/time-options", ScriptedResponse::json(status, body));
    DiagCapture capture;
    QCoro::waitFor(m_manager->loadTimeOptionsTask());
    QCOMPARE(m_manager->timeOptions().size(), count);
    if (count == 6)
        QCOMPARE(m_manager->timeOptions(), GameManager::builtInTimeOptions());
    QCOMPARE(capture.lines, lines);
    QVERIFY(!m_manager->errorMessage());
}

void TestGameManager::createFailures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addRow("unauthorized") << 401 << QByteArray()
                                  << "Musisz się zalogować, aby utworzyć sesję gry";
    QTest::addRow("server error text")
        << 409 << QByteArray(R"({"error":"Gracz już jest w grze"})") << "Gracz już jest w grze";
    QTest::addRow("http") << 500 << QByteArray() << "Błąd HTTP: 500";
    QTest::addRow("unreadable") << 200 << QByteArray("{}") << "Błąd parsowania danych";
}

void TestGameManager::createFailures()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    m_server->enqueue("/api/game/session", ScriptedResponse::json(status, body));
    DiagCapture quiet;
    QCoro::waitFor(m_manager->createSessionTask(300));
    QCOMPARE(m_manager->errorMessageText(), message);
    QVERIFY(!m_manager->isLoading());
    QVERIFY(!m_manager->isInGame());
    const auto &requests = m_server->requests();
    QCOMPARE(requests.at(0).path, "/api/game/pieces"); // the catalogue comes first
    QCOMPARE(requests.at(1).body, R"({"timeLimit":300})");
}

void TestGameManager::joinFailures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("reloadsServers");

    const QString notFound =
        "Gra nie została znaleziona. Może została już zakończona. Odśwież listę serwerów.";
    const QString started = "Gra już się rozpoczęła. Nie można dołączyć do gry w trakcie.";
    QTest::addRow("not found, any case")
        << 400 << QByteArray(R"({"error":"GRA NIE ZNALEZIONA"})") << notFound << true;
    QTest::addRow("not found english")
        << 410 << QByteArray(R"({"error":"Room not found"})") << notFound << true;
    QTest::addRow("not accepting")
        << 400 << QByteArray(R"({"error":"Room is not accepting players"})") << started << true;
    QTest::addRow("already started")
        << 400 << QByteArray(R"({"error":"Gra już się rozpoczęła"})") << started << true;
    QTest::addRow("other server text")
        << 400 << QByteArray(R"({"error":"Pokój pełny"})") << "Pokój pełny" << false;
    QTest::addRow("unauthorized") << 401 << QByteArray()
                                  << "Musisz się zalogować, aby dołączyć do gry" << false;
    QTest::addRow("404 without body") << 404 << QByteArray() << notFound << true;
    QTest::addRow("500 without body")
        << 500 << QByteArray() << "Błąd serwera (HTTP 500). Spróbuj ponownie." << false;
    QTest::addRow("unreadable") << 200 << QByteArray("[]") << "Błąd parsowania danych" << false;
}

void TestGameManager::joinFailures()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(bool, reloadsServers);
    m_server->enqueue("/api/game/join", ScriptedResponse::json(status, body));
    DiagCapture quiet;
    QCoro::waitFor(m_manager->joinGameTask("r1"));
    QCOMPARE(m_manager->errorMessageText(), message);
    QVERIFY(!m_manager->isLoading());
    QCOMPARE(m_server->requests().last().path == "/api/game/servers", reloadsServers);
    QCOMPARE(m_server->requests().at(1).body, R"({"roomId":"r1"})");
}

void TestGameManager::rejoinFailures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addRow("unauthorized") << 401 << QByteArray()
                                  << "Musisz się zalogować, aby powrócić do gry";
    QTest::addRow("400") << 400 << QByteArray() << "Gra już się zakończyła lub nieprawidłowe dane";
    QTest::addRow("404") << 404 << QByteArray()
                         << "Gra nie została znaleziona lub nie jesteś jej uczestnikiem";
    QTest::addRow("502") << 502 << QByteArray() << "Błąd serwera (HTTP 502). Spróbuj ponownie.";
    QTest::addRow("server text") << 400 << QByteArray(R"({"error":"Gra zakończona"})")
                                 << "Gra zakończona";
}

void TestGameManager::rejoinFailures()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    m_server->enqueue("/api/game/rejoin", ScriptedResponse::json(status, body));
    DiagCapture quiet;
    QCoro::waitFor(m_manager->rejoinGameTask("r9"));
    QCOMPARE(m_manager->errorMessageText(), message);
    QVERIFY(!m_manager->isLoading());
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
    QVERIFY(!m_manager->isLoading());
    QStringList paths;
    for (const auto &r : m_server->requests())
        paths << r.path;
    QCOMPARE(paths, (QStringList{"/api/game/pieces", "/api/game/join", "/api/game/join"}));

    // A retry that fails again gives its own message.
    m_manager->leaveGame();
    m_server->enqueue("/api/game/join",
                      ScriptedResponse::json(409, R"({"error":"already in game"})"));
    m_server->enqueue("/api/game/join",
                      ScriptedResponse::json(409, R"({"error":"already in game"})"));
    QCoro::waitFor(m_manager->joinGameTask("r1"));
    QCOMPARE(m_manager->errorMessageText(),
             "Nie udało się dołączyć do serwera. Spróbuj ponownie za chwilę.");
}

void TestGameManager::enteringFillsSquaresAndPolls()
{
    DiagCapture capture;
    const QByteArray pieces =
        R"([{"id":"I2","name":"Dwójka","size":2},{"id":"I2","name":"x","placed":true},{"id":"ZZ","name":"?","squares":[]}])";
    enter("waiting", "[" + player("p1", 0, pieces) + "]");
    QVERIFY(m_manager->isInGame());
    QCOMPARE(m_manager->sessionId(), std::optional<QString>("s1"));
    QCOMPARE(m_manager->myColor(), std::optional<QString>("blue"));
    const auto &mine = m_manager->gameState()->players.at(0).pieces;
    QCOMPARE(mine.at(0).squares.size(), 2);
    QVERIFY(mine.at(1).squares.isEmpty()); // placed pieces are left alone
    QVERIFY(capture.lines.contains("✅ Uzupełniono squares dla klocka I2 (Dwójka) z pieces list"));
    QVERIFY(capture.lines.contains("⚠️ Nie znaleziono definicji klocka ZZ w pieces list"));
    QVERIFY(m_manager->updateTimer()->isActive());
    QCOMPARE(m_manager->updateTimer()->interval(), 1000);
    QCOMPARE(m_server->requests().last().path, "/api/game/servers");
    QCOMPARE(m_manager->gameStateValue().toMap().value("players").toList().at(0).toMap().value(
                 "playerId"),
             "p1");
}

void TestGameManager::unknownStatusIsNotAGame()
{
    enter("paused");
    QVERIFY(!m_manager->isInGame());
    QVERIFY(!m_manager->updateTimer()->isActive());
}

void TestGameManager::createWhileInGameLeavesFirst()
{
    enter("in_progress");
    QSignalSpy left(m_manager.get(), &GameManager::isInGameChanged);
    m_server->enqueue("/api/game/session", ScriptedResponse::json(500).after(200ms));
    auto task = m_manager->createSessionTask(std::nullopt);
    QVERIFY(!m_manager->isInGame()); // left before the request went out
    QVERIFY(!m_manager->gameState());
    QVERIFY(!m_manager->updateTimer()->isActive());
    QCoro::waitFor(task);
    QCOMPARE(m_server->requests().last().body, "{}");
    QCOMPARE(left.count(), 1);
}

void TestGameManager::pollIntervalFollowsThePhase()
{
    enter("waiting");
    QCOMPARE(m_manager->updateTimer()->interval(), 1000);
    m_server->setDefault("/api/game/session/s1", ScriptedResponse::json(200, pollJson("waiting")));
    QTest::qWait(400);
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
    QTest::addRow("second of two fifties")
        << QByteArray("[" + player("p3", 30) + "," + player("p2", 50) + "," + player("p1", 50) +
                      "]")
        << QByteArray(R"({"roomId":"r1","score":50,"position":2,"playersCount":3})");
    QTest::addRow("not among the players")
        << QByteArray("[" + player("p7", 10) + "]") << QByteArray();
}

void TestGameManager::finishedStopsPollingAndSavesRank()
{
    QFETCH(QByteArray, players);
    QFETCH(QByteArray, saved);
    enter("in_progress");
    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("finished", players)));
    m_server->setDefault(
        "/api/scores",
        ScriptedResponse::json(
            200, R"({"message":"ok","score":{"id":1,"userId":1,"score":50,"position":2}})"));
    m_server->clearRequests();
    QCoro::waitFor(m_manager->refreshGameState());
    QVERIFY(!m_manager->updateTimer()->isActive());
    QVERIFY(m_manager->isInGame()); // the final state stays on screen
    QTest::qWait(200);
    QStringList paths;
    QByteArray body;
    for (const auto &r : m_server->requests()) {
        paths << r.path;
        if (r.path == "/api/scores")
            body = r.body;
    }
    QVERIFY(paths.contains("/api/game/servers"));
    QCOMPARE(body, saved);
    QVERIFY(!m_manager->isLoading());

    // A second answer about the finished game saves nothing more.
    m_server->clearRequests();
    QCoro::waitFor(m_manager->refreshGameState());
    QTest::qWait(100);
    for (const auto &r : m_server->requests())
        QVERIFY(r.path != "/api/scores");
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
    QVERIFY(!m_manager->isInGame());
    QVERIFY(!m_manager->gameState());
    QVERIFY(!m_manager->myPlayerId());
    QVERIFY(!m_manager->errorMessage());
    QVERIFY(!m_manager->updateTimer()->isActive());
    QVERIFY(!m_manager->isLoading());
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
    m_manager->setSelectedPieceId(QString("I2"));
    auto poll = m_manager->refreshGameState(); // sent first, answered last
    QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0));
    QCOMPARE(m_manager->gameState()->board.at(0).at(1), 1);
    QVERIFY(!m_manager->selectedPieceId());
    QCoro::waitFor(poll);
    QCOMPARE(m_manager->gameState()->board.at(0).at(1), 1);
}

void TestGameManager::actionsWithoutSessionSendNothing()
{
    QSignalSpy loading(m_manager.get(), &GameManager::isLoadingChanged);
    QCoro::waitFor(m_manager->voteToStartTask(true));
    QCoro::waitFor(m_manager->passTurnTask());
    QCoro::waitFor(m_manager->placePieceTask("I2", 0, 0, 0));
    QCoro::waitFor(m_manager->refreshGameState());
    QCOMPARE(loading.count(), 0);
    QCOMPARE(m_server->requestCount(), 0);
}

void TestGameManager::placeRefusedKeepsSelection()
{
    enter("in_progress");
    m_manager->setSelectedPieceId(QString("I2"));
    m_manager->setSelectedRotation(90);
    m_server->enqueue(
        "/api/game/place",
        ScriptedResponse::json(200, R"({"success":false,"error":"Nieprawidłowy ruch"})"));
    QSignalSpy finished(m_manager.get(), &GameManager::placePieceFinished);
    QCoro::waitFor(m_manager->placePieceTask("I2", 5, 5, 90));
    QCOMPARE(m_manager->errorMessageText(), "Nieprawidłowy ruch");
    QCOMPARE(m_manager->selectedPieceId(), std::optional<QString>("I2"));
    QCOMPARE(m_manager->selectedRotation(), 90);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_server->requests().last().body,
             R"({"sessionId":"s1","pieceId":"I2","row":5,"col":5,"rotation":90})");
}

void TestGameManager::voteWithoutStartedKeepsWaiting()
{
    enter("waiting");
    m_server->enqueue("/api/game/vote-to-start",
                      ScriptedResponse::json(200, R"({"success":true,"gameState":)" +
                                                      stateJson("in_progress") + "}"));
    DiagCapture capture;
    QCoro::waitFor(m_manager->voteToStartTask(false));
    QCOMPARE(capture.lines,
             QStringList{"✅ Zagłosowano za rozpoczęciem. Czekam na innych graczy..."});
    QCOMPARE(m_manager->updateTimer()->interval(), 2000);
    QCOMPARE(m_server->requests().last().body, R"({"sessionId":"s1","enableBots":false})");
}

void TestGameManager::destroyedWithRequestsInFlight()
{
    enter("in_progress");
    m_server->setDefault("/api/game/session/s1",
                         ScriptedResponse::json(200, pollJson("finished")).after(100ms));
    m_server->setDefault("/api/game/join",
                         ScriptedResponse::json(200, seatJson("waiting")).after(100ms));
    m_manager->refreshGameState();
    m_manager->joinGameTask("r2");
    m_manager->passTurnTask();
    m_manager.reset();
    QTest::qWait(300); // the answers arrive to a manager that is gone
    QVERIFY(m_server->requestCount() >= 3);
}

QTEST_GUILESS_MAIN(TestGameManager)
#include "tst_gamemanager.moc"
