#include "appharness.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickWindow>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

// The login and registration form against a real server (and a scripted one where the request
// itself is the point).
class TestLoginView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void failedLoginShowsRedTextAndKeepsFields();
    void switchingModesKeepsTextsAndMessage();
    void registrationWithTabAndEnterSignsInAndShowsLobby();
    void textsAreSentExactlyAsTyped_data();
    void textsAreSentExactlyAsTyped();
    void busyButtonIsGrayAndIgnoresSubmits();

private:
    void openLogin(const QString &serverUrl);
    QString fieldText(const QString &objectName) const;

    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<AppHarness> m_harness;
};

void TestLoginView::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestLoginView::init()
{
    openLogin(m_server->baseUrl().toString());
}

void TestLoginView::cleanup()
{
    if (m_harness)
        QVERIFY2(m_harness->qmlWarnings().isEmpty(),
                 qPrintable(m_harness->qmlWarnings().join('\n')));
    m_harness.reset();
}

void TestLoginView::openLogin(const QString &serverUrl)
{
    m_harness.reset();
    m_harness = std::make_unique<AppHarness>(serverUrl);
    QVERIFY(m_harness->load());
    m_harness->completeLaunch();
    QVERIFY(m_harness->waitForScreen(QStringLiteral("login")));
}

QString TestLoginView::fieldText(const QString &objectName) const
{
    return m_harness->find(objectName)->property("text").toString();
}

