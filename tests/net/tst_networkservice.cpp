// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagcapture.h"
#include "networkservice.h"
#include "qttranslations.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QSignalSpy>
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
} // namespace

class TestNetworkService : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void statusRules_data();
    void statusRules();
    void transportFailuresInPolish_data();
    void transportFailuresInPolish();
    void headersCarryTheTokenTheyAreGiven();
    void gameOperationsUseTheirPaths();
    void serverListLineAndTokenMasking();

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
    QTest::addRow("200 missing key")
        << 200 << QByteArray(R"({"id":1,"email":"e"})") << "decodingError"
        << QStringList{"⚠️ Błąd dekodowania JSON: Brak klucza 'username' w (korzeń)",
                       R"(⚠️ Otrzymane dane: {"id":1,"email":"e"})",
                       "   ❌ Brak klucza: 'username' w ścieżce: (korzeń)"};
    QTest::addRow("401 with error body") << 401 << QByteArray(R"({"error":"Sesja wygasła"})")
                                         << R"(unauthorized("Sesja wygasła"))" << none;
    QTest::addRow("400 TOKEN in capitals") << 400 << QByteArray(R"({"error":"Invalid ToKeN"})")
                                           << R"(unauthorized("Invalid ToKeN"))" << none;
    QTest::addRow("503 not json") << 503 << QByteArray("<html>down</html>")
                                  << R"(serverError("Baza danych jest niedostępna"))" << none;
    QTest::addRow("404 empty") << 404 << QByteArray() << "httpError(404)" << none;
    QTest::addRow("401 empty") << 401 << QByteArray()
                               << R"(unauthorized("Brak tokenu autoryzacyjnego"))" << none;
    QTest::addRow("304") << 304 << QByteArray() << "httpError(304)" << none;
}

void TestNetworkService::statusRules()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QFETCH(QStringList, lines);
    m_server->enqueue("/api/x", ScriptedResponse::json(status, body));
    DiagCapture capture;
    QSignalSpy answered(m_service.get(), &NetworkService::serverAnswered);
    QSignalSpy unreachable(m_service.get(), &NetworkService::serverUnreachable);
    const auto result = QCoro::waitFor(m_service->request<User>(m_service->url("/api/x"), "GET"));
    QCOMPARE(printedOutcome(result), expected);
    QCOMPARE(capture.lines, lines);
    QCOMPARE(answered.count(), status / 100 == 2 ? 1 : 0); // any 2xx shows the server is there
    QCOMPARE(unreachable.count(), 0);                      // any status shows it too
}

void TestNetworkService::transportFailuresInPolish_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("heldPoll");
    const QString late = "Przekroczono czas oczekiwania na odpowiedź serwera";
    QTest::addRow("refused") << false << int(QNetworkReply::ConnectionRefusedError)
                             << "Połączenie odrzucone" << false;
    QTest::addRow("no answer in time") << true << int(QNetworkReply::TimeoutError) << late << false;
    // A held poll waits far longer than the time-out of other requests, but not for ever.
    QTest::addRow("held poll out past its wait")
        << true << int(QNetworkReply::TimeoutError) << late << true;
}

