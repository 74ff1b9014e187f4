// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "authmanager.h"
#include "keyvaluestore.h"
#include "localserver.h"
#include "scriptedhttpserver.h"
#include "serveraddress.h"
#include "servermanager.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

namespace {
const QByteArray kUser = R"({"id":3,"username":"ala","email":"a@b.pl"})";

QByteArray loginAnswer(const QByteArray &token)
{
    return R"({"message":"ok","token":")" + token + R"(","user":)" + kUser + "}";
}

// The Authorization headers a server received, in order.
QList<QByteArray> bearers(const ScriptedHttpServer &server)
{
    QList<QByteArray> found;
    for (const auto &request : server.requests())
        found << request.header("Authorization");
    return found;
}
} // namespace

// The server on this computer against the real korvana-server, and sign-ins kept per server.
class TestServerChoice : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void startsOwnServerAndStopsIt();
    void reusesRunningServer();
    void takesFreePortWhenPortIsHeld();
    void reportsWhatKeepsItFromStarting_data();
    void reportsWhatKeepsItFromStarting();
    void tokenBelongsToItsServer();

private:
    LocalServer::Options options(quint16 port) const
    {
        LocalServer::Options o;
        o.searchDirs = {QFileInfo(KORVANA_SERVER_EXECUTABLE).absolutePath()};
        o.searchPath = false;
        o.databasePath = m_dir.filePath("local/server.sqlite");
        o.preferredPort = port;
        o.probeTimeoutMs = 2000;
        return o;
    }
    static bool settle(LocalServer &server)
    {
        return QTest::qWaitFor(
            [&] {
                return server.state() == LocalServer::State::Running ||
                       server.state() == LocalServer::State::Failed;
            },
            20000);
    }

    QTemporaryDir m_dir;
    QNetworkAccessManager m_network;
};

void TestServerChoice::init()
{
    QVERIFY(m_dir.isValid());
}

void TestServerChoice::startsOwnServerAndStopsIt()
{
    const quint16 port = test::freeTcpPort();
    LocalServer local(m_network, options(port));
    local.start(false);
    QCOMPARE(local.state(), LocalServer::State::Starting);
    QVERIFY(settle(local));
    QVERIFY2(local.state() == LocalServer::State::Running, qPrintable(local.errorMessage()));
    QCOMPARE(local.url(), QStringLiteral("http://127.0.0.1:%1").arg(port));
    QVERIFY(local.ownsServer());
    QVERIFY(QFileInfo::exists(m_dir.filePath("local/server.sqlite")));

    // Stopped: the port is free again, and a second one reuses nothing.
    local.stop();
    QVERIFY(!local.ownsServer());
    LocalServer again(m_network, options(port));
    again.start(false);
    QVERIFY(settle(again));
    QVERIFY(again.ownsServer());
}

void TestServerChoice::reusesRunningServer()
{
    test::ServerProcess running(KORVANA_SERVER_EXECUTABLE);
    QVERIFY2(running.start(), qPrintable(running.errorString()));
    LocalServer local(m_network, options(running.port()));
    local.start(false);
    QVERIFY(settle(local));
    QCOMPARE(local.state(), LocalServer::State::Running);
    QVERIFY(!local.ownsServer());
    QCOMPARE(local.url(), running.baseUrl().toString());

    // Shared on the network it would have to be restarted, which is not ours to do.
    local.start(true);
    QVERIFY(settle(local));
    QCOMPARE(local.state(), LocalServer::State::Failed);
    QVERIFY(running.isRunning());
}

void TestServerChoice::takesFreePortWhenPortIsHeld()
{
    ScriptedHttpServer other; // answers 404 to everything: not a game server
    LocalServer local(m_network, options(other.port()));
    local.start(false);
    QVERIFY(settle(local));
    QVERIFY2(local.state() == LocalServer::State::Running, qPrintable(local.errorMessage()));
    QVERIFY(local.ownsServer());
    QVERIFY(local.port() != other.port() && local.port() != 0);
}