void TestLoginView::failedLoginShowsRedTextAndKeepsFields()
{
    AppHarness &h = *m_harness;
    QQuickItem *error = h.item(QStringLiteral("errorText"));
    QVERIFY(!error->isVisible());

    h.type(h.item(QStringLiteral("emailField")), QStringLiteral("nikt@example.pl"));
    h.type(h.item(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    QVERIFY(h.click(QStringLiteral("submitButton")));

    QVERIFY(QTest::qWaitFor([&] { return error->isVisible(); }, 5000));
    QVERIFY(!error->property("text").toString().isEmpty());
    QCOMPARE(error->property("text").toString(), h.app().authManager().errorMessageText());
    QCOMPARE(error->property("color").value<QColor>(), QColor(0xff, 0x45, 0x3a));
    QCOMPARE(fieldText(QStringLiteral("emailField")), QStringLiteral("nikt@example.pl"));
    QCOMPARE(fieldText(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    QCOMPARE(h.currentScreen(), QStringLiteral("login"));
}

void TestLoginView::switchingModesKeepsTextsAndMessage()
{
    AppHarness &h = *m_harness;
    QQuickItem *username = h.item(QStringLiteral("usernameField"));
    QVERIFY(!username->isVisible());

    h.type(h.item(QStringLiteral("emailField")), QStringLiteral("nikt@example.pl"));
    h.type(h.item(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    QTest::keyClick(h.window(), Qt::Key_Return);
    QQuickItem *error = h.item(QStringLiteral("errorText"));
    QVERIFY(QTest::qWaitFor([&] { return error->isVisible(); }, 5000));
    const QString message = error->property("text").toString();

    QVERIFY(h.click(QStringLiteral("registerModeButton")));
    QVERIFY(username->isVisible());
    QCOMPARE(h.find(QStringLiteral("submitButton"))->property("text").toString(),
             QStringLiteral("Zarejestruj się"));
    // The user name is the first field of the registration form.
    QVERIFY(username->mapToScene({0, 0}).y() <
            h.item(QStringLiteral("emailField"))->mapToScene({0, 0}).y());
    QVERIFY(error->isVisible());
    QCOMPARE(error->property("text").toString(), message);
    h.type(username, QStringLiteral("żaneta"));

    QVERIFY(h.click(QStringLiteral("loginModeButton")));
    QVERIFY(!username->isVisible());
    QCOMPARE(fieldText(QStringLiteral("emailField")), QStringLiteral("nikt@example.pl"));
    QCOMPARE(fieldText(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    QCOMPARE(error->property("text").toString(), message);

    QVERIFY(h.click(QStringLiteral("registerModeButton")));
    QCOMPARE(fieldText(QStringLiteral("usernameField")), QStringLiteral("żaneta"));
}

void TestLoginView::registrationWithTabAndEnterSignsInAndShowsLobby()
{
    AppHarness &h = *m_harness;
    QVERIFY(h.click(QStringLiteral("registerModeButton")));
    h.type(h.item(QStringLiteral("usernameField")), QStringLiteral("nowy"));
    QTest::keyClick(h.window(), Qt::Key_Tab);
    QVERIFY(h.item(QStringLiteral("emailField"))->hasActiveFocus());
    QTest::sendKeyEvent(QTest::Click, h.window(), Qt::Key_unknown,
                        QStringLiteral("nowy@example.pl"), Qt::NoModifier);
    QTest::keyClick(h.window(), Qt::Key_Tab);
    QVERIFY(h.item(QStringLiteral("passwordField"))->hasActiveFocus());
    QTest::sendKeyEvent(QTest::Click, h.window(), Qt::Key_unknown, QStringLiteral("haslo123"),
                        Qt::NoModifier);
    QTest::keyClick(h.window(), Qt::Key_Return);

    QVERIFY(h.waitForScreen(QStringLiteral("lobby")));
    QVERIFY(QTest::qWaitFor(
        [&] {
            QObject *greeting = h.find(QStringLiteral("greetingText"));
            return greeting && greeting->property("text").toString() == u"Witaj, nowy!";
        },
        2000));
}

void TestLoginView::textsAreSentExactlyAsTyped_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addRow("both empty") << QString() << QString();
    QTest::addRow("trailing space kept")
        << QStringLiteral("ala@example.pl ") << QStringLiteral(" haslo ");
    QTest::addRow("capitals kept") << QStringLiteral("Ala@Example.PL") << QStringLiteral("X");
}

void TestLoginView::textsAreSentExactlyAsTyped()
{
    QFETCH(QString, email);
    QFETCH(QString, password);
    ScriptedHttpServer server;
    server.setDefault(QStringLiteral("/api/auth/login"),
                      ScriptedResponse::json(401, R"({"error":"Nieprawidłowe dane"})"));
    openLogin(server.baseUrl().toString());
    AppHarness &h = *m_harness;

    h.type(h.item(QStringLiteral("emailField")), email);
    h.type(h.item(QStringLiteral("passwordField")), password);
    QVERIFY(h.click(QStringLiteral("submitButton")));
    QVERIFY(QTest::qWaitFor(
        [&] {
            for (const auto &request : server.requests())
                if (request.pathWithoutQuery() == u"/api/auth/login")
                    return true;
            return false;
        },
        3000));
    QJsonObject body;
    for (const auto &request : server.requests())
        if (request.pathWithoutQuery() == u"/api/auth/login")
            body = QJsonDocument::fromJson(request.body).object();
    QCOMPARE(body.value(QStringLiteral("email")).toString(), email);
    QCOMPARE(body.value(QStringLiteral("password")).toString(), password);
}

void TestLoginView::busyButtonIsGrayAndIgnoresSubmits()
{
    ScriptedHttpServer server;
    server.setDefault(
        QStringLiteral("/api/auth/login"),
        ScriptedResponse::json(401, R"({"error":"Nieprawidłowe dane"})").after(1500ms));
    openLogin(server.baseUrl().toString());
    AppHarness &h = *m_harness;
    QObject *button = h.find(QStringLiteral("submitButton"));
    QObject *background = h.find(QStringLiteral("submitBackground"));
    QCOMPARE(background->property("color").value<QColor>(), QColor(0x0a, 0x84, 0xff));

    h.type(h.item(QStringLiteral("emailField")), QStringLiteral("a@b.pl"));
    QTest::keyClick(h.window(), Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return h.app().authManager().isLoading(); }, 1000));
    QCOMPARE(button->property("enabled").toBool(), false);
    QCOMPARE(background->property("color").value<QColor>(), QColor(0x8e, 0x8e, 0x93));

    // Neither Enter nor a click sends a second request while the first runs.
    QTest::keyClick(h.window(), Qt::Key_Return);
    h.click(QStringLiteral("submitButton"));
    QVERIFY(QTest::qWaitFor([&] { return !h.app().authManager().isLoading(); }, 5000));
    int logins = 0;
    for (const auto &request : server.requests())
        logins += request.pathWithoutQuery() == u"/api/auth/login";
    QCOMPARE(logins, 1);
    QCOMPARE(button->property("enabled").toBool(), true);
}

QTEST_MAIN(TestLoginView)
#include "tst_loginview.moc"
