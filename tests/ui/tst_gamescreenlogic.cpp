// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamescreenlogic.h"
#include "gametypes.h"
#include "language.h"
#include "mousedrag.h"
#include "movefollow.h"

#include <QTest>

using namespace korvana;
using namespace korvana::ui;

namespace {

using OptionalId = std::optional<QString>;

// Two players on an empty board; "me" is red and holds a monomino and a bar.
GameState twoPlayerGame()
{
    GameState state;
    state.board = Board(20, QList<qint64>(20, 0));
    const Squares bar{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}};
    state.players = {Player{.id = "other",
                            .color = "blue",
                            .pieces = {GamePiece{.id = "X", .squares = {{0, 0}}}}},
                     Player{.id = "me",
                            .color = "red",
                            .pieces = {GamePiece{.id = "I1", .squares = {{0, 0}}},
                                       GamePiece{.id = "I5", .squares = bar}}}};
    return state;
}

} // namespace

// The game screen's decisions that need no screen.
class TestGameScreenLogic : public QObject
{
    Q_OBJECT
private slots:
    // The plural forms of the piece names come from the Polish catalogue.
    void initTestCase() { QVERIFY(korvana::ui::installLanguage(QStringLiteral("pl"))); }
    void chipLabel_data();
    void chipLabel();
    void clock_data();
    void clock();
    void rankedPlayersKeepServerOrderForTies();
    void dragPreview_data();
    void dragPreview();
    void pieceName_data();
    void pieceName();
    void firstMoveCorner_data();
    void firstMoveCorner();
    void cursorDescription_data();
    void cursorDescription();
    void outOfGame_data();
    void outOfGame();
    void followTurns_data();
    void followTurns();
    void floatingBox_data();
    void floatingBox();
    void grabOffset_data();
    void grabOffset();
};

void TestGameScreenLogic::chipLabel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isMe");
    QTest::addColumn<QString>("label");
    QTest::addRow("own chip") << "Aleksandra" << true << "Ty";
    QTest::addRow("ten letters cut to six") << "Aleksandra" << false << "Aleksa";
    QTest::addRow("Polish letters") << "Żółćęśąźń" << false << "Żółćęś";
    QTest::addRow("decomposed accent stays whole")
        << QString::fromUtf8("Zoe\u0301lianna") << false << QString::fromUtf8("Zoe\u0301lia");
    QTest::addRow("emoji never split") << "🐙🐙🐙🐙🐙🐙🐙" << false << "🐙🐙🐙🐙🐙🐙";
}

void TestGameScreenLogic::chipLabel()
{
    QFETCH(QString, name);
    QFETCH(bool, isMe);
    QFETCH(QString, label);
    QCOMPARE(ui::chipLabel(name, isMe), label);
}

// The header's clock: its text and its colour.
void TestGameScreenLogic::clock_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tone");
    const auto row = [](qint64 seconds, const char *text, const char *tone) {
        QTest::addRow("%lld s", seconds) << seconds << QString(text) << QString(tone);
    };
    row(9, "9s", "red");
    row(10, "10s", "orange");
    row(29, "29s", "orange");
    row(30, "30s", "white");
    row(59, "59s", "white");
    row(60, "1:00", "white");
    row(75, "1:15", "white");
    row(3600, "60:00", "white");
}

void TestGameScreenLogic::clock()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QFETCH(QString, tone);
    QCOMPARE(GameScreenFormat::formatTime(seconds), text);
    QCOMPARE(GameScreenFormat::timerTone(seconds), tone);
}

void TestGameScreenLogic::rankedPlayersKeepServerOrderForTies()
{
    QList<Player> players;
    for (const auto &[id, score] : {std::pair{"a", 30}, {"b", 50}, {"c", 50}, {"d", 7}, {"e", 50}})
        players.append(Player{.id = id, .score = score});
    QStringList order;
    for (const Player &p : rankedPlayers(players))
        order << p.id;
    QCOMPARE(order, QStringList({"b", "c", "e", "a", "d"}));
}

