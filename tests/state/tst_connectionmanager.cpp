// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "connectionmanager.h"
#include "fakepathmonitor.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QTest>

#include <memory>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::FakePathMonitor;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

Q_DECLARE_METATYPE(korvana::test::ScriptedResponse)

namespace {
const QString kHealth = QStringLiteral("/api/health");
const QString kServers = QStringLiteral("/api/game/servers");

QString downUrl()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(test::freeTcpPort());
}

// Counts the requests started, which a check does before its first wait.
struct CountingNetwork : QNetworkAccessManager
{
    int started = 0;
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *body) override
    {
        ++started;
        return QNetworkAccessManager::createRequest(op, request, body);
    }
};
} // namespace

class TestConnectionManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void probes_data();
    void probes();
    void serverDownCountsRetries();
    void overlappingChecksCountAsOneFailure();
    void otherRequestsBringTheCheckForward();

private:
    // Makes the manager and waits until it started and finished its first check.
    bool start(const QString &baseUrl);
    // A usable path report, and the check it starts when not connected, finished.
    bool bringNetworkUp();

    std::unique_ptr<ScriptedHttpServer> m_server;
    CountingNetwork m_network;
    std::unique_ptr<FakePathMonitor> m_monitor;
    std::unique_ptr<ConnectionManager> m_manager;
};

void TestConnectionManager::init()
{
    m_server = std::make_unique<ScriptedHttpServer>();
    m_monitor = std::make_unique<FakePathMonitor>();
}

void TestConnectionManager::cleanup()
{
    m_manager.reset();
    m_monitor.reset();
    m_server.reset();
}

bool TestConnectionManager::start(const QString &baseUrl)
{
    m_manager = std::make_unique<ConnectionManager>(m_network, baseUrl, m_monitor.get());
    m_manager->setProbeTimeoutMs(2000);
    return QTest::qWaitFor(
        [this] { return m_monitor->isRunning() && m_manager->pingTimer().isActive(); }, 5000);
}

bool TestConnectionManager::bringNetworkUp()
{
    m_monitor->report(true);
    return QTest::qWaitFor(
        [this] { return m_manager->connectionStatus() != ConnectionStatus::Connecting; }, 5000);
}

void TestConnectionManager::probes_data()
{
    QTest::addColumn<ScriptedResponse>("health");
    QTest::addColumn<ScriptedResponse>("servers");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<int>("minPing");
    QTest::addColumn<int>("maxPing");

    using R = ScriptedResponse;
    QTest::addRow("health 299") << R::json(299) << R::json(500) << true << 0 << 5000;
    QTest::addRow("health 503 counts as an answer")
        << R::json(503, R"({"error":"Baza danych jest niedostępna"})") << R::json(500) << true << 0
        << 5000;
    QTest::addRow("ping measures the answer")
        << R::json(200).after(150ms) << R::json(500) << true << 150 << 5000;
    // The ping is the second probe's own time, not the first probe's wait.
    QTest::addRow("health silent, servers 200")
        << R::neverAnswer() << R::json(200) << true << 0 << 700;
    QTest::addRow("health 300, servers 502") << R::json(300) << R::json(502) << false << 0 << 0;
}

void TestConnectionManager::probes()
{
    QFETCH(ScriptedResponse, health);
    QFETCH(ScriptedResponse, servers);
    QFETCH(bool, reachable);
    QFETCH(int, minPing);
    QFETCH(int, maxPing);

    // Connected with the network up, so the path report starts no check of its own.
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    QVERIFY(start(m_server->baseUrl().toString()));
    m_monitor->report(true);
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
    const QDateTime previousUpdate = m_manager->lastUpdate();

    m_server->setDefault(kHealth, health);
    m_server->setDefault(kServers, servers);
    m_manager->setProbeTimeoutMs(800);
    QCoro::waitFor(m_manager->checkConnectionTask());

    for (const auto &request : m_server->requests())
        QVERIFY(request.header("Authorization").isNull());
    QCOMPARE(m_manager->isConnected(), reachable);
    if (reachable) {
        QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
        QVERIFY2(m_manager->ping() >= minPing && m_manager->ping() <= maxPing,
                 qPrintable(m_manager->pingValue().toString()));
        QVERIFY(m_manager->lastUpdate() >= previousUpdate);
        QCOMPARE(m_manager->pingTimer().interval(), 15000);
    } else {
        QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
        QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (1/3)...");
        QVERIFY(!m_manager->ping());
        QCOMPARE(m_manager->lastUpdate(), previousUpdate);
        QCOMPARE(m_manager->pingTimer().interval(), 3000);
    }
}

void TestConnectionManager::serverDownCountsRetries()
{
    QVERIFY(start(downUrl()));
    QVERIFY(bringNetworkUp());
    QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (1/3)...");
    QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (2/3)...");
    for (int i = 0; i < 2; ++i) {
        QCoro::waitFor(m_manager->checkConnectionTask());
        QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Error);
        QCOMPARE(m_manager->errorMessageText(), "Nie można połączyć z serwerem");
        QCOMPARE(m_manager->pingTimer().interval(), 10000);
    }
    QVERIFY(!m_manager->lastUpdate().isValid());
}

void TestConnectionManager::overlappingChecksCountAsOneFailure()
{
    QVERIFY(start(downUrl()));
    QVERIFY(bringNetworkUp());
    QCOMPARE(m_manager->retryCount(), 1);
    // A failed request and the schedule may start checks that overlap: one failure between them.
    auto first = m_manager->checkConnectionTask();
    auto second = m_manager->checkConnectionTask();
    QCoro::waitFor(first);
    QCoro::waitFor(second);
    QCOMPARE(m_manager->retryCount(), 2);
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->pingTimer().interval(), 3000);
    // The 10 s pace only after a third failed check.
    QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Error);
    QCOMPARE(m_manager->pingTimer().interval(), 10000);
}

void TestConnectionManager::otherRequestsBringTheCheckForward()
{
    m_server->setDefault(kHealth, ScriptedResponse::json(500));
    QVERIFY(start(m_server->baseUrl().toString()));
    QVERIFY(bringNetworkUp());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);

    // The next check is seconds away; an answer to another request brings it forward.
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    const int before = m_server->requestCount();
    m_manager->noteServerAnswered();
    QVERIFY(m_server->waitForRequests(before + 1, 1000ms));
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);

    // While connected it changes nothing.
    const int started = m_network.started;
    m_manager->noteServerAnswered();
    QCOMPARE(m_network.started, started);

    // A request that fails below HTTP while all looks well: a check at once, not in 15 s.
    m_server->setDefault(kHealth, ScriptedResponse::json(500));
    m_manager->noteServerUnreachable();
    QVERIFY(m_server->waitForRequests(before + 2, 1000ms));
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    // Once failing, the schedule keeps its own pace.
    const int failing = m_network.started;
    m_manager->noteServerUnreachable();
    QCOMPARE(m_network.started, failing);
}

QTEST_GUILESS_MAIN(TestConnectionManager)
#include "tst_connectionmanager.moc"
