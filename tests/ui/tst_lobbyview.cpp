// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "appharness.h"
#include "headlessplayer.h"
#include "lobbyscript.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QColor>
#include <QCoroTask>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace std::chrono_literals;

namespace {

// A row shows its model row, whose roles are the record's members.
QQuickItem *rowOf(AppHarness &h, const QString &rowName, const char *property, const QString &room)
{
    for (QQuickItem *row : h.visibleItems(rowName)) {
        const auto *record = row->property(property).value<QObject *>();
        if (record && record->property("roomId") == room)
            return row;
    }
    return nullptr;
}

} // namespace

// The lobby: joining rooms, the time limit of a new game, the error alert and its appearance
// sequence.
class TestLobbyView : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void anotherPlayersRoomAppearsAndJoinsOnTap();
    void tapsJoinOnlyOpenRooms_data();
    void tapsJoinOnlyOpenRooms();
    void timePickerChoiceIsSent();
    void errorAlertAppearsAndOkClearsIt();
    void reloadRedrawsOnlyTheChangedRoom();
    void appearanceLoadsInOrderAndATimerOnlyForALobbyStillShown();

private:
    // A signed-in client on the scripted lobby, with its five rooms listed.
    AppHarness &openLobby(ScriptedHttpServer &server);

    QTemporaryDir m_dir;
    std::unique_ptr<AppHarness> m_harness;
};

void TestLobbyView::cleanup()
{
    if (m_harness)
        QVERIFY2(m_harness->qmlWarnings().isEmpty(),
                 qPrintable(m_harness->qmlWarnings().join('\n')));
    m_harness.reset();
}

AppHarness &TestLobbyView::openLobby(ScriptedHttpServer &server)
{
    m_harness = openSignedInLobby(server, m_dir.path());
    if (!m_harness ||
        !QTest::qWaitFor([&] { return m_harness->visibleItems("serverRow").size() == 5; }))
        qFatal("the lobby did not list its rooms");
    return *m_harness;
}

void TestLobbyView::anotherPlayersRoomAppearsAndJoinsOnTap()
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    const QString url = server.baseUrl().toString();
    const QString store = m_dir.filePath(QStringLiteral("ala.json"));
    QVERIFY(signUpInto(url, QStringLiteral("ala"), store));
    m_harness = std::make_unique<AppHarness>(url, store);
    AppHarness &h = *m_harness;
    QVERIFY(h.load());
    h.completeLaunch();
    QVERIFY(h.waitForScreen(QStringLiteral("lobby")));
    QTRY_VERIFY(h.app().gameManager().serverListTimer()->isActive());

    // A second player opens a room; the lobby's periodic reload lists it.
    HeadlessPlayer other(url, m_dir.filePath(QStringLiteral("bartek.json")));
    QVERIFY(other.registerAs(QStringLiteral("bartek")));
    QCoro::waitFor(other.game.createSessionTask(std::nullopt));
    const QString room = other.game.gameState()->roomId;
    QTRY_VERIFY_WITH_TIMEOUT(rowOf(h, QStringLiteral("serverRow"), "server", room), 5000);

    QVERIFY(h.click(rowOf(h, QStringLiteral("serverRow"), "server", room)));
    QVERIFY(h.waitForScreen(QStringLiteral("game")));
    QCOMPARE(h.app().gameManager().gameState()->roomId, room);
    QCOMPARE(h.app().gameManager().gameState()->players.size(), 2);
    QVERIFY(!h.app().gameManager().serverListTimer()->isActive()); // gone with the lobby
}

void TestLobbyView::tapsJoinOnlyOpenRooms_data()
{
    QTest::addColumn<QString>("roomId");
    QTest::addColumn<bool>("joins");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QColor>("dot"); // the status dot: yellow waiting, green playing, gray over
    const QColor yellow("#ffd60a"), green("#30d158"), gray("#8e8e93");
    QTest::addRow("waiting with free seats")
        << QStringLiteral("room-waiting") << true << "ala" << yellow;
    QTest::addRow("in progress with a free seat")
        << QStringLiteral("room-playing") << true << "bartek, celina" << green;
    QTest::addRow("full") << QStringLiteral("room-full") << false << "darek, ewa, franek, gosia"
                          << yellow;
    QTest::addRow("finished with free seats")
        << QStringLiteral("room-finished") << false << "" << gray;
}

