// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "appharness.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QQuickWindow>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

// Getting in: the launch screen's timing, the root's choice of screen from the three flags, and
// the login and registration form, against a real server (and a scripted one where the request
// itself or its timing is the point).
class TestSignIn : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void launchEndsAfterItsLastStepAndNeverReturns();
    void restoreAfterLaunchShowsLoginFirst();
    void signedInDuringLaunchSkipsLoginAndSignOutWinsOverGame();
    void failedLoginKeepsFieldsAndMessageAcrossModes();
    void registrationWithTabAndEnterSignsInAndShowsLobby();
    void sendsTextsAsTypedOnceWhileBusy();

private:
    AppHarness &openLogin(const QString &serverUrl);
    QString field(const QString &objectName) const
    {
        return m_harness->find(objectName)->property("text").toString();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<AppHarness> m_harness;
};

void TestSignIn::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestSignIn::launchEndsAfterItsLastStepAndNeverReturns()
{
    ScriptedHttpServer server;
    AppHarness harness(server.baseUrl().toString());
    QVERIFY(harness.load());
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));
    QCOMPARE(harness.window()->size(), QSize(390, 844));

    // The last step says "Gotowe!"; the screen stays, marks itself complete, then gives way.
    // How long each stage takes is the start-up benchmark's business.
    QTRY_COMPARE(harness.text(QStringLiteral("statusText")), QStringLiteral("Gotowe!"));
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));
    QCOMPARE(harness.text(QStringLiteral("percentText")), QStringLiteral("100%"));
    QTRY_VERIFY(harness.find(QStringLiteral("launchScreen"))->property("isComplete").toBool());
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));
    QVERIFY(harness.waitForScreen(QStringLiteral("login")));

    // A late second completion changes nothing; the faded launch screen is gone for good.
    harness.completeLaunch();
    QCOMPARE(harness.currentScreen(), QStringLiteral("login"));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "login"}));
    QCOMPARE(harness.find(QStringLiteral("launchLoader"))->property("active").toBool(), false);
    QVERIFY(harness.qmlWarnings().isEmpty());
}

void TestSignIn::restoreAfterLaunchShowsLoginFirst()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    // The stored token's check gets no answer until the launch screen is gone.
    server.setDefault(QStringLiteral("/api/auth/me"), ScriptedResponse::neverAnswer());
    const QString store = m_dir.filePath(QStringLiteral("slow.json"));
    KeyValueStore(store).setString(QStringLiteral("authToken"), QStringLiteral("slow-token"));

    AppHarness harness(server.baseUrl().toString(), store);
    QVERIFY(harness.load());
    QVERIFY(harness.waitForScreen(QStringLiteral("login")));
    QVERIFY(!harness.app().authManager().isAuthenticated());
    server.setDefault(QStringLiteral("/api/auth/me"),
                      ScriptedResponse::json(200, lobbyscript::user));
    harness.app().authManager().loadCurrentUser();
    QVERIFY(harness.waitForScreen(QStringLiteral("lobby")));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "login", "lobby"}));
}

void TestSignIn::signedInDuringLaunchSkipsLoginAndSignOutWinsOverGame()
{
    const QString store = m_dir.filePath(QStringLiteral("early.json"));
    QVERIFY(signUpInto(m_server->baseUrl().toString(), QStringLiteral("early"), store));
    AppHarness harness(m_server->baseUrl().toString(), store);
    QVERIFY(harness.load());
    QTRY_VERIFY(harness.app().authManager().isAuthenticated());
    QCoro::waitFor(harness.app().gameManager().createSessionTask(std::nullopt));
    QVERIFY(harness.app().gameManager().isInGame());
    QCOMPARE(harness.currentScreen(), QStringLiteral("launch"));
    QVERIFY(harness.waitForScreen(QStringLiteral("game")));

    // Signed out while the game is still held: the login screen, at once.
    harness.app().authManager().logout();
    QVERIFY(harness.app().gameManager().isInGame());
    QCOMPARE(harness.currentScreen(), QStringLiteral("login"));
    QCOMPARE(harness.screenHistory(), QStringList({"launch", "game", "login"}));
}

AppHarness &TestSignIn::openLogin(const QString &serverUrl)
{
    m_harness = std::make_unique<AppHarness>(serverUrl);
    if (!m_harness->load())
        qFatal("the window did not load");
    m_harness->completeLaunch();
    m_harness->waitForScreen(QStringLiteral("login"));
    return *m_harness;
}

