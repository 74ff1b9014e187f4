#include "appharness.h"
#include "authmanager.h"
#include "gamemanager.h"
#include "keyvaluestore.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickWindow>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

namespace {

const QString kNotFound = QStringLiteral(
    "Gra nie została znaleziona. Może została już zakończona. Odśwież listę serwerów.");

QStringList lobbyPaths(const ScriptedHttpServer &server)
{
    QStringList paths;
    for (const auto &request : server.requests()) {
        const QString path = request.pathWithoutQuery();
        if (path.startsWith(u"/api/game/"))
            paths << path;
    }
    return paths;
}

QList<QJsonObject> bodiesOf(const ScriptedHttpServer &server, const QString &path)
{
    QList<QJsonObject> bodies;
    for (const auto &request : server.requests())
        if (request.pathWithoutQuery() == path)
            bodies << QJsonDocument::fromJson(request.body).object();
    return bodies;
}

} // namespace

// The lobby: its lists, the time picker, joining, the error alert and its appearance sequence.
class TestLobbyView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void roomOfAnotherPlayerAppearsWithinOneTickAndJoinsOnTap();
    void tapsJoinOnlyOpenRooms_data();
    void tapsJoinOnlyOpenRooms();
    void timePickerStoresSecondsOrNone_data();
    void timePickerStoresSecondsOrNone();
    void pickerOffersBuiltInChoicesWhileManagerHasNone();
    void errorAlertAppearsAndOkClearsIt();
    void appearanceLoadsInOrderThenStartsTimer();
    void lobbyGoneBeforeAppearanceEndsNeverStartsTimer();
    void ownGamesCardFollowsReloadAndRejoins();
    void headerShowsStatisticsOnlyWhenKnown_data();
    void headerShowsStatisticsOnlyWhenKnown();
    void busyLineShowsOnlyWhileListIsEmpty();

private:
    // A signed-in client on the scripted server, in the lobby.
    AppHarness &openLobby(ScriptedHttpServer &server);

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<AppHarness> m_harness;
};

void TestLobbyView::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestLobbyView::cleanup()
{
    if (m_harness)
        QVERIFY2(m_harness->qmlWarnings().isEmpty(),
                 qPrintable(m_harness->qmlWarnings().join('\n')));
    m_harness.reset();
}

AppHarness &TestLobbyView::openLobby(ScriptedHttpServer &server)
{
    const QString store = m_dir.filePath(QStringLiteral("%1.json").arg(server.port()));
    KeyValueStore(store).setString(QStringLiteral("authToken"), QStringLiteral("token"));
    m_harness = std::make_unique<AppHarness>(server.baseUrl().toString(), store);
    if (m_harness->load()) {
        m_harness->completeLaunch();
        if (!m_harness->waitForScreen(QStringLiteral("lobby")))
            qWarning() << "the lobby did not show";
    }
    return *m_harness;
}

void TestLobbyView::roomOfAnotherPlayerAppearsWithinOneTickAndJoinsOnTap()
{
    const QString url = m_server->baseUrl().toString();
    const QString store = m_dir.filePath(QStringLiteral("ala.json"));
    QVERIFY(signUpInto(url, QStringLiteral("ala"), store));
    m_harness = std::make_unique<AppHarness>(url, store);
    AppHarness &h = *m_harness;
    QVERIFY(h.load());
    h.completeLaunch();
    QVERIFY(h.waitForScreen(QStringLiteral("lobby")));
    QVERIFY(
        QTest::qWaitFor([&] { return h.app().gameManager().serverListTimer()->isActive(); }, 5000));
    QCOMPARE(h.visibleItems(QStringLiteral("serverRow")).size(), 0);

    // A second player, in this process but with a client of their own, opens a room.
    NetworkService network(url);
    KeyValueStore otherStore(m_dir.filePath(QStringLiteral("bartek.json")));
    AuthManager auth(network, otherStore);
    GameManager game(network);
    QCoro::waitFor(auth.registerTask(QStringLiteral("bartek"), QStringLiteral("bartek@example.pl"),
                                     QStringLiteral("haslo123")));
    QCoro::waitFor(game.createSessionTask(std::nullopt));
    QVERIFY2(game.isInGame(), qPrintable(game.errorMessageText()));
    QElapsedTimer clock;
    clock.start();

    QVERIFY(QTest::qWaitFor([&] { return h.visibleItems(QStringLiteral("serverRow")).size() == 1; },
                            5000));
    QVERIFY2(clock.elapsed() <= 3600, qPrintable(QString::number(clock.elapsed())));
    QQuickItem *row = h.visibleItems(QStringLiteral("serverRow")).constFirst();
    QCOMPARE(row->property("server").toMap().value(QStringLiteral("roomId")).toString(),
             game.gameState()->roomId);

    QVERIFY(h.click(row));
    QVERIFY(h.waitForScreen(QStringLiteral("game")));
    QCOMPARE(h.app().gameManager().gameState()->roomId, game.gameState()->roomId);
    QCOMPARE(h.app().gameManager().gameState()->players.size(), 2);
    // The lobby went away with its timer.
    QVERIFY(!h.app().gameManager().serverListTimer()->isActive());
    h.app().gameManager().leaveGame();
    game.leaveGame();
}

