#include "connectionmanager.h"
#include "fakepathmonitor.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace korvana;
using namespace std::chrono_literals;
using korvana::test::FakePathMonitor;
using korvana::test::RecordedRequest;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

Q_DECLARE_METATYPE(korvana::test::ScriptedResponse)

namespace {
const QString kHealth = QStringLiteral("/api/health");
const QString kServers = QStringLiteral("/api/game/servers");
const QString kNoNetwork = QStringLiteral("Brak połączenia z internetem");
const QString kGaveUp = QStringLiteral("Nie można połączyć z serwerem");

QString downUrl()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(test::freeTcpPort());
}

// Paths in the order first asked; a retried request counts once.
QStringList distinctPaths(const QList<RecordedRequest> &requests)
{
    QStringList paths;
    for (const auto &request : requests) {
        if (!paths.contains(request.pathWithoutQuery()))
            paths.append(request.pathWithoutQuery());
    }
    return paths;
}
} // namespace

class TestConnectionManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void statusTable_data();
    void statusTable();
    void pingIsTruncated_data();
    void pingIsTruncated();
    void waitsBeforeStarting();
    void checkBeforeAnyPathReport();
    void probes_data();
    void probes();
    void serverDownCountsRetries();
    void timerRunsTheNextCheck();
    void pathLostAndBack();
    void retryConnectionStartsAfresh();
    void badBaseUrl_data();
    void badBaseUrl();
    void destroyedWithProbeInFlight();
    void destroyedBeforeStart();
    void worksWithTheDesktopMonitor();

private:
    // Makes the manager and waits until it started and finished its first check.
    bool start(const QString &baseUrl);
    // A usable path report, and the check it starts when not connected, finished.
    bool bringNetworkUp();

    std::unique_ptr<ScriptedHttpServer> m_server;
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
    m_manager = std::make_unique<ConnectionManager>(baseUrl, m_monitor.get());
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

void TestConnectionManager::statusTable_data()
{
    QTest::addColumn<ConnectionStatus>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<connection::StatusColor>("color");
    QTest::addColumn<int>("intervalMs");
    using C = connection::StatusColor;
    QTest::addRow("connected") << ConnectionStatus::Connected << "Połączono" << C::Green << 15000;
    QTest::addRow("connecting") << ConnectionStatus::Connecting << "Łączenie..." << C::Yellow
                                << 5000;
    QTest::addRow("disconnected") << ConnectionStatus::Disconnected << "Brak sieci" << C::Red
                                  << 5000;
    QTest::addRow("error") << ConnectionStatus::Error << "Błąd serwera" << C::Red << 10000;
    QTest::addRow("retrying") << ConnectionStatus::Retrying << "Ponawiam..." << C::Yellow << 3000;
}

void TestConnectionManager::statusTable()
{
    QFETCH(ConnectionStatus, status);
    QFETCH(QString, text);
    QFETCH(connection::StatusColor, color);
    QFETCH(int, intervalMs);
    QCOMPARE(connection::displayText(status), text);
    QCOMPARE(connection::statusColor(status), color);
    QCOMPARE(connection::checkInterval(status).count(), qint64(intervalMs));
    // QML compares against the enum by name.
    const auto meta = QMetaEnum::fromType<ConnectionStatus>();
    QVERIFY(meta.valueToKey(int(status)) != nullptr);
}

