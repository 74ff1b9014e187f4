#include "boardgeometry.h"
#include "boardtestdata.h"

#include <QTest>

#include <limits>

using namespace korvana;
using namespace korvana::board;
using korvana::test::squaresOf;

using OptionalCell = std::optional<Cell>;
Q_DECLARE_METATYPE(OptionalCell)

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

QString text(const OptionalCell &cell)
{
    return cell ? QStringLiteral("(%1,%2)").arg(cell->row).arg(cell->col) : QStringLiteral("none");
}

} // namespace

class TestBoardGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void releaseMapsByTruncation_data();
    void releaseMapsByTruncation();
    void dragMapsInsideTheFrameOnly_data();
    void dragMapsInsideTheFrameOnly();
    void previewLaysOutThePiece_data();
    void previewLaysOutThePiece();
    void fittedSquareIsCentred_data();
    void fittedSquareIsCentred();
};

void TestBoardGeometry::releaseMapsByTruncation_data()
{
    QTest::addColumn<QPointF>("cells"); // release point in cells of a 400-point board
    QTest::addColumn<double>("side");
    QTest::addColumn<int>("boardSize");
    QTest::addColumn<OptionalCell>("expected");

    QTest::addRow("0.99, 19.5 cells")
        << QPointF(0.99, 19.5) << 400.0 << 20 << OptionalCell(Cell{19, 0});
    QTest::addRow("-0.5 cells left still column 0")
        << QPointF(-0.5, 3.2) << 400.0 << 20 << OptionalCell(Cell{3, 0});
    QTest::addRow("-0.5 cells above still row 0")
        << QPointF(7.0, -0.5) << 400.0 << 20 << OptionalCell(Cell{0, 7});
    QTest::addRow("-1 cell left: nothing") << QPointF(-1.0, 3.0) << 400.0 << 20 << OptionalCell();
    QTest::addRow("20 cells: nothing") << QPointF(20.0, 3.0) << 400.0 << 20 << OptionalCell();
    QTest::addRow("just inside the far corner")
        << QPointF(19.999, 19.999) << 400.0 << 20 << OptionalCell(Cell{19, 19});
    QTest::addRow("zero-sized board") << QPointF(0.5, 0.5) << 0.0 << 20 << OptionalCell();
    QTest::addRow("no cells") << QPointF(0.5, 0.5) << 400.0 << 0 << OptionalCell();
    QTest::addRow("negative cells") << QPointF(0.5, 0.5) << 400.0 << -20 << OptionalCell();
    QTest::addRow("negative side") << QPointF(0.5, 0.5) << -400.0 << 20 << OptionalCell();
    QTest::addRow("not a number") << QPointF(Nan, 0.5) << 400.0 << 20 << OptionalCell();
    QTest::addRow("infinite point") << QPointF(0.5, Inf) << 400.0 << 20 << OptionalCell();
    QTest::addRow("infinite side") << QPointF(0.5, 0.5) << Inf << 20 << OptionalCell();
    QTest::addRow("far away") << QPointF(1e300, 0.5) << 400.0 << 20 << OptionalCell();
    QTest::addRow("far away negative") << QPointF(-1e300, 0.5) << 400.0 << 20 << OptionalCell();
    QTest::addRow("a 10-cell board")
        << QPointF(9.5, 0.5) << 400.0 << 10 << OptionalCell(Cell{0, 9});
}

void TestBoardGeometry::releaseMapsByTruncation()
{
    QFETCH(QPointF, cells);
    QFETCH(double, side);
    QFETCH(int, boardSize);
    QFETCH(OptionalCell, expected);
    const double cellSize = boardSize > 0 && std::isfinite(side) ? std::abs(side) / boardSize : 20;
    QCOMPARE(text(releaseCell(cells * cellSize, side, boardSize)), text(expected));
}

