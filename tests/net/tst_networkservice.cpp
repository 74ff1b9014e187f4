#include "diagcapture.h"
#include "networkservice.h"
#include "qttranslations.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QTest>

using namespace korvana;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

namespace {
template <class T> QString printedOutcome(const Result<T> &result)
{
    return result ? QStringLiteral("ok") : printed(result.error());
}

const QByteArray kUserJson = R"({"id":1,"username":"ala","email":"a@b.pl"})";
const QByteArray kLogin = R"({"message":"ok","token":"tok-1","user":)" + kUserJson + "}";
const QByteArray kState = R"({"roomId":"r1","gameStatus":"waiting"})";
} // namespace

class TestNetworkService : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void statusRules_data();
    void statusRules();
    void headers_data();
    void headers();
    void invalidUrlSendsNothing();
    void closedPortIsTransportError();
    void stalledServerTimesOut();
    void redirectIsFollowed();
    void loginKeepsTokenOnlyOnSuccess();
    void registerSendsThreeMembers();
    void currentUserNeedsEmail();
    void gameOperationsUseTheirPathsAndBodies();
    void serverListLineAndTokenMasking();
    void transportTextsArePolish();

private:
    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<NetworkService> m_service;
};

void TestNetworkService::init()
{
    m_server = std::make_unique<ScriptedHttpServer>();
    m_service = std::make_unique<NetworkService>(m_server->baseUrl().toString());
    m_service->setTimeoutMs(5000);
}

void TestNetworkService::cleanup()
{
    m_service.reset();
    m_server.reset();
}

void TestNetworkService::statusRules_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("lines");

    const QStringList none;
    QTest::addRow("200 readable") << 200 << kUserJson << "ok" << none;
    QTest::addRow("200 empty body") << 200 << QByteArray() << "decodingError" << none;
    QTest::addRow("200 blank text") << 200 << QByteArray("  \n") << "decodingError"
                                    << QStringList{"⚠️ Pusta odpowiedź z serwera"};
    QTest::addRow("200 not utf-8") << 200 << QByteArray("{\"id\":\xff}") << "decodingError" << none;
    QTest::addRow("200 wrong shape")
        << 200 << QByteArray(R"({"id":"1","username":"a","email":"e"})") << "decodingError"
        << QStringList{"⚠️ Błąd dekodowania JSON: Nieprawidłowy typ w id: oczekiwano Int, "
                       "otrzymano String",
                       R"(⚠️ Otrzymane dane: {"id":"1","username":"a","email":"e"})",
                       "   ❌ Nieprawidłowy typ: Int w ścieżce: id"};
    QTest::addRow("200 missing key")
        << 200 << QByteArray(R"({"id":1,"email":"e"})") << "decodingError"
        << QStringList{"⚠️ Błąd dekodowania JSON: Brak klucza 'username' w (korzeń)",
                       R"(⚠️ Otrzymane dane: {"id":1,"email":"e"})",
                       "   ❌ Brak klucza: 'username' w ścieżce: (korzeń)"};
    QTest::addRow("401 with error body") << 401 << QByteArray(R"({"error":"Sesja wygasła"})")
                                         << R"(unauthorized("Sesja wygasła"))" << none;
    QTest::addRow("400 TOKEN in capitals") << 400 << QByteArray(R"({"error":"Invalid ToKeN"})")
                                           << R"(unauthorized("Invalid ToKeN"))" << none;
    QTest::addRow("500 Autoryzacja") << 500 << QByteArray(R"({"error":"Autoryzacja nieudana"})")
                                     << R"(unauthorized("Autoryzacja nieudana"))" << none;
    QTest::addRow("500 plain error")
        << 500 << QByteArray(R"({"error":"Awaria"})") << R"(serverError("Awaria"))" << none;
    QTest::addRow("503 not json") << 503 << QByteArray("<html>down</html>")
                                  << R"(serverError("Baza danych jest niedostępna"))" << none;
    QTest::addRow("503 with error body") << 503 << QByteArray(R"({"error":"Konserwacja"})")
                                         << R"(serverError("Konserwacja"))" << none;
    QTest::addRow("404 empty") << 404 << QByteArray() << "httpError(404)" << none;
    QTest::addRow("401 empty") << 401 << QByteArray()
                               << R"(unauthorized("Brak tokenu autoryzacyjnego"))" << none;
    QTest::addRow("304") << 304 << QByteArray() << "httpError(304)" << none;
    QTest::addRow("error body with only message")
        << 418 << QByteArray(R"({"message":"x"})") << "httpError(418)" << none;
}

void TestNetworkService::statusRules()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QFETCH(QStringList, lines);
    m_server->enqueue(ScriptedResponse::json(status, body));
    DiagCapture capture;
    const auto result = QCoro::waitFor(m_service->request<User>(m_service->url("/api/x"), "GET"));
    QCOMPARE(printedOutcome(result), expected);
    QCOMPARE(capture.lines, lines);
}

