#include "appharness.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QQuickWindow>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

// The root: the launch screen's timing and the choice of screen from the three flags.
class TestRouting : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void windowIsPhoneSizedDarkAndResizable();
    void launchEndsAtTwoAndAHalfSecondsAndNeverReturns();
    void restoreDuringLaunchGoesStraightToLobby();
    void restoreAfterLaunchShowsLoginFirst();
    void gameEnteredDuringLaunchShowsGameAtOnce();
    void signInWinsOverGame();

private:
    QString text(AppHarness &harness, const QString &objectName);

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    int m_users = 0;
};

void TestRouting::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

QString TestRouting::text(AppHarness &harness, const QString &objectName)
{
    QObject *found = harness.find(objectName);
    return found ? found->property("text").toString() : QString();
}

void TestRouting::windowIsPhoneSizedDarkAndResizable()
{
    AppHarness harness(m_server->baseUrl().toString());
    QVERIFY(harness.load());
    QQuickWindow *window = harness.window();
    QCOMPARE(window->size(), QSize(390, 844));
    QCOMPARE(window->title(), QStringLiteral("Korvana"));
    QCOMPARE(window->color(), QColor(Qt::black));
    QVERIFY(window->minimumSize() != window->maximumSize());
    QVERIFY(harness.qmlWarnings().isEmpty());
}

void TestRouting::launchEndsAtTwoAndAHalfSecondsAndNeverReturns()
{
    ScriptedHttpServer server;
    AppHarness harness(server.baseUrl().toString());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(harness.load());
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));

    // Step 2 ran at 0.8 s, step 3 waits for 1.2 s.
    QTest::qWait(int(1000 - clock.elapsed()));
    QCOMPARE(text(harness, QStringLiteral("statusText")), QStringLiteral("Inicjalizacja gry..."));
    QCOMPARE(text(harness, QStringLiteral("percentText")), QStringLiteral("50%"));

    QTest::qWait(int(2250 - clock.elapsed()));
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));
    QCOMPARE(text(harness, QStringLiteral("statusText")), QStringLiteral("Gotowe!"));
    QCOMPARE(text(harness, QStringLiteral("percentText")), QStringLiteral("100%"));

    QVERIFY(harness.waitForScreen(QStringLiteral("login")));
    const qint64 shownAfter = clock.elapsed();
    QVERIFY2(shownAfter >= 2400 && shownAfter <= 3500, qPrintable(QString::number(shownAfter)));

    // A late second completion changes nothing; the faded launch screen is gone for good.
    harness.completeLaunch();
    QTest::qWait(600);
    QCOMPARE(harness.currentScreen(), QStringLiteral("login"));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "login"}));
    QCOMPARE(harness.find(QStringLiteral("launchLoader"))->property("active").toBool(), false);
    QVERIFY(harness.qmlWarnings().isEmpty());
}

void TestRouting::restoreDuringLaunchGoesStraightToLobby()
{
    const QString store = m_dir.filePath(QStringLiteral("restored.json"));
    QVERIFY(signUpInto(m_server->baseUrl().toString(), QStringLiteral("restored"), store));

    AppHarness harness(m_server->baseUrl().toString(), store);
    QVERIFY(harness.load());
    QVERIFY(QTest::qWaitFor([&] { return harness.app().authManager().isAuthenticated(); }, 2000));
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));
    QVERIFY(harness.waitForScreen(QStringLiteral("lobby")));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "lobby"}));
    QVERIFY(harness.qmlWarnings().isEmpty());
}

void TestRouting::restoreAfterLaunchShowsLoginFirst()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/auth/me"),
                      ScriptedResponse::json(200, lobbyscript::user).after(3500ms));
    const QString store = m_dir.filePath(QStringLiteral("slow.json"));
    KeyValueStore(store).setString(QStringLiteral("authToken"), QStringLiteral("slow-token"));

    AppHarness harness(server.baseUrl().toString(), store);
    QVERIFY(harness.load());
    QVERIFY(harness.waitForScreen(QStringLiteral("login")));
    QVERIFY(!harness.app().authManager().isAuthenticated());
    QVERIFY(harness.waitForScreen(QStringLiteral("lobby")));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "login", "lobby"}));
    QVERIFY(harness.qmlWarnings().isEmpty());
}

void TestRouting::gameEnteredDuringLaunchShowsGameAtOnce()
{
    const QString store = m_dir.filePath(QStringLiteral("early.json"));
    QVERIFY(signUpInto(m_server->baseUrl().toString(), QStringLiteral("early"), store));

    AppHarness harness(m_server->baseUrl().toString(), store);
    QVERIFY(harness.load());
    QVERIFY(QTest::qWaitFor([&] { return harness.app().authManager().isAuthenticated(); }, 2000));
    QCoro::waitFor(harness.app().gameManager().createSessionTask(std::nullopt));
    QVERIFY2(harness.app().gameManager().isInGame(),
             qPrintable(harness.app().gameManager().errorMessageText()));
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));

    QVERIFY(harness.waitForScreen(QStringLiteral("game")));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "game"}));
    harness.app().gameManager().leaveGame();
    QVERIFY(harness.waitForScreen(QStringLiteral("lobby"), 1s));
}

void TestRouting::signInWinsOverGame()
{
    const QString store = m_dir.filePath(QStringLiteral("player.json"));
    QVERIFY(signUpInto(m_server->baseUrl().toString(), QStringLiteral("player"), store));

    AppHarness harness(m_server->baseUrl().toString(), store);
    QVERIFY(harness.load());
    QVERIFY(QTest::qWaitFor([&] { return harness.app().authManager().isAuthenticated(); }, 2000));
    harness.completeLaunch();
    QVERIFY(harness.waitForScreen(QStringLiteral("lobby")));
    QVERIFY(harness.click(QStringLiteral("newGameButton")));
    QVERIFY(harness.waitForScreen(QStringLiteral("game")));

    // Signed out while the game is still held: the login screen, at once.
    harness.app().authManager().logout();
    QVERIFY(harness.app().gameManager().isInGame());
    QCOMPARE(harness.currentScreen(), QStringLiteral("login"));
    QVERIFY(harness.waitForScreen(QStringLiteral("login"), 100ms));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "lobby", "game", "login"}));
    harness.app().gameManager().leaveGame();
}

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"
