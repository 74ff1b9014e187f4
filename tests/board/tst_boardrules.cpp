#include "boardcolors.h"
#include "boardrules.h"
#include "boardtestdata.h"

#include <QTest>

#include <limits>

using namespace korvana;
using namespace korvana::board;
using korvana::test::boardWith;
using korvana::test::squaresOf;
using korvana::test::text;

namespace {

const Squares Mono = squaresOf({{0, 0}});
const Squares Domino = squaresOf({{0, 0}, {0, 1}});
const Squares Corner3 = squaresOf({{0, 0}, {0, 1}, {1, 0}});
constexpr qint64 Max = std::numeric_limits<qint64>::max();
constexpr qint64 Min = std::numeric_limits<qint64>::min();

} // namespace

class TestBoardRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotatedSquaresTurnsAboutTheAnchor_data();
    void rotatedSquaresTurnsAboutTheAnchor();
    void placement_data();
    void placement();
    void malformedInputIsNeverValid_data();
    void malformedInputIsNeverValid();
    void validCellsListsEveryValidAnchor_data();
    void validCellsListsEveryValidAnchor();
    void colorLookups_data();
    void colorLookups();
    void cellColors_data();
    void cellColors();
};

void TestBoardRules::rotatedSquaresTurnsAboutTheAnchor_data()
{
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<qint64>("rotation");
    QTest::addColumn<QString>("expected");

    const Squares l = squaresOf({{0, 0}, {0, 1}, {1, 0}, {2, 0}});
    QTest::addRow("0 unchanged") << l << qint64(0) << "[0,0] [0,1] [1,0] [2,0]";
    QTest::addRow("90: right of the anchor goes above it")
        << l << qint64(90) << "[0,0] [-1,0] [0,1] [0,2]";
    QTest::addRow("180") << l << qint64(180) << "[0,0] [0,-1] [-1,0] [-2,0]";
    QTest::addRow("270") << l << qint64(270) << "[0,0] [1,0] [0,-1] [0,-2]";
    QTest::addRow("-90 as 270") << l << qint64(-90) << "[0,0] [1,0] [0,-1] [0,-2]";
    QTest::addRow("450 as 90") << l << qint64(450) << "[0,0] [-1,0] [0,1] [0,2]";
    QTest::addRow("-450 as 270") << l << qint64(-450) << "[0,0] [1,0] [0,-1] [0,-2]";
    QTest::addRow("45 unchanged") << l << qint64(45) << "[0,0] [0,1] [1,0] [2,0]";
    QTest::addRow("360 unchanged") << l << qint64(360) << "[0,0] [0,1] [1,0] [2,0]";
    QTest::addRow("no squares") << Squares{} << qint64(90) << "";
    QTest::addRow("extra coordinates dropped") << squaresOf({{1, 2, 3}}) << qint64(90) << "[-2,1]";
    QTest::addRow("short squares kept for the check to refuse")
        << squaresOf({{0, 0}, {5}, {}}) << qint64(90) << "[0,0] [5] []";
    QTest::addRow("extreme values wrap instead of overflowing")
        << squaresOf({{Min, Max}}) << qint64(180) << QStringLiteral("[%1,%2]").arg(Min).arg(-Max);
    QTest::addRow("extreme rotation") << Mono << Min << "[0,0]";
}

void TestBoardRules::rotatedSquaresTurnsAboutTheAnchor()
{
    QFETCH(Squares, squares);
    QFETCH(qint64, rotation);
    QFETCH(QString, expected);
    QCOMPARE(text(rotatedSquares(squares, rotation)), expected);
}

