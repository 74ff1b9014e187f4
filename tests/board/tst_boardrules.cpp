// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardcolors.h"
#include "boardrules.h"

#include <QTest>

#include <limits>

using namespace korvana;
using namespace korvana::board;

namespace {

// A board of rows x cols with the given cells set: {row, col, value}.
Board boardWith(std::initializer_list<std::tuple<int, int, qint64>> cells, int rows = 20,
                int cols = 20)
{
    Board board(rows, QList<qint64>(cols, 0));
    for (const auto &[r, c, v] : cells)
        board[r][c] = v;
    return board;
}

// "[0,1] [-1,0]": readable in a failed comparison.
QString text(const Squares &squares)
{
    QStringList parts;
    for (const Square &square : squares) {
        QStringList numbers;
        for (const qint64 v : square)
            numbers.append(QString::number(v));
        parts.append(QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']'));
    }
    return parts.join(QLatin1Char(' '));
}

const Squares Mono = Squares({{0, 0}});
const Squares Domino = Squares({{0, 0}, {0, 1}});
const Squares Corner3 = Squares({{0, 0}, {0, 1}, {1, 0}});
constexpr qint64 Max = std::numeric_limits<qint64>::max();
constexpr qint64 Min = std::numeric_limits<qint64>::min();

} // namespace

// The client's own rules for the preview: rotation about the anchor and the placement check.
class TestBoardRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotatedSquaresTurnsAboutTheAnchor_data();
    void rotatedSquaresTurnsAboutTheAnchor();
    void placement_data();
    void placement();
};