void TestServerChoice::reportsWhatKeepsItFromStarting_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("expected");
    QTest::addRow("no program") << "korvana-server-missing"
                                << ""
                                << "Nie znaleziono programu";
    // A folder where the database file should be: the server refuses to start.
    QTest::addRow("database refused") << "korvana-server"
                                      << "."
                                      << "Baza danych serwera";
}

void TestServerChoice::reportsWhatKeepsItFromStarting()
{
    QFETCH(QString, program);
    QFETCH(QString, database);
    QFETCH(QString, expected);
    auto o = options(test::freeTcpPort());
    o.programName = program;
    if (!database.isEmpty())
        o.databasePath = m_dir.path();
    LocalServer local(m_network, o);
    local.start(false);
    QVERIFY(settle(local));
    QCOMPARE(local.state(), LocalServer::State::Failed);
    QVERIFY2(local.errorMessage().startsWith(expected), qPrintable(local.errorMessage()));
    QVERIFY(!local.ownsServer());
}

void TestServerChoice::tokenBelongsToItsServer()
{
    ScriptedHttpServer a;
    ScriptedHttpServer b;
    const QString urlA = a.baseUrl().toString();
    const QString urlB = b.baseUrl().toString();
    a.setDefault("/api/auth/me", ScriptedResponse::json(200, R"({"user":)" + kUser + "}"));
    b.setDefault("/api/auth/me", ScriptedResponse::json(200, R"({"user":)" + kUser + "}"));
    b.enqueue("/api/auth/login", ScriptedResponse::json(200, loginAnswer("from-b")));
    // A sign-in on A whose answer comes only after the player has moved to B.
    a.enqueue("/api/auth/login", ScriptedResponse::json(200, loginAnswer("late-a")).after(300ms));

    KeyValueStore store(m_dir.filePath("tokens.json"));
    store.setString(storekeys::authToken, "legacy"); // as an earlier version left it
    store.setString(storekeys::serverChoice, "other");
    store.setString(storekeys::otherServerUrl, urlA);
    NetworkService network({});
    AuthManager auth(network, store);
    ServerManager servers(network, auth, nullptr, nullptr, store, {}, options(1));
    servers.start();
    // The first server takes the old token over: nobody is signed out by the update.
    QTRY_VERIFY(auth.isAuthenticated());
    QCOMPARE(bearers(a), QList<QByteArray>{"Bearer legacy"});
    QVERIFY(!store.string(storekeys::authToken));

    auth.logout();
    auto lateLogin = auth.loginTask("a@b.pl", "x");
    QVERIFY(servers.chooseOtherServer(urlB + "/"));
    QVERIFY(!auth.isAuthenticated());
    QCoro::waitFor(auth.loginTask("a@b.pl", "x"));
    QVERIFY(auth.isAuthenticated());
    QCoro::waitFor(lateLogin); // A's late answer hands B's requests nothing of A's
    QCOMPARE(network.authToken(), std::optional<QString>("from-b"));

    // Back on A: A's own sign-in (signed out there), and B's token stays B's.
    QVERIFY(servers.chooseOtherServer(urlA));
    QVERIFY(!auth.isAuthenticated());
    QVERIFY(!network.authToken());
    QVERIFY(servers.chooseOtherServer(urlB));
    QTRY_VERIFY(auth.isAuthenticated());
    for (const QByteArray &header : bearers(a))
        QVERIFY2(header.isEmpty() || header == "Bearer legacy", header.constData());
    for (const QByteArray &header : bearers(b))
        QVERIFY2(header.isEmpty() || header == "Bearer from-b", header.constData());
    QCOMPARE(bearers(b).last(), "Bearer from-b");
}

QTEST_GUILESS_MAIN(TestServerChoice)
#include "tst_serverchoice.moc"
