// The game engine: turns, passing, being out, the end, scores, the winner and the clocks.
#include "rules/game.h"

#include <QTest>

using namespace korvana::rules;
using namespace Qt::StringLiterals;

namespace {

GameState started(int players, int timeLimit = 0, qint64 nowMs = 0)
{
    GameState game = newGame(timeLimit);
    for (int i = 0; i < players; ++i)
        addPlayer(game, u"p%1"_s.arg(i), u"Gracz %1"_s.arg(i)).value();
    startGame(game, nowMs).value();
    return game;
}

// Opening placements: the monomino in each seat's own corner.
constexpr std::array<Square, 4> OwnCorner{{{0, 0}, {0, 19}, {19, 19}, {19, 0}}};

Result<> placeMonomino(GameState &game, int player, qint64 nowMs = 0)
{
    const auto [r, c] = OwnCorner[player];
    return place(game, player, MonominoIndex, r, c, 0, nowMs);
}

// A player with every piece placed but `missing`, owning one cell at `cell`.
GameState almostDone(int missing, Square cell)
{
    GameState game = started(2);
    Player &blue = game.players[0];
    for (int p = 0; p < PieceCount; ++p)
        blue.pieces[p].placed = p != missing;
    game.board.set(cell.row, cell.col, Blue);
    return game;
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void seatsFollowColourOrder()
    {
        GameState game = newGame(120);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(addPlayer(game, u"p%1"_s.arg(i), u"G"_s, i % 2 == 1).value(), i);
        QCOMPARE(addPlayer(game, u"p9"_s, u"G"_s).error().code, ActionError::Code::GameFull);
        QStringList colors;
        for (const auto &p : game.players)
            colors << colorName(p.color);
        QCOMPARE(colors, (QStringList{u"blue"_s, u"yellow"_s, u"red"_s, u"green"_s}));
        QVERIFY(game.players[1].isBot && !game.players[0].isBot);
        QCOMPARE(game.status, GameStatus::Waiting);
        QCOMPARE(remainingClockMs(game, 2, 5000), 120'000);

        GameState dup = newGame();
        addPlayer(dup, u"a"_s, u"A"_s).value();
        QCOMPARE(addPlayer(dup, u"a"_s, u"A"_s).error().code, ActionError::Code::DuplicatePlayer);

        QVERIFY(startGame(game, 0));
        QCOMPARE(game.status, GameStatus::InProgress);
        QCOMPARE(game.currentPlayer, 0);
        QCOMPARE(game.turnNumber, 1);
        QCOMPARE(addPlayer(game, u"p5"_s, u"G"_s).error().message, u"Gra już się rozpoczęła"_s);
        QCOMPARE(startGame(game, 0).error().code, ActionError::Code::NotWaiting);

        GameState empty = newGame();
        QCOMPARE(startGame(empty, 0).error().code, ActionError::Code::NoPlayers);
    }

    void colourAndStatusNames()
    {
        QCOMPARE(colorNumber(u"Blue"), int(Blue));
        QCOMPARE(colorNumber(u"GREEN"), int(Green));
        QCOMPARE(colorNumber(u"purple"), 0);
        QCOMPARE(colorNumber(u""), 0);
        QCOMPARE(colorName(0), QString());
        for (auto s : {GameStatus::Waiting, GameStatus::InProgress, GameStatus::Finished})
            QCOMPARE(statusFromName(statusName(s)), std::optional(s));
        QCOMPARE(statusName(GameStatus::InProgress), u"in_progress"_s);
        QVERIFY(!statusFromName(u"over"));
    }

    void placingCoversExactlyTheRotatedCells_data()
    {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QPoint>("anchor");       // (row, col)
        QTest::addColumn<QList<QPoint>>("cells"); // (row, col)
        // L4 [0,0] [1,0] [2,0] [2,1] turned about its anchor; each way fits one board corner.
        QTest::addRow("0 at top-left")
            << 0 << QPoint(0, 0) << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {2, 1}};
        QTest::addRow("90 at bottom-left")
            << 90 << QPoint(19, 0) << QList<QPoint>{{19, 0}, {19, 1}, {19, 2}, {18, 2}};
        QTest::addRow("180 at bottom-right")
            << 180 << QPoint(19, 19) << QList<QPoint>{{19, 19}, {18, 19}, {17, 19}, {17, 18}};
        QTest::addRow("270 at top-right")
            << 270 << QPoint(0, 19) << QList<QPoint>{{0, 19}, {0, 18}, {0, 17}, {1, 17}};
    }

    void placingCoversExactlyTheRotatedCells()
    {
        QFETCH(int, rotation);
        QFETCH(QPoint, anchor);
        QFETCH(QList<QPoint>, cells);
        GameState game = started(2);
        QVERIFY(place(game, u"p0", u"L4", anchor.x(), anchor.y(), rotation, 0));
        int covered = 0;
        for (int r = 0; r < BoardSize; ++r)
            for (int c = 0; c < BoardSize; ++c)
                covered += game.board.at(r, c) == Blue;
        QCOMPARE(covered, int(cells.size()));
        for (const auto &cell : cells)
            QCOMPARE(game.board.at(cell.x(), cell.y()), int(Blue));
        const Player &blue = game.players[0];
        QCOMPARE(blue.pieces[pieceIndex(u"L4")],
                 (PieceState{true, anchor.x(), anchor.y(), rotation}));
        QCOMPARE(blue.lastMove, std::optional(Move{u"L4"_s, anchor.x(), anchor.y(), rotation}));
        QCOMPARE(blue.score, 4);
        QCOMPARE(game.currentPlayer, 1);
        QCOMPARE(game.turnNumber, 2);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("player");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<ActionError::Code>("code");
        QTest::addColumn<QString>("message");
        using C = ActionError::Code;
        // Blue (p0) has placed I1 at (0,0); it is yellow's (p1) turn; red (p2) has passed.
        // clang-format off
        QTest::addRow("not your turn")      << "p0" << "I2" << 1 << 1 << 0 << C::NotYourTurn << "Nie twoja tura";
        QTest::addRow("player already out") << "p2" << "I2" << 0 << 19 << 0 << C::AlreadyOut << "Już spasowałeś";
        QTest::addRow("unknown player")     << "p9" << "I2" << 0 << 19 << 0 << C::UnknownPlayer << "Nie ma takiego gracza";
        QTest::addRow("unknown piece")      << "p1" << "Q9" << 0 << 19 << 0 << C::UnknownPiece << "Nie ma takiego klocka";
        QTest::addRow("rotation 45")        << "p1" << "I2" << 0 << 18 << 45 << C::IllegalPlacement << "Nieprawidłowy ruch: obrót";
        QTest::addRow("rotation -90")       << "p1" << "I2" << 0 << 18 << -90 << C::IllegalPlacement << "Nieprawidłowy ruch: obrót";
        QTest::addRow("rotation 360")       << "p1" << "I2" << 0 << 18 << 360 << C::IllegalPlacement << "Nieprawidłowy ruch: obrót";
        QTest::addRow("not on a corner")    << "p1" << "I2" << 5 << 5 << 0 << C::IllegalPlacement << "Nieprawidłowy ruch: pierwszy klocek";
        QTest::addRow("off the board")      << "p1" << "I2" << 0 << 19 << 0 << C::IllegalPlacement << "Nieprawidłowy ruch: klocek wychodzi poza planszę";
        QTest::addRow("on a taken corner")  << "p1" << "I1" << 0 << 0 << 0 << C::IllegalPlacement << "Nieprawidłowy ruch: pole jest już zajęte";
        // clang-format on
    }

    void refusals()
    {
        QFETCH(QString, player);
        QFETCH(QString, piece);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, rotation);
        QFETCH(ActionError::Code, code);
        QFETCH(QString, message);

        GameState game = started(3);
        QVERIFY(placeMonomino(game, 0));
        // Red passes out of turn order is refused; let it pass in its own turn instead.
        QVERIFY(place(game, 1, 0, 0, 19, 0, 0));
        QVERIFY(pass(game, 2, 0));
        QVERIFY(place(game, 0, pieceIndex(u"I2"), 1, 1, 0, 0));
        QCOMPARE(game.currentPlayer, 1);
        // Yellow's monomino is at (0,19); make it a first move again for the corner rows.
        game.board.set(0, 19, Empty);
        game.players[1].pieces[MonominoIndex] = {};

        const GameState before = game;
        const auto result = place(game, player, piece, row, col, rotation, 0);
        QVERIFY(!result);
        QCOMPARE(result.error().code, code);
        QVERIFY2(result.error().message.startsWith(message), qPrintable(result.error().message));
        QCOMPARE(game, before);
    }