void TestBoardRules::placement_data()
{
    QTest::addColumn<Board>("board");
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<qint64>("rotation");
    QTest::addColumn<qint64>("row");
    QTest::addColumn<qint64>("col");
    QTest::addColumn<QString>("color");
    QTest::addColumn<bool>("valid");

    const Board empty = boardWith({});
    // First piece: any board corner, not only the colour's own.
    QTest::addRow("first on (0,0)")
        << empty << Mono << qint64(0) << qint64(0) << qint64(0) << "red" << true;
    QTest::addRow("first on (0,19)")
        << empty << Mono << qint64(0) << qint64(0) << qint64(19) << "red" << true;
    QTest::addRow("first on (19,0)")
        << empty << Mono << qint64(0) << qint64(19) << qint64(0) << "red" << true;
    QTest::addRow("first on (19,19)")
        << empty << Mono << qint64(0) << qint64(19) << qint64(19) << "red" << true;
    QTest::addRow("first at (5,5)")
        << empty << Mono << qint64(0) << qint64(5) << qint64(5) << "red" << false;
    QTest::addRow("first beside a corner")
        << empty << Mono << qint64(0) << qint64(0) << qint64(1) << "red" << false;
    QTest::addRow("first covering a corner with a later square")
        << empty << Domino << qint64(0) << qint64(0) << qint64(18) << "red" << true;
    QTest::addRow("first while another colour holds a corner")
        << boardWith({{0, 0, Blue}}) << Mono << qint64(0) << qint64(19) << qint64(19) << "red"
        << true;
    QTest::addRow("first on a taken corner") << boardWith({{0, 0, Blue}}) << Mono << qint64(0)
                                             << qint64(0) << qint64(0) << "red" << false;
    QTest::addRow("rotation 270 fits the top-right corner")
        << empty << Corner3 << qint64(270) << qint64(0) << qint64(19) << "red" << true;
    QTest::addRow("rotation 0 leaves the board there")
        << empty << Corner3 << qint64(0) << qint64(0) << qint64(19) << "red" << false;

    // Later pieces.
    const Board blueCorner = boardWith({{0, 0, Blue}});
    QTest::addRow("corner touch") << blueCorner << Mono << qint64(0) << qint64(1) << qint64(1)
                                  << "blue" << true;
    QTest::addRow("a board corner no longer counts")
        << blueCorner << Mono << qint64(0) << qint64(19) << qint64(19) << "blue" << false;
    QTest::addRow("side touch") << blueCorner << Mono << qint64(0) << qint64(0) << qint64(1)
                                << "blue" << false;
    QTest::addRow("no contact") << blueCorner << Mono << qint64(0) << qint64(5) << qint64(5)
                                << "blue" << false;
    QTest::addRow("side touch beside a corner touch")
        << boardWith({{0, 0, Blue}, {2, 2, Blue}}) << Domino << qint64(0) << qint64(1) << qint64(1)
        << "blue" << false;
    QTest::addRow("other colours alongside do not matter")
        << boardWith({{0, 0, Blue}, {1, 2, Yellow}, {2, 1, Red}}) << Mono << qint64(0) << qint64(1)
        << qint64(1) << "blue" << true;
    QTest::addRow("another colour's corner is no contact")
        << boardWith({{0, 0, Blue}, {4, 4, Yellow}}) << Mono << qint64(0) << qint64(5) << qint64(5)
        << "blue" << false;
    QTest::addRow("covering a taken cell")
        << boardWith({{0, 0, Blue}, {1, 2, Yellow}}) << Domino << qint64(0) << qint64(1)
        << qint64(1) << "blue" << false;
    QTest::addRow("covering an odd cell value")
        << boardWith({{0, 0, Blue}, {1, 2, 7}}) << Domino << qint64(0) << qint64(1) << qint64(1)
        << "blue" << false;
    QTest::addRow("a square at column 20") << boardWith({{4, 18, Blue}}) << Domino << qint64(0)
                                           << qint64(5) << qint64(19) << "blue" << false;
    QTest::addRow("a square at row -1") << empty << squaresOf({{0, 0}, {-1, 0}}) << qint64(0)
                                        << qint64(0) << qint64(0) << "blue" << false;
    QTest::addRow("anchor off the board, squares on it")
        << empty << squaresOf({{0, 1}}) << qint64(0) << qint64(0) << qint64(-1) << "blue" << true;
    QTest::addRow("no squares") << empty << Squares{} << qint64(0) << qint64(0) << qint64(0)
                                << "blue" << false;

    // Colour names.
    QTest::addRow("Blue") << blueCorner << Mono << qint64(0) << qint64(1) << qint64(1) << "Blue"
                          << true;
    QTest::addRow("BLUE") << blueCorner << Mono << qint64(0) << qint64(1) << qint64(1) << "BLUE"
                          << true;
    QTest::addRow("BLUE side touch")
        << blueCorner << Mono << qint64(0) << qint64(0) << qint64(1) << "BLUE" << false;
    // Without a colour the number is 0, the value of empty cells: empty neighbours count as own.
    QTest::addRow("no colour on a corner")
        << empty << Mono << qint64(0) << qint64(0) << qint64(0) << "" << false;
    QTest::addRow("no colour, sides taken, corners empty")
        << boardWith({{0, 1, Yellow}, {1, 0, Yellow}, {1, 2, Yellow}, {2, 1, Yellow}}) << Mono
        << qint64(0) << qint64(1) << qint64(1) << "" << true;
    QTest::addRow("unknown colour like none")
        << boardWith({{0, 1, Yellow}, {1, 0, Yellow}, {1, 2, Yellow}, {2, 1, Yellow}}) << Mono
        << qint64(0) << qint64(1) << qint64(1) << "purple" << true;
}