void TestGameScreenLogic::dragPreview_data()
{
    QTest::addColumn<QPointF>("finger");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("myColor");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("hasGame");
    QTest::addColumn<int>("row"); // -1: no preview; -2: none at all (the old one stays)
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("valid");

    const auto row = [](const char *name, QPointF finger, const char *selected, const char *color,
                        int rotation, bool hasGame, int row, int col, bool valid) {
        QTest::addRow("%s", name) << finger << QString(selected) << QString(color) << rotation
                                  << hasGame << row << col << valid;
    };
    // The board frame is 200 x 200 at (50, 100): cells of 10 points.
    row("first piece on a corner", {52, 102}, "I1", "red", 0, true, 0, 0, true);
    row("first piece off the corners", {105, 155}, "I1", "red", 0, true, 5, 5, false);
    row("bar turned down from the top right corner", {245, 105}, "I5", "red", 270, true, 0, 19,
        true);
    row("no colour of mine: never valid", {52, 102}, "I1", "", 0, true, 0, 0, false);
    row("left of the frame", {49.9, 150}, "I1", "red", 0, true, -1, -1, false);
    row("nothing selected", {52, 102}, "", "red", 0, true, -1, -1, false);
    row("another player's piece", {52, 102}, "X", "red", 0, true, -1, -1, false);
    row("no game: the old preview stays", {52, 102}, "I1", "red", 0, false, -2, -2, false);
    row("no game, off the board: no preview", {0, 0}, "I1", "red", 0, false, -1, -1, false);
}

void TestGameScreenLogic::dragPreview()
{
    QFETCH(QPointF, finger);
    QFETCH(QString, selected);
    QFETCH(QString, myColor);
    QFETCH(int, rotation);
    QFETCH(bool, hasGame);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(bool, valid);

    const std::optional<GameState> state =
        hasGame ? std::optional<GameState>(twoPlayerGame()) : std::nullopt;
    const OptionalId me = QStringLiteral("me");
    const OptionalId color = myColor.isEmpty() ? OptionalId() : OptionalId(myColor);
    const OptionalId piece = selected.isEmpty() ? OptionalId() : OptionalId(selected);
    const auto preview =
        ui::dragPreview(finger, QRectF(50, 100, 200, 200), {state, me, color, piece, rotation});
    QCOMPARE(preview.has_value(), row != -2);
    if (row == -1)
        QCOMPARE(*preview, DragPreview{});
    if (row < 0)
        return;
    QCOMPARE(preview->position, std::optional(board::Cell{row, col}));
    QCOMPARE(preview->isValid, std::optional<bool>(valid));
}

void TestGameScreenLogic::pieceName_data()
{
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<QString>("name");
    QTest::addRow("monomino") << Squares{{0, 0}} << "Klocek pojedynczy, 1 pole";
    QTest::addRow("corner of three") << Squares{{0, 0}, {0, 1}, {1, 0}} << "Klocek V, 3 pola";
    QTest::addRow("square") << Squares{{0, 0}, {0, 1}, {1, 0}, {1, 1}}
                            << "Klocek kwadratowy, 4 pola";
    QTest::addRow("L of five, turned and mirrored")
        << Squares{{0, 0}, {0, -1}, {0, -2}, {0, -3}, {-1, -3}} << "Klocek L, 5 pól";
    QTest::addRow("cross anchored off its centre")
        << Squares{{0, 0}, {1, -1}, {1, 0}, {1, 1}, {2, 0}} << "Klocek X, 5 pól";
    QTest::addRow("no such shape") << Squares{{0, 0}, {1, 1}} << "Klocek, 2 pola";
    QTest::addRow("malformed") << Squares{{0}, {1, 1}} << "Klocek, 2 pola";
}

void TestGameScreenLogic::pieceName()
{
    QFETCH(Squares, squares);
    QFETCH(QString, name);
    QCOMPARE(ui::pieceName(squares), name);
}

void TestGameScreenLogic::cursorDescription_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("description");
    QTest::addRow("empty") << qint64(0) << "Wiersz 3, kolumna 7, puste, klocek pasuje";
    QTest::addRow("mine") << qint64(3) << "Wiersz 3, kolumna 7, twój klocek, klocek pasuje";
    QTest::addRow("another colour")
        << qint64(2) << "Wiersz 3, kolumna 7, żółty klocek, klocek pasuje";
}

void TestGameScreenLogic::cursorDescription()
{
    QFETCH(qint64, value);
    QFETCH(QString, description);
    QCOMPARE(ui::cursorDescription({2, 6}, value, "red", true), description);
}