    void pieceCanBePlacedOnlyOnce()
    {
        GameState game = started(1);
        QVERIFY(placeMonomino(game, 0));
        QCOMPARE(game.currentPlayer, 0); // alone, so it is blue's turn again
        const auto again = place(game, 0, MonominoIndex, 1, 1, 0, 0);
        QCOMPARE(again.error().code, ActionError::Code::PieceAlreadyPlaced);
    }

    void passingPutsThePlayerOut()
    {
        GameState game = started(3);
        QVERIFY(pass(game, u"p0", 0));
        QVERIFY(game.players[0].hasPassed);
        QCOMPARE(game.currentPlayer, 1);
        QCOMPARE(game.consecutivePasses, 1);
        QCOMPARE(game.turnNumber, 2);

        const auto twice = pass(game, u"p0", 0);
        QCOMPARE(twice.error().code, ActionError::Code::AlreadyOut);
        QVERIFY(twice.error().message.startsWith(u"Już spasowałeś"));
        QCOMPARE(pass(game, u"p2", 0).error().message, u"Nie twoja tura"_s);

        QVERIFY(placeMonomino(game, 1));
        QCOMPARE(game.consecutivePasses, 0); // a placement resets the count
    }

    void turnsSkipPlayersWhoAreOut()
    {
        GameState game = started(4);
        QList<int> order;
        QVERIFY(placeMonomino(game, 0));
        QVERIFY(pass(game, 1, 0));
        order << game.currentPlayer; // red
        QVERIFY(placeMonomino(game, 2));
        order << game.currentPlayer; // green
        QVERIFY(pass(game, 3, 0));
        order << game.currentPlayer; // blue
        QVERIFY(place(game, 0, pieceIndex(u"I2"), 1, 1, 0, 0));
        order << game.currentPlayer; // red again: yellow and green are out
        QCOMPARE(order, (QList<int>{2, 3, 0, 2}));
        QCOMPARE(game.turnNumber, 6);
    }