void TestLobbyView::tapsJoinOnlyOpenRooms()
{
    QFETCH(QString, roomId);
    QFETCH(bool, joins);
    QFETCH(QString, names);
    QFETCH(QColor, dot);
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/join"), ScriptedResponse::json(404));
    AppHarness &h = openLobby(server);
    QQuickItem *row = rowOf(h, QStringLiteral("serverRow"), "server", roomId);
    QCOMPARE(row->opacity(), joins ? 1.0 : 0.6);
    // A full room names everyone at its table.
    QCOMPARE(row->findChild<QQuickItem *>(QStringLiteral("playerNamesText"))->property("text"),
             names);
    QCOMPARE(row->findChild<QQuickItem *>(QStringLiteral("statusDot"))
                 ->property("color")
                 .value<QColor>(),
             dot);
    QVERIFY(h.click(row));
    // Joining starts at once, with the busy flag.
    QCOMPARE(h.app().gameManager().isLoading(), joins);
    if (joins)
        QTRY_COMPARE(bodiesOf(server, QStringLiteral("/api/game/join")).size(), 1);
    const auto joined = bodiesOf(server, QStringLiteral("/api/game/join"));
    QCOMPARE(joined.size(), joins ? 1 : 0);
    if (joins)
        QCOMPARE(joined.constFirst().value(QStringLiteral("roomId")).toString(), roomId);
}

void TestLobbyView::timePickerChoiceIsSent()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/session"), ScriptedResponse::json(500));
    AppHarness &h = openLobby(server);
    QTRY_COMPARE(h.app().gameManager().timeOptions().size(), 6);
    // Opened once its slide has ended; gone once it has slid away.
    const auto picker = [&](const char *state) {
        return h.find(QStringLiteral("timeLimitPicker"))->property(state).toBool();
    };
    // The fixed "Bez limitu" row: none, left out of the body; then the last option (an hour).
    for (const int row : {0, 6}) {
        QVERIFY(h.click(QStringLiteral("timeLimitButton")));
        QTRY_VERIFY(picker("opened"));
        QVERIFY(h.click((h.visibleItems("noLimitRow") + h.visibleItems("timeOptionRow")).at(row)));
        QTRY_VERIFY(!picker("visible"));
        QCOMPARE(h.text(QStringLiteral("timeLimitText")), row ? "1h" : "Bez limitu czasu");
        QVERIFY(h.click(QStringLiteral("newGameButton")));
        QTRY_VERIFY(!h.app().gameManager().errorMessageText().isEmpty());
        h.app().gameManager().setErrorMessage(std::nullopt);
    }
    const auto bodies = bodiesOf(server, QStringLiteral("/api/game/session"));
    QCOMPARE(bodies.size(), 2);
    QCOMPARE(bodies.at(1).value(QStringLiteral("timeLimit")), QJsonValue(3600));
    QVERIFY(!bodies.at(0).contains(QStringLiteral("timeLimit")));

    // The arrows go from row to row of the sheet.
    QVERIFY(h.click(QStringLiteral("timeLimitButton")));
    QTRY_VERIFY(picker("opened"));
    h.item(QStringLiteral("noLimitRow"))->forceActiveFocus(Qt::TabFocusReason);
    h.key(Qt::Key_Down);
    QCOMPARE(h.window()->activeFocusItem(), h.visibleItems("timeOptionRow").at(0));
    h.key(Qt::Key_Up);
    QCOMPARE(h.window()->activeFocusItem(), h.item(QStringLiteral("noLimitRow")));

    // The choice outlives the lobby, and the window its size: a new start offers the hour again
    // in a window as large as the one closed.
    h.key(Qt::Key_Escape);
    QTRY_VERIFY(!picker("visible"));
    h.window()->resize(480, 560);
    QTRY_COMPARE(h.window()->width(), 480);
    h.window()->close();
    m_harness.reset();
    AppHarness &again = openLobby(server);
    QCOMPARE(again.text(QStringLiteral("timeLimitText")), "1h");
    QCOMPARE(again.window()->size(), QSize(480, 560));
}