void TestBoardRules::rotatedSquaresTurnsAboutTheAnchor_data()
{
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<qint64>("rotation");
    QTest::addColumn<QString>("expected");

    const Squares l = Squares({{0, 0}, {0, 1}, {1, 0}, {2, 0}});
    QTest::addRow("0 unchanged") << l << qint64(0) << "[0,0] [0,1] [1,0] [2,0]";
    QTest::addRow("90: right of the anchor goes above it")
        << l << qint64(90) << "[0,0] [-1,0] [0,1] [0,2]";
    QTest::addRow("270") << l << qint64(270) << "[0,0] [1,0] [0,-1] [0,-2]";
    QTest::addRow("-90 as 270") << l << qint64(-90) << "[0,0] [1,0] [0,-1] [0,-2]";
    QTest::addRow("450 as 90") << l << qint64(450) << "[0,0] [-1,0] [0,1] [0,2]";
    QTest::addRow("45 unchanged") << l << qint64(45) << "[0,0] [0,1] [1,0] [2,0]";
    QTest::addRow("extra coordinates dropped") << Squares({{1, 2, 3}}) << qint64(90) << "[-2,1]";
    QTest::addRow("short squares kept for the check to refuse")
        << Squares({{0, 0}, {5}, {}}) << qint64(90) << "[0,0] [5] []";
    QTest::addRow("extreme values wrap instead of overflowing")
        << Squares({{Min, Max}}) << qint64(180) << QStringLiteral("[%1,%2]").arg(Min).arg(-Max);
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
    QTest::addColumn<Cell>("anchor");
    QTest::addColumn<QString>("color");
    QTest::addColumn<bool>("valid");

    const Board empty = boardWith({});
    const Board blueCorner = boardWith({{0, 0, Blue}});
    const auto row = [](const char *name, const Board &board, const Squares &squares,
                        qint64 rotation, Cell anchor, const char *color, bool valid) {
        QTest::addRow("%s", name) << board << squares << rotation << anchor << QString(color)
                                  << valid;
    };
    // First piece: any board corner, not only the colour's own.
    row("first on (0,19)", empty, Mono, 0, {0, 19}, "red", true);
    row("first at (5,5)", empty, Mono, 0, {5, 5}, "red", false);
    row("first beside a corner", empty, Mono, 0, {0, 1}, "red", false);
    row("first covering a corner with a later square", empty, Domino, 0, {0, 18}, "red", true);
    row("first while another colour holds a corner", blueCorner, Mono, 0, {19, 19}, "red", true);
    row("first on a taken corner", blueCorner, Mono, 0, {0, 0}, "red", false);
    row("rotation 270 fits the top-right corner", empty, Corner3, 270, {0, 19}, "red", true);
    row("rotation 0 leaves the board there", empty, Corner3, 0, {0, 19}, "red", false);
    // Later pieces: a corner of my own, never a side of it.
    row("corner touch", blueCorner, Mono, 0, {1, 1}, "blue", true);
    row("a board corner no longer counts", blueCorner, Mono, 0, {19, 19}, "blue", false);
    row("side touch", blueCorner, Mono, 0, {0, 1}, "blue", false);
    row("no contact", blueCorner, Mono, 0, {5, 5}, "blue", false);
    row("side touch beside a corner touch", boardWith({{0, 0, Blue}, {2, 2, Blue}}), Domino, 0,
        {1, 1}, "blue", false);
    row("other colours alongside do not matter",
        boardWith({{0, 0, Blue}, {1, 2, Yellow}, {2, 1, Red}}), Mono, 0, {1, 1}, "blue", true);
    row("another colour's corner is no contact", boardWith({{0, 0, Blue}, {4, 4, Yellow}}), Mono, 0,
        {5, 5}, "blue", false);
    row("covering a taken cell", boardWith({{0, 0, Blue}, {1, 2, Yellow}}), Domino, 0, {1, 1},
        "blue", false);
    row("a square at column 20", boardWith({{4, 18, Blue}}), Domino, 0, {5, 19}, "blue", false);
    row("a square at row -1", empty, Squares({{0, 0}, {-1, 0}}), 0, {0, 0}, "blue", false);
    row("anchor off the board, squares on it", empty, Squares({{0, 1}}), 0, {0, -1}, "blue", true);
    row("BLUE in capitals", blueCorner, Mono, 0, {1, 1}, "BLUE", true);
    // Malformed input is never valid.
    Board shortRow = empty;
    shortRow[19].resize(3);
    row("a square with one coordinate", empty, Squares({{0, 0}, {1}}), 0, {0, 0}, "red", false);
    row("19 rows", boardWith({}, 19, 20), Mono, 0, {0, 0}, "red", false);
    row("one short row far from the piece", shortRow, Mono, 0, {0, 0}, "red", false);
    row("no rows", Board{}, Mono, 0, {0, 0}, "red", false);
    row("huge offsets", empty, Squares({{Max, Min}}), 90, {0, 0}, "red", false);
    // Without a colour the number is 0, the value of empty cells: empty neighbours count as own.
    row("no colour on a corner", empty, Mono, 0, {0, 0}, "", false);
    row("no colour, sides taken, corners empty",
        boardWith({{0, 1, Yellow}, {1, 0, Yellow}, {1, 2, Yellow}, {2, 1, Yellow}}), Mono, 0,
        {1, 1}, "purple", true);
}

void TestBoardRules::placement()
{
    QFETCH(Board, board);
    QFETCH(Squares, squares);
    QFETCH(qint64, rotation);
    QFETCH(Cell, anchor);
    QFETCH(QString, color);
    QFETCH(bool, valid);
    QCOMPARE(isPlacementValid(squares, rotation, anchor.row, anchor.col, board, color), valid);
    QVERIFY(!isPlacementValid(squares, rotation, Max, Min, board, color)); // never overflows
    // The whole-board scan (move hints) agrees on anchors on the board.
    const bool onBoard = anchor.row >= 0 && anchor.col >= 0;
    QCOMPARE(validCells(squares, rotation, board, color).contains(anchor), valid && onBoard);
}

QTEST_GUILESS_MAIN(TestBoardRules)
#include "tst_boardrules.moc"