void TestBoardRules::placement()
{
    QFETCH(Board, board);
    QFETCH(Squares, squares);
    QFETCH(qint64, rotation);
    QFETCH(qint64, row);
    QFETCH(qint64, col);
    QFETCH(QString, color);
    QFETCH(bool, valid);
    QCOMPARE(isPlacementValid(squares, rotation, row, col, board, color), valid);

    const Cell anchor{int(row), int(col)};
    const bool listed = validCells(squares, rotation, board, color).contains(anchor);
    const bool onBoard = row >= 0 && row < 20 && col >= 0 && col < 20;
    QCOMPARE(listed, valid && onBoard);
}

void TestBoardRules::malformedInputIsNeverValid_data()
{
    QTest::addColumn<Board>("board");
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<qint64>("row");
    QTest::addColumn<qint64>("col");
    QTest::addColumn<bool>("anywhere"); // the piece or board itself is bad, not just the anchor

    const Board empty = boardWith({});
    QTest::addRow("a square with one coordinate")
        << empty << squaresOf({{0, 0}, {1}}) << qint64(0) << qint64(0) << true;
    QTest::addRow("a square with none")
        << empty << squaresOf({{}, {0, 0}}) << qint64(0) << qint64(0) << true;
    QTest::addRow("19 rows") << boardWith({}, 19, 20) << Mono << qint64(0) << qint64(0) << true;
    QTest::addRow("19 columns") << boardWith({}, 20, 19) << Mono << qint64(0) << qint64(0) << true;
    Board shortRow = empty;
    shortRow[19].resize(3);
    QTest::addRow("one short row far from the piece")
        << shortRow << Mono << qint64(0) << qint64(0) << true;
    QTest::addRow("no rows") << Board{} << Mono << qint64(0) << qint64(0) << true;
    QTest::addRow("empty rows") << Board(20) << Mono << qint64(0) << qint64(0) << true;
    QTest::addRow("huge offsets") << empty << squaresOf({{Max, Min}}) << qint64(0) << qint64(0)
                                  << true;
    QTest::addRow("anchor overflow") << empty << squaresOf({{1, 1}}) << Max << Max << false;
    QTest::addRow("anchor underflow") << empty << squaresOf({{-1, -1}}) << Min << Min << false;
}

void TestBoardRules::malformedInputIsNeverValid()
{
    QFETCH(Board, board);
    QFETCH(Squares, squares);
    QFETCH(qint64, row);
    QFETCH(qint64, col);
    QFETCH(bool, anywhere);
    for (const qint64 rotation : {0, 90, 180, 270}) {
        QVERIFY(!isPlacementValid(squares, rotation, row, col, board, u"blue"));
        if (anywhere)
            QVERIFY(validCells(squares, rotation, board, u"blue").isEmpty());
    }
}