    void playerWithoutMovesIsPutOut()
    {
        // Yellow has nothing left in hand: when its turn comes it is out and red plays.
        GameState game = started(4);
        for (auto &piece : game.players[1].pieces)
            piece.placed = true;
        QVERIFY(placeMonomino(game, 0));
        QVERIFY(game.players[1].hasPassed);
        QCOMPARE(game.currentPlayer, 2);
        QCOMPARE(game.consecutivePasses, 1);

        // Red takes the last free corner: green, without a cell yet, has nowhere to start.
        game.board.set(0, 19, Yellow);
        game.board.set(19, 0, Yellow);
        QVERIFY(placeMonomino(game, 2));
        QVERIFY(game.players[3].hasPassed);
        QCOMPARE(game.consecutivePasses, 1);
        QCOMPARE(game.currentPlayer, 0);
        QCOMPARE(game.status, GameStatus::InProgress);
    }

    void gameEndsWhenEveryoneIsOut()
    {
        GameState game = started(3);
        QVERIFY(placeMonomino(game, 0));
        QVERIFY(pass(game, 1, 0));
        QVERIFY(placeMonomino(game, 2));
        QVERIFY(place(game, 0, pieceIndex(u"I2"), 1, 1, 0, 0));
        QVERIFY(pass(game, 2, 0));
        QCOMPARE(game.status, GameStatus::InProgress);
        QVERIFY(pass(game, 0, 0));
        QCOMPARE(game.status, GameStatus::Finished);
        QCOMPARE(game.currentPlayer, -1);
        QCOMPARE(game.winner, 0); // blue 3 points, red 1, yellow 0
        QCOMPARE(pass(game, 0, 0).error().code, ActionError::Code::NotInProgress);
        QCOMPARE(place(game, 1, 1, 0, 19, 0, 0).error().message, u"Gra nie jest w toku"_s);
        QVERIFY(!clockDeadlineMs(game));
        QVERIFY(!timeRemainingSeconds(game, 0));
    }