void TestNetworkService::headers_data()
{
    QTest::addColumn<QVariant>("token");
    QTest::addColumn<QByteArray>("authorization");
    QTest::addRow("no token") << QVariant() << QByteArray();
    // Header values arrive with trailing white space trimmed, as HTTP prescribes.
    QTest::addRow("empty token") << QVariant(QString("")) << QByteArray("Bearer");
    QTest::addRow("token") << QVariant(QString("abc")) << QByteArray("Bearer abc");
}

void TestNetworkService::headers()
{
    QFETCH(QVariant, token);
    QFETCH(QByteArray, authorization);
    if (token.isValid())
        m_service->setAuthToken(token.toString());
    m_server->enqueue(ScriptedResponse::json(200, kUserJson));
    QVERIFY(QCoro::waitFor(m_service->request<User>(m_service->url("/api/auth/me"), "GET")));
    const auto &request = m_server->requests().at(0);
    QCOMPARE(request.method, "GET");
    QCOMPARE(request.header("Content-Type"), "application/json");
    QVERIFY(request.body.isEmpty());
    QCOMPARE(request.hasHeader("Authorization"), !authorization.isNull());
    QCOMPARE(request.header("Authorization"), authorization);
}

void TestNetworkService::invalidUrlSendsNothing()
{
    const auto result =
        QCoro::waitFor(m_service->request<User>(m_service->url("/api/game/session/a b"), "GET"));
    QCOMPARE(printedOutcome(result), "invalidURL");
    QCOMPARE(asNetworkError(result.error())->description(), "Nieprawidłowy URL");
    QTest::qWait(50);
    QCOMPARE(m_server->requestCount(), 0);

    const auto session = QCoro::waitFor(m_service->getSession("a b"));
    QCOMPARE(printedOutcome(session), "invalidURL");
}

void TestNetworkService::closedPortIsTransportError()
{
    NetworkService service(QStringLiteral("http://127.0.0.1:%1").arg(test::freeTcpPort()));
    const auto result = QCoro::waitFor(service.getServers());
    QVERIFY(!result);
    const auto *transport = std::get_if<TransportError>(&result.error());
    QVERIFY(transport);
    QCOMPARE(transport->code, QNetworkReply::ConnectionRefusedError);
    QVERIFY(!transport->text.isEmpty());
}

void TestNetworkService::stalledServerTimesOut()
{
    m_service->setTimeoutMs(300);
    m_server->setDefault("/api/auth/me", ScriptedResponse::neverAnswer());
    const auto result = QCoro::waitFor(m_service->getCurrentUser());
    QVERIFY(!result);
    const auto *transport = std::get_if<TransportError>(&result.error());
    QVERIFY(transport);
    QCOMPARE(transport->code, QNetworkReply::OperationCanceledError);
}

void TestNetworkService::redirectIsFollowed()
{
    m_server->enqueue("/api/old", ScriptedResponse::json(302).withHeader(
                                      "Location", m_server->url("/api/new").toEncoded()));
    m_server->enqueue("/api/new", ScriptedResponse::json(200, kUserJson));
    const auto result = QCoro::waitFor(m_service->request<User>(m_service->url("/api/old"), "GET"));
    QCOMPARE(printedOutcome(result), "ok");
}

void TestNetworkService::loginKeepsTokenOnlyOnSuccess()
{
    m_server->enqueue(ScriptedResponse::json(200, kLogin));
    const auto first = QCoro::waitFor(m_service->login("a@b.pl", "x"));
    QVERIFY(first);
    QCOMPARE(m_service->authToken(), std::optional<QString>("tok-1"));
    QVERIFY(!m_server->requests().at(0).hasHeader("Authorization"));
    QCOMPARE(m_server->requests().at(0).body, R"({"email":"a@b.pl","password":"x"})");

    m_server->enqueue(ScriptedResponse::json(401, R"({"error":"Złe hasło"})"));
    const auto second = QCoro::waitFor(m_service->login("a@b.pl", "y"));
    QCOMPARE(printedOutcome(second), R"(unauthorized("Złe hasło"))");
    QCOMPARE(m_service->authToken(), std::optional<QString>("tok-1"));
    QCOMPARE(m_server->requests().at(1).header("Authorization"), "Bearer tok-1");
}

void TestNetworkService::registerSendsThreeMembers()
{
    m_server->enqueue(ScriptedResponse::json(201, kLogin));
    QVERIFY(QCoro::waitFor(m_service->registerUser("ala", "a@b.pl", "sekret")));
    const auto &request = m_server->requests().at(0);
    QCOMPARE(request.method, "POST");
    QCOMPARE(request.path, "/api/auth/register");
    QCOMPARE(request.body, R"({"username":"ala","email":"a@b.pl","password":"sekret"})");
    QCOMPARE(m_service->authToken(), std::optional<QString>("tok-1"));
}

