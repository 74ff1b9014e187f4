#include "gamescreenrules.h"
#include "gametypes.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace korvana;
using namespace korvana::ui;

namespace {

using OptionalId = std::optional<QString>;

GamePiece piece(const QString &id, Squares squares, bool placed = false)
{
    GamePiece p;
    p.id = id;
    p.name = id;
    p.size = squares.size();
    p.squares = std::move(squares);
    p.placed = placed;
    return p;
}

Squares squares(std::initializer_list<std::pair<qint64, qint64>> list)
{
    Squares result;
    for (const auto &[r, c] : list)
        result.append(Square{r, c});
    return result;
}

Player player(const QString &id, const QString &color, qint64 score = 0,
              QList<GamePiece> pieces = {})
{
    Player p;
    p.id = id;
    p.name = id;
    p.color = color;
    p.score = score;
    p.pieces = std::move(pieces);
    return p;
}

// Two players on an empty board; "me" is red and holds a monomino, an L tromino and a bar.
GameState twoPlayerGame()
{
    GameState state;
    state.roomId = QStringLiteral("ROOM");
    state.gameStatus = QStringLiteral("in_progress");
    state.players = {
        player(QStringLiteral("other"), QStringLiteral("blue"), 0,
               {piece(QStringLiteral("X"), squares({{0, 0}}))}),
        player(QStringLiteral("me"), QStringLiteral("red"), 0,
               {piece(QStringLiteral("I1"), squares({{0, 0}})),
                piece(QStringLiteral("V3"), squares({{0, 0}, {0, 1}, {1, 0}})),
                piece(QStringLiteral("I5"), squares({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}))}),
    };
    state.currentPlayerId = QStringLiteral("me");
    return state;
}

} // namespace

class TestGameScreenRules : public QObject
{
    Q_OBJECT
private slots:
    void trayColumns_data();
    void trayColumns();
    void chipLabel_data();
    void chipLabel();
    void clock_data();
    void clock();
    void trayPieces();
    void rankedPlayersKeepServerOrderForTies();
    void turnSignal_data();
    void turnSignal();
    void shortDrag_data();
    void shortDrag();
    void dragPreview_data();
    void dragPreview();
    void dragPreviewWithoutGameLeavesPreview();
    void floatingBox_data();
    void floatingBox();
};

void TestGameScreenRules::trayColumns_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("columns");
    QTest::addRow("phone width 390") << 390.0 << 6;
    QTest::addRow("exactly six: 24 + 6 x 56") << 360.0 << 6;
    QTest::addRow("just under six") << 359.9 << 5;
    QTest::addRow("narrow keeps five") << 200.0 << 5;
    QTest::addRow("zero keeps five") << 0.0 << 5;
    QTest::addRow("negative keeps five") << -50.0 << 5;
    QTest::addRow("tablet width") << 1024.0 << 17;
    QTest::addRow("NaN keeps five") << std::numeric_limits<double>::quiet_NaN() << 5;
    QTest::addRow("infinite keeps five") << std::numeric_limits<double>::infinity() << 5;
}

void TestGameScreenRules::trayColumns()
{
    QFETCH(double, width);
    QFETCH(int, columns);
    QCOMPARE(ui::trayColumns(width), columns);
}

void TestGameScreenRules::chipLabel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isMe");
    QTest::addColumn<QString>("label");
    QTest::addRow("own chip") << "Aleksandra" << true << "Ty";
    QTest::addRow("ten letters cut to six") << "Aleksandra" << false << "Aleksa";
    QTest::addRow("six letters whole") << "Bartek" << false << "Bartek";
    QTest::addRow("short name whole") << "Ola" << false << "Ola";
    QTest::addRow("empty name") << "" << false << "";
    QTest::addRow("Polish letters") << "Żółćęśąźń" << false << "Żółćęś";
    QTest::addRow("decomposed accent stays whole")
        << QString::fromUtf8("Zoe\u0301lianna") << false << QString::fromUtf8("Zoe\u0301lia");
    QTest::addRow("emoji never split") << "🐙🐙🐙🐙🐙🐙🐙" << false << "🐙🐙🐙🐙🐙🐙";
}

void TestGameScreenRules::chipLabel()
{
    QFETCH(QString, name);
    QFETCH(bool, isMe);
    QFETCH(QString, label);
    QCOMPARE(ui::chipLabel(name, isMe), label);
}