void TestConnectionManager::pingIsTruncated_data()
{
    QTest::addColumn<qint64>("nanoseconds");
    QTest::addColumn<int>("milliseconds");
    QTest::addRow("45.6 ms") << qint64(45'600'000) << 45;
    QTest::addRow("just under 1 ms") << qint64(999'999) << 0;
    QTest::addRow("exactly 8 s") << qint64(8'000'000'000) << 8000;
}

void TestConnectionManager::pingIsTruncated()
{
    QFETCH(qint64, nanoseconds);
    QFETCH(int, milliseconds);
    QCOMPARE(connection::wholeMilliseconds(std::chrono::nanoseconds(nanoseconds)), milliseconds);
}

void TestConnectionManager::waitsBeforeStarting()
{
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    QElapsedTimer clock;
    clock.start();
    m_manager =
        std::make_unique<ConnectionManager>(m_server->baseUrl().toString(), m_monitor.get());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connecting);
    QCOMPARE(m_manager->statusText(), "Łączenie...");
    QVERIFY(!m_manager->isConnected());
    QVERIFY(!m_manager->pingValue().isValid());
    QVERIFY(!m_manager->lastUpdate().isValid());
    QVERIFY(!m_manager->errorMessage());
    QCOMPARE(m_manager->retryCount(), 0);
    QCOMPARE(m_manager->probeTimeoutMs(), 8000);
    QVERIFY(m_manager->startDelayTimer().isActive());
    QCOMPARE(m_manager->startDelayTimer().interval(), 200);
    QVERIFY(!m_manager->pingTimer().isActive());
    QCOMPARE(m_monitor->startCount(), 0);

    QVERIFY(m_server->waitForRequests(1));
    QVERIFY(clock.elapsed() >= 190);
    QCOMPARE(m_monitor->startCount(), 1);
    QCOMPARE(m_server->requests().at(0).pathWithoutQuery(), kHealth);
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
}

void TestConnectionManager::checkBeforeAnyPathReport()
{
    QVERIFY(start(downUrl()));
    QVERIFY(!m_manager->hasNetwork());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Disconnected);
    QCOMPARE(m_manager->statusText(), "Brak sieci");
    QCOMPARE(m_manager->errorMessageText(), kNoNetwork);
    QCOMPARE(m_manager->retryCount(), 1);
    QVERIFY(!m_manager->pingValue().isValid());
    QCOMPARE(m_manager->pingTimer().interval(), 5000);

    // Without a path report, failures never escalate to "error".
    for (int i = 0; i < 3; ++i)
        QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Disconnected);
    QCOMPARE(m_manager->retryCount(), 4);

    // The first report corrects it.
    QVERIFY(bringNetworkUp());
    QVERIFY(m_manager->hasNetwork());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (1/3)...");
}

void TestConnectionManager::probes_data()
{
    QTest::addColumn<ScriptedResponse>("health");
    QTest::addColumn<ScriptedResponse>("servers");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<int>("minPing");
    QTest::addColumn<int>("maxPing");

    using R = ScriptedResponse;
    const QStringList healthOnly{kHealth};
    const QStringList both{kHealth, kServers};
    const QByteArray down = R"({"error":"Baza danych jest niedostępna"})";
    QTest::addRow("health 200") << R::json(200, "{}") << R::json(500) << true << healthOnly << 0
                                << 5000;
    QTest::addRow("health 204") << R::json(204) << R::json(500) << true << healthOnly << 0 << 5000;
    QTest::addRow("health 299") << R::json(299) << R::json(500) << true << healthOnly << 0 << 5000;
    QTest::addRow("health 503 counts as an answer")
        << R::json(503, down) << R::json(500) << true << healthOnly << 0 << 5000;
    QTest::addRow("ping measures the answer")
        << R::json(200).after(150ms) << R::json(500) << true << healthOnly << 150 << 5000;
    QTest::addRow("health 404, servers 200")
        << R::json(404) << R::json(200, "[]") << true << both << 0 << 5000;
    QTest::addRow("health 500, servers 503")
        << R::json(500) << R::json(503) << true << both << 0 << 5000;
    QTest::addRow("health closes, servers 200 late")
        << R::closeConnection() << R::json(200).after(150ms) << true << both << 150 << 5000;
    // The ping is the second probe's own time, not the first probe's wait.
    QTest::addRow("health silent, servers 200")
        << R::neverAnswer() << R::json(200) << true << both << 0 << 700;
    QTest::addRow("health 404, servers 404")
        << R::json(404) << R::json(404) << false << both << 0 << 0;
    QTest::addRow("health 300, servers 502")
        << R::json(300) << R::json(502) << false << both << 0 << 0;
    QTest::addRow("health 401, servers 403")
        << R::json(401) << R::json(403) << false << both << 0 << 0;
    QTest::addRow("health 504, servers closes")
        << R::json(504) << R::closeConnection() << false << both << 0 << 0;
    QTest::addRow("both silent") << R::neverAnswer() << R::neverAnswer() << false << both << 0 << 0;
}