void TestLobbyView::tapsJoinOnlyOpenRooms_data()
{
    QTest::addColumn<QString>("roomId");
    QTest::addColumn<bool>("joins");
    QTest::addRow("waiting with free seats") << QStringLiteral("room-waiting") << true;
    QTest::addRow("in progress with a free seat") << QStringLiteral("room-playing") << true;
    QTest::addRow("full") << QStringLiteral("room-full") << false;
    QTest::addRow("finished with free seats") << QStringLiteral("room-finished") << false;
    QTest::addRow("unnamed, no status") << QStringLiteral("abc") << true;
}

void TestLobbyView::tapsJoinOnlyOpenRooms()
{
    QFETCH(QString, roomId);
    QFETCH(bool, joins);
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/join"), ScriptedResponse::json(404));
    AppHarness &h = openLobby(server);
    QVERIFY(QTest::qWaitFor([&] { return h.visibleItems(QStringLiteral("serverRow")).size() == 5; },
                            5000));

    QQuickItem *row = nullptr;
    for (QQuickItem *candidate : h.visibleItems(QStringLiteral("serverRow")))
        if (candidate->property("server").toMap().value(QStringLiteral("roomId")) == roomId)
            row = candidate;
    QVERIFY(row);
    QCOMPARE(row->opacity(), joins ? 1.0 : 0.6);
    QVERIFY(h.click(row));

    if (joins) {
        QVERIFY(QTest::qWaitFor(
            [&] { return !bodiesOf(server, QStringLiteral("/api/game/join")).isEmpty(); }, 3000));
        QCOMPARE(bodiesOf(server, QStringLiteral("/api/game/join"))
                     .constFirst()
                     .value(QStringLiteral("roomId"))
                     .toString(),
                 roomId);
        QVERIFY(QTest::qWaitFor(
            [&] { return h.app().gameManager().errorMessageText() == kNotFound; }, 3000));
        h.app().gameManager().setErrorMessage(std::nullopt);
    } else {
        QTest::qWait(400);
        QVERIFY(bodiesOf(server, QStringLiteral("/api/game/join")).isEmpty());
        QCOMPARE(h.app().gameManager().errorMessageText(), QString());
    }
}

void TestLobbyView::timePickerStoresSecondsOrNone_data()
{
    QTest::addColumn<QString>("rowName");
    QTest::addColumn<int>("optionIndex");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QVariant>("sentLimit"); // invalid: left out of the body
    QTest::addRow("no limit row") << QStringLiteral("noLimitRow") << -1
                                  << QStringLiteral("Bez limitu czasu") << QVariant();
    QTest::addRow("option of 0 seconds")
        << QStringLiteral("timeOptionRow") << 0 << QStringLiteral("Bez limitu") << QVariant(0);
    QTest::addRow("5 minutes") << QStringLiteral("timeOptionRow") << 1 << QStringLiteral("5 min")
                               << QVariant(300);
    QTest::addRow("1 hour") << QStringLiteral("timeOptionRow") << 5 << QStringLiteral("1h")
                            << QVariant(3600);
}