void TestGameScreenLogic::outOfGame_data()
{
    QTest::addColumn<bool>("hasPassed");
    QTest::addColumn<bool>("myTurnAfter");
    QTest::addColumn<qint64>("secondsOnMyTurn"); // -1: no clock
    QTest::addColumn<qint64>("laterMs");         // when the next state arrives
    QTest::addColumn<QString>("notice");         // "": not locked
    const QString out = "Jesteś poza grą. Poczekaj na koniec gry.";
    // A server may mark a pass in hasPassed and still give turns: on my turn I may act.
    QTest::addRow("marked, but my turn") << true << true << qint64(60) << qint64(5000) << QString();
    QTest::addRow("out when my clock ran out")
        << true << false << qint64(10) << qint64(10200)
        << "Czas minął. Jesteś poza grą. Poczekaj na koniec gry.";
    QTest::addRow("out with time left") << true << false << qint64(60) << qint64(5000) << out;
    QTest::addRow("out without a clock") << true << false << qint64(-1) << qint64(99000) << out;
    QTest::addRow("still in") << false << false << qint64(10) << qint64(20000) << QString();
}

void TestGameScreenLogic::outOfGame()
{
    QFETCH(bool, hasPassed);
    QFETCH(bool, myTurnAfter);
    QFETCH(qint64, secondsOnMyTurn);
    QFETCH(qint64, laterMs);
    QFETCH(QString, notice);
    const OptionalId me("me");
    GameState state = twoPlayerGame();
    state.gameStatus = GameStatus::InProgress;
    state.currentPlayerId = "me";
    if (secondsOnMyTurn >= 0) {
        state.timeLimit = 300;
        state.timeRemaining = secondsOnMyTurn;
    }
    TimeOutWatch watch;
    QVERIFY(!watch.update(state, me, 0));
    state.currentPlayerId = myTurnAfter ? "me" : "other";
    state.players[1].hasPassed = hasPassed;
    const bool ranOut = watch.update(state, me, laterMs);
    QCOMPARE(ui::isOutOfMoves(state, me) ? outOfGameNotice(ranOut) : QString(), notice);
}

void TestGameScreenLogic::firstMoveCorner_data()
{
    QTest::addColumn<Board>("board");
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("corner"); // "none": not a first move
    Board empty(20, QList<qint64>(20, 0));
    Board blueTaken = empty;
    blueTaken[0][0] = 3;
    Board blueStarted = empty;
    blueStarted[19][0] = 1;
    QTest::addRow("blue starts at the top left") << empty << "blue"
                                                 << "0,0";
    QTest::addRow("red at the bottom right") << empty << "RED"
                                             << "19,19";
    QTest::addRow("own corner taken: the next clockwise") << blueTaken << "blue"
                                                          << "0,19";
    QTest::addRow("not a first move") << blueStarted << "blue"
                                      << "none";
    QTest::addRow("no colour of mine") << blueTaken << ""
                                       << "0,19";
}

void TestGameScreenLogic::firstMoveCorner()
{
    QFETCH(Board, board);
    QFETCH(QString, color);
    QFETCH(QString, corner);
    const auto cell = ui::firstMoveCorner(board, color);
    QCOMPARE(cell ? QStringLiteral("%1,%2").arg(cell->row).arg(cell->col) : "none", corner);
}

void TestGameScreenLogic::followTurns_data()
{
    // Seats A, B, me, C; A is to move in the earlier state, each with an earlier move on record.
    QTest::addColumn<QStringList>("moved");
    QTest::addColumn<QStringList>("wentOut");
    QTest::addColumn<QString>("current"); // "" once finished
    QTest::addColumn<QStringList>("notices");
    QTest::addColumn<QString>("outlined");
    QTest::addRow("A placed") << QStringList{"A"} << QStringList{} << "B" << QStringList{} << "A";
    QTest::addRow("A placed, B passed")
        << QStringList{"A"} << QStringList{} << "me" << QStringList{"Bot B pasuje"} << "A";
    QTest::addRow("both placed, the later one outlined")
        << QStringList{"A", "B"} << QStringList{} << "me" << QStringList{} << "B";
    QTest::addRow("A passed, B out")
        << QStringList{} << QStringList{"B"} << "me"
        << QStringList{"Bot A pasuje", "Bot B nie ma już ruchów"} << "";
    QTest::addRow("my own pass is not announced")
        << QStringList{"C"} << QStringList{} << "A" << QStringList{"Bot A pasuje", "Bot B pasuje"}
        << "C";
    QTest::addRow("finished: only who went out")
        << QStringList{"A"} << QStringList{"B", "C"} << ""
        << QStringList{"Bot B nie ma już ruchów", "Bot C nie ma już ruchów"} << "A";
}

