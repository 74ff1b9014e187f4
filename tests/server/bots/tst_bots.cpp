// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Bots play whole games with legal moves only and replay exactly for a seed.
#include "bots/bot.h"

#include <QTest>

using korvana::GameStatus;
using namespace korvana::rules;
using namespace korvana::bots;
using namespace Qt::StringLiterals;

namespace {

Game botsSeated(int players)
{
    Game game = newGame();
    for (int i = 0; i < players; ++i)
        addPlayer(game, u"bot%1"_s.arg(i), u"Bot %1"_s.arg(i), true).value();
    startGame(game, 0).value();
    return game;
}

// The moves of a game of bots only (none for a pass) and how it ended.
std::pair<QList<std::optional<LegalMove>>, Game> playBots(int players, std::uint64_t seed)
{
    Game game = botsSeated(players);
    QList<std::optional<LegalMove>> moves;
    // Every turn places one of at most 84 pieces or puts a player out.
    while (game.status == GameStatus::InProgress && moves.size() < 4 * (PieceCount + 1)) {
        const Game before = game;
        const auto move = playTurn(game, seed, 0).value();
        const PlayerState &p = before.players[before.currentPlayer];
        // A placement passes the client's own check; a pass means there was nothing to place.
        if (move ? p.pieces[move->piece].placed ||
                       !isPlacementValid(before.board, pieceCatalogue()[move->piece].squares,
                                         move->rotation, move->row, move->col, p.color)
                 : hasLegalMove(before, before.currentPlayer))
            qFatal("bot made an illegal move or passed with a legal one");
        moves << move;
    }
    return {moves, game};
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
        QTest::addRow("two bots") << 2 << quint64(8);
    }

    void botsFinishAGame()
    {
        QFETCH(int, players);
        QFETCH(quint64, seed);
        const Game game = playBots(players, seed).second;
        QCOMPARE(game.status, GameStatus::Finished);
        for (const PlayerState &p : game.players) {
            // The board holds exactly the squares the player is scored for.
            int squares = 0;
            for (int k = 0; k < PieceCount; ++k)
                squares += p.pieces[k].placed ? pieceCatalogue()[k].size() : 0;
            QCOMPARE(cellsOf(game.board, p.color).count(), squares);
            QVERIFY(squares >= 30); // a bot that plays at all places a fair share
        }
    }

    void botsOpenInTheirOwnCorner()
    {
        // Where the board glows for each colour: blue, yellow, red, green.
        const QList<SquareOffset> corners{{0, 0}, {0, 19}, {19, 19}, {19, 0}};
        for (const std::uint64_t seed : {1, 2, 3}) {
            Game game = botsSeated(4);
            for (int seat = 0; seat < 4; ++seat) {
                QVERIFY(playTurn(game, seed, 0).value());
                QCOMPARE(game.board.at(corners[seat].row, corners[seat].col), seat + 1);
            }
        }
        // A corner someone else took sends the bot to another free one.
        Game game = botsSeated(2);
        game.board.set(0, 0, Green);
        QVERIFY(playTurn(game, 1, 0).value());
        QVERIFY(cellsOf(game.board, Blue).any());
    }

    void sameSeedReplaysTheSameGame()
    {
        const auto first = playBots(4, 42);
        QCOMPARE(playBots(4, 42), first);
        QVERIFY(playBots(4, 43).first != first.first);
    }
};

QTEST_GUILESS_MAIN(TestBots)
#include "tst_bots.moc"