void TestGameScreenRules::clock_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tone");
    QTest::addRow("9 s red") << qint64(9) << "9s"
                             << "red";
    QTest::addRow("0 s red") << qint64(0) << "0s"
                             << "red";
    QTest::addRow("10 s orange") << qint64(10) << "10s"
                                 << "orange";
    QTest::addRow("29 s orange") << qint64(29) << "29s"
                                 << "orange";
    QTest::addRow("30 s white") << qint64(30) << "30s"
                                << "white";
    QTest::addRow("45 s") << qint64(45) << "45s"
                          << "white";
    QTest::addRow("59 s still seconds") << qint64(59) << "59s"
                                        << "white";
    QTest::addRow("60 s a minute") << qint64(60) << "1:00"
                                   << "white";
    QTest::addRow("75 s") << qint64(75) << "1:15"
                          << "white";
    QTest::addRow("125 s") << qint64(125) << "2:05"
                           << "white";
    QTest::addRow("an hour in minutes") << qint64(3600) << "60:00"
                                        << "white";
}

void TestGameScreenRules::clock()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QFETCH(QString, tone);
    QCOMPARE(GameScreenFormat::formatTime(seconds), text);
    QCOMPARE(GameScreenFormat::timerTone(seconds), tone);
}

void TestGameScreenRules::trayPieces()
{
    GameState state = twoPlayerGame();
    auto &mine = state.players[1].pieces;
    mine.append(piece(QStringLiteral("placed"), squares({{0, 0}}), true));
    mine.append(piece(QStringLiteral("no-squares"), {}));
    for (int i = 0; i < 4; ++i)
        mine.append(piece(QStringLiteral("extra%1").arg(i), squares({{0, 0}, {1, 0}})));

    const auto tray = ui::trayPieces(state, QStringLiteral("me"));
    QStringList ids;
    for (const GamePiece &p : tray)
        ids << p.id;
    QCOMPARE(ids, QStringList({"I1", "V3", "I5", "extra0", "extra1", "extra2", "extra3"}));

    QVERIFY(ui::trayPieces(state, std::nullopt).isEmpty());
    QVERIFY(ui::trayPieces(state, QStringLiteral("stranger")).isEmpty());
}

void TestGameScreenRules::rankedPlayersKeepServerOrderForTies()
{
    const QList<Player> players{player("a", "blue", 30), player("b", "yellow", 50),
                                player("c", "red", 50), player("d", "green", 7)};
    const auto ranked = rankedPlayers(players);
    QStringList order;
    for (const Player &p : ranked)
        order << p.id;
    QCOMPARE(order, QStringList({"b", "c", "a", "d"}));
}

void TestGameScreenRules::turnSignal_data()
{
    QTest::addColumn<OptionalId>("oldId");
    QTest::addColumn<OptionalId>("newId");
    QTest::addColumn<OptionalId>("myId");
    QTest::addColumn<bool>("signal");
    const OptionalId none;
    const OptionalId me = QStringLiteral("me");
    const OptionalId other = QStringLiteral("other");
    const OptionalId third = QStringLiteral("third");
    QTest::addRow("from another player to me") << other << me << me << true;
    QTest::addRow("from nobody to me") << none << me << me << true;
    QTest::addRow("same player repeated by a poll") << me << me << me << false;
    QTest::addRow("from me to another") << me << other << me << false;
    QTest::addRow("between two others") << other << third << me << false;
    QTest::addRow("to nobody") << me << none << me << false;
    QTest::addRow("no id of mine") << other << me << none << false;
}

void TestGameScreenRules::turnSignal()
{
    QFETCH(OptionalId, oldId);
    QFETCH(OptionalId, newId);
    QFETCH(OptionalId, myId);
    QFETCH(bool, signal);
    QCOMPARE(givesTurnSignal(oldId, newId, myId), signal);
}

void TestGameScreenRules::shortDrag_data()
{
    QTest::addColumn<QPointF>("translation");
    QTest::addColumn<bool>("isShort");
    QTest::addRow("10 right and down") << QPointF(10, 10) << true;
    QTest::addRow("10 left and up") << QPointF(-10, -10) << true;
    QTest::addRow("just under 12") << QPointF(11.9, -11.9) << true;
    QTest::addRow("12 across") << QPointF(12, 0) << false;
    QTest::addRow("12 up") << QPointF(0, -12) << false;
    QTest::addRow("far") << QPointF(80, -200) << false;
}

void TestGameScreenRules::shortDrag()
{
    QFETCH(QPointF, translation);
    QFETCH(bool, isShort);
    QCOMPARE(isShortDrag(translation), isShort);
}