void TestLobbyView::timePickerStoresSecondsOrNone()
{
    QFETCH(QString, rowName);
    QFETCH(int, optionIndex);
    QFETCH(QString, label);
    QFETCH(QVariant, sentLimit);
    auto picker = [this] { return m_harness->find(QStringLiteral("timeLimitPicker")); };
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/session"),
                      ScriptedResponse::json(500, R"({"error":"nie tym razem"})"));
    AppHarness &h = openLobby(server);
    QVERIFY(QTest::qWaitFor([&] { return h.app().gameManager().timeOptions().size() == 6; }, 5000));

    // Pick something else first, so that the row under test has to change the choice.
    QVERIFY(h.click(QStringLiteral("timeLimitButton")));
    QVERIFY(QTest::qWaitFor([&] { return picker()->property("opened").toBool(); }, 2000));
    QVERIFY(h.click(h.visibleItems(QStringLiteral("timeOptionRow")).at(optionIndex == 2 ? 3 : 2)));
    QVERIFY(QTest::qWaitFor([&] { return !picker()->property("visible").toBool(); }, 2000));

    QVERIFY(h.click(QStringLiteral("timeLimitButton")));
    QVERIFY(QTest::qWaitFor([&] { return picker()->property("opened").toBool(); }, 2000));
    QQuickItem *row = optionIndex < 0 ? h.visibleItems(rowName).constFirst()
                                      : h.visibleItems(rowName).at(optionIndex);
    QVERIFY(!row->property("isSelected").toBool());
    QVERIFY(h.click(row));
    QVERIFY(QTest::qWaitFor([&] { return !picker()->property("visible").toBool(); }, 2000));
    QCOMPARE(h.find(QStringLiteral("timeLimitText"))->property("text").toString(), label);

    QVERIFY(h.click(QStringLiteral("newGameButton")));
    QVERIFY(QTest::qWaitFor(
        [&] { return !bodiesOf(server, QStringLiteral("/api/game/session")).isEmpty(); }, 3000));
    const QJsonObject body = bodiesOf(server, QStringLiteral("/api/game/session")).constFirst();
    QCOMPARE(body.contains(QStringLiteral("timeLimit")), sentLimit.isValid());
    if (sentLimit.isValid())
        QCOMPARE(body.value(QStringLiteral("timeLimit")).toInt(), sentLimit.toInt());

    // Reopened, the picker marks the stored choice and nothing else.
    QVERIFY(QTest::qWaitFor([&] { return !h.app().gameManager().isLoading(); }, 3000));
    h.app().gameManager().setErrorMessage(std::nullopt);
    QVERIFY(h.click(QStringLiteral("timeLimitButton")));
    QVERIFY(QTest::qWaitFor([&] { return picker()->property("opened").toBool(); }, 2000));
    QList<QQuickItem *> rows = h.visibleItems(QStringLiteral("noLimitRow"));
    rows += h.visibleItems(QStringLiteral("timeOptionRow"));
    const int selectedIndex = optionIndex + 1;
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(rows.at(i)->property("isSelected").toBool(), i == selectedIndex);
    QTest::keyClick(h.window(), Qt::Key_Escape);
    QVERIFY(QTest::qWaitFor([&] { return !picker()->property("visible").toBool(); }, 2000));
    QCOMPARE(h.find(QStringLiteral("lobbyView"))->property("showTimePicker").toBool(), false);
}

void TestLobbyView::pickerOffersBuiltInChoicesWhileManagerHasNone()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/time-options"),
                      ScriptedResponse::json(200, lobbyscript::timeOptions).after(4000ms));
    AppHarness &h = openLobby(server);
    auto picker = [&h] { return h.find(QStringLiteral("timeLimitPicker")); };
    QVERIFY(h.app().gameManager().timeOptions().isEmpty());
    QVERIFY(h.click(QStringLiteral("timeLimitButton")));
    QVERIFY(QTest::qWaitFor([&] { return picker()->property("opened").toBool(); }, 2000));
    QCOMPARE(h.visibleItems(QStringLiteral("timeOptionRow")).size(), 5);
    QStringList labels;
    for (QQuickItem *row : h.visibleItems(QStringLiteral("timeOptionRow")))
        labels << row->property("label").toString();
    QCOMPARE(labels, QStringList({"Bez limitu", "5 minut", "10 minut", "15 minut", "30 minut"}));
    QVERIFY(h.click(QStringLiteral("doneButton")));
    QVERIFY(QTest::qWaitFor([&] { return !picker()->property("visible").toBool(); }, 2000));
    QCOMPARE(h.find(QStringLiteral("timeLimitText"))->property("text").toString(),
             QStringLiteral("Bez limitu czasu"));
}

