#include "appharness.h"
#include "connectionmanager.h"
#include "fakepathmonitor.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"

#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

// The connection badge in the lobby's header, on a real ConnectionManager whose path reports the
// test makes.
class TestConnectionStatusView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tapOnProblemExpandsAndStartsCheck_data();
    void tapOnProblemExpandsAndStartsCheck();
    void tapWhenConnectedCollapsesAndCallsNothing();
    void expandsByItselfAndPulsesOnlyWhileRetrying();
    void detailsShowPingAndProblemOnlyWhenSet();

private:
    QObject *badge() { return m_harness->find(QStringLiteral("connectionStatusView")); }
    bool isExpanded() { return badge()->property("isExpanded").toBool(); }
    int healthChecks() const;
    // Fails every check until the manager reports an error (three failures, 3 s apart).
    bool driveToError();

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<FakePathMonitor> m_monitor;
    std::unique_ptr<AppHarness> m_harness;
};

void TestConnectionStatusView::init()
{
    m_server = std::make_unique<ScriptedHttpServer>();
    lobbyscript::answerSignedInLobby(*m_server);
    const QString store = m_dir.filePath(QStringLiteral("%1.json").arg(m_server->port()));
    KeyValueStore(store).setString(QStringLiteral("authToken"), QStringLiteral("token"));
    m_monitor = std::make_unique<FakePathMonitor>();
    m_harness =
        std::make_unique<AppHarness>(m_server->baseUrl().toString(), store, m_monitor.get());
    QVERIFY(m_harness->load());
    m_harness->completeLaunch();
    QVERIFY(m_harness->waitForScreen(QStringLiteral("lobby")));
    QVERIFY(QTest::qWaitFor([&] { return m_monitor->isRunning(); }, 2000));
    m_monitor->report(true);
    QVERIFY(
        QTest::qWaitFor([&] { return m_harness->app().connectionManager().isConnected(); }, 3000));
    QVERIFY(!isExpanded());
}

void TestConnectionStatusView::cleanup()
{
    QVERIFY2(m_harness->qmlWarnings().isEmpty(), qPrintable(m_harness->qmlWarnings().join('\n')));
    m_harness.reset();
    m_monitor.reset();
    m_server.reset();
}

int TestConnectionStatusView::healthChecks() const
{
    int count = 0;
    for (const auto &request : m_server->requests())
        count += request.pathWithoutQuery() == u"/api/health";
    return count;
}

bool TestConnectionStatusView::driveToError()
{
    ConnectionManager &connection = m_harness->app().connectionManager();
    m_server->setDefault(QStringLiteral("/api/health"), ScriptedResponse::json(404));
    m_server->setDefault(QStringLiteral("/api/game/servers"), ScriptedResponse::json(404));
    connection.retryConnection();
    return QTest::qWaitFor([&] { return connection.connectionStatus() == ConnectionStatus::Error; },
                           10000);
}

void TestConnectionStatusView::tapOnProblemExpandsAndStartsCheck_data()
{
    QTest::addColumn<bool>("networkLost");
    QTest::addRow("disconnected") << true;
    QTest::addRow("server error") << false;
}

void TestConnectionStatusView::tapOnProblemExpandsAndStartsCheck()
{
    QFETCH(bool, networkLost);
    ConnectionManager &connection = m_harness->app().connectionManager();
    if (networkLost) {
        // A check started before the path went away may still answer "connected"; report again
        // until the state settles.
        QVERIFY(QTest::qWaitFor(
            [&] {
                m_monitor->report(false);
                QTest::qWait(200);
                return connection.connectionStatus() == ConnectionStatus::Disconnected;
            },
            3000));
    } else {
        QVERIFY(driveToError());
        // Retrying expanded the badge by itself; the case under test is a collapsed one.
        badge()->setProperty("isExpanded", false);
        // The refused list opened the lobby's alert, which would take the tap.
        m_harness->app().gameManager().setErrorMessage(std::nullopt);
    }
    QVERIFY(!isExpanded());
    QVERIFY(connection.connectionStatus() ==
            (networkLost ? ConnectionStatus::Disconnected : ConnectionStatus::Error));

    QSignalSpy statuses(&connection, &ConnectionManager::connectionStatusChanged);
    const int before = healthChecks();
    QVERIFY(m_harness->click(QStringLiteral("connectionStatusView")));
    QVERIFY(isExpanded());
    QVERIFY(!statuses.isEmpty());
    QCOMPARE(connection.retryCount(), 0);
    QVERIFY(QTest::qWaitFor([&] { return healthChecks() > before; }, 2000));
}