void TestSignIn::failedLoginKeepsFieldsAndMessageAcrossModes()
{
    AppHarness &h = openLogin(m_server->baseUrl().toString());
    QQuickItem *error = h.item(QStringLiteral("errorText"));
    QQuickItem *username = h.item(QStringLiteral("usernameField"));
    QVERIFY(!error->isVisible());
    QVERIFY(!username->isVisible());
    h.type(h.item(QStringLiteral("emailField")), QStringLiteral("nikt@example.pl"));
    h.type(h.item(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    QVERIFY(h.click(QStringLiteral("submitButton")));
    QTRY_VERIFY_WITH_TIMEOUT(error->isVisible(), 5000);
    const QString message = error->property("text").toString();
    QVERIFY(!message.isEmpty());
    QCOMPARE(h.currentScreen(), QStringLiteral("login"));

    // Registration asks for a user name first; switching keeps the texts and the message.
    QVERIFY(h.click(QStringLiteral("registerModeButton")));
    QCOMPARE(h.text(QStringLiteral("submitButton")), QStringLiteral("Zarejestruj się"));
    QVERIFY(username->mapToScene({0, 0}).y() <
            h.item(QStringLiteral("emailField"))->mapToScene({0, 0}).y());
    h.type(username, QStringLiteral("żaneta"));
    QVERIFY(h.click(QStringLiteral("loginModeButton")));
    QVERIFY(!username->isVisible());
    QCOMPARE(field(QStringLiteral("emailField")), QStringLiteral("nikt@example.pl"));
    QCOMPARE(field(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    QCOMPARE(error->property("text").toString(), message);
    QVERIFY(h.click(QStringLiteral("registerModeButton")));
    QCOMPARE(field(QStringLiteral("usernameField")), QStringLiteral("żaneta"));
}

void TestSignIn::registrationWithTabAndEnterSignsInAndShowsLobby()
{
    AppHarness &h = openLogin(m_server->baseUrl().toString());
    QVERIFY(h.click(QStringLiteral("registerModeButton")));
    h.type(h.item(QStringLiteral("usernameField")), QStringLiteral("nowy"));
    h.key(Qt::Key_Tab);
    QVERIFY(h.item(QStringLiteral("emailField"))->hasActiveFocus());
    QTest::sendKeyEvent(QTest::Click, h.window(), Qt::Key_unknown, "nowy@example.pl", {});
    h.key(Qt::Key_Tab);
    QVERIFY(h.item(QStringLiteral("passwordField"))->hasActiveFocus());
    QTest::sendKeyEvent(QTest::Click, h.window(), Qt::Key_unknown, "haslo123", {});
    h.key(Qt::Key_Return);
    QVERIFY(h.waitForScreen(QStringLiteral("lobby")));
    QTRY_COMPARE(h.text(QStringLiteral("greetingText")), QStringLiteral("Witaj, nowy!"));
}

void TestSignIn::sendsTextsAsTypedOnceWhileBusy()
{
    ScriptedHttpServer server;
    server.setDefault(
        QStringLiteral("/api/auth/login"),
        ScriptedResponse::json(401, R"({"error":"Nieprawidłowe dane"})").after(1500ms));
    AppHarness &h = openLogin(server.baseUrl().toString());
    h.type(h.item(QStringLiteral("emailField")), QStringLiteral("Ala@Example.PL "));
    h.type(h.item(QStringLiteral("passwordField")), QStringLiteral(" haslo "));
    h.key(Qt::Key_Return);
    QTRY_VERIFY(h.app().authManager().isLoading());
    QCOMPARE(h.find(QStringLiteral("submitButton"))->property("enabled").toBool(), false);

    // Neither Enter nor a click sends a second request while the first runs.
    h.key(Qt::Key_Return);
    h.click(QStringLiteral("submitButton"));
    QTRY_VERIFY_WITH_TIMEOUT(!h.app().authManager().isLoading(), 5000);
    const auto bodies = bodiesOf(server, QStringLiteral("/api/auth/login"));
    QCOMPARE(bodies.size(), 1);
    QCOMPARE(bodies.constFirst().value("email").toString(), QStringLiteral("Ala@Example.PL "));
    QCOMPARE(bodies.constFirst().value("password").toString(), QStringLiteral(" haslo "));
}

QTEST_MAIN(TestSignIn)
#include "tst_signin.moc"