void TestBoardRules::validCellsListsEveryValidAnchor_data()
{
    QTest::addColumn<Board>("board");
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<qint64>("rotation");
    QTest::addColumn<QString>("color");
    QTest::addColumn<QList<Cell>>("expected");

    QTest::addRow("monomino first: the four corners")
        << boardWith({}) << Mono << qint64(0) << "green"
        << QList<Cell>{{0, 0}, {0, 19}, {19, 0}, {19, 19}};
    QTest::addRow("domino after a corner cell")
        << boardWith({{0, 0, Red}}) << Domino << qint64(90) << "red" << QList<Cell>{{2, 1}};
    QTest::addRow("bigger board counts as 20 x 20")
        << boardWith({}, 21, 21) << Mono << qint64(0) << "green"
        << QList<Cell>{{0, 0}, {0, 19}, {19, 0}, {19, 19}};
    QTest::addRow("board full of other colours")
        << Board(20, QList<qint64>(20, Yellow)) << Mono << qint64(0) << "green" << QList<Cell>{};
}

void TestBoardRules::validCellsListsEveryValidAnchor()
{
    QFETCH(Board, board);
    QFETCH(Squares, squares);
    QFETCH(qint64, rotation);
    QFETCH(QString, color);
    QFETCH(QList<Cell>, expected);
    QCOMPARE(validCells(squares, rotation, board, color), expected);
}

void TestBoardRules::colorLookups_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addColumn<QColor>("player");
    QTest::addColumn<QColor>("screen");

    const QColor blue = QColor::fromRgbF(0.2f, 0.6f, 0.9f);
    const QColor yellow = QColor::fromRgbF(0.95f, 0.75f, 0.2f);
    const QColor red = QColor::fromRgbF(0.9f, 0.25f, 0.3f);
    const QColor green = QColor::fromRgbF(0.25f, 0.75f, 0.5f);
    QTest::addRow("blue") << "blue" << 1 << blue << blue;
    QTest::addRow("Yellow") << "Yellow" << 2 << yellow << yellow;
    QTest::addRow("RED") << "RED" << 3 << red << red;
    QTest::addRow("gReEn") << "gReEn" << 4 << green << green;
    QTest::addRow("unknown") << "purple" << 0 << systemGray() << QColor(Qt::white);
    QTest::addRow("empty") << "" << 0 << systemGray() << QColor(Qt::white);
    QTest::addRow("padded") << " blue" << 0 << systemGray() << QColor(Qt::white);
    QTest::addRow("longer") << "blueish" << 0 << systemGray() << QColor(Qt::white);
}

void TestBoardRules::colorLookups()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    QFETCH(QColor, player);
    QFETCH(QColor, screen);
    QCOMPARE(colorNumber(name), number);
    QCOMPARE(playerColor(name), player);
    QCOMPARE(screenColor(name), screen);
}

void TestBoardRules::cellColors_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QColor>("color");

    QTest::addRow("empty") << qint64(0) << QColor(0, 0, 0, 0);
    QTest::addRow("blue") << qint64(1) << QColor(51, 153, 230);
    QTest::addRow("yellow") << qint64(2) << QColor(242, 191, 51);
    QTest::addRow("red") << qint64(3) << QColor(230, 64, 77);
    QTest::addRow("green") << qint64(4) << QColor(64, 191, 128);
    QTest::addRow("7") << qint64(7) << QColor(0, 0, 0, 0);
    QTest::addRow("-1") << qint64(-1) << QColor(0, 0, 0, 0);
}

void TestBoardRules::cellColors()
{
    QFETCH(qint64, value);
    QFETCH(QColor, color);
    const QColor actual = cellColor(value);
    QCOMPARE(actual.alpha(), color.alpha());
    // The table's fractions in 8 bits, give or take the rounding.
    QVERIFY2(qAbs(actual.red() - color.red()) <= 1 && qAbs(actual.green() - color.green()) <= 1 &&
                 qAbs(actual.blue() - color.blue()) <= 1,
             qPrintable(actual.name()));
}

QTEST_GUILESS_MAIN(TestBoardRules)
#include "tst_boardrules.moc"
