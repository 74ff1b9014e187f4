// The piece catalogue and the rotation rule shared with the client.
#include "rules/pieces.h"

#include <QTest>

#include <algorithm>
#include <set>

using namespace korvana::rules;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::vector<Square>)

namespace korvana::rules {
// Failure output for QCOMPARE.
char *toString(const Square &s)
{
    return qstrdup(QByteArray::number(s.row) + ',' + QByteArray::number(s.col));
}
} // namespace korvana::rules

namespace {

std::vector<Square> normalised(std::vector<Square> squares)
{
    std::ranges::sort(squares);
    const Square first = squares.front();
    for (auto &s : squares)
        s = {s.row - first.row, s.col - first.col};
    return squares;
}

// The smallest of the 8 images under rotation and reflection: equal for congruent shapes.
std::vector<Square> canonical(const std::vector<Square> &squares)
{
    std::vector<Square> best;
    for (int mirror = 0; mirror < 2; ++mirror) {
        std::vector<Square> s = squares;
        if (mirror)
            for (auto &q : s)
                q.col = -q.col;
        for (int k = 0; k < 4; ++k) {
            auto image = normalised(rotatedSquares(s, k * 90));
            if (best.empty() || image < best)
                best = image;
        }
    }
    return best;
}

bool isConnected(const std::vector<Square> &squares)
{
    std::vector<Square> reached{squares.front()};
    for (std::size_t i = 0; i < reached.size(); ++i)
        for (const auto &s : squares)
            if (std::abs(s.row - reached[i].row) + std::abs(s.col - reached[i].col) == 1 &&
                std::ranges::find(reached, s) == reached.end())
                reached.push_back(s);
    return reached.size() == squares.size();
}

} // namespace

class TestPieces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogueIsTheFreePolyominoesUpToFive()
    {
        const auto &pieces = pieceCatalogue();
        QCOMPARE(int(pieces.size()), PieceCount);

        int total = 0;
        std::array<int, 6> bySize{};
        std::set<QString> ids;
        std::set<std::vector<Square>> shapes;
        for (const auto &p : pieces) {
            QVERIFY2(!p.id.isEmpty() && !p.name.isEmpty(), qPrintable(p.id));
            QVERIFY2(p.size() >= 1 && p.size() <= 5, qPrintable(p.id));
            QCOMPARE(p.squares.front(), (Square{0, 0}));
            QVERIFY2(std::set(p.squares.begin(), p.squares.end()).size() == p.squares.size(),
                     qPrintable(p.id));
            QVERIFY2(isConnected(p.squares), qPrintable(p.id));
            QVERIFY2(shapes.insert(canonical(p.squares)).second,
                     qPrintable(p.id + u" is congruent to an earlier piece"_s));
            ids.insert(p.id);
            total += p.size();
            ++bySize[p.size()];
        }
        QCOMPARE(int(ids.size()), PieceCount);
        QCOMPARE(total, 89);
        // Distinct and connected, with as many of each size as there are free polyominoes:
        // so every free polyomino of sizes 1..5 is there exactly once.
        QCOMPARE(bySize, (std::array<int, 6>{0, 1, 1, 2, 5, 12}));
        QCOMPARE(pieces[MonominoIndex].id, u"I1"_s);
        for (int i = 0; i < PieceCount; ++i)
            QCOMPARE(pieceIndex(pieces[i].id), i);
        QCOMPARE(pieceIndex(u"Q7"), -1);
        QCOMPARE(pieceIndex(u""), -1);
    }

    void rotatedSquares_data()
    {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<std::vector<Square>>("expected");
        // The L tromino [0,0], [0,1], [1,0]; [0,1] turns to [-1,0] at 90, as on the client.
        QTest::addRow("0") << 0 << std::vector<Square>{{0, 0}, {0, 1}, {1, 0}};
        QTest::addRow("90") << 90 << std::vector<Square>{{0, 0}, {-1, 0}, {0, 1}};
        QTest::addRow("180") << 180 << std::vector<Square>{{0, 0}, {0, -1}, {-1, 0}};
        QTest::addRow("270") << 270 << std::vector<Square>{{0, 0}, {1, 0}, {0, -1}};
        QTest::addRow("-90 is 270") << -90 << std::vector<Square>{{0, 0}, {1, 0}, {0, -1}};
        QTest::addRow("450 is 90") << 450 << std::vector<Square>{{0, 0}, {-1, 0}, {0, 1}};
        QTest::addRow("360 is 0") << 360 << std::vector<Square>{{0, 0}, {0, 1}, {1, 0}};
        QTest::addRow("45 unchanged") << 45 << std::vector<Square>{{0, 0}, {0, 1}, {1, 0}};
        QTest::addRow("-45 unchanged") << -45 << std::vector<Square>{{0, 0}, {0, 1}, {1, 0}};
    }

    void rotatedSquares()
    {
        QFETCH(int, rotation);
        QFETCH(std::vector<Square>, expected);
        const std::vector<Square> tromino{{0, 0}, {0, 1}, {1, 0}};
        QCOMPARE(korvana::rules::rotatedSquares(tromino, rotation), expected);
    }

    void rotationIndexAcceptsOnlyRightAngles()
    {
        QCOMPARE(rotationIndex(0), 0);
        QCOMPARE(rotationIndex(270), 3);
        for (int r : {-90, 45, 360, 450, 1})
            QCOMPARE(rotationIndex(r), -1);
    }

    void distinctRotationsCoverEveryShapeOnce()
    {
        // O4 and X5 look the same every way round; the bars, S4 and Z5 two ways; the rest four.
        for (int p = 0; p < PieceCount; ++p) {
            const auto &id = pieceCatalogue()[p].id;
            std::set<std::vector<Square>> shapes;
            for (int k = 0; k < RotationCount; ++k)
                shapes.insert(normalised(orientedSquares(p, k)));
            QCOMPARE(int(distinctRotations(p).size()), int(shapes.size()));
            const int expected = (id == u"I1" || id == u"O4" || id == u"X5")           ? 1
                                 : (id.startsWith(u'I') || id == u"S4" || id == u"Z5") ? 2
                                                                                       : 4;
            QVERIFY2(int(shapes.size()) == expected, qPrintable(id));
        }
    }
};

QTEST_GUILESS_MAIN(TestPieces)
#include "tst_pieces.moc"
