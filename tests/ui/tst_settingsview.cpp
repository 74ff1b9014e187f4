// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "appharness.h"
#include "connectionmanager.h"
#include "fakepathmonitor.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"
#include "serveraddress.h"

#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace korvana;
using namespace korvana::test;

// The settings sheet (stored switches, logout) and the connection badge in the
// lobby's header, on a real ConnectionManager whose path reports the test makes.
class TestSettingsView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void switchesStartOnAndPersistAcrossRestart();
    void logoutFromSheetShowsLogin();
    void languageChangesOpenScreensAtOnce();
    void tapWhenOfflineExpandsAndStartsACheck();
    void expandsWhileRetryingAndCollapsesOnceConnected();

private:
    // A signed-in lobby whose network path is up and whose connection checks succeed.
    AppHarness &openLobby();
    AppHarness &openSettings();
    bool checked(const char *name) { return m_harness->find(name)->property("checked").toBool(); }
    bool isExpanded()
    {
        return m_harness->find("connectionStatusView")->property("isExpanded").toBool();
    }
    int healthChecks() const;
    ConnectionManager &connection() { return m_harness->app().connectionManager(); }

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<FakePathMonitor> m_monitor;
    std::unique_ptr<AppHarness> m_harness;
};

void TestSettingsView::init()
{
    m_server = std::make_unique<ScriptedHttpServer>();
    lobbyscript::answerSignedInLobby(*m_server);
}

void TestSettingsView::cleanup()
{
    QVERIFY2(m_harness->qmlWarnings().isEmpty(), qPrintable(m_harness->qmlWarnings().join('\n')));
    m_harness.reset();
    m_monitor.reset();
    m_server.reset();
}

AppHarness &TestSettingsView::openLobby()
{
    m_harness.reset();
    m_monitor = std::make_unique<FakePathMonitor>();
    m_harness = openSignedInLobby(*m_server, m_dir.path(), m_monitor.get());
    if (!m_harness || !QTest::qWaitFor([&] { return m_monitor->isRunning(); }))
        qFatal("the lobby did not show");
    m_monitor->report(true);
    if (!QTest::qWaitFor([&] { return connection().isConnected(); }))
        qFatal("no connection");
    return *m_harness;
}

AppHarness &TestSettingsView::openSettings()
{
    openLobby().find(QStringLiteral("lobbyView"))->setProperty("showSettings", true);
    if (!QTest::qWaitFor(
            [&] { return m_harness->find("settingsView")->property("opened").toBool(); }))
        qFatal("the settings sheet did not open");
    return *m_harness;
}

void TestSettingsView::switchesStartOnAndPersistAcrossRestart()
{
    AppHarness &first = openSettings();
    QVERIFY(checked("soundSwitch") && checked("notificationsSwitch") &&
            checked("autoReconnectSwitch"));
    QVERIFY(first.click(QStringLiteral("soundSwitch")));
    QVERIFY(first.click(QStringLiteral("autoReconnectSwitch")));

    // On disk at once, as real Bools.
    QFile file(m_dir.filePath(QStringLiteral("%1.json").arg(m_server->port())));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(stored.value(QStringLiteral("soundEnabled")), QJsonValue(false));
    QCOMPARE(stored.value(QStringLiteral("autoReconnect")), QJsonValue(false));

    openSettings();
    QVERIFY(!checked("soundSwitch") && checked("notificationsSwitch") &&
            !checked("autoReconnectSwitch"));
}

void TestSettingsView::logoutFromSheetShowsLogin()
{
    AppHarness &h = openSettings();
    QVERIFY(h.click(QStringLiteral("settingsLogoutButton")));
    QVERIFY(h.waitForScreen(QStringLiteral("login")));
    const auto tokens =
        KeyValueStore(m_dir.filePath(QStringLiteral("%1.json").arg(m_server->port())))
            .map(storekeys::serverTokens);
    QVERIFY(tokens && !tokens->contains(serverKey(m_server->baseUrl().toString())));
    QVERIFY(!h.isOpen(QStringLiteral("settingsView")));
}