void TestNetworkService::currentUserNeedsEmail()
{
    DiagCapture quiet;
    m_server->enqueue(ScriptedResponse::json(200, R"({"user":{"id":1,"username":"a"}})"));
    QCOMPARE(printedOutcome(QCoro::waitFor(m_service->getCurrentUser())), "decodingError");
    m_server->enqueue(ScriptedResponse::json(200, R"({"user":)" + kUserJson + "}"));
    const auto user = QCoro::waitFor(m_service->getCurrentUser());
    QVERIFY(user);
    QCOMPARE(user->email, "a@b.pl");
}

void TestNetworkService::gameOperationsUseTheirPathsAndBodies()
{
    const QByteArray seat =
        R"({"sessionId":"s1","roomId":"r1","playerId":"p1","playerName":"Ala","color":"blue","gameState":)" +
        kState + "}";
    const QByteArray action = R"({"success":true})";
    m_server->setFallback(ScriptedResponse::json(200, action));
    m_server->enqueue("/api/game/session", ScriptedResponse::json(200, seat));
    m_server->enqueue(
        "/api/game/session/s1",
        ScriptedResponse::json(
            200,
            R"({"session":{"sessionId":"s1","userId":"9","playerId":"p1","roomId":"r1","color":"blue"},"gameState":)" +
                kState + "}"));
    m_server->enqueue("/api/game/join", ScriptedResponse::json(200, seat));

    QVERIFY(QCoro::waitFor(m_service->createSession(std::nullopt)));
    const auto session = QCoro::waitFor(m_service->getSession("s1"));
    QVERIFY(session);
    QCOMPARE(session->playerName, QString(""));
    QCOMPARE(session->playerId, "p1");
    QVERIFY(QCoro::waitFor(m_service->joinGame("r1")));
    QVERIFY(QCoro::waitFor(m_service->placePiece(PlacePieceRequest{"s1", "I1", 0, 0, 90})));
    QVERIFY(QCoro::waitFor(m_service->passTurn("s1")));
    QVERIFY(QCoro::waitFor(m_service->voteToStart("s1", false)));
    QVERIFY(QCoro::waitFor(m_service->voteToStart("s1", std::nullopt)));

    const QList<std::tuple<QString, QString, QByteArray>> expected{
        {"POST", "/api/game/session", "{}"},
        {"GET", "/api/game/session/s1", ""},
        {"POST", "/api/game/join", R"({"roomId":"r1"})"},
        {"POST", "/api/game/place",
         R"({"sessionId":"s1","pieceId":"I1","row":0,"col":0,"rotation":90})"},
        {"POST", "/api/game/pass", R"({"sessionId":"s1"})"},
        {"POST", "/api/game/vote-to-start", R"({"sessionId":"s1","enableBots":false})"},
        {"POST", "/api/game/vote-to-start", R"({"sessionId":"s1"})"},
    };
    QCOMPARE(m_server->requestCount(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto &request = m_server->requests().at(i);
        QCOMPARE(request.method, std::get<0>(expected[i]));
        QCOMPARE(request.path, std::get<1>(expected[i]));
        QCOMPARE(request.body, std::get<2>(expected[i]));
        QCOMPARE(request.header("Content-Type"), "application/json");
    }
}

void TestNetworkService::serverListLineAndTokenMasking()
{
    DiagCapture capture;
    const QByteArray servers = R"({"servers":[{"roomId":"r1","serverName":"Pokój Anny"}]})";
    m_server->enqueue(ScriptedResponse::json(200, servers));
    const auto list = QCoro::waitFor(m_service->getServers());
    QVERIFY(list);
    QCOMPARE(list->size(), 1);
    QCOMPARE(capture.lines,
             QStringList{"📥 Surowa odpowiedź z /game/servers: " + QString::fromUtf8(servers)});

    // A sign-in reply that cannot be read must not leak its bearer token into the log.
    capture.lines.clear();
    m_server->enqueue(
        ScriptedResponse::json(200, R"({"message":"ok","token" : "secret-\"x","user":{"id":1}})"));
    QVERIFY(!QCoro::waitFor(m_service->login("a", "b")));
    QCOMPARE(capture.lines.size(), 3);
    QCOMPARE(capture.lines.at(1),
             R"(⚠️ Otrzymane dane: {"message":"ok","token" : "***","user":{"id":1}})");
    QVERIFY(!capture.lines.join('\n').contains("secret"));
}

void TestNetworkService::transportTextsArePolish()
{
    QVERIFY(loadQtPolishTranslations());
    NetworkService service(QStringLiteral("http://127.0.0.1:%1").arg(test::freeTcpPort()));
    const auto result = QCoro::waitFor(service.getServers());
    QVERIFY(!result);
    QCOMPARE(describe(result.error()), QStringLiteral("Połączenie odrzucone"));
}

QTEST_GUILESS_MAIN(TestNetworkService)
#include "tst_networkservice.moc"