void TestBoardGeometry::dragMapsInsideTheFrameOnly_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QSizeF>("frame");
    QTest::addColumn<OptionalCell>("expected");

    const QSizeF frame(320, 320);
    QTest::addRow("top-left") << QPointF(0, 0) << frame << OptionalCell(Cell{0, 0});
    QTest::addRow("inside") << QPointF(33, 170) << frame << OptionalCell(Cell{10, 2});
    QTest::addRow("bottom-right") << QPointF(319.9, 319.9) << frame << OptionalCell(Cell{19, 19});
    QTest::addRow("right edge") << QPointF(320, 10) << frame << OptionalCell();
    QTest::addRow("just left") << QPointF(-0.1, 10) << frame << OptionalCell();
    QTest::addRow("just above") << QPointF(10, -0.1) << frame << OptionalCell();
    QTest::addRow("taller frame, below the cells")
        << QPointF(10, 330) << QSizeF(320, 400) << OptionalCell();
    QTest::addRow("zero frame") << QPointF(0, 0) << QSizeF(0, 0) << OptionalCell();
    QTest::addRow("not a number") << QPointF(Nan, 10) << frame << OptionalCell();
}

void TestBoardGeometry::dragMapsInsideTheFrameOnly()
{
    QFETCH(QPointF, point);
    QFETCH(QSizeF, frame);
    QFETCH(OptionalCell, expected);
    QCOMPARE(text(dragCell(point, frame)), text(expected));
}

void TestBoardGeometry::previewLaysOutThePiece_data()
{
    QTest::addColumn<Squares>("squares");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<double>("unit");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<QList<QPointF>>("centres");

    const Squares bar = squaresOf({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}});
    // 1 x 5 in 60 x 60: unit 10, the bar spans 50 points with 5 at each end.
    QTest::addRow("1 x 5 in 60 x 60")
        << bar << 0 << QSizeF(60, 60) << 10.0 << QPointF(5, 25)
        << QList<QPointF>{{10, 30}, {20, 30}, {30, 30}, {40, 30}, {50, 30}};
    QTest::addRow("1 x 5 turned upright")
        << bar << 90 << QSizeF(60, 60) << 10.0 << QPointF(25, 5)
        << QList<QPointF>{{30, 50}, {30, 40}, {30, 30}, {30, 20}, {30, 10}};
    QTest::addRow("only the smaller side counts")
        << bar << 0 << QSizeF(100, 60) << 10.0 << QPointF(5, 25)
        << QList<QPointF>{{10, 30}, {20, 30}, {30, 30}, {40, 30}, {50, 30}};
    QTest::addRow("monomino in 36 x 36") << squaresOf({{0, 0}}) << 0 << QSizeF(36, 36) << 18.0
                                         << QPointF(9, 9) << QList<QPointF>{{18, 18}};
    QTest::addRow("no squares") << Squares{} << 0 << QSizeF(60, 60) << 30.0 << QPointF(15, 15)
                                << QList<QPointF>{};
    QTest::addRow("malformed square left out")
        << squaresOf({{0, 0}, {7}, {0, 1}}) << 0 << QSizeF(60, 60) << 20.0 << QPointF(10, 20)
        << QList<QPointF>{{20, 30}, {40, 30}};
    QTest::addRow("no space") << bar << 0 << QSizeF(0, 60) << 0.0 << QPointF(0, 0)
                              << QList<QPointF>{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
}

void TestBoardGeometry::previewLaysOutThePiece()
{
    QFETCH(Squares, squares);
    QFETCH(int, rotation);
    QFETCH(QSizeF, size);
    QFETCH(double, unit);
    QFETCH(QPointF, offset);
    QFETCH(QList<QPointF>, centres);
    const PreviewGeometry g = previewGeometry(squares, rotation, size);
    QCOMPARE(g.unit, unit);
    QCOMPARE(QPointF(g.xOffset, g.yOffset), offset);
    QCOMPARE(g.centres, centres);
    QCOMPARE(g.squareSide, std::max(unit - 1.5, 2.0));
}

void TestBoardGeometry::fittedSquareIsCentred_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QRectF>("square");

    QTest::addRow("square") << QSizeF(320, 320) << QRectF(0, 0, 320, 320);
    QTest::addRow("wide") << QSizeF(400, 300) << QRectF(50, 0, 300, 300);
    QTest::addRow("tall") << QSizeF(300, 400) << QRectF(0, 50, 300, 300);
    QTest::addRow("empty") << QSizeF(0, 300) << QRectF(0, 150, 0, 0);
    QTest::addRow("negative") << QSizeF(-5, 300) << QRectF(-2.5, 150, 0, 0);
}

void TestBoardGeometry::fittedSquareIsCentred()
{
    QFETCH(QSizeF, size);
    QFETCH(QRectF, square);
    QCOMPARE(fittedSquare(size), square);
}

QTEST_GUILESS_MAIN(TestBoardGeometry)
#include "tst_boardgeometry.moc"