void TestNetworkService::transportFailuresInPolish()
{
    QFETCH(bool, serverUp);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(bool, heldPoll);
    QVERIFY(loadQtPolishTranslations());
    m_server->setDefault("/api/game/servers", ScriptedResponse::neverAnswer());
    m_server->setDefault("/api/game/session/s1", ScriptedResponse::neverAnswer());
    NetworkService service(serverUp
                               ? m_server->baseUrl().toString()
                               : QStringLiteral("http://127.0.0.1:%1").arg(test::freeTcpPort()));
    service.setTimeoutMs(heldPoll ? 60'000 : 300);
    service.setHeldPollWait(0, 300);
    QSignalSpy unreachable(&service, &NetworkService::serverUnreachable);
    const RequestError error = heldPoll
                                   ? QCoro::waitFor(service.holdSessionPoll("s1", "\"v1\"")).error()
                                   : QCoro::waitFor(service.getServers()).error();
    QVERIFY(std::holds_alternative<TransportError>(error));
    QCOMPARE(unreachable.count(), 1); // the connection monitor checks at once
    QCOMPARE(int(std::get<TransportError>(error).code), code);
    QCOMPARE(describe(error), text);
}

void TestNetworkService::headersCarryTheTokenTheyAreGiven()
{
    m_server->enqueue("/api/auth/login", ScriptedResponse::json(200, kLogin));
    QVERIFY(QCoro::waitFor(m_service->login("a@b.pl", "x")));
    QVERIFY(!m_service->authToken()); // kept or not by the sign-in's owner
    const auto &first = m_server->requests().at(0);
    QVERIFY(first.header("Authorization").isNull());
    QCOMPARE(first.header("Content-Type"), "application/json");

    m_service->setAuthToken("tok-1");
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(200, R"({"user":)" + kUserJson + "}"));
    QVERIFY(QCoro::waitFor(m_service->getCurrentUser()));
    QCOMPARE(m_server->requests().at(1).header("Authorization"), "Bearer tok-1");
    QVERIFY(m_server->requests().at(1).body.isEmpty());
}

void TestNetworkService::gameOperationsUseTheirPaths()
{
    // Every path answers 404 here: only what was sent matters.
    QCoro::waitFor(m_service->createSession(std::nullopt));
    QCoro::waitFor(m_service->getSession("s1"));
    QCoro::waitFor(m_service->joinGame("r1"));
    QCoro::waitFor(m_service->placePiece(PlacePieceRequest{"s1", "I1", 0, 0, 90}));
    QCoro::waitFor(m_service->passTurn("s1"));
    QCoro::waitFor(m_service->voteToStart("s1", false));
    QCoro::waitFor(m_service->getPieces());
    QCoro::waitFor(m_service->getTimeOptions());
    QCoro::waitFor(m_service->getActiveGames());
    QCoro::waitFor(m_service->saveScore(SaveScoreRequest{"r1", 50, 2, 3}));
    const QStringList expected{"POST /api/game/session",     "GET /api/game/session/s1",
                               "POST /api/game/join",        "POST /api/game/place",
                               "POST /api/game/pass",        "POST /api/game/vote-to-start",
                               "GET /api/game/pieces",       "GET /api/game/time-options",
                               "GET /api/game/active-games", "POST /api/scores"};
    QStringList sent;
    for (const auto &request : m_server->requests())
        sent << request.method + ' ' + request.path;
    QCOMPARE(sent, expected);
}

void TestNetworkService::serverListLineAndTokenMasking()
{
    DiagCapture capture;
    const QByteArray servers = R"({"servers":[{"roomId":"r1","serverName":"Pokój Anny"}]})";
    m_server->enqueue("/api/game/servers", ScriptedResponse::json(200, servers));
    QVERIFY(QCoro::waitFor(m_service->getServers()));
    QCOMPARE(capture.lines,
             QStringList{"📥 Surowa odpowiedź z /game/servers: " + QString::fromUtf8(servers)});

    // A sign-in reply that cannot be read must not leak its bearer token into the log.
    capture.lines.clear();
    m_server->enqueue(
        "/api/auth/login",
        ScriptedResponse::json(200, R"({"message":"ok","token" : "secret-\"x","user":{"id":1}})"));
    QVERIFY(!QCoro::waitFor(m_service->login("a", "b")));
    QCOMPARE(capture.lines.value(1),
             R"(⚠️ Otrzymane dane: {"message":"ok","token" : "***","user":{"id":1}})");
    QVERIFY(!capture.lines.join('\n').contains("secret"));
}

QTEST_GUILESS_MAIN(TestNetworkService)
#include "tst_networkservice.moc"