void TestLobbyView::errorAlertAppearsAndOkClearsIt()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/join"), ScriptedResponse::json(404));
    AppHarness &h = openLobby(server);
    QVERIFY(!h.isOpen(QStringLiteral("errorAlert")));
    QVERIFY(h.click(rowOf(h, QStringLiteral("serverRow"), "server", "room-waiting")));
    QTRY_VERIFY(h.isOpen(QStringLiteral("errorAlert")));
    QVERIFY(!h.app().gameManager().errorMessageText().isEmpty());
    QCOMPARE(h.text(QStringLiteral("errorAlertMessage")), h.app().gameManager().errorMessageText());
    QTRY_VERIFY(h.find(QStringLiteral("errorAlert"))->property("opened").toBool());
    QVERIFY(h.click(QStringLiteral("errorAlertOk")));
    QTRY_VERIFY(!h.isOpen(QStringLiteral("errorAlert")));
    QCOMPARE(h.app().gameManager().errorMessageText(), QString());

    // A new error opens it again; Escape acknowledges it like "OK".
    h.app().gameManager().setErrorMessage(QStringLiteral("Druga wiadomość"));
    QTRY_VERIFY(h.find(QStringLiteral("errorAlert"))->property("opened").toBool());
    h.key(Qt::Key_Escape);
    QTRY_VERIFY(!h.isOpen(QStringLiteral("errorAlert")));
    QCOMPARE(h.app().gameManager().errorMessageText(), QString());
    // While the list cannot be loaded the card says so instead of advising a new game.
    server.setDefault(QStringLiteral("/api/game/servers"), ScriptedResponse::json(502));
    h.app().gameManager().loadServers();
    QTRY_COMPARE(h.text(QStringLiteral("serversEmptyTitle")), "Nie można pobrać listy gier");
    server.setDefault(QStringLiteral("/api/game/servers"),
                      ScriptedResponse::json(200, R"({"servers":[]})"));
    h.app().gameManager().loadServers();
    QTRY_COMPARE(h.text(QStringLiteral("serversEmptyTitle")), "Brak dostępnych serwerów");
}

void TestLobbyView::reloadRedrawsOnlyTheChangedRoom()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    AppHarness &h = openLobby(server);
    QPointer changed = rowOf(h, QStringLiteral("serverRow"), "server", "room-waiting");
    QPointer kept = rowOf(h, QStringLiteral("serverRow"), "server", "room-full");
    // A second player sits down in the waiting room; the other rooms are as they were.
    server.setDefault(
        QStringLiteral("/api/game/servers"),
        ScriptedResponse::json(200, QByteArray(lobbyscript::servers)
                                        .replace(R"("playerCount":1,)", R"("playerCount":2,)")));
    h.app().gameManager().loadServers();
    QTRY_VERIFY(changed &&
                changed->property("server").value<QObject *>()->property("playerCount") == 2);
    QVERIFY(kept);
    QCOMPARE(rowOf(h, QStringLiteral("serverRow"), "server", "room-full"), kept.data());
}

void TestLobbyView::appearanceLoadsInOrderAndATimerOnlyForALobbyStillShown()
{
    ScriptedHttpServer server;
    lobbyscript::answerSignedInLobby(server);
    server.setDefault(QStringLiteral("/api/game/active-games"),
                      ScriptedResponse::json(200, lobbyscript::activeGames).after(1500ms));
    AppHarness &h = openLobby(server);
    QTRY_VERIFY(!bodiesOf(server, QStringLiteral("/api/game/active-games")).isEmpty());
    QStringList paths;
    for (const auto &request : server.requests())
        if (request.pathWithoutQuery().startsWith(u"/api/game/"))
            paths << request.pathWithoutQuery();
    QCOMPARE(paths.mid(0, 3), QStringList({"/api/game/servers", "/api/game/time-options",
                                           "/api/game/active-games"}));
    // The lobby goes away before the last answer: the list's timer must not start behind it.
    QSignalSpy answered(&h.app().network(), &NetworkService::serverAnswered);
    h.app().authManager().logout();
    QVERIFY(h.waitForScreen(QStringLiteral("login")));
    QTRY_VERIFY_WITH_TIMEOUT(answered.count() > 0, 5000); // the active games came
    QVERIFY(!h.app().gameManager().serverListTimer()->isActive());
    QCOMPARE(h.app().gameManager().lobby().ownGames()->rowCount(), 0);
}

QTEST_MAIN(TestLobbyView)
#include "tst_lobbyview.moc"
