#include "appharness.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "recordingfeedback.h"
#include "scriptedhttpserver.h"
#include "soundmanager.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickWindow>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

// The settings sheet: stored switches, the account card, the connection card and logout.
class TestSettingsView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void switchesStartOnAndPersistAcrossRestart();
    void logoutFromSheetShowsLogin();
    void adminBadgeOnlyForExactRole_data();
    void adminBadgeOnlyForExactRole();
    void lastUpdateLineOnlyAfterSuccess_data();
    void lastUpdateLineOnlyAfterSuccess();

private:
    AppHarness &openSettings();
    QObject *sheet() { return m_harness->find(QStringLiteral("settingsView")); }

    QTemporaryDir m_dir;
    QString m_storePath;
    std::unique_ptr<ScriptedHttpServer> m_server;
    std::unique_ptr<AppHarness> m_harness;
};

void TestSettingsView::init()
{
    m_server = std::make_unique<ScriptedHttpServer>();
    lobbyscript::answerSignedInLobby(*m_server);
    m_storePath = m_dir.filePath(QStringLiteral("%1.json").arg(m_server->port()));
    KeyValueStore(m_storePath).setString(QStringLiteral("authToken"), QStringLiteral("token"));
}

void TestSettingsView::cleanup()
{
    if (m_harness)
        QVERIFY2(m_harness->qmlWarnings().isEmpty(),
                 qPrintable(m_harness->qmlWarnings().join('\n')));
    m_harness.reset();
    m_server.reset();
}

AppHarness &TestSettingsView::openSettings()
{
    m_harness = std::make_unique<AppHarness>(m_server->baseUrl().toString(), m_storePath);
    AppHarness &h = *m_harness;
    if (!h.load())
        qWarning() << "the window did not load";
    h.completeLaunch();
    if (!h.waitForScreen(QStringLiteral("lobby")))
        qWarning() << "the lobby did not show";
    h.find(QStringLiteral("lobbyView"))->setProperty("showSettings", true);
    if (!QTest::qWaitFor([&] { return sheet()->property("opened").toBool(); }, 2000))
        qWarning() << "the settings sheet did not open";
    return h;
}

void TestSettingsView::switchesStartOnAndPersistAcrossRestart()
{
    const QStringList switches{"soundSwitch", "notificationsSwitch", "autoReconnectSwitch"};
    {
        AppHarness &h = openSettings();
        for (const QString &name : switches)
            QVERIFY2(h.find(name)->property("checked").toBool(), qPrintable(name));
        QVERIFY(h.click(QStringLiteral("soundSwitch")));
        QVERIFY(h.click(QStringLiteral("autoReconnectSwitch")));
        QCOMPARE(h.find(QStringLiteral("soundSwitch"))->property("checked").toBool(), false);
        m_harness.reset();
    }

    // On disk at once, as real Bools; the switch never touched was never written.
    QFile file(m_storePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(stored.value(QStringLiteral("soundEnabled")), QJsonValue(false));
    QCOMPARE(stored.value(QStringLiteral("autoReconnect")), QJsonValue(false));
    QVERIFY(!stored.contains(QStringLiteral("notificationsEnabled")));

    // The next game screen's sound manager reads the same switch.
    KeyValueStore store(m_storePath);
    RecordingFeedback feedback;
    QCOMPARE(SoundManager(store, feedback).isSoundEnabled(), false);

    AppHarness &h = openSettings();
    QCOMPARE(h.find(QStringLiteral("soundSwitch"))->property("checked").toBool(), false);
    QCOMPARE(h.find(QStringLiteral("notificationsSwitch"))->property("checked").toBool(), true);
    QCOMPARE(h.find(QStringLiteral("autoReconnectSwitch"))->property("checked").toBool(), false);
    QVERIFY(h.click(QStringLiteral("soundSwitch")));
    QCOMPARE(KeyValueStore(m_storePath).boolean(QStringLiteral("soundEnabled")),
             std::optional<bool>(true));
}

void TestSettingsView::logoutFromSheetShowsLogin()
{
    AppHarness &h = openSettings();
    QVERIFY(h.click(QStringLiteral("settingsLogoutButton")));
    QVERIFY(h.waitForScreen(QStringLiteral("login")));
    QVERIFY(!h.app().authManager().isAuthenticated());
    QVERIFY(!KeyValueStore(m_storePath).string(QStringLiteral("authToken")));
    QVERIFY(h.visibleItems(QStringLiteral("soundSwitch")).isEmpty());
}

void TestSettingsView::adminBadgeOnlyForExactRole_data()
{
    QTest::addColumn<QByteArray>("role");
    QTest::addColumn<bool>("badge");
    QTest::addRow("admin") << QByteArray(R"(,"role":"admin")") << true;
    QTest::addRow("other letter case") << QByteArray(R"(,"role":"Admin")") << false;
    QTest::addRow("player") << QByteArray(R"(,"role":"player")") << false;
    QTest::addRow("no role") << QByteArray() << false;
}

void TestSettingsView::adminBadgeOnlyForExactRole()
{
    QFETCH(QByteArray, role);
    QFETCH(bool, badge);
    m_server->setDefault(QStringLiteral("/api/auth/me"),
                         ScriptedResponse::json(200, R"({"user":{"id":3,"username":"ola",)"
                                                     R"("email":"ola@example.pl")" +
                                                         role + "}}"));
    AppHarness &h = openSettings();
    QVERIFY(h.item(QStringLiteral("accountCard"))->isVisible());
    QCOMPARE(h.find(QStringLiteral("usernameText"))->property("text").toString(),
             QStringLiteral("ola"));
    QCOMPARE(h.item(QStringLiteral("adminBadge"))->isVisible(), badge);
}

void TestSettingsView::lastUpdateLineOnlyAfterSuccess_data()
{
    QTest::addColumn<bool>("serverAnswers");
    QTest::addRow("server answers") << true;
    QTest::addRow("server refuses the probes") << false;
}

void TestSettingsView::lastUpdateLineOnlyAfterSuccess()
{
    QFETCH(bool, serverAnswers);
    if (!serverAnswers) {
        m_server->setDefault(QStringLiteral("/api/health"), ScriptedResponse::json(404));
        m_server->setDefault(QStringLiteral("/api/game/servers"), ScriptedResponse::json(404));
    }
    AppHarness &h = openSettings();
    ConnectionManager &connection = h.app().connectionManager();
    QVERIFY(QTest::qWaitFor([&] { return connection.retryCount() > 0 || connection.isConnected(); },
                            3000));
    QQuickItem *line = h.item(QStringLiteral("lastUpdateText"));
    QCOMPARE(line->isVisible(), serverAnswers);
    if (serverAnswers)
        QVERIFY(line->property("text").toString().startsWith(u"Ostatnia aktualizacja: "));

    // The card's refresh button runs one check at once.
    auto healthChecks = [&] {
        int count = 0;
        for (const auto &request : m_server->requests())
            count += request.pathWithoutQuery() == u"/api/health";
        return count;
    };
    const int before = healthChecks();
    h.app().gameManager().setErrorMessage(std::nullopt); // a refused list opens the lobby's alert
    QVERIFY(h.click(QStringLiteral("checkConnectionButton")));
    QVERIFY(QTest::qWaitFor([&] { return healthChecks() == before + 1; }, 2000));
}

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
