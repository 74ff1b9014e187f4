// Bots play whole games legally, in bounded time, and replay exactly for a seed.
#include "bots/bot.h"

#include <QElapsedTimer>
#include <QTest>

using namespace korvana::rules;
using namespace korvana::bots;
using namespace Qt::StringLiterals;

namespace {

struct Played
{
    GameState game;
    QList<std::optional<LegalMove>> moves; // none for a pass
    qint64 slowestMoveNs = 0;
};

Played playBots(int players, std::uint64_t seed, int timeLimit = 0)
{
    Played out;
    out.game = newGame(timeLimit);
    for (int i = 0; i < players; ++i)
        addPlayer(out.game, u"bot%1"_s.arg(i), u"Bot %1"_s.arg(i), true).value();
    startGame(out.game, 0).value();
    qint64 now = 0;
    // Every action puts a player out or places one of at most 84 pieces.
    for (int step = 0; step < 4 * (PieceCount + 1) && out.game.status == GameStatus::InProgress;
         ++step) {
        const GameState before = out.game;
        const int player = before.currentPlayer;
        QElapsedTimer timer;
        timer.start();
        const auto chosen = chooseMove(before, player, seed);
        out.slowestMoveNs = std::max(out.slowestMoveNs, timer.nsecsElapsed());
        if (chosen) {
            // The move a bot chooses passes the client's own check.
            const Player &p = before.players[player];
            if (p.pieces[chosen->piece].placed ||
                !isPlacementValid(before.board, pieceCatalogue()[chosen->piece].squares,
                                  chosen->rotation, chosen->row, chosen->col, p.color))
                qFatal("bot chose an illegal move");
        } else if (hasLegalMove(before, player)) {
            qFatal("bot passed with a legal move");
        }
        now += 100;
        const auto played = playTurn(out.game, seed, now);
        if (!played || *played != chosen)
            qFatal("playTurn differs from chooseMove");
        out.moves << chosen;
    }
    return out;
}

} // namespace

class TestBots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void botsFinishAGame_data()
    {
        QTest::addColumn<int>("players");
        QTest::addColumn<quint64>("seed");
        QTest::addRow("four bots, seed 1") << 4 << quint64(1);
        QTest::addRow("four bots, seed 2") << 4 << quint64(2);
        QTest::addRow("four bots, seed 0xC0FFEE") << 4 << quint64(0xC0FFEE);
        QTest::addRow("three bots") << 3 << quint64(7);
        QTest::addRow("two bots") << 2 << quint64(8);
        QTest::addRow("one bot") << 1 << quint64(9);
    }

    void botsFinishAGame()
    {
        QFETCH(int, players);
        QFETCH(quint64, seed);
        QElapsedTimer timer;
        timer.start();
        const Played played = playBots(players, seed);
        const GameState &game = played.game;

        QCOMPARE(game.status, GameStatus::Finished);
        QVERIFY(timer.elapsed() < 20'000);
        QVERIFY2(played.slowestMoveNs < 2'000'000'000,
                 qPrintable(u"slowest move %1 ms"_s.arg(played.slowestMoveNs / 1e6)));

        int best = -1;
        for (int i = 0; i < players; ++i) {
            const Player &p = game.players[i];
            QVERIFY(p.hasPassed);
            // The board holds exactly the squares the player is scored for.
            int squares = 0;
            for (int k = 0; k < PieceCount; ++k)
                if (p.pieces[k].placed)
                    squares += pieceCatalogue()[k].size();
            QCOMPARE(cellsOf(game.board, p.color).count(), squares);
            QCOMPARE(p.score, scoreOf(p));
            QVERIFY(squares >= 30); // a bot that plays at all places a fair share
            if (best < 0 || p.score > game.players[best].score)
                best = i;
        }
        QCOMPARE(game.winner, best);
    }

    void sameSeedReplaysTheSameGame()
    {
        const Played first = playBots(4, 42);
        const Played second = playBots(4, 42);
        QCOMPARE(first.moves, second.moves);
        QCOMPARE(first.game, second.game);

        // Other seeds give other games (the noise only breaks near-ties, but there are many).
        int differing = 0;
        for (std::uint64_t seed : {43, 44, 45})
            differing += playBots(4, seed).moves != first.moves;
        QVERIFY(differing >= 2);
    }

    void choiceDependsOnlyOnStateAndSeed()
    {
        // The same position reached twice, with a different history of choices in between,
        // gives the same move: no hidden RNG state carries over.
        GameState game = newGame();
        addPlayer(game, u"a"_s, u"A"_s, true).value();
        addPlayer(game, u"b"_s, u"B"_s, true).value();
        startGame(game, 0).value();
        const auto first = chooseMove(game, 0, 5);
        for (std::uint64_t s = 0; s < 20; ++s)
            (void)chooseMove(game, 0, s);
        QCOMPARE(chooseMove(game, 0, 5), first);
    }

    void opensWithABigPieceInACorner()
    {
        GameState game = newGame();
        addPlayer(game, u"a"_s, u"A"_s, true).value();
        startGame(game, 0).value();
        const auto move = chooseMove(game, 0, 3);
        QVERIFY(move);
        QCOMPARE(pieceCatalogue()[move->piece].size(), 5);
    }

    void passesWithoutALegalMove()
    {
        GameState game = newGame();
        addPlayer(game, u"a"_s, u"A"_s, true).value();
        addPlayer(game, u"b"_s, u"B"_s, true).value();
        startGame(game, 0).value();
        QVERIFY(place(game, 0, MonominoIndex, 0, 0, 0, 0));
        // Yellow's only possible corners are now taken by a colour not in the game.
        for (const auto &[r, c] : {Square{0, 19}, Square{19, 0}, Square{19, 19}})
            game.board.set(r, c, Green);
        QVERIFY(!chooseMove(game, 1, 1));
        const auto played = playTurn(game, 1, 0);
        QVERIFY(played);
        QVERIFY(!played->has_value());
        QVERIFY(game.players[1].hasPassed);
        QCOMPARE(game.currentPlayer, 0);
    }

    void botWithARunningClock()
    {
        // With a clock, bots move within it and the game still ends normally.
        const Played played = playBots(4, 11, 600);
        QCOMPARE(played.game.status, GameStatus::Finished);
        for (const auto &p : played.game.players)
            QVERIFY(p.clockMs > 0);
    }
};

QTEST_GUILESS_MAIN(TestBots)
#include "tst_bots.moc"
