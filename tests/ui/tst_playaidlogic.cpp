// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The play aids' rules: the clock between polls, the low-time warning's arming, and where the
// selected piece may go.
#include "playaidlogic.h"

#include <QTest>

using namespace korvana;
using namespace korvana::ui;

namespace {

const std::optional<QString> me = QStringLiteral("me");
const std::optional<QString> blue = QStringLiteral("blue");

// "me" (blue, no cell on the board yet) holds a monomino, a domino, a bar of three and a placed
// domino.
GameState game(const QString &current, const QString &status = QStringLiteral("in_progress"))
{
    const Player me{.id = "me",
                    .pieces = {{.id = "I1", .squares = {{0, 0}}},
                               {.id = "I2", .squares = {{0, 0}, {0, 1}}},
                               {.id = "I3", .squares = {{0, 0}, {0, 1}, {0, 2}}},
                               {.id = "P2", .squares = {{0, 0}, {0, 1}}, .placed = true}}};
    const Player other{.id = "other"};
    return {
        .players = {me, other}, .gameStatus = gameStatusNamed(status), .currentPlayerId = current};
}

} // namespace

class TestPlayAidLogic : public QObject
{
    Q_OBJECT
private slots:
    void clock_data();
    void clock();
    void lowTimeWarning_data();
    void lowTimeWarning();
    void moveHints_data();
    void moveHints();
    void unplayablePieces();
};

void TestPlayAidLogic::clock_data()
{
    // Events in time order: "30@0" a poll of 30 s at 0 ms, "-@0" a poll without a time,
    // "stop@t" and "start@t" the connection lost and back. Then read at `now`; -1 is none.
    QTest::addColumn<QString>("events");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("shown");
    QTest::addColumn<qint64>("nextTickMs");

    QTest::addRow("the poll's value for a second") << "30@0" << 999LL << 30LL << 1LL;
    QTest::addRow("never below zero") << "3@0" << 60000LL << 0LL << -1LL;
    QTest::addRow("stopped: its value then") << "30@0 stop@2500" << 9000LL << 28LL << -1LL;
    QTest::addRow("restarted: from the poll")
        << "30@0 stop@2500 start@5000" << 5200LL << 25LL << 800LL;
    QTest::addRow("a poll re-syncs at once") << "30@0 40@1500" << 1500LL << 40LL << 1000LL;
    QTest::addRow("counting from its arrival") << "30@0 40@1500" << 2600LL << 39LL << 900LL;
    QTest::addRow("a poll while stopped") << "30@0 stop@1000 20@3000" << 8000LL << 20LL << -1LL;
    QTest::addRow("a poll without a time") << "30@0 -@1000" << 1000LL << -1LL << -1LL;
}

void TestPlayAidLogic::clock()
{
    QFETCH(QString, events);
    QFETCH(qint64, now);

    TurnClock clock;
    for (const QString &event : events.split(u' ')) {
        const QString what = event.section(u'@', 0, 0);
        const qint64 at = event.section(u'@', 1).toLongLong();
        if (what == u"stop" || what == u"start")
            clock.setRunning(what == u"start", at);
        else
            clock.sync(what == u"-" ? std::nullopt : std::optional(what.toLongLong()), at);
    }
    QTEST(clock.secondsLeft(now).value_or(-1), "shown");
    QTEST(clock.msUntilNextTick(now).value_or(-1), "nextTickMs");
}

void TestPlayAidLogic::lowTimeWarning_data()
{
    // My time at successive moments ("-": not my turn); "*" marks the moments that warn.
    QTest::addColumn<qint64>("timeLimit");
    QTest::addColumn<QString>("moments");

    QTest::addRow("5 minutes: below 37.5 s") << 300LL << "60 38 37* 20";
    QTest::addRow("1 minute: below 10 s") << 60LL << "11 10 9*";
    QTest::addRow("1 hour: below 60 s") << 3600LL << "61 60 59*";
    QTest::addRow("re-armed above 1.5 times only") << 300LL << "30* 56 30 57 30*";
    QTest::addRow("other turns keep it disarmed") << 300LL << "30* - 30";
    QTest::addRow("no time limit") << 0LL << "5";
}

void TestPlayAidLogic::lowTimeWarning()
{
    QFETCH(qint64, timeLimit);
    QFETCH(QString, moments);

    LowTimeWarning warning;
    QStringList given;
    for (QString moment : moments.split(u' ')) {
        moment.remove(u'*');
        const auto seconds = moment == u"-" ? std::nullopt : std::optional(moment.toLongLong());
        given << moment + (warning.update(seconds, timeLimit) ? "*" : "");
    }
    QCOMPARE(given.join(u' '), moments);
}

void TestPlayAidLogic::moveHints_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QString>("cells");

    const QString running = QStringLiteral("in_progress");
    QTest::addRow("first move: corners") << "me" << running << "I1" << 0 << "0,0 0,19 19,0 19,19";
    QTest::addRow("turned") << "me" << running << "I2" << 90 << "1,0 1,19 19,0 19,19";
    QTest::addRow("not my turn") << "other" << running << "I1" << 0 << "";
    QTest::addRow("nothing selected") << "me" << running << "" << 0 << "";
    QTest::addRow("a placed piece") << "me" << running << "P2" << 0 << "";
    QTest::addRow("a finished game") << "me"
                                     << "finished"
                                     << "I1" << 0 << "";
}

void TestPlayAidLogic::moveHints()
{
    QFETCH(QString, current);
    QFETCH(QString, selected);
    QFETCH(int, rotation);

    QFETCH(QString, status);
    const std::optional<GameState> state = game(current, status);
    const auto piece = selected.isEmpty() ? std::nullopt : std::optional(selected);
    QStringList cells;
    for (const auto &[row, col] : ui::moveHints({state, me, blue, piece, rotation}))
        cells << QStringLiteral("%1,%2").arg(row).arg(col);
    QTEST(cells.join(u' '), "cells");
}

void TestPlayAidLogic::unplayablePieces()
{
    // Blue holds the corner; its one diagonal leads into a pocket of two cells walled in by
    // yellow: the bar of three fits in no rotation, the smaller pieces do.
    GameState state = game(QStringLiteral("other"));
    state.board[0][0] = 1;
    state.board[2].fill(2);
    state.board[1][3] = 2;
    QCOMPARE(unplayablePieceIds(state, me, blue), QStringList{"I3"});
    state.board[1][1] = 2;
    QCOMPARE(unplayablePieceIds(state, me, blue), QStringList({"I1", "I2", "I3"}));
}

QTEST_APPLESS_MAIN(TestPlayAidLogic)
#include "tst_playaidlogic.moc"