// Texts from QML (the sheet's title, the lobby's plural line beneath it) and from C++ (the
// connection status) all follow the choice, which is stored.
void TestSettingsView::languageChangesOpenScreensAtOnce()
{
    AppHarness &h = openSettings();
    QObject *sheet = h.find(QStringLiteral("settingsView"));
    const auto shows = [&](const char *title, const char *status, const char *stats) {
        return sheet->property("title").toString() == QLatin1String(title) &&
               h.find(QStringLiteral("connectionStatusText"))->property("text").toString() ==
                   QString::fromUtf8(status) &&
               h.text(QStringLiteral("statsText")) == QString::fromUtf8(stats);
    };
    QVERIFY(shows("Ustawienia", "Połączono", "12 gier • 5 wygranych"));

    QVERIFY(h.click(QStringLiteral("englishButton")));
    QTRY_VERIFY(shows("Settings", "Connected", "12 games • 5 wins"));
    QFile file(m_dir.filePath(QStringLiteral("%1.json").arg(m_server->port())));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("language")),
             QJsonValue(QStringLiteral("en")));

    QVERIFY(h.click(QStringLiteral("polishButton")));
    QTRY_VERIFY(shows("Ustawienia", "Połączono", "12 gier • 5 wygranych"));
}

int TestSettingsView::healthChecks() const
{
    int count = 0;
    for (const auto &request : m_server->requests())
        count += request.pathWithoutQuery() == u"/api/health";
    return count;
}

void TestSettingsView::tapWhenOfflineExpandsAndStartsACheck()
{
    openLobby();
    // A check started before the path went away may still answer "connected"; report again
    // after each one that does.
    QSignalSpy reached(&connection(), &ConnectionManager::serverReached);
    do
        m_monitor->report(false);
    while (reached.wait(300));
    QCOMPARE(connection().connectionStatus(), ConnectionStatus::Disconnected);
    QVERIFY(!isExpanded());
    const int before = healthChecks();
    QVERIFY(m_harness->click(QStringLiteral("connectionStatusView")));
    QVERIFY(isExpanded());
    QTRY_VERIFY(healthChecks() > before);
}

void TestSettingsView::expandsWhileRetryingAndCollapsesOnceConnected()
{
    openLobby();
    QObject *pulse = m_harness->find(QStringLiteral("pulseAnimation"));
    QQuickItem *ring = m_harness->item(QStringLiteral("pulseRing"));
    // Connected: nothing animates, so an idle lobby renders no frames.
    QCOMPARE(pulse->property("running").toBool(), false);

    m_server->setDefault(QStringLiteral("/api/health"), ScriptedResponse::json(404));
    m_server->setDefault(QStringLiteral("/api/game/servers"), ScriptedResponse::json(404));
    connection().retryConnection();
    QTRY_COMPARE(connection().connectionStatus(), ConnectionStatus::Retrying);
    QVERIFY(isExpanded());
    QCOMPARE(pulse->property("running").toBool(), true);
    QTRY_VERIFY(ring->scale() > 1.0);
    // Expanded on a phone-wide header, the badge leaves the greeting's name whole.
    QCOMPARE(m_harness->text(QStringLiteral("greetingText")), QStringLiteral("Witaj, Aleksandra!"));
    QTRY_VERIFY(!m_harness->item(QStringLiteral("greetingText"))->property("truncated").toBool());

    lobbyscript::answerSignedInLobby(*m_server);
    connection().retryConnection();
    QTRY_VERIFY(connection().isConnected());
    QCOMPARE(pulse->property("running").toBool(), false);
    QCOMPARE(ring->scale(), 1.0);
    QVERIFY(!isExpanded()); // collapsed again once the server answers
}

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
