// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game engine: seats, turns, passing, being out, the end, scores, the winner and the clocks.
#include "rules/game.h"

#include <QTest>

using korvana::GameStatus;
using namespace korvana::rules;
using namespace Qt::StringLiterals;

namespace {

Game started(int players, int timeLimit = 0, qint64 nowMs = 0)
{
    Game game = newGame(timeLimit);
    for (int i = 0; i < players; ++i)
        addPlayer(game, u"p%1"_s.arg(i), u"Gracz %1"_s.arg(i)).value();
    startGame(game, nowMs).value();
    return game;
}

// The monomino in the seat's own corner: a legal first move in every test.
Result<> placeMonomino(Game &game, int player, qint64 nowMs = 0)
{
    const auto [row, col] = homeCorner(player + 1);
    return place(game, player, MonominoIndex, row, col, 0, nowMs);
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusals_data()
    {
        QTest::addColumn<QString>("player");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<ActionError::Code>("code");
        using C = ActionError::Code;
        // Blue (p0) has placed I1 at (0,0); it is yellow's (p1) turn; red (p2) is out.
        // clang-format off
        QTest::addRow("not your turn")      << "p0" << "I2" << 1 << 1 << 0 << C::NotYourTurn;
        QTest::addRow("player already out") << "p2" << "I2" << 0 << 19 << 0 << C::AlreadyOut;
        QTest::addRow("unknown piece")      << "p1" << "Q9" << 0 << 19 << 0 << C::UnknownPiece;
        QTest::addRow("rotation 45")        << "p1" << "I2" << 0 << 18 << 45 << C::IllegalPlacement;
        QTest::addRow("not on a corner")    << "p1" << "I2" << 5 << 5 << 0 << C::IllegalPlacement;
        QTest::addRow("piece placed before") << "p1" << "I1" << 0 << 19 << 0 << C::PieceAlreadyPlaced;
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
        Game game = started(3);
        game.players[2].hasPassed = true;
        game.players[1].pieces[MonominoIndex].placed = true;
        QVERIFY(placeMonomino(game, 0));
        const Game before = game;
        const auto result = place(game, player, piece, row, col, rotation, 0);
        QCOMPARE(result.error().code, code);
        QVERIFY(!result.error().message.isEmpty());
        QCOMPARE(game, before);
    }

    void aPassSkipsOneTurn()
    {
        Game game = started(3);
        QVERIFY(placeMonomino(game, 0));
        QVERIFY(pass(game, 1, 0));
        QVERIFY(pass(game, 2, 0));
        QCOMPARE(game.consecutivePasses, 2);
        QCOMPARE(pass(game, 2, 0).error().code, ActionError::Code::NotYourTurn);
        QVERIFY(place(game, 0, pieceIndex(u"I2"), 1, 1, 0, 0));
        QCOMPARE(game.consecutivePasses, 0);
        QCOMPARE(game.currentPlayer, 1); // yellow plays on after its pass
        QVERIFY(!game.players[1].hasPassed);
        // Everyone still in passes in a row: the end.
        for (const int player : {1, 2, 0})
            QVERIFY(pass(game, player, 0));
        QCOMPARE(game.status, GameStatus::Finished);
        QCOMPARE(game.winner, 0);
        QCOMPARE(pass(game, 0, 0).error().code, ActionError::Code::NotInProgress);
    }

    void aPlayerWithoutMovesIsOut()
    {
        // Yellow has nothing left in hand: when its turn comes it is out, and no pass counts.
        Game game = started(3);
        for (auto &piece : game.players[1].pieces)
            piece.placed = true;
        QVERIFY(placeMonomino(game, 0));
        QVERIFY(game.players[1].hasPassed);
        QCOMPARE(game.currentPlayer, 2);
        QCOMPARE(game.consecutivePasses, 0);
        // The two still in pass in a row: the end.
        QVERIFY(pass(game, 2, 0));
        QCOMPARE(game.status, GameStatus::InProgress);
        QVERIFY(pass(game, 0, 0));
        QCOMPARE(game.status, GameStatus::Finished);

        // Nobody can start anywhere: the game ends as it starts.
        Game blocked = newGame();
        addPlayer(blocked, u"a"_s, u"A"_s).value();
        for (const int color : {Blue, Yellow, Red, Green})
            blocked.board.set(homeCorner(color).row, homeCorner(color).col, Green);
        QVERIFY(startGame(blocked, 0));
        QCOMPARE(blocked.status, GameStatus::Finished);
    }

    void scoresAndTheWinner()
    {
        // Every piece but the last is in place; the last goes on the board for real.
        for (const auto &[last, expected] : {std::pair(u"I1"_s, 89 + 15 + 5), {u"X5"_s, 89 + 15}}) {
            Game game = started(2);
            for (int p = 0; p < PieceCount; ++p)
                game.players[0].pieces[p].placed = p != pieceIndex(last);
            game.board.set(10, 10, Blue);
            QVERIFY(place(game, u"p0", last, 11, 11, 0, 0));
            QCOMPARE(game.players[0].score, expected);
        }
        // Ties go to the earlier seat, in the winner and in the positions.
        Game game = started(3);
        for (int i = 0; i < 3; ++i)
            game.players[i].score = QList{30, 50, 50}[i];
        for (int i = 0; i < 3; ++i)
            QVERIFY(pass(game, i, 0));
        QCOMPARE(game.winner, 1);
        QCOMPARE(QList<int>({positionOf(game, 0), positionOf(game, 1), positionOf(game, 2)}),
                 QList<int>({3, 1, 2}));
    }

    void clocks()
    {
        // 60 s each; blue spends 10 s, yellow 59 s, then blue lets its remaining 50 s run out.
        Game game = started(2, 60, 1000);
        QCOMPARE(timeRemainingSeconds(game, 1001), std::optional(60)); // rounded up
        QVERIFY(!tick(game, 60'999));
        QVERIFY(placeMonomino(game, 0, 11'000));
        QCOMPARE(remainingClockMs(game, 0, 30'000), 50'000); // not running off-turn
        QVERIFY(placeMonomino(game, 1, 70'000));
        QCOMPARE(clockDeadlineMs(game), std::optional<qint64>(120'000));

        // Blue's clock runs out at 120 s; acting later is refused and yellow's clock started then.
        const auto late = place(game, 0, pieceIndex(u"I2"), 1, 1, 0, 120'500);
        QCOMPARE(late.error().code, ActionError::Code::AlreadyOut);
        QCOMPARE(game.currentPlayer, 1);
        QCOMPARE(game.turnStartedMs, 120'000);
        QCOMPARE(timeRemainingSeconds(game, 120'500), std::optional(1));

        // One late tick settles every expiry in order and ends the game.
        QVERIFY(tick(game, 500'000));
        QCOMPARE(game.status, GameStatus::Finished);
        QCOMPARE(game.players[1].clockMs, 0);
        QVERIFY(!tick(game, 600'000));
    }
};

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