void TestGameScreenLogic::followTurns()
{
    QFETCH(QStringList, moved);
    QFETCH(QStringList, wentOut);
    QFETCH(QString, current);
    QFETCH(QStringList, notices);
    QFETCH(QString, outlined);

    GameState before;
    before.roomId = "r";
    before.gameStatus = GameStatus::InProgress;
    before.currentPlayerId = "A";
    before.turnNumber = 9;
    const QStringList ids{"A", "B", "me", "C"};
    const QStringList colors{"blue", "yellow", "red", "green"};
    for (qsizetype i = 0; i < ids.size(); ++i) {
        before.players.append(
            Player{.id = ids[i],
                   .name = ids[i] == "me" ? "Ja" : "Bot " + ids[i],
                   .color = colors[i],
                   .pieces = {GamePiece{.id = "L3", .squares = {{0, 0}, {0, 1}, {1, 0}}}},
                   .lastMove = Move{"L3", 2 * i, 2 * i, 0}});
    }
    GameState after = before;
    after.turnNumber = 13;
    after.currentPlayerId = current.isEmpty() ? OptionalId() : OptionalId(current);
    if (current.isEmpty())
        after.gameStatus = GameStatus::Finished;
    for (Player &p : after.players) {
        if (moved.contains(p.id))
            p.lastMove = Move{"L3", 10, 10, 90};
        p.hasPassed = wentOut.contains(p.id);
    }

    QCOMPARE(turnNotices(before, after, QString("me")), notices);
    // The older state arriving late tells nothing.
    QVERIFY(turnNotices(after, before, QString("me")).isEmpty());
    const auto mark = lastMoveMark(&before, after);
    QCOMPARE(mark ? mark->playerId : QString(), outlined);
    if (mark) {
        // The L turned by 90 degrees about its anchor (10, 10).
        const QList<board::Cell> cells{{10, 10}, {9, 10}, {10, 11}};
        QVERIFY(mark->cells == cells);
        QCOMPARE(mark->colorNumber, int(ids.indexOf(outlined)) + 1);
    }
    // Without an earlier state the seat nearest before the one to move is taken as the last.
    if (!current.isEmpty()) {
        const auto first = lastMoveMark(nullptr, after);
        QVERIFY(first);
        QCOMPARE(first->playerId, ids[(ids.indexOf(current) + 3) % 4]);
    }
}

void TestGameScreenLogic::floatingBox_data()
{
    // A phone's area; the finger's point and where the box's centre goes.
    QTest::addColumn<QPointF>("finger");
    QTest::addColumn<QPointF>("box");
    QTest::addRow("above the finger") << QPointF(200, 400) << QPointF(200, 305);
    QTest::addRow("bottom edge: 35 inside") << QPointF(200, 844) << QPointF(200, 749);
    QTest::addRow("left edge: 35 inside") << QPointF(0, 400) << QPointF(35, 305);
    // No room above: below the finger, never on its target.
    QTest::addRow("top edge: below the finger") << QPointF(200, 60) << QPointF(200, 155);
}

void TestGameScreenLogic::floatingBox()
{
    QFETCH(QPointF, finger);
    QFETCH(QPointF, box);
    QCOMPARE(floatingBoxCentre(finger, QSizeF(390, 844)), box);
}

void TestGameScreenLogic::grabOffset_data()
{
    // The bar of five in a 60-point preview: a unit of 10, squares from x = 5 to 55 at y 25-35.
    QTest::addColumn<qint64>("rotation");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("offset");
    QTest::addRow("by the anchor") << qint64(0) << QPointF(8, 30) << QPointF(0, 0);
    QTest::addRow("by the far end") << qint64(0) << QPointF(52, 30) << QPointF(4, 0);
    QTest::addRow("in the margin: the nearest square")
        << qint64(0) << QPointF(58, 2) << QPointF(4, 0);
    // Turned by 90 degrees the bar stands upwards from its anchor: [0,0] .. [-4,0].
    QTest::addRow("turned, by the top") << qint64(90) << QPointF(30, 8) << QPointF(0, -4);
}

void TestGameScreenLogic::grabOffset()
{
    QFETCH(qint64, rotation);
    QFETCH(QPointF, point);
    QFETCH(QPointF, offset);
    const Squares bar{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}};
    QCOMPARE(grabOffsetCells(bar, rotation, point, 60), offset);
}

QTEST_GUILESS_MAIN(TestGameScreenLogic)
#include "tst_gamescreenlogic.moc"
