// The play aids' rules: the clock between polls, the low-time warning's arming, the move hints'
// conditions and the tray's steady slots.
#include "playaidrules.h"

#include <QTest>

using namespace korvana;
using namespace korvana::ui;

namespace {

GamePiece piece(const QString &id, Squares squares, bool placed = false)
{
    GamePiece p;
    p.id = id;
    p.squares = std::move(squares);
    p.placed = placed;
    return p;
}

// "me" (blue, no cell on the board yet) holds a monomino, a domino, a bar of three and a placed
// domino; "other" holds a monomino.
GameState game(const QString &current)
{
    GameState state;
    state.gameStatus = QStringLiteral("in_progress");
    state.currentPlayerId = current;
    Player me;
    me.id = QStringLiteral("me");
    me.pieces = {piece("I1", {{0, 0}}), piece("I2", {{0, 0}, {0, 1}}),
                 piece("I3", {{0, 0}, {0, 1}, {0, 2}}), piece("P2", {{0, 0}, {0, 1}}, true)};
    Player other;
    other.id = QStringLiteral("other");
    other.pieces = {piece("Y1", {{0, 0}})};
    state.players = {me, other};
    return state;
}

QString cellList(const QList<board::Cell> &cells)
{
    QStringList parts;
    for (const auto &[row, col] : cells)
        parts << QStringLiteral("%1,%2").arg(row).arg(col);
    return parts.join(u' ');
}

} // namespace

class TestPlayAidRules : public QObject
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
    void steadySlots_data();
    void steadySlots();
};

void TestPlayAidRules::clock_data()
{
    // Events in time order: "30@0" a poll of 30 s at 0 ms, "-@0" a poll without a time,
    // "stop@t" and "start@t" the connection lost and back. Then read at `now`; -1 is none.
    QTest::addColumn<QString>("events");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("shown");
    QTest::addColumn<qint64>("nextTickMs");

    QTest::addRow("the poll's value for a second") << "30@0" << 999LL << 30LL << 1LL;
    QTest::addRow("then one less each second") << "30@0" << 2000LL << 28LL << 1000LL;
    QTest::addRow("never below zero") << "3@0" << 60000LL << 0LL << -1LL;
    QTest::addRow("no time: no clock") << "-@0" << 5000LL << -1LL << -1LL;
    QTest::addRow("stopped: its value then") << "30@0 stop@2500" << 9000LL << 28LL << -1LL;
    QTest::addRow("restarted: from the poll")
        << "30@0 stop@2500 start@5000" << 5200LL << 25LL << 800LL;
    QTest::addRow("a poll re-syncs at once") << "30@0 40@1500" << 1500LL << 40LL << 1000LL;
    QTest::addRow("counting from its arrival") << "30@0 40@1500" << 2600LL << 39LL << 900LL;
    QTest::addRow("a poll while stopped") << "30@0 stop@1000 20@3000" << 8000LL << 20LL << -1LL;
    QTest::addRow("a poll without a time") << "30@0 -@1000" << 1000LL << -1LL << -1LL;
}

void TestPlayAidRules::clock()
{
    QFETCH(QString, events);
    QFETCH(qint64, now);
    QFETCH(qint64, shown);
    QFETCH(qint64, nextTickMs);

    TurnClock clock;
    for (const QString &event : events.split(u' ')) {
        const QString what = event.section(u'@', 0, 0);
        const qint64 at = event.section(u'@', 1).toLongLong();
        if (what == u"stop" || what == u"start")
            clock.setRunning(what == u"start", at);
        else
            clock.sync(what == u"-" ? std::nullopt : std::optional(what.toLongLong()), at);
    }
    QCOMPARE(clock.secondsLeft(now).value_or(-1), shown);
    QCOMPARE(clock.msUntilNextTick(now).value_or(-1), nextTickMs);
}

void TestPlayAidRules::lowTimeWarning_data()
{
    // My time at successive moments ("-": not my turn); "*" marks the moments that warn.
    QTest::addColumn<qint64>("timeLimit");
    QTest::addColumn<QString>("moments");

    QTest::addRow("5 minutes: below 37.5 s") << 300LL << "60 38 37* 20";
    QTest::addRow("1 minute: below 10 s") << 60LL << "11 10 9*";
    QTest::addRow("1 hour: below 60 s") << 3600LL << "61 60 59*";
    QTest::addRow("re-armed above 1.5 times only") << 300LL << "30* 56 30 57 30*";
    QTest::addRow("other turns keep it disarmed") << 300LL << "30* - 30";
    QTest::addRow("other turns never warn") << 300LL << "- -";
    QTest::addRow("no time limit") << 0LL << "5";
}