void TestConnectionManager::probes()
{
    QFETCH(ScriptedResponse, health);
    QFETCH(ScriptedResponse, servers);
    QFETCH(bool, reachable);
    QFETCH(QStringList, paths);
    QFETCH(int, minPing);
    QFETCH(int, maxPing);

    // Connected with the network up, so the path report starts no check of its own.
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    QVERIFY(start(m_server->baseUrl().toString()));
    m_monitor->report(true);
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
    const QDateTime previousUpdate = m_manager->lastUpdate();
    QVERIFY(previousUpdate.isValid());

    m_server->clearScript();
    m_server->clearRequests();
    m_server->setDefault(kHealth, health);
    m_server->setDefault(kServers, servers);
    m_manager->setProbeTimeoutMs(800);
    const QDateTime checkStart = QDateTime::currentDateTime();
    QCoro::waitFor(m_manager->checkConnectionTask());

    QCOMPARE(distinctPaths(m_server->requests()), paths);
    for (const auto &request : m_server->requests()) {
        QCOMPARE(request.method, "GET");
        QVERIFY(!request.hasHeader("Authorization"));
        QVERIFY(request.body.isEmpty());
    }
    QCOMPARE(m_manager->isConnected(), reachable);
    QVERIFY(m_manager->pingTimer().isActive());
    if (reachable) {
        QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
        QCOMPARE(m_manager->statusText(), "Połączono");
        QVERIFY(m_manager->ping().has_value());
        QCOMPARE(m_manager->pingValue().toInt(), *m_manager->ping());
        QVERIFY2(*m_manager->ping() >= minPing && *m_manager->ping() <= maxPing,
                 qPrintable(QString::number(*m_manager->ping())));
        QVERIFY(m_manager->lastUpdate() >= checkStart);
        QVERIFY(!m_manager->errorMessage());
        QCOMPARE(m_manager->retryCount(), 0);
        QCOMPARE(m_manager->pingTimer().interval(), 15000);
    } else {
        QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
        QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (1/3)...");
        QVERIFY(!m_manager->pingValue().isValid());
        QCOMPARE(m_manager->lastUpdate(), previousUpdate);
        QCOMPARE(m_manager->retryCount(), 1);
        QCOMPARE(m_manager->pingTimer().interval(), 3000);
    }
}

void TestConnectionManager::serverDownCountsRetries()
{
    QVERIFY(start(downUrl()));
    QList<ConnectionStatus> statuses;
    QStringList messages;
    connect(m_manager.get(), &ConnectionManager::connectionStatusChanged, this,
            [&] { statuses.append(m_manager->connectionStatus()); });
    connect(m_manager.get(), &ConnectionManager::errorMessageChanged, this,
            [&] { messages.append(m_manager->errorMessageText()); });

    m_monitor->report(true);
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connecting);
    QCOMPARE(m_manager->retryCount(), 0);
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->pingTimer().interval(), 3000);

    QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->retryCount(), 2);
    QCOMPARE(m_manager->pingTimer().interval(), 3000);

    QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Error);
    QCOMPARE(m_manager->statusText(), "Błąd serwera");
    QCOMPARE(m_manager->errorMessageText(), kGaveUp);
    QCOMPARE(m_manager->retryCount(), 3);
    QCOMPARE(m_manager->pingTimer().interval(), 10000);

    QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Error);
    QCOMPARE(m_manager->retryCount(), 4);
    QCOMPARE(m_manager->pingTimer().interval(), 10000);
    QVERIFY(!m_manager->isConnected());
    QVERIFY(!m_manager->lastUpdate().isValid());

    const QList<ConnectionStatus> expectedStatuses{
        ConnectionStatus::Connecting, ConnectionStatus::Retrying, ConnectionStatus::Error};
    QCOMPARE(statuses, expectedStatuses);
    const QStringList expectedMessages{"Próba połączenia (1/3)...", "Próba połączenia (2/3)...",
                                       kGaveUp};
    QCOMPARE(messages, expectedMessages);
}

void TestConnectionManager::timerRunsTheNextCheck()
{
    QVERIFY(start(downUrl()));
    QVERIFY(bringNetworkUp());
    QCOMPARE(m_manager->retryCount(), 1);
    QElapsedTimer clock;
    clock.start();
    // The one wait on the real schedule: retrying checks again after 3 s.
    QTRY_COMPARE_WITH_TIMEOUT(m_manager->retryCount(), 2, 6000);
    QVERIFY(clock.elapsed() >= 2900);
    QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (2/3)...");
    QVERIFY(m_manager->pingTimer().isActive());
}

