// Placement legality: the server must agree exactly with the client's preview check, and the
// fast bit-board scan must agree with that check.
#include "rules/legality.h"

#include <QTest>

#include <random>

using namespace korvana::rules;
using namespace Qt::StringLiterals;

namespace {

// "b0,0 y1,2": cells of blue at (0, 0) and yellow at (1, 2).
Board boardOf(const QString &cells)
{
    Board board;
    for (const auto &cell : cells.split(u' ', Qt::SkipEmptyParts)) {
        const int color = QStringLiteral("-byrg").indexOf(cell.front());
        const auto rc = cell.mid(1).split(u',');
        board.set(rc[0].toInt(), rc[1].toInt(), color);
    }
    return board;
}

Board randomBoard(std::mt19937_64 &rng, double density)
{
    Board board;
    std::bernoulli_distribution filled(density);
    std::uniform_int_distribution<int> color(Blue, Green);
    for (auto &cell : board.cells)
        cell = std::uint8_t(filled(rng) ? color(rng) : Empty);
    return board;
}

// A board reached by legal play: every colour places random legal pieces in turn.
Board playedBoard(std::mt19937_64 &rng, int rounds)
{
    Board board;
    std::array<PieceSet, 4> hands;
    for (auto &h : hands)
        h.fill(true);
    for (int round = 0; round < rounds; ++round) {
        for (int color = Blue; color <= Green; ++color) {
            const auto moves = legalMoves(board, color, hands[color - 1]);
            if (moves.empty())
                continue;
            const auto &m =
                moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(rng)];
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
        QTest::addRow("first on top-left")        << "" << "I1" << 0 << 0 << 0 << 1 << V::Valid;
        QTest::addRow("first on top-right")       << "" << "I1" << 0 << 0 << 19 << 3 << V::Valid;
        QTest::addRow("first on bottom-left")     << "" << "I1" << 0 << 19 << 0 << 2 << V::Valid;
        QTest::addRow("first on bottom-right")    << "" << "I1" << 0 << 19 << 19 << 4 << V::Valid;
        QTest::addRow("first covers a corner with another square")
                                                  << "" << "I5" << 0 << 0 << 15 << 1 << V::Valid;
        QTest::addRow("first in the middle")      << "" << "I1" << 0 << 5 << 5 << 3 << V::NotOnCorner;
        QTest::addRow("first along the edge")     << "" << "I2" << 0 << 0 << 1 << 1 << V::NotOnCorner;
        QTest::addRow("first beside another colour's corner")
                                                  << "y0,0" << "I1" << 0 << 1 << 1 << 1 << V::NotOnCorner;
        QTest::addRow("first on a corner another colour took")
                                                  << "y0,0" << "I1" << 0 << 0 << 0 << 1 << V::Occupied;
        QTest::addRow("first on a free corner while others are taken")
                                                  << "y0,0 r0,19 g19,0" << "I1" << 0 << 19 << 19 << 1 << V::Valid;

        // Off the board, whichever square leaves it.
        QTest::addRow("bar past column 19")       << "" << "I2" << 0 << 0 << 19 << 1 << V::OffBoard;
        QTest::addRow("square turned to row -1")  << "" << "I2" << 90 << 0 << 0 << 1 << V::OffBoard;
        QTest::addRow("square turned to row 20")  << "" << "I2" << 270 << 19 << 0 << 1 << V::OffBoard;
        QTest::addRow("anchor at row 20")         << "" << "I1" << 0 << 20 << 0 << 1 << V::OffBoard;
        QTest::addRow("anchor at column -1")      << "b0,0" << "I1" << 0 << 1 << -1 << 1 << V::OffBoard;
        QTest::addRow("the first failing square gives the reason")
                                                  << "y0,18" << "I3" << 0 << 0 << 18 << 2 << V::Occupied;

        // Overlap.
        QTest::addRow("on own cell")              << "b0,0" << "I1" << 0 << 0 << 0 << 1 << V::Occupied;
        QTest::addRow("one square on another colour")
                                                  << "b0,0 y2,2" << "I2" << 0 << 2 << 1 << 1 << V::Occupied;

        // Later pieces: corner contact with own colour, no side contact.
        QTest::addRow("own colour at a corner")   << "b0,0" << "I1" << 0 << 1 << 1 << 1 << V::Valid;
        QTest::addRow("own colour along a side")  << "b0,0" << "I1" << 0 << 0 << 1 << 1 << V::SideContact;
        QTest::addRow("corner and side at once")  << "b0,0" << "I2" << 90 << 1 << 1 << 1 << V::SideContact;
        QTest::addRow("side contact by a non-anchor square")
                                                  << "b5,5" << "L4" << 0 << 4 << 6 << 1 << V::SideContact;
        QTest::addRow("no contact at all")        << "b0,0" << "I1" << 0 << 5 << 5 << 1 << V::NoCornerContact;
        QTest::addRow("only another colour at the corner")
                                                  << "y0,0 b19,19" << "I1" << 0 << 1 << 1 << 1 << V::NoCornerContact;
        QTest::addRow("other colours along the sides do not matter")
                                                  << "b0,0 y1,2 r2,1" << "I1" << 0 << 1 << 1 << 1 << V::Valid;
        QTest::addRow("a free corner no longer helps after the first piece")
                                                  << "b10,10" << "I1" << 0 << 0 << 0 << 1 << V::NoCornerContact;

        // Each rotation turns about the anchor: V3 fits each corner only one way round.
        QTest::addRow("V3 0 at top-left")         << "" << "V3" << 0 << 0 << 0 << 1 << V::Valid;
        QTest::addRow("V3 90 at bottom-left")     << "" << "V3" << 90 << 19 << 0 << 1 << V::Valid;
        QTest::addRow("V3 180 at bottom-right")   << "" << "V3" << 180 << 19 << 19 << 1 << V::Valid;
        QTest::addRow("V3 270 at top-right")      << "" << "V3" << 270 << 0 << 19 << 1 << V::Valid;
        QTest::addRow("V3 90 at top-left")        << "" << "V3" << 90 << 0 << 0 << 1 << V::OffBoard;
        QTest::addRow("V3 180 at top-left")       << "" << "V3" << 180 << 0 << 0 << 1 << V::OffBoard;
        QTest::addRow("V3 270 at top-left")       << "" << "V3" << 270 << 0 << 0 << 1 << V::OffBoard;
        QTest::addRow("V3 0 at bottom-right")     << "" << "V3" << 0 << 19 << 19 << 1 << V::OffBoard;
        QTest::addRow("V3 -90 as 270 at top-right") << "" << "V3" << -90 << 0 << 19 << 1 << V::Valid;
        // L4 turned 90 at (10,10) covers (10,10) (10,11) (10,12) (9,12), whose corner touches
        // (8,13); turned 270 it covers (10,10) (10,9) (10,8) (11,8) and does not.
        QTest::addRow("L4 90 about the anchor")   << "b8,13" << "L4" << 90 << 10 << 10 << 1 << V::Valid;
        QTest::addRow("L4 270 about the anchor")  << "b8,13" << "L4" << 270 << 10 << 10 << 1 << V::NoCornerContact;
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

        const Board board = boardOf(cells);
        const int p = pieceIndex(piece);
        QVERIFY(p >= 0);
        const auto &squares = pieceCatalogue()[p].squares;
        QCOMPARE(korvana::rules::checkPlacement(board, squares, rotation, row, col, me), expected);
        QCOMPARE(isPlacementValid(board, squares, rotation, row, col, me),
                 expected == PlacementVerdict::Valid);

        // The fast scan agrees for the right-angle rotations.
        const int k = rotationIndex(((rotation % 360) + 360) % 360);
        QCOMPARE(validAnchors(board, me, p, k).test(row, col), expected == PlacementVerdict::Valid);
    }

    void emptyPieceIsNeverValid()
    {
        QCOMPARE(korvana::rules::checkPlacement(Board{}, {}, 0, 0, 0, 1),
                 PlacementVerdict::NoSquares);
    }

    void verdictsHavePolishReasons()
    {
        QVERIFY(verdictText(PlacementVerdict::Valid).isEmpty());
        for (auto v : {PlacementVerdict::OffBoard, PlacementVerdict::Occupied,
                       PlacementVerdict::NotOnCorner, PlacementVerdict::SideContact,
                       PlacementVerdict::NoCornerContact, PlacementVerdict::NoSquares})
            QVERIFY(!verdictText(v).isEmpty());
    }

    void fastScanAgreesWithClientCheck_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<bool>("played");
        QTest::addColumn<double>("density");
        QTest::addColumn<int>("rounds");
        QTest::addRow("empty board") << 1 << true << 0.0 << 0;
        QTest::addRow("after one round") << 2 << true << 0.0 << 1;
        QTest::addRow("early game") << 3 << true << 0.0 << 4;
        QTest::addRow("middle game") << 4 << true << 0.0 << 9;
        QTest::addRow("late game") << 5 << true << 0.0 << 16;
        QTest::addRow("full game") << 6 << true << 0.0 << 21;
        QTest::addRow("sparse noise") << 7 << false << 0.05 << 0;
        QTest::addRow("dense noise") << 8 << false << 0.4 << 0;
        QTest::addRow("crowded noise") << 9 << false << 0.8 << 0;
    }