void TestConnectionStatusView::tapWhenConnectedCollapsesAndCallsNothing()
{
    ConnectionManager &connection = m_harness->app().connectionManager();
    QVERIFY(m_harness->click(QStringLiteral("connectionStatusView")));
    QVERIFY(isExpanded());
    const int before = healthChecks();
    QSignalSpy statuses(&connection, &ConnectionManager::connectionStatusChanged);
    QVERIFY(m_harness->click(QStringLiteral("connectionStatusView")));
    QVERIFY(!isExpanded());
    QTest::qWait(300);
    QCOMPARE(healthChecks(), before);
    QVERIFY(statuses.isEmpty());
}

void TestConnectionStatusView::expandsByItselfAndPulsesOnlyWhileRetrying()
{
    ConnectionManager &connection = m_harness->app().connectionManager();
    QObject *pulse = m_harness->find(QStringLiteral("pulseAnimation"));
    QQuickItem *ring = m_harness->item(QStringLiteral("pulseRing"));
    // Connected: nothing animates, so an idle lobby renders no frames.
    QCOMPARE(pulse->property("running").toBool(), false);

    m_server->setDefault(QStringLiteral("/api/health"), ScriptedResponse::json(404));
    m_server->setDefault(QStringLiteral("/api/game/servers"), ScriptedResponse::json(404));
    connection.retryConnection();
    QVERIFY(isExpanded());
    QCOMPARE(pulse->property("running").toBool(), true);
    QVERIFY(QTest::qWaitFor(
        [&] { return connection.connectionStatus() == ConnectionStatus::Retrying; }, 3000));
    QCOMPARE(pulse->property("running").toBool(), true);
    QTest::qWait(300);
    QVERIFY(ring->scale() > 1.0);

    lobbyscript::answerSignedInLobby(*m_server);
    connection.retryConnection();
    QVERIFY(QTest::qWaitFor([&] { return connection.isConnected(); }, 3000));
    QCOMPARE(pulse->property("running").toBool(), false);
    QCOMPARE(ring->scale(), 1.0);
    QCOMPARE(ring->opacity(), 0.8);
    // It does not collapse by itself.
    QVERIFY(isExpanded());
}

void TestConnectionStatusView::detailsShowPingAndProblemOnlyWhenSet()
{
    ConnectionManager &connection = m_harness->app().connectionManager();
    QVERIFY(m_harness->click(QStringLiteral("connectionStatusView")));
    QQuickItem *ping = m_harness->item(QStringLiteral("pingText"));
    QQuickItem *problem = m_harness->item(QStringLiteral("problemText"));
    QVERIFY(QTest::qWaitFor([&] { return ping->isVisible(); }, 1000)); // slides in
    QCOMPARE(m_harness->find(QStringLiteral("connectionStatusText"))->property("text").toString(),
             QStringLiteral("Połączono"));
    QCOMPARE(ping->property("text").toString(), QStringLiteral("%1ms").arg(*connection.ping()));
    QVERIFY(!problem->isVisible());

    m_monitor->report(false);
    QVERIFY(!ping->isVisible());
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->property("text").toString(), QStringLiteral("Brak połączenia z internetem"));
    QCOMPARE(m_harness->find(QStringLiteral("connectionStatusText"))->property("text").toString(),
             QStringLiteral("Brak sieci"));
}

QTEST_MAIN(TestConnectionStatusView)
#include "tst_connectionstatusview.moc"