    void gameWithNoMovesAtAllEndsAtStart()
    {
        GameState game = newGame();
        addPlayer(game, u"a"_s, u"A"_s).value();
        addPlayer(game, u"b"_s, u"B"_s).value();
        for (const auto &[r, c] : OwnCorner)
            game.board.set(r, c, Green);
        QVERIFY(startGame(game, 0));
        QCOMPARE(game.status, GameStatus::Finished);
        QVERIFY(game.players[0].hasPassed && game.players[1].hasPassed);
        QCOMPARE(game.winner, 0);
    }

    void scoreBonuses_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("expected");
        QTest::addRow("all 21, monomino last") << "I1" << 89 + 15 + 5;
        QTest::addRow("all 21, domino last") << "I2" << 89 + 15;
        QTest::addRow("all 21, pentomino last") << "X5" << 89 + 15;
    }

    // The bonuses through real placements: every piece but `last` is in place already.
    void scoreBonuses()
    {
        QFETCH(QString, last);
        QFETCH(int, expected);
        GameState game = almostDone(pieceIndex(last), {10, 10});
        QVERIFY(place(game, u"p0", last, 11, 11, 0, 0));
        QCOMPARE(game.players[0].score, expected);
        QCOMPARE(scoreOf(game.players[0]), expected);
    }

    void scoreWithoutBonus_data()
    {
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("expected");
        QStringList allButMonomino;
        for (int i = 1; i < PieceCount; ++i)
            allButMonomino << pieceCatalogue()[i].id;
        QTest::addRow("nothing") << QStringList{} << "" << 0;
        QTest::addRow("monomino only") << QStringList{"I1"} << "I1" << 1;
        QTest::addRow("three pieces") << QStringList{"I5", "O4", "V3"} << "V3" << 12;
        QTest::addRow("all but the monomino") << allButMonomino << "X5" << 88;
    }

    void scoreWithoutBonus()
    {
        QFETCH(QStringList, placed);
        QFETCH(QString, last);
        QFETCH(int, expected);
        Player p;
        for (const auto &id : placed)
            p.pieces[pieceIndex(id)].placed = true;
        if (!last.isEmpty())
            p.lastMove = Move{last, 0, 0, 0};
        QCOMPARE(scoreOf(p), expected);
    }

    void winnerAndPositions_data()
    {
        QTest::addColumn<QList<int>>("scores");
        QTest::addColumn<int>("winner");
        QTest::addColumn<QList<int>>("positions");
        QTest::addRow("clear winner") << QList<int>{10, 30, 20} << 1 << QList<int>{3, 1, 2};
        QTest::addRow("tie goes to the earlier seat")
            << QList<int>{30, 50, 50} << 1 << QList<int>{3, 1, 2};
        QTest::addRow("all equal") << QList<int>{7, 7, 7, 7} << 0 << QList<int>{1, 2, 3, 4};
        QTest::addRow("tie behind the winner")
            << QList<int>{9, 4, 9, 4} << 0 << QList<int>{1, 3, 2, 4};
    }

    void winnerAndPositions()
    {
        QFETCH(QList<int>, scores);
        QFETCH(int, winner);
        QFETCH(QList<int>, positions);
        GameState game = started(int(scores.size()));
        for (int i = 0; i < scores.size(); ++i)
            game.players[i].score = scores[i];
        for (int i = 0; i < scores.size(); ++i)
            QVERIFY(pass(game, i, 0));
        QCOMPARE(game.status, GameStatus::Finished);
        QCOMPARE(game.winner, winner);
        for (int i = 0; i < scores.size(); ++i)
            QCOMPARE(positionOf(game, i), positions[i]);
    }

    void clocks()
    {
        // 60 s each; blue spends 10 s, yellow 59 s, then blue lets its remaining 50 s run out.
        GameState game = started(2, 60, 1000);
        QCOMPARE(timeRemainingSeconds(game, 1000), std::optional(60));
        QCOMPARE(timeRemainingSeconds(game, 1001), std::optional(60)); // rounded up
        QCOMPARE(clockDeadlineMs(game), std::optional<qint64>(61'000));
        QVERIFY(!tick(game, 60'999));

        QVERIFY(placeMonomino(game, 0, 11'000));
        QCOMPARE(game.players[0].clockMs, 50'000);
        QCOMPARE(remainingClockMs(game, 0, 30'000), 50'000); // not running off-turn
        QCOMPARE(timeRemainingSeconds(game, 11'000), std::optional(60));

        QVERIFY(placeMonomino(game, 1, 70'000));
        QCOMPARE(game.players[1].clockMs, 1000);
        QCOMPARE(clockDeadlineMs(game), std::optional<qint64>(120'000));
        QCOMPARE(timeRemainingSeconds(game, 119'500), std::optional(1));

        // Blue's clock runs out at 120 s; acting later is refused and yellow's clock started then.
        const auto late = place(game, 0, pieceIndex(u"I2"), 1, 1, 0, 120'500);
        QCOMPARE(late.error().code, ActionError::Code::AlreadyOut);
        QVERIFY(game.players[0].hasPassed);
        QCOMPARE(game.players[0].clockMs, 0);
        QCOMPARE(game.currentPlayer, 1);
        QCOMPARE(game.turnStartedMs, 120'000);
        QCOMPARE(timeRemainingSeconds(game, 120'500), std::optional(1));

        // One late tick settles every expiry in order and ends the game.
        QVERIFY(tick(game, 500'000));
        QCOMPARE(game.status, GameStatus::Finished);
        QVERIFY(game.players[1].hasPassed);
        QCOMPARE(game.players[1].clockMs, 0);
        QCOMPARE(game.winner, 0); // 1 point each: the earlier seat wins
        QVERIFY(!tick(game, 600'000));
    }

    void clockExpiryWithoutActions_data()
    {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("out");
        QTest::addRow("before the first deadline") << qint64(29'999) << 0 << 0;
        QTest::addRow("at the first deadline") << qint64(30'000) << 1 << 1;
        QTest::addRow("between deadlines") << qint64(59'999) << 1 << 1;
        QTest::addRow("second deadline") << qint64(60'000) << 2 << 2;
        QTest::addRow("all three") << qint64(90'000) << -1 << 3;
    }

    void clockExpiryWithoutActions()
    {
        QFETCH(qint64, now);
        QFETCH(int, current);
        QFETCH(int, out);
        GameState game = started(3, 30, 0);
        tick(game, now);
        QCOMPARE(game.currentPlayer, current);
        int outCount = 0;
        for (const auto &p : game.players)
            outCount += p.hasPassed;
        QCOMPARE(outCount, out);
        QCOMPARE(game.status, out == 3 ? GameStatus::Finished : GameStatus::InProgress);
    }

    void noClockWithoutTimeLimit()
    {
        GameState game = started(2);
        QVERIFY(!tick(game, 1'000'000'000));
        QVERIFY(!clockDeadlineMs(game));
        QVERIFY(!timeRemainingSeconds(game, 0));
        QVERIFY(placeMonomino(game, 0, 1'000'000'000));
    }

    void legalMovesOfTheGame()
    {
        GameState game = started(2);
        QVERIFY(hasLegalMove(game, 0));
        const auto moves = legalMoves(game, 0);
        QVERIFY(!moves.empty());
        for (const auto &m : moves) {
            GameState copy = game;
            QVERIFY(place(copy, 0, m.piece, m.row, m.col, m.rotation, 0));
        }
    }
};

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
