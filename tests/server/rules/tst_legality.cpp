// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The piece catalogue, the rotation rule and placement legality: the server must agree exactly
// with the client's preview check, and the fast bit-board scan must agree with that check.
#include "rules/legality.h"

#include <QTest>

#include <random>
#include <set>

using namespace korvana::rules;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::vector<SquareOffset>)

namespace {

// "b0,0 y1,2": cells of blue at (0, 0) and yellow at (1, 2).
CellGrid boardOf(const QString &cells)
{
    CellGrid board;
    for (const auto &cell : cells.split(u' ', Qt::SkipEmptyParts)) {
        const auto rc = cell.mid(1).split(u',');
        board.set(rc[0].toInt(), rc[1].toInt(), u"-byrg"_s.indexOf(cell.front()));
    }
    return board;
}

// The smallest image under rotation and reflection, moved to the origin: equal for congruent
// shapes.
std::vector<SquareOffset> canonical(std::vector<SquareOffset> squares)
{
    std::vector<SquareOffset> best;
    for (int image = 0; image < 8; ++image) {
        auto s = rotatedSquares(squares, image % 4 * 90);
        if (image >= 4)
            for (auto &q : s)
                q.col = -q.col;
        std::ranges::sort(s);
        const SquareOffset first = s.front();
        for (auto &q : s)
            q = {q.row - first.row, q.col - first.col};
        if (best.empty() || s < best)
            best = s;
    }
    return best;
}

// A board reached by legal play: every colour places random legal pieces in turn.
CellGrid playedBoard(std::mt19937_64 &rng, int rounds)
{
    CellGrid board;
    std::array<PieceSet, 4> hands;
    for (auto &h : hands)
        h.fill(true);
    for (int round = 0; round < rounds; ++round) {
        for (int color = Blue; color <= Green; ++color) {
            const auto moves = legalMoves(board, color, hands[color - 1]);
            if (moves.empty())
                continue;
            const auto &m = moves[rng() % moves.size()];
            for (const auto &[dr, dc] : orientedSquares(m.piece, rotationIndex(m.rotation)))
                board.set(m.row + dr, m.col + dc, color);
            hands[color - 1][m.piece] = false;
        }
    }
    return board;
}

} // namespace

