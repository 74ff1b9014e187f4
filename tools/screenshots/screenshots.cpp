// Renders the client's screens to PNG files for review: launch, login, registration, lobby with
// rooms and own games, the time picker, settings and the error alert. Usage: korvana_screenshots
// DIR

#include "appharness.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTest>
#include <QTextStream>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

namespace {

int failures = 0;

void shoot(AppHarness &harness, const QString &dir, const QString &name)
{
    QTest::qWait(450); // let sheets and fades finish
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (saveScreenshot(harness.window(), path)) {
        QTextStream(stdout) << path << '\n';
    } else {
        QTextStream(stderr) << "could not write " << path << '\n';
        ++failures;
    }
}

void signedOutScreens(const QString &dir, ScriptedHttpServer &server)
{
    AppHarness harness(server.baseUrl().toString());
    if (!harness.load())
        return void(++failures);
    QTest::qWait(550);
    shoot(harness, dir, QStringLiteral("01-launch")); // about 1.0 s in: step 2, 50 percent
    harness.waitForScreen(QStringLiteral("login"));
    shoot(harness, dir, QStringLiteral("02-login"));

    harness.type(harness.item(QStringLiteral("emailField")), QStringLiteral("ala@example.pl"));
    harness.type(harness.item(QStringLiteral("passwordField")), QStringLiteral("zlehaslo"));
    harness.click(QStringLiteral("submitButton"));
    QTest::qWait(300);
    shoot(harness, dir, QStringLiteral("03-login-error"));

    harness.click(QStringLiteral("registerModeButton"));
    shoot(harness, dir, QStringLiteral("04-registration"));
}

void signedInScreens(const QString &dir, ScriptedHttpServer &server)
{
    QTemporaryDir storeDir;
    const QString storePath = storeDir.filePath(QStringLiteral("store.json"));
    KeyValueStore(storePath).setString(QStringLiteral("authToken"), QStringLiteral("token"));

    AppHarness harness(server.baseUrl().toString(), storePath);
    if (!harness.load())
        return void(++failures);
    harness.completeLaunch();
    harness.waitForScreen(QStringLiteral("lobby"));
    if (!QTest::qWaitFor(
            [&] { return harness.visibleItems(QStringLiteral("serverRow")).size() == 5; }, 5000))
        QTextStream(stderr) << "the lobby did not list the five scripted rooms\n";
    QTest::qWait(500);
    shoot(harness, dir, QStringLiteral("05-lobby"));

    harness.click(QStringLiteral("connectionStatusView"));
    shoot(harness, dir, QStringLiteral("06-lobby-badge-expanded"));
    harness.click(QStringLiteral("connectionStatusView"));

    harness.click(QStringLiteral("timeLimitButton"));
    shoot(harness, dir, QStringLiteral("07-time-picker"));
    harness.click(harness.visibleItems(QStringLiteral("timeOptionRow")).value(1));
    QTest::qWait(400);
    shoot(harness, dir, QStringLiteral("08-lobby-time-chosen"));

    harness.click(QStringLiteral("settingsButton"));
    shoot(harness, dir, QStringLiteral("09-settings"));
    QTest::keyClick(harness.window(), Qt::Key_Escape);
    QTest::qWait(400);

    harness.app().gameManager().setErrorMessage(
        QStringLiteral("Gra nie została znaleziona. Może została już zakończona. "
                       "Odśwież listę serwerów."));
    shoot(harness, dir, QStringLiteral("10-error-alert"));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(dir);

    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/auth/login"),
                      ScriptedResponse::json(401, R"({"error":"Nieprawidłowy email lub hasło"})"));

    signedOutScreens(dir, server);
    signedInScreens(dir, server);
    return failures == 0 ? 0 : 1;
}