void TestLobbyView::errorAlertAppearsAndOkClearsIt()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/join"), ScriptedResponse::json(404));
    AppHarness &h = openLobby(server);
    QVERIFY(QTest::qWaitFor([&] { return h.visibleItems(QStringLiteral("serverRow")).size() == 5; },
                            5000));
    QObject *alert = h.find(QStringLiteral("errorAlert"));
    QVERIFY(!alert->property("visible").toBool());

    QVERIFY(h.click(h.visibleItems(QStringLiteral("serverRow")).constFirst()));
    QVERIFY(QTest::qWaitFor([&] { return alert->property("visible").toBool(); }, 3000));
    QCOMPARE(h.find(QStringLiteral("errorAlertMessage"))->property("text").toString(), kNotFound);
    QTest::qWait(300);
    QVERIFY(h.click(QStringLiteral("errorAlertOk")));
    QVERIFY(QTest::qWaitFor([&] { return !alert->property("visible").toBool(); }, 1000));
    QCOMPARE(h.app().gameManager().errorMessageText(), QString());

    // A new error opens it again; Escape acknowledges it like "OK".
    h.app().gameManager().setErrorMessage(QStringLiteral("Druga wiadomość"));
    QVERIFY(QTest::qWaitFor([&] { return alert->property("visible").toBool(); }, 1000));
    QCOMPARE(h.find(QStringLiteral("errorAlertMessage"))->property("text").toString(),
             QStringLiteral("Druga wiadomość"));
    QTest::qWait(300);
    QTest::keyClick(h.window(), Qt::Key_Escape);
    QVERIFY(QTest::qWaitFor([&] { return !alert->property("visible").toBool(); }, 1000));
    QCOMPARE(h.app().gameManager().errorMessageText(), QString());
}

void TestLobbyView::appearanceLoadsInOrderThenStartsTimer()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    AppHarness &h = openLobby(server);
    QVERIFY(
        QTest::qWaitFor([&] { return h.app().gameManager().serverListTimer()->isActive(); }, 5000));
    QCOMPARE(
        lobbyPaths(server).mid(0, 3),
        QStringList({"/api/game/servers", "/api/game/time-options", "/api/game/active-games"}));
    QCOMPARE(h.app().gameManager().serverListTimer()->interval(), 3000);
}

void TestLobbyView::lobbyGoneBeforeAppearanceEndsNeverStartsTimer()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/active-games"),
                      ScriptedResponse::json(200, lobbyscript::activeGames).after(1500ms));
    AppHarness &h = openLobby(server);
    QVERIFY(QTest::qWaitFor([&] { return lobbyPaths(server).contains(u"/api/game/active-games"); },
                            5000));

    h.app().authManager().logout();
    QVERIFY(h.waitForScreen(QStringLiteral("login")));
    QTest::qWait(2000); // the answer arrives meanwhile
    QVERIFY(!h.app().gameManager().serverListTimer()->isActive());
}

void TestLobbyView::ownGamesCardFollowsReloadAndRejoins()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/active-games"), ScriptedResponse::json(500));
    server.setDefault(QStringLiteral("/api/game/rejoin"), ScriptedResponse::json(404));
    AppHarness &h = openLobby(server);
    QVERIFY(
        QTest::qWaitFor([&] { return h.app().gameManager().serverListTimer()->isActive(); }, 5000));
    QQuickItem *card = h.item(QStringLiteral("activeGamesCard"));
    QVERIFY(!card->isVisible());
    QCOMPARE(h.app().gameManager().errorMessageText(), QString());

    // The server list timer never reloads the player's games: only the card's refresh does.
    server.setDefault(QStringLiteral("/api/game/active-games"),
                      ScriptedResponse::json(200, lobbyscript::activeGames));
    QTest::qWait(3300);
    QVERIFY(!card->isVisible());
    QVERIFY(h.click(QStringLiteral("refreshServersButton")));
    QTest::qWait(300);
    QVERIFY(!card->isVisible());

    // Reloading goes through the card's own button, which only shows with the card; call its
    // controller as that button does.
    QMetaObject::invokeMethod(h.find(QStringLiteral("lobbyController")), "reloadActiveGames");
    QVERIFY(QTest::qWaitFor([&] { return card->isVisible(); }, 3000));
    const auto rows = h.visibleItems(QStringLiteral("activeGameRow"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(h.visibleItems(QStringLiteral("myTurnLabel")).size(), 1);

    // Rows are found in scene order, which need not be list order: tap the row of room-mine.
    const auto mine = std::find_if(rows.cbegin(), rows.cend(), [](QQuickItem *row) {
        return row->property("game").toMap().value(QStringLiteral("roomId")).toString() ==
               u"room-mine";
    });
    QVERIFY(mine != rows.cend());
    QVERIFY(h.click(*mine));
    QVERIFY(QTest::qWaitFor(
        [&] { return !bodiesOf(server, QStringLiteral("/api/game/rejoin")).isEmpty(); }, 3000));
    QCOMPARE(bodiesOf(server, QStringLiteral("/api/game/rejoin"))
                 .constFirst()
                 .value(QStringLiteral("roomId"))
                 .toString(),
             QStringLiteral("room-mine"));
    QVERIFY(
        QTest::qWaitFor([&] { return !h.app().gameManager().errorMessageText().isEmpty(); }, 3000));
    h.app().gameManager().setErrorMessage(std::nullopt);

    // A failed refresh empties the card, which disappears without a message.
    server.setDefault(QStringLiteral("/api/game/active-games"), ScriptedResponse::json(500));
    QTest::qWait(300);
    QVERIFY(h.click(QStringLiteral("refreshActiveGamesButton")));
    QVERIFY(QTest::qWaitFor([&] { return !card->isVisible(); }, 3000));
    QCOMPARE(h.app().gameManager().errorMessageText(), QString());
}

void TestLobbyView::headerShowsStatisticsOnlyWhenKnown_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QString>("stats");
    QTest::addRow("with statistics")
        << lobbyscript::user << QStringLiteral("12 gier • 5 wygranych");
    QTest::addRow("without statistics")
        << QByteArray(R"({"user":{"id":8,"username":"bolek","email":"b@example.pl"}})")
        << QString();
}