class TestLegality : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogueIsTheFreePolyominoesUpToFive()
    {
        // Distinct shapes, as many of each size as there are free polyominoes, each square
        // beside another (no stray square from a typo), the anchor first.
        std::array<int, 6> bySize{};
        std::set<std::vector<SquareOffset>> shapes;
        for (const auto &p : pieceCatalogue()) {
            QVERIFY2(shapes.insert(canonical(p.squares)).second, qPrintable(p.id));
            ++bySize[p.size()];
            QCOMPARE(p.squares.front(), (SquareOffset{0, 0}));
            for (const auto &[r, c] : p.squares)
                QVERIFY(p.size() == 1 || std::ranges::any_of(p.squares, [&](const SquareOffset &o) {
                            return std::abs(o.row - r) + std::abs(o.col - c) == 1;
                        }));
        }
        QCOMPARE(bySize, (std::array<int, 6>{0, 1, 1, 2, 5, 12}));
    }

    void rotatedSquares_data()
    {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<std::vector<SquareOffset>>("expected");
        // The L tromino [0,0], [0,1], [1,0]; [0,1] turns to [-1,0] at 90, as on the client.
        QTest::addRow("0") << 0 << std::vector<SquareOffset>{{0, 0}, {0, 1}, {1, 0}};
        QTest::addRow("90") << 90 << std::vector<SquareOffset>{{0, 0}, {-1, 0}, {0, 1}};
        QTest::addRow("270") << 270 << std::vector<SquareOffset>{{0, 0}, {1, 0}, {0, -1}};
        QTest::addRow("-90 is 270") << -90 << std::vector<SquareOffset>{{0, 0}, {1, 0}, {0, -1}};
        QTest::addRow("45 unchanged") << 45 << std::vector<SquareOffset>{{0, 0}, {0, 1}, {1, 0}};
    }

    void rotatedSquares()
    {
        QFETCH(int, rotation);
        QFETCH(std::vector<SquareOffset>, expected);
        const std::vector<SquareOffset> tromino{{0, 0}, {0, 1}, {1, 0}};
        QCOMPARE(korvana::rules::rotatedSquares(tromino, rotation), expected);
    }

    void checkPlacement_data()
    {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("me");
        QTest::addColumn<PlacementVerdict>("expected");
        using V = PlacementVerdict;
        // clang-format off
        // First piece: any free board corner, not necessarily the player's own.
        QTest::addRow("first, another square on it") << "" << "I5" << 0 << 0 << 15 << 1 << V::Valid;
        QTest::addRow("first in the middle")        << "" << "I1" << 0 << 5 << 5 << 3 << V::NotOnCorner;
        QTest::addRow("first along the edge")       << "" << "I2" << 0 << 0 << 1 << 1 << V::NotOnCorner;
        QTest::addRow("first on a taken corner")    << "y0,0" << "I1" << 0 << 0 << 0 << 1 << V::Occupied;
        // Off the board, whichever square leaves it.
        QTest::addRow("bar past column 19")         << "" << "I2" << 0 << 0 << 19 << 1 << V::OffBoard;
        QTest::addRow("square turned to row -1")    << "" << "I2" << 90 << 0 << 0 << 1 << V::OffBoard;
        // Later pieces: corner contact with own colour, no side contact.
        QTest::addRow("own colour at a corner")     << "b0,0" << "I1" << 0 << 1 << 1 << 1 << V::Valid;
        QTest::addRow("own colour along a side")    << "b0,0" << "I1" << 0 << 0 << 1 << 1 << V::SideContact;
        QTest::addRow("side contact, not anchor")   << "b5,5" << "L4" << 0 << 4 << 6 << 1 << V::SideContact;
        QTest::addRow("another colour's corner")    << "y0,0 b19,19" << "I1" << 0 << 1 << 1 << 1 << V::NoCornerContact;
        QTest::addRow("others' sides do not matter") << "b0,0 y1,2 r2,1" << "I1" << 0 << 1 << 1 << 1 << V::Valid;
        QTest::addRow("free corner after the first") << "b10,10" << "I1" << 0 << 0 << 0 << 1 << V::NoCornerContact;
        // Each rotation turns about the anchor: V3 fits each corner only one way round.
        QTest::addRow("V3 90 at bottom-left")       << "" << "V3" << 90 << 19 << 0 << 1 << V::Valid;
        QTest::addRow("V3 270 at top-right")        << "" << "V3" << 270 << 0 << 19 << 1 << V::Valid;
        QTest::addRow("L4 270 about the anchor")    << "b8,13" << "L4" << 270 << 10 << 10 << 1 << V::NoCornerContact;
        QTest::addRow("L4 90 about the anchor")     << "b8,13" << "L4" << 90 << 10 << 10 << 1 << V::Valid;
        // clang-format on
    }

    void checkPlacement()
    {
        QFETCH(QString, cells);
        QFETCH(QString, piece);
        QFETCH(int, rotation);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, me);
        QFETCH(PlacementVerdict, expected);
        const CellGrid board = boardOf(cells);
        const int p = pieceIndex(piece);
        const auto &squares = pieceCatalogue()[p].squares;
        QCOMPARE(korvana::rules::checkPlacement(board, squares, rotation, row, col, me), expected);
        // The fast scan agrees.
        const int k = rotationIndex(((rotation % 360) + 360) % 360);
        QCOMPARE(validAnchors(board, me, p, k).test(row, col), expected == PlacementVerdict::Valid);
    }

    void fastScanAgreesWithClientCheck_data()
    {
        QTest::addColumn<int>("rounds");
        QTest::addRow("empty board") << 0;
        QTest::addRow("after one round") << 1;
        QTest::addRow("middle game") << 9;
        QTest::addRow("full game") << 21;
    }

    // Every piece, rotation, colour and anchor (also off the board): the bit-board scan and the
    // client's square-by-square check give the same answer.
    void fastScanAgreesWithClientCheck()
    {
        QFETCH(int, rounds);
        std::mt19937_64 rng(rounds);
        const CellGrid board = playedBoard(rng, rounds);
        PieceSet all;
        all.fill(true);
        for (int me = Blue; me <= Green; ++me) {
            bool anyValid = false;
            for (int p = 0; p < PieceCount; ++p) {
                for (int k = 0; k < RotationCount; ++k) {
                    const BitBoard fast = validAnchors(board, me, p, k);
                    for (int r = -3; r < BoardSize + 3; ++r) {
                        for (int c = -3; c < BoardSize + 3; ++c) {
                            const bool slow = isPlacementValid(board, pieceCatalogue()[p].squares,
                                                               Rotations[k], r, c, me);
                            anyValid = anyValid || slow;
                            if (fast.test(r, c) != slow)
                                QFAIL(qPrintable(
                                    u"colour %1 piece %2 rotation %3 at (%4, %5)"_s.arg(me)
                                        .arg(pieceCatalogue()[p].id)
                                        .arg(Rotations[k])
                                        .arg(r)
                                        .arg(c)));
                        }
                    }
                }
            }
            QCOMPARE(hasLegalMove(board, me, all), anyValid);
            QCOMPARE(legalMoves(board, me, all, true).empty(), !anyValid);
        }
    }
};

QTEST_GUILESS_MAIN(TestLegality)
#include "tst_legality.moc"