    // Every piece, right-angle rotation, colour and anchor (also off the board): the bit-board
    // scan and the client's square-by-square check give the same answer.
    void fastScanAgreesWithClientCheck()
    {
        QFETCH(int, seed);
        QFETCH(bool, played);
        QFETCH(double, density);
        QFETCH(int, rounds);
        std::mt19937_64 rng(seed);
        const Board board = played ? playedBoard(rng, rounds) : randomBoard(rng, density);

        for (int me = Blue; me <= Green; ++me) {
            PieceSet all;
            all.fill(true);
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
            QCOMPARE(legalMoves(board, me, all).empty(), !anyValid);
        }
    }

    void legalMovesRespectsHand()
    {
        PieceSet onlyMonomino{};
        onlyMonomino[MonominoIndex] = true;
        const auto moves = legalMoves(Board{}, Blue, onlyMonomino);
        QCOMPARE(int(moves.size()), 16); // 4 corners x 4 rotations, all the same cell
        QVERIFY(std::ranges::all_of(moves, [](const LegalMove &m) { return m.piece == 0; }));
        QCOMPARE(int(legalMoves(Board{}, Blue, onlyMonomino, true).size()), 4);

        const PieceSet none{};
        QVERIFY(!hasLegalMove(Board{}, Blue, none));
        QVERIFY(legalMoves(Board{}, Blue, none).empty());

        // All four corners taken by others: a colour without cells has nowhere to start.
        const Board corners = boardOf(u"y0,0 r0,19 g19,0 y19,19"_s);
        PieceSet all;
        all.fill(true);
        QVERIFY(!hasLegalMove(corners, Blue, all));
    }
};

QTEST_GUILESS_MAIN(TestLegality)
#include "tst_legality.moc"
