#include "authmanager.h"
#include "keyvaluestore.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QSignalSpy>
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
    void cleanup();
    void startWithoutTokenSendsNothing();
    void storedTokenRestoresOrIsRemoved_data();
    void storedTokenRestoresOrIsRemoved();
    void failedLoginClearsThenSetsMessage();
    void registrationSignsIn();
    void logoutThenRestartStartsSignedOut();
    void lateRestoreFailureKeepsNewSignIn();

private:
    std::unique_ptr<AuthManager> makeManager();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KeyValueStore> m_store;
    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<NetworkService> m_network;
};

void TestAuthManager::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<KeyValueStore>(m_dir->filePath("store.json"));
    m_server = std::make_unique<ScriptedHttpServer>();
    m_network = std::make_unique<NetworkService>(m_server->baseUrl().toString());
}

void TestAuthManager::cleanup()
{
    m_network.reset();
    m_server.reset();
    m_store.reset();
    m_dir.reset();
}

std::unique_ptr<AuthManager> TestAuthManager::makeManager()
{
    return std::make_unique<AuthManager>(*m_network, *m_store);
}

void TestAuthManager::startWithoutTokenSendsNothing()
{
    auto auth = makeManager();
    QTest::qWait(100);
    QCOMPARE(m_server->requestCount(), 0);
    QVERIFY(!auth->isAuthenticated());
    QVERIFY(!m_network->authToken());
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
    QCOMPARE(m_network->authToken(), std::optional<QString>("stored"));
    QVERIFY(m_server->waitForRequests(1));
    QCOMPARE(m_server->requests().at(0).header("Authorization"), "Bearer stored");
    QTRY_COMPARE(auth->isAuthenticated() || !m_store->string(storekeys::authToken), true);
    QCOMPARE(auth->isAuthenticated(), signedIn);
    QCOMPARE(m_store->string(storekeys::authToken).has_value(), signedIn);
    QCOMPARE(auth->currentUser().has_value(), signedIn);
    if (signedIn)
        QCOMPARE(auth->currentUserValue().toMap().value("role"), "admin");
    QVERIFY(!auth->isLoading());
    QVERIFY(!auth->errorMessage());
}

void TestAuthManager::failedLoginClearsThenSetsMessage()
{
    auto auth = makeManager();
    QSignalSpy messages(auth.get(), &AuthManager::errorMessageChanged);
    QSignalSpy loading(auth.get(), &AuthManager::isLoadingChanged);
    m_server->enqueue(ScriptedResponse::json(401, R"({"error":"Nieprawidłowy email lub hasło"})"));
    QCoro::waitFor(auth->loginTask("", ""));
    QCOMPARE(auth->errorMessageText(), "Nieprawidłowy email lub hasło");
    QCOMPARE(m_server->requests().at(0).body, R"({"email":"","password":""})");
    QCOMPARE(loading.count(), 2);

    m_server->enqueue(ScriptedResponse::json(404));
    auto second = auth->loginTask("a@b.pl ", "x");
    QVERIFY(!auth->errorMessage()); // cleared as the new attempt starts
    QVERIFY(auth->isLoading());
    QCoro::waitFor(second);
    QCOMPARE(auth->errorMessageText(), "Błąd HTTP: 404");
    QCOMPARE(m_server->requests().at(1).body, R"({"email":"a@b.pl ","password":"x"})");
    QCOMPARE(messages.count(), 3);
    QVERIFY(!auth->isAuthenticated());
    QVERIFY(!auth->isLoading());
    QVERIFY(!m_store->string(storekeys::authToken));
}

void TestAuthManager::registrationSignsIn()
{
    auto auth = makeManager();
    m_server->enqueue("/api/auth/register", ScriptedResponse::json(201, kLogin));
    QCoro::waitFor(auth->registerTask("ala", "a@b.pl", "sekret"));
    QVERIFY(auth->isAuthenticated());
    QCOMPARE(auth->currentUser()->username, "ala");
    QCOMPARE(m_store->string(storekeys::authToken), std::optional<QString>("fresh"));
    QCOMPARE(m_network->authToken(), std::optional<QString>("fresh"));
}

void TestAuthManager::logoutThenRestartStartsSignedOut()
{
    {
        auto auth = makeManager();
        m_server->enqueue(ScriptedResponse::json(200, kLogin));
        QCoro::waitFor(auth->loginTask("a@b.pl", "x"));
        QVERIFY(auth->isAuthenticated());
        auth->logout();
        QVERIFY(!auth->isAuthenticated());
        QVERIFY(!auth->currentUser());
        QVERIFY(!m_network->authToken());
    }
    m_server->clearRequests();
    KeyValueStore reopened(m_store->fileName());
    NetworkService network(m_server->baseUrl().toString());
    AuthManager restarted(network, reopened);
    QTest::qWait(100);
    QCOMPARE(m_server->requestCount(), 0);
    QVERIFY(!restarted.isAuthenticated());
}

void TestAuthManager::lateRestoreFailureKeepsNewSignIn()
{
    m_store->setString(storekeys::authToken, "old");
    m_server->enqueue("/api/auth/me", ScriptedResponse::json(401).after(300ms));
    m_server->enqueue("/api/auth/login", ScriptedResponse::json(200, kLogin));
    auto auth = makeManager();
    QCoro::waitFor(auth->loginTask("a@b.pl", "x"));
    QVERIFY(auth->isAuthenticated());
    QVERIFY(m_server->waitForRequests(2));
    QTest::qWait(500); // the refused restore arrives after the sign-in
    QVERIFY(auth->isAuthenticated());
    QCOMPARE(m_store->string(storekeys::authToken), std::optional<QString>("fresh"));
}

QTEST_GUILESS_MAIN(TestAuthManager)
#include "tst_authmanager.moc"
