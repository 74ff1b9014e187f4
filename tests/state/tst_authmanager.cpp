#include "authmanager.h"
#include "keyvaluestore.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

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
    void lateRestoreFailureKeepsNewSignIn();

private:
    std::unique_ptr<AuthManager> makeManager()
    {
        return std::make_unique<AuthManager>(*m_network, *m_store);
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
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("signedIn");
    QTest::addRow("accepted") << 200 << QByteArray(R"({"user":)" + kUser + "}") << true;
    QTest::addRow("refused") << 401 << QByteArray(R"({"error":"Nieprawidłowy token"})") << false;
    QTest::addRow("unreadable") << 200 << QByteArray(R"({"user":{"id":3}})") << false;
    QTest::addRow("server error") << 500 << QByteArray() << false;
}

void TestAuthManager::storedTokenRestoresOrIsRemoved()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, signedIn);
    m_store->setString(storekeys::authToken, "stored");
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(status, body));
    auto auth = makeManager();
    QVERIFY(m_server->waitForRequests(1));
    QCOMPARE(m_server->requests().at(0).header("Authorization"), "Bearer stored");
    QTRY_COMPARE(auth->isAuthenticated() || !m_store->string(storekeys::authToken), true);
    QCOMPARE(auth->isAuthenticated(), signedIn);
    QCOMPARE(m_store->string(storekeys::authToken).has_value(), signedIn);
    if (signedIn)
        QCOMPARE(auth->currentUserValue().toMap().value("role"), "admin");
    QVERIFY(!auth->errorMessage());
}

void TestAuthManager::lateRestoreFailureKeepsNewSignIn()
{
    m_store->setString(storekeys::authToken, "old");
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(401).after(300ms));
    m_server->enqueue("/api/auth/login", ScriptedResponse::json(200, kLogin));
    auto auth = makeManager();
    QCoro::waitFor(auth->loginTask("a@b.pl", "x"));
    QVERIFY(auth->isAuthenticated());
    QTest::qWait(500); // the refused restore arrives after the sign-in
    QVERIFY(auth->isAuthenticated());
    QCOMPARE(m_store->string(storekeys::authToken), std::optional<QString>("fresh"));
}

QTEST_GUILESS_MAIN(TestAuthManager)
#include "tst_authmanager.moc"
