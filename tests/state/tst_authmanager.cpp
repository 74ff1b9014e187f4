// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "authmanager.h"
#include "keyvaluestore.h"
#include "scriptedhttpserver.h"
#include "serveraddress.h"

#include <QCoroTask>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

Q_DECLARE_METATYPE(korvana::test::ScriptedResponse)

namespace {
const QByteArray kUser = R"({"id":3,"username":"ala","email":"a@b.pl","role":"admin"})";
const QByteArray kLogin = R"({"message":"ok","token":"fresh","user":)" + kUser + "}";
} // namespace

class TestAuthManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void storedTokenRestoresOrIsRemoved_data();
    void storedTokenRestoresOrIsRemoved();
    void waitingRestoreSignsInOnceTheServerAnswers();
    void lateRestoreFailureKeepsNewSignIn();
    void lateLoginAnswerKeepsTheLogout();

private:
    std::unique_ptr<AuthManager> makeManager()
    {
        return std::make_unique<AuthManager>(*m_network, *m_store);
    }
    // The token kept for the scripted server.
    std::optional<QString> storedToken() const
    {
        const QVariant token = m_store->map(storekeys::serverTokens)
                                   .value_or(QVariantMap())
                                   .value(serverKey(m_network->baseUrl()));
        return token.isValid() ? std::optional(token.toString()) : std::nullopt;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<KeyValueStore> m_store;
    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<NetworkService> m_network;
};

void TestAuthManager::init()
{
    static int n = 0;
    m_store = std::make_unique<KeyValueStore>(m_dir.filePath(QString::number(++n) + ".json"));
    m_server = std::make_unique<ScriptedHttpServer>();
    m_network = std::make_unique<NetworkService>(m_server->baseUrl().toString());
}

void TestAuthManager::storedTokenRestoresOrIsRemoved_data()
{
    QTest::addColumn<ScriptedResponse>("answer");
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<bool>("tokenKept");
    using R = ScriptedResponse;
    QTest::addRow("accepted") << R::json(200, R"({"user":)" + kUser + "}") << true << true;
    QTest::addRow("refused") << R::json(401) << false << false;
    QTest::addRow("refused by its text")
        << R::json(400, R"({"error":"Nieprawidłowy token"})") << false << false;
    // Any answer but a server in trouble means the server looked at the token.
    QTest::addRow("forbidden") << R::json(403, R"({"error":"Brak dostępu"})") << false << false;
    QTest::addRow("bad request") << R::json(400) << false << false;
    QTest::addRow("not found") << R::json(404) << false << false;
    QTest::addRow("unreadable") << R::json(200, R"({"user":{"id":3}})") << false << false;
    QTest::addRow("server error") << R::json(503) << false << true;
    QTest::addRow("server error with a text")
        << R::json(500, R"({"error":"Awaria"})") << false << true;
    QTest::addRow("no answer") << R::neverAnswer() << false << true;
}

void TestAuthManager::storedTokenRestoresOrIsRemoved()
{
    QFETCH(ScriptedResponse, answer);
    QFETCH(bool, signedIn);
    QFETCH(bool, tokenKept);
    m_store->setString(storekeys::authToken, "stored");
    m_server->enqueue("/api/auth/me", answer);
    m_network->setTimeoutMs(300);
    auto auth = makeManager();
    QVERIFY(m_server->waitForRequests(1));
    QCOMPARE(m_server->requests().at(0).header("Authorization"), "Bearer stored");
    QTRY_VERIFY(auth->isAuthenticated() || !auth->restoreMessage().isEmpty() || !storedToken());
    QCOMPARE(auth->isAuthenticated(), signedIn);
    QCOMPARE(storedToken().has_value(), tokenKept);
    // Only a token that waits for the server says so on the login screen.
    QCOMPARE(auth->restoreMessage().isEmpty(), signedIn || !tokenKept);
    if (signedIn)
        QCOMPARE(auth->currentUserValue().toMap().value("role"), "admin");
    QVERIFY(!auth->errorMessage());
}

void TestAuthManager::waitingRestoreSignsInOnceTheServerAnswers()
{
    m_store->setString(storekeys::authToken, "stored");
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(502));
    auto auth = makeManager();
    QTRY_VERIFY(!auth->restoreMessage().isEmpty());
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(200, R"({"user":)" + kUser + "}"));
    auth->retryRestore();
    QTRY_VERIFY(auth->isAuthenticated());
    QVERIFY(auth->restoreMessage().isEmpty());
    auth->retryRestore(); // nothing waits any more: the next request is the refresh's
    QCoro::waitFor(auth->refreshCurrentUserTask());
    QCOMPARE(m_server->requestCount(), 3);
}

void TestAuthManager::lateRestoreFailureKeepsNewSignIn()
{
    m_store->setString(storekeys::authToken, "old");
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(401).after(300ms));
    m_server->enqueue("/api/auth/login", ScriptedResponse::json(200, kLogin));
    auto auth = makeManager();
    QSignalSpy replies(&m_network->accessManager(), &QNetworkAccessManager::finished);
    QCoro::waitFor(auth->loginTask("a@b.pl", "x"));
    QVERIFY(auth->isAuthenticated());
    QTRY_COMPARE(replies.count(), 2); // the refused restore arrives after the sign-in
    QVERIFY(auth->isAuthenticated());
    QCOMPARE(storedToken(), std::optional<QString>("fresh"));
    QCOMPARE(m_network->authToken(), std::optional<QString>("fresh"));
}

void TestAuthManager::lateLoginAnswerKeepsTheLogout()
{
    m_server->enqueue("/api/auth/login", ScriptedResponse::json(200, kLogin).after(200ms));
    auto auth = makeManager();
    auto login = auth->loginTask("a@b.pl", "x");
    auth->logout();
    QCoro::waitFor(login);
    QVERIFY(!auth->isAuthenticated() && !auth->isLoading());
    QVERIFY(!storedToken() && !m_network->authToken());
}

QTEST_GUILESS_MAIN(TestAuthManager)
#include "tst_authmanager.moc"
