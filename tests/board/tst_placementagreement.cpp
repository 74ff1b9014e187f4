// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardrules.h"

#include "bots/bot.h"
#include "rules/game.h"
#include "rules/legality.h"

#include <QTest>

#include <random>

using namespace korvana;

namespace {

Board clientBoard(const rules::CellGrid &board)
{
    Board result(rules::BoardSize, QList<qint64>(rules::BoardSize, 0));
    for (int r = 0; r < rules::BoardSize; ++r) {
        for (int c = 0; c < rules::BoardSize; ++c)
            result[r][c] = board.at(r, c);
    }
    return result;
}

Squares clientSquares(const std::vector<rules::SquareOffset> &squares)
{
    Squares result;
    for (const auto &[r, c] : squares)
        result.append(Square{r, c});
    return result;
}

// The colour name a client would hold for colour number `me`; "" for 0 (no colour).
QString colorNameOf(int me)
{
    return me == 0 ? QString() : rules::colorName(me).toUpper();
}

} // namespace

// The client's preview and the server's legality must never disagree: a green ghost the server
// refuses, or a red one over a legal move, would mislead the player.
class TestPlacementAgreement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void agreesOnPositionsReachedByLegalPlay_data();
    void agreesOnPositionsReachedByLegalPlay();
};

namespace {

// The first disagreement for colour `me` on this board, or empty: for every piece and rotation
// the client's whole-board scan against the server's anchors, and with `eachCell` also the
// single check the drag preview makes, cell by cell.
QString firstDisagreement(const rules::CellGrid &serverBoard, int me, bool eachCell)
{
    const Board board = clientBoard(serverBoard);
    const QString colorName = colorNameOf(me);
    for (int piece = 0; piece < rules::PieceCount; ++piece) {
        const Squares client = clientSquares(rules::pieceCatalogue()[std::size_t(piece)].squares);
        for (int r = 0; r < rules::RotationCount; ++r) {
            const int rotation = rules::Rotations[std::size_t(r)];
            const QString what = QStringLiteral("%1 at %2 deg, colour '%3'")
                                     .arg(rules::pieceCatalogue()[std::size_t(piece)].id)
                                     .arg(rotation)
                                     .arg(colorName);
            const rules::BitBoard server = rules::validAnchors(serverBoard, me, piece, r);
            rules::BitBoard scan;
            for (const auto &[row, col] : board::validCells(client, rotation, board, colorName))
                scan.set(row, col);
            if (scan != server)
                return QStringLiteral("all cells of ") + what;
            for (int row = 0; eachCell && row < rules::BoardSize; ++row) {
                for (int col = 0; col < rules::BoardSize; ++col) {
                    if (board::isPlacementValid(client, rotation, row, col, board, colorName) !=
                        server.test(row, col))
                        return QStringLiteral("%1, cell (%2,%3)").arg(what).arg(row).arg(col);
                }
            }
        }
    }
    return {};
}

} // namespace

void TestPlacementAgreement::agreesOnPositionsReachedByLegalPlay_data()
{
    QTest::addColumn<int>("players");
    QTest::addColumn<int>("positions");
    QTest::addColumn<quint64>("seed");

    QTest::addRow("2 players") << 2 << 800 << quint64(11);
    QTest::addRow("3 players") << 3 << 800 << quint64(23);
    QTest::addRow("4 players") << 4 << 1200 << quint64(37);
}

void TestPlacementAgreement::agreesOnPositionsReachedByLegalPlay()
{
    QFETCH(int, players);
    QFETCH(int, positions);
    QFETCH(quint64, seed);
    constexpr int CellByCellEvery = 40;

    std::mt19937_64 random(seed);
    int checked = 0;
    int placements = 0;
    for (int game = 0; checked < positions; ++game) {
        rules::Game state = rules::newGame();
        for (int p = 0; p < players; ++p) {
            QVERIFY(
                rules::addPlayer(state, QStringLiteral("p%1").arg(p), QStringLiteral("Bot"), true));
        }
        QVERIFY(rules::startGame(state, 0));

        while (state.status == GameStatus::InProgress && checked < positions) {
            // Each colour in turn, seated or not; now and then no colour at all, cell by cell.
            const int me = checked % rules::MaxPlayers + 1;
            QString failure = firstDisagreement(state.board, me, false);
            if (failure.isEmpty() && checked % CellByCellEvery == 0)
                failure = firstDisagreement(state.board, (checked / CellByCellEvery) % 5, true);
            QVERIFY2(failure.isEmpty(), qPrintable(QStringLiteral("game %1, turn %2: %3")
                                                       .arg(game)
                                                       .arg(state.turnNumber)
                                                       .arg(failure)));
            ++checked;

            // Mostly the bot's choice, sometimes any legal move, so odd shapes appear too.
            const int player = state.currentPlayer;
            const auto moves = rules::legalMoves(state, player);
            if (moves.empty()) {
                QVERIFY(rules::pass(state, player, 0));
            } else if (random() % 3 == 0) {
                const auto move = moves[random() % moves.size()];
                QVERIFY(
                    rules::place(state, player, move.piece, move.row, move.col, move.rotation, 0));
                ++placements;
            } else {
                QVERIFY(bots::playTurn(state, seed + std::uint64_t(game), 0));
                ++placements;
            }
        }
    }
    QCOMPARE(checked, positions);
    QVERIFY(placements > positions / 2);
}

QTEST_GUILESS_MAIN(TestPlacementAgreement)
#include "tst_placementagreement.moc"
