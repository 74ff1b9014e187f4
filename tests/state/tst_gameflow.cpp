// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headlessplayer.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using korvana::test::HeadlessPlayer;
using korvana::test::ServerProcess;

// One whole game through the client's managers against a real korvana-server: two people and
// two bots, from registration to the final state; with held polls, and with a server without
// them, where the clients poll on the timer.
class TestGameFlow : public QObject
{
    Q_OBJECT
private slots:
    void twoPlayersAndBotsPlayToTheEnd_data();
    void twoPlayersAndBotsPlayToTheEnd();
};

void TestGameFlow::twoPlayersAndBotsPlayToTheEnd_data()
{
    QTest::addColumn<bool>("heldPolls");
    QTest::addRow("held polls") << true;
    QTest::addRow("timer") << false;
}

void TestGameFlow::twoPlayersAndBotsPlayToTheEnd()
{
    QFETCH(bool, heldPolls);
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                         heldPolls ? QStringList() : QStringList{"--no-held-polls"});
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    QTemporaryDir dir;
    const QString url = server.baseUrl().toString();
    HeadlessPlayer anna(url, dir.filePath("anna.json"));
    HeadlessPlayer bartek(url, dir.filePath("bartek.json"));
    QVERIFY(anna.registerAs("anna") && bartek.registerAs("bartek"));

    QCoro::waitFor(anna.game.createSessionTask(std::nullopt));
    QVERIFY2(anna.game.isInGame(), qPrintable(anna.game.errorMessageText()));
    QCoro::waitFor(bartek.game.joinGameTask(anna.game.gameState()->roomId));
    QVERIFY2(bartek.game.isInGame(), qPrintable(bartek.game.errorMessageText()));
    QCoro::waitFor(anna.game.voteToStartTask(false));
    QCoro::waitFor(bartek.game.voteToStartTask(true)); // fills the free seats with bots
    QCOMPARE(bartek.game.gameState()->players.size(), 4);

    QTRY_VERIFY_WITH_TIMEOUT(anna.isMyTurn(), 10000);
    QCOMPARE(anna.game.isHoldingPoll(), heldPolls);
    QCOMPARE(anna.game.updateTimer()->isActive(), !heldPolls);
    QCoro::waitFor(anna.game.placePieceTask("I1", 0, 0, 0));
    QCOMPARE(anna.game.gameState()->board.at(0).at(0), 1);

    // Both people pass whenever their turn comes, whether a pass skips one turn or ends their
    // game; the bots play on until the server ends it.
    const QDeadlineTimer deadline(120'000);
    const auto over = [&] {
        return anna.status() == u"finished" && bartek.status() == u"finished";
    };
    const auto news = [&] { return over() || anna.isMyTurn() || bartek.isMyTurn(); };
    while (!over() && !deadline.hasExpired() &&
           QTest::qWaitFor(news, int(deadline.remainingTime()))) {
        for (HeadlessPlayer *player : {&anna, &bartek}) {
            if (player->isMyTurn())
                QCoro::waitFor(player->game.passTurnTask());
        }
    }
    QCOMPARE(anna.status(), "finished");
    QCOMPARE(bartek.status(), "finished");
    QVERIFY(anna.game.gameState()->winner.has_value());
    QCOMPARE(anna.game.gameState()->winner, bartek.game.gameState()->winner);
    QVERIFY(!anna.game.updateTimer()->isActive());
    // The finished game reaches the player's statistics without a new sign-in.
    const auto &user = anna.auth.currentUser();
    QTRY_VERIFY_WITH_TIMEOUT(user && user->stats && user->stats->gamesPlayed == 1, 5000);
}

QTEST_GUILESS_MAIN(TestGameFlow)
#include "tst_gameflow.moc"