void TestConnectionManager::pathLostAndBack()
{
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    QVERIFY(start(m_server->baseUrl().toString()));
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
    const QDateTime lastUpdate = m_manager->lastUpdate();
    const int requests = m_server->requestCount();

    // A usable path while connected changes nothing and checks nothing.
    m_monitor->report(true);
    QTest::qWait(50);
    QCOMPARE(m_server->requestCount(), requests);
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);

    m_monitor->report(false);
    QVERIFY(!m_manager->hasNetwork());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Disconnected);
    QVERIFY(!m_manager->isConnected());
    QVERIFY(!m_manager->pingValue().isValid());
    QCOMPARE(m_manager->errorMessageText(), kNoNetwork);
    QCOMPARE(m_manager->lastUpdate(), lastUpdate);
    QVERIFY(m_manager->pingTimer().isActive());
    QTest::qWait(50);
    QCOMPARE(m_server->requestCount(), requests);

    m_monitor->report(true);
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connecting);
    QCOMPARE(m_manager->retryCount(), 0);
    QVERIFY(m_server->waitForRequests(requests + 1));
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
    QVERIFY(m_manager->isConnected());
    QVERIFY(m_manager->pingValue().isValid());
    QVERIFY(!m_manager->errorMessage());
}

void TestConnectionManager::retryConnectionStartsAfresh()
{
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    m_server->close();
    QVERIFY(start(m_server->baseUrl().toString()));
    QVERIFY(bringNetworkUp());
    QCoro::waitFor(m_manager->checkConnectionTask());
    QCoro::waitFor(m_manager->checkConnectionTask());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Error);

    m_manager->retryConnection();
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Connecting);
    QCOMPARE(m_manager->retryCount(), 0);
    QVERIFY(!m_manager->errorMessage());
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->errorMessageText(), "Próba połączenia (1/3)...");

    QVERIFY(m_server->reopen());
    m_manager->retryConnection();
    QTRY_COMPARE(m_manager->connectionStatus(), ConnectionStatus::Connected);
    QCOMPARE(m_manager->retryCount(), 0);
    QVERIFY(m_manager->lastUpdate().isValid());
}

void TestConnectionManager::badBaseUrl_data()
{
    QTest::addColumn<QString>("baseUrl");
    QTest::addRow("empty") << "";
    QTest::addRow("no scheme") << "127.0.0.1:1";
    QTest::addRow("words") << "not a url";
    QTest::addRow("space in host") << "http://exa mple.com";
    QTest::addRow("no host") << "http://";
    QTest::addRow("file") << "file:///tmp";
    QTest::addRow("unknown scheme") << "gopher://127.0.0.1:1";
}

void TestConnectionManager::badBaseUrl()
{
    QFETCH(QString, baseUrl);
    QVERIFY(start(baseUrl));
    QVERIFY(bringNetworkUp());
    QCOMPARE(m_manager->connectionStatus(), ConnectionStatus::Retrying);
    QCOMPARE(m_manager->retryCount(), 1);
    QVERIFY(!m_manager->isConnected());
}

void TestConnectionManager::destroyedWithProbeInFlight()
{
    m_server->setDefault(kHealth, ScriptedResponse::neverAnswer());
    m_manager =
        std::make_unique<ConnectionManager>(m_server->baseUrl().toString(), m_monitor.get());
    QVERIFY(m_server->waitForRequests(1));
    auto task = m_manager->checkConnectionTask();
    QVERIFY(m_server->waitForRequests(2));
    QVERIFY(!task.isReady());

    m_manager.reset();
    QVERIFY(!m_monitor->isRunning());
    // Both checks ended with the manager; neither went on to the second probe.
    QVERIFY(task.isReady());
    QCoro::waitFor(std::move(task));
    QTest::qWait(100);
    QCOMPARE(distinctPaths(m_server->requests()), QStringList{kHealth});
}

void TestConnectionManager::destroyedBeforeStart()
{
    m_manager =
        std::make_unique<ConnectionManager>(m_server->baseUrl().toString(), m_monitor.get());
    m_manager.reset();
    QTest::qWait(300);
    QCOMPARE(m_monitor->startCount(), 0);
    QCOMPARE(m_server->requestCount(), 0);
}

void TestConnectionManager::worksWithTheDesktopMonitor()
{
    m_server->setDefault(kHealth, ScriptedResponse::json(200));
    ConnectionManager manager(m_server->baseUrl().toString());
    QTRY_COMPARE(manager.connectionStatus(), ConnectionStatus::Connected);
    QCOMPARE(manager.pingTimer().interval(), 15000);
}

QTEST_GUILESS_MAIN(TestConnectionManager)
#include "tst_connectionmanager.moc"