void TestGameScreenRules::dragPreview_data()
{
    QTest::addColumn<QPointF>("finger");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("myColor");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("valid"); // -1 none, 0 false, 1 true

    // The board frame is 200 x 200 at (50, 100): cells of 10 points.
    QTest::addRow("first piece on a corner") << QPointF(52, 102) << "I1"
                                             << "red" << 0 << 0 << 0 << 1;
    QTest::addRow("first piece on the far corner") << QPointF(249.9, 299.9) << "I1"
                                                   << "red" << 0 << 19 << 19 << 1;
    QTest::addRow("first piece off the corners") << QPointF(105, 155) << "I1"
                                                 << "red" << 0 << 5 << 5 << 0;
    QTest::addRow("bar running off the board") << QPointF(245, 105) << "I5"
                                               << "red" << 0 << 0 << 19 << 0;
    QTest::addRow("bar turned down from the top right corner") << QPointF(245, 105) << "I5"
                                                               << "red" << 270 << 0 << 19 << 1;
    QTest::addRow("colour name in capitals") << QPointF(52, 102) << "I1"
                                             << "RED" << 0 << 0 << 0 << 1;
    QTest::addRow("no colour of mine: never valid") << QPointF(52, 102) << "I1"
                                                    << "" << 0 << 0 << 0 << 0;
    QTest::addRow("left of the frame") << QPointF(49.9, 150) << "I1"
                                       << "red" << 0 << -1 << -1 << -1;
    QTest::addRow("right edge is outside") << QPointF(250, 150) << "I1"
                                           << "red" << 0 << -1 << -1 << -1;
    QTest::addRow("below the frame") << QPointF(100, 300) << "I1"
                                     << "red" << 0 << -1 << -1 << -1;
    QTest::addRow("nothing selected") << QPointF(52, 102) << ""
                                      << "red" << 0 << -1 << -1 << -1;
    QTest::addRow("another player's piece") << QPointF(52, 102) << "X"
                                            << "red" << 0 << -1 << -1 << -1;
}

void TestGameScreenRules::dragPreview()
{
    QFETCH(QPointF, finger);
    QFETCH(QString, selected);
    QFETCH(QString, myColor);
    QFETCH(int, rotation);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, valid);

    const std::optional<GameState> state = twoPlayerGame();
    const OptionalId me = QStringLiteral("me");
    const OptionalId color = myColor.isEmpty() ? OptionalId() : OptionalId(myColor);
    const OptionalId piece = selected.isEmpty() ? OptionalId() : OptionalId(selected);
    const auto preview =
        ui::dragPreview(finger, QRectF(50, 100, 200, 200), {state, me, color, piece, rotation});
    QVERIFY(preview.has_value());
    if (row < 0) {
        QCOMPARE(*preview, DragPreview{});
        return;
    }
    QVERIFY(preview->position.has_value());
    QCOMPARE(preview->position->row, row);
    QCOMPARE(preview->position->col, col);
    QCOMPARE(preview->isValid, std::optional<bool>(valid == 1));
}

void TestGameScreenRules::dragPreviewWithoutGameLeavesPreview()
{
    const std::optional<GameState> none;
    const OptionalId me = QStringLiteral("me");
    const OptionalId color = QStringLiteral("red");
    const OptionalId piece = QStringLiteral("I1");
    // Over the board without a game: no answer, so the old preview stays.
    QVERIFY(!ui::dragPreview(QPointF(52, 102), QRectF(50, 100, 200, 200), {none, me, color, piece})
                 .has_value());
    // Off the board the preview goes, game or not.
    QCOMPARE(ui::dragPreview(QPointF(0, 0), QRectF(50, 100, 200, 200), {none, me, color, piece}),
             DragPreview{});
    // A board frame without area never maps a finger.
    const std::optional<GameState> state = twoPlayerGame();
    QCOMPARE(ui::dragPreview(QPointF(50, 100), QRectF(50, 100, 0, 0), {state, me, color, piece}),
             DragPreview{});
}

void TestGameScreenRules::floatingBox_data()
{
    QTest::addColumn<QPointF>("finger");
    QTest::addColumn<QSizeF>("area");
    QTest::addColumn<QPointF>("centre");
    const QSizeF phone(390, 844);
    QTest::addRow("95 above the finger") << QPointF(100, 400) << phone << QPointF(100, 305);
    QTest::addRow("top left corner") << QPointF(0, 0) << phone << QPointF(35, 35);
    QTest::addRow("right edge") << QPointF(390, 500) << phone << QPointF(355, 405);
    QTest::addRow("very bottom") << QPointF(200, 844) << phone << QPointF(200, 749);
    QTest::addRow("finger below the area") << QPointF(200, 1000) << phone << QPointF(200, 809);
    QTest::addRow("area smaller than the box")
        << QPointF(20, 20) << QSizeF(50, 50) << QPointF(35, 35);
}

void TestGameScreenRules::floatingBox()
{
    QFETCH(QPointF, finger);
    QFETCH(QSizeF, area);
    QFETCH(QPointF, centre);
    QCOMPARE(floatingBoxCentre(finger, area), centre);
}

QTEST_GUILESS_MAIN(TestGameScreenRules)
#include "tst_gamescreenrules.moc"