void TestPlayAidRules::lowTimeWarning()
{
    QFETCH(qint64, timeLimit);
    QFETCH(QString, moments);

    LowTimeWarning warning;
    QStringList given;
    for (QString moment : moments.split(u' ')) {
        moment.remove(u'*');
        const bool warns = warning.update(
            moment == u"-" ? std::nullopt : std::optional(moment.toLongLong()), timeLimit);
        given << moment + (warns ? QStringLiteral("*") : QString());
    }
    QCOMPARE(given.join(u' '), moments);
}

void TestPlayAidRules::moveHints_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QString>("cells");

    const QString inProgress = QStringLiteral("in_progress");
    QTest::addRow("first move: corners")
        << "me" << inProgress << "I1" << 0 << "0,0 0,19 19,0 19,19";
    QTest::addRow("turned") << "me" << inProgress << "I2" << 90 << "1,0 1,19 19,0 19,19";
    QTest::addRow("not my turn") << "other" << inProgress << "I1" << 0 << "";
    QTest::addRow("nothing selected") << "me" << inProgress << "" << 0 << "";
    QTest::addRow("a placed piece") << "me" << inProgress << "P2" << 0 << "";
    QTest::addRow("another's piece") << "me" << inProgress << "Y1" << 0 << "";
    QTest::addRow("a finished game") << "me"
                                     << "finished"
                                     << "I1" << 0 << "";
}

void TestPlayAidRules::moveHints()
{
    QFETCH(QString, current);
    QFETCH(QString, status);
    QFETCH(QString, selected);
    QFETCH(int, rotation);
    QFETCH(QString, cells);

    std::optional<GameState> state = game(current);
    state->gameStatus = status;
    const std::optional<QString> me = QStringLiteral("me");
    const std::optional<QString> color = QStringLiteral("blue");
    const auto piece = selected.isEmpty() ? std::nullopt : std::optional(selected);
    QCOMPARE(cellList(ui::moveHints({state, me, color, piece, rotation})), cells);
}

void TestPlayAidRules::unplayablePieces()
{
    // Blue holds the corner; its one diagonal leads into a pocket of two cells walled in by
    // yellow: the bar of three fits in no rotation, the smaller pieces do.
    GameState state = game(QStringLiteral("other"));
    state.board[0][0] = 1;
    for (int c = 0; c < 20; ++c)
        state.board[2][c] = 2;
    state.board[1][3] = 2;
    const std::optional<QString> me = QStringLiteral("me");
    QCOMPARE(unplayablePieceIds(state, me, QStringLiteral("blue")), QStringList{"I3"});
    state.board[1][1] = 2;
    QCOMPARE(unplayablePieceIds(state, me, QStringLiteral("blue")),
             QStringList({"I1", "I2", "I3"}));
}

void TestPlayAidRules::steadySlots_data()
{
    // The tray at successive moments, one letter a piece; the slots after the last ("-" empty).
    QTest::addColumn<QString>("trays");
    QTest::addColumn<QString>("expected");

    QTest::addRow("first tray in its order") << "cab"
                                             << "cab";
    QTest::addRow("a placed piece leaves a hole") << "abc ac"
                                                  << "a-c";
    QTest::addRow("the last one too") << "abc ab"
                                      << "ab-";
    QTest::addRow("a new piece at the end") << "ab ac"
                                            << "a-c";
    QTest::addRow("back in its own slot") << "abc ac cba"
                                          << "abc";
}

void TestPlayAidRules::steadySlots()
{
    QFETCH(QString, trays);
    QFETCH(QString, expected);

    QStringList order;
    QStringList tray;
    QList<int> result;
    for (const QString &moment : trays.split(u' ')) {
        tray = moment.split(QString(), Qt::SkipEmptyParts);
        result = ui::steadySlots(order, tray);
    }
    QString shown;
    for (const int index : result)
        shown += index < 0 ? QStringLiteral("-") : tray.at(index);
    QCOMPARE(shown, expected);
}

QTEST_APPLESS_MAIN(TestPlayAidRules)
#include "tst_playaidrules.moc"