void TestLobbyView::headerShowsStatisticsOnlyWhenKnown()
{
    QFETCH(QByteArray, user);
    QFETCH(QString, stats);
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/auth/me"), ScriptedResponse::json(200, user));
    AppHarness &h = openLobby(server);
    const QString name = h.app().authManager().currentUser()->username;
    QCOMPARE(h.find(QStringLiteral("greetingText"))->property("text").toString(),
             QStringLiteral("Witaj, %1!").arg(name));
    QQuickItem *statsText = h.item(QStringLiteral("statsText"));
    QCOMPARE(statsText->isVisible(), !stats.isEmpty());
    if (!stats.isEmpty())
        QCOMPARE(statsText->property("text").toString(), stats);
}

void TestLobbyView::busyLineShowsOnlyWhileListIsEmpty()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/session"),
                      ScriptedResponse::json(500, R"({"error":"wolno"})").after(4500ms));
    AppHarness &h = openLobby(server);
    QVERIFY(QTest::qWaitFor([&] { return h.visibleItems(QStringLiteral("serverRow")).size() == 5; },
                            5000));
    QVERIFY(h.click(QStringLiteral("newGameButton")));
    QVERIFY(QTest::qWaitFor([&] { return h.app().gameManager().isLoading(); }, 1000));
    QVERIFY(!h.item(QStringLiteral("serversLoading"))->isVisible());
    QCOMPARE(h.visibleItems(QStringLiteral("serverRow")).size(), 5);
    QCOMPARE(h.find(QStringLiteral("newGameButton"))->property("enabled").toBool(), false);

    // With nothing listed the busy line takes the list's place, and the empty face only after.
    server.setDefault(QStringLiteral("/api/game/servers"),
                      ScriptedResponse::json(200, R"({"servers":[]})"));
    QVERIFY(QTest::qWaitFor([&] { return h.visibleItems(QStringLiteral("serverRow")).isEmpty(); },
                            4000));
    QVERIFY(h.app().gameManager().isLoading());
    QVERIFY(h.item(QStringLiteral("serversLoading"))->isVisible());
    QVERIFY(!h.item(QStringLiteral("serversEmpty"))->isVisible());
    QVERIFY(QTest::qWaitFor([&] { return !h.app().gameManager().isLoading(); }, 5000));
    QVERIFY(!h.item(QStringLiteral("serversLoading"))->isVisible());
    QVERIFY(h.item(QStringLiteral("serversEmpty"))->isVisible());
    QCOMPARE(h.find(QStringLiteral("serverCountBadge"))->property("text").toString(),
             QStringLiteral("0"));
    h.app().gameManager().setErrorMessage(std::nullopt);
}

QTEST_MAIN(TestLobbyView)
#include "tst_lobbyview.moc"
