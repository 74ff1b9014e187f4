// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardcolors.h"
#include "boardgeometry.h"
#include "gameboard.h"

#include <QJsonDocument>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

using namespace korvana;
using namespace korvana::board;

namespace {

constexpr int Margin = 20; // around the board inside the window, for releases off the board
constexpr int Side = 400;  // board side: 20-point cells
constexpr int CellSide = Side / 20;
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// A 20 x 20 board with the given cells set: {row, col, value}.
Board boardWith(std::initializer_list<std::tuple<int, int, qint64>> cells)
{
    Board board(20, QList<qint64>(20, 0));
    for (const auto &[r, c, v] : cells)
        board[r][c] = v;
    return board;
}

QString text(const std::optional<Cell> &cell)
{
    return cell ? QStringLiteral("(%1,%2)").arg(cell->row).arg(cell->col) : QStringLiteral("none");
}

GameState stateWith(Board board)
{
    return GameState{.board = std::move(board),
                     .players = {Player{.id = "p1"}, Player{.id = "p2"}}};
}

QPoint at(QPointF cells)
{
    const QPointF p = cells * CellSide + QPointF(Margin, Margin);
    return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

bool isNear(QColor actual, QColor expected)
{
    return qAbs(actual.red() - expected.red()) <= 10 &&
           qAbs(actual.green() - expected.green()) <= 10 &&
           qAbs(actual.blue() - expected.blue()) <= 10;
}

} // namespace

// Where a finger's release lands on the board, and the board item in a window: its releases, and
// what it draws of any state it is handed.
class TestGameBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void releaseSelectsTheCell();
    void releaseMapsByTruncation_data();
    void releaseMapsByTruncation();
    void drawsEachNewStateAndSurvivesGarbage();

private:
    QColor pixel(int row, int col)
    {
        return m_window->grabWindow().pixelColor(at({col + 0.5, row + 0.5}));
    }
    bool isDark(int row, int col)
    {
        const QColor c = pixel(row, col);
        return c.red() < 40 && c.green() < 40 && c.blue() < 50;
    }

    std::unique_ptr<QQuickWindow> m_window;
    GameBoard *m_board = nullptr;
};

void TestGameBoard::releaseMapsByTruncation_data()
{
    QTest::addColumn<QPointF>("point"); // on a board of `side` points and `cells` cells
    QTest::addColumn<double>("side");
    QTest::addColumn<int>("cells");
    QTest::addColumn<QString>("cell");
    QTest::addRow("0.99, 19.5 cells") << QPointF(19.8, 390) << 400.0 << 20 << "(19,0)";
    QTest::addRow("half a cell left: column 0") << QPointF(-10, 64) << 400.0 << 20 << "(3,0)";
    QTest::addRow("a cell left: nothing") << QPointF(-20, 60) << 400.0 << 20 << "none";
    QTest::addRow("at 20 cells: nothing") << QPointF(400, 60) << 400.0 << 20 << "none";
    QTest::addRow("just inside the far corner")
        << QPointF(399.9, 399.9) << 400.0 << 20 << "(19,19)";
    QTest::addRow("zero-sized board") << QPointF(0, 0) << 0.0 << 20 << "none";
    QTest::addRow("no cells") << QPointF(10, 10) << 400.0 << 0 << "none";
    QTest::addRow("not a number") << QPointF(Nan, 10) << 400.0 << 20 << "none";
    QTest::addRow("infinite point") << QPointF(10, Inf) << 400.0 << 20 << "none";
    QTest::addRow("infinite side") << QPointF(10, 10) << Inf << 20 << "none";
    QTest::addRow("far away") << QPointF(1e300, 10) << 400.0 << 20 << "none";
}

void TestGameBoard::releaseMapsByTruncation()
{
    QFETCH(QPointF, point);
    QFETCH(double, side);
    QFETCH(int, cells);
    QFETCH(QString, cell);
    QCOMPARE(text(releaseCell(point, side, cells)), cell);
}

void TestGameBoard::init()
{
    // The renderer every test machine has; the board is drawn for it in the first place.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    m_window = std::make_unique<QQuickWindow>();
    m_window->setColor(Qt::black);
    m_window->resize(Side + 2 * Margin, Side + 2 * Margin);
    m_board = new GameBoard(m_window->contentItem());
    m_board->setPosition(QPointF(Margin, Margin));
    m_board->setSize(QSizeF(Side, Side));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestGameBoard::releaseSelectsTheCell()
{
    QSignalSpy tapped(m_board, &GameBoard::cellTapped);
    int selectedWhenTapped = -1; // the selection is set before the owner hears of the tap
    connect(m_board, &GameBoard::cellTapped, this,
            [&] { selectedWhenTapped = m_board->selectedRow() * 100 + m_board->selectedCol(); });
    // Pressed on one cell, released half a cell left of the board: column 0 of that row.
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, at({1.5, 1.5}));
    QTest::mouseMove(m_window.get(), at({-0.5, 17.9}));
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, at({-0.5, 17.9}));
    QCOMPARE(tapped.count(), 1);
    QCOMPARE(tapped.first(), (QList<QVariant>{17, 0}));
    QCOMPARE(selectedWhenTapped, 1700);
    // Released a cell right of the board: nothing.
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, at({5.5, 5.5}));
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, at({20.5, 5.5}));
    QCOMPARE(tapped.count(), 1);
}

void TestGameBoard::drawsEachNewStateAndSurvivesGarbage()
{
    // Only changed cells are redrawn between states: each state must still show exactly itself,
    // handed over as the record (as the game screen does) or as maps.
    m_board->setGameState(QVariant::fromValue(stateWith(boardWith({{4, 4, Yellow}}))));
    QVERIFY(isNear(pixel(4, 4), displayColor(Yellow)));
    m_board->setGameState(QVariant::fromValue(stateWith(boardWith({{4, 4, Green}, {4, 5, Blue}}))));
    QVERIFY(isNear(pixel(4, 4), displayColor(Green)));
    QVERIFY(isNear(pixel(4, 5), displayColor(Blue)));
    const QByteArray json = json::toJson(stateWith(boardWith({})));
    m_board->setGameState(QJsonDocument::fromJson(json).toVariant());
    QVERIFY(isDark(4, 4));
    // Blue's corner glow shines beside its free corner and gives way once a piece lies there.
    const auto glowShows = [this] {
        return m_window->grabWindow().pixelColor(at({1.1, 1.1})).blue() > 100;
    };
    QVERIFY(glowShows());
    m_board->setGameState(QVariant::fromValue(stateWith(boardWith({{0, 0, Blue}}))));
    QTRY_VERIFY(!glowShows());

    // Short rows draw what they have; a value outside the four colours draws nothing.
    m_board->setGameState(
        QVariantMap{{"board", QVariantList{QVariantList{1, 7}, QVariantList{3}}}});
    QVERIFY(isNear(pixel(1, 0), displayColor(Red)));
    QVERIFY(isDark(0, 1));
    m_board->setGameState(QStringLiteral("not a game"));
    QVERIFY(isDark(0, 0));

    // Garbage in every member draws what it can and never fails.
    const QVariantList badSquares{QVariantList{1e300, std::nan("")}, QVariantList{"a", "b"},
                                  QVariant(7), QVariantList{}};
    const QVariantMap piece{{"id", 42}, {"squares", badSquares}};
    m_board->setGameState(
        QVariantMap{{"board", QVariantList{QVariantList{1, "x"}}},
                    {"players", QVariantList{QVariantMap{{"pieces", QVariantList{piece}}},
                                             QVariant("player"), QVariantMap{{"pieces", 3}}}}});
    m_board->setSelectedPieceId(QStringLiteral("42"));
    m_board->setPreviewRow(2);
    m_board->setPreviewCol(2);
    m_board->setShowTargetCrosshair(true);
    QVERIFY(isNear(pixel(2, 2), systemRed())); // the crosshair only
    QCOMPARE(m_board->snapshot().playerCount, 3);
}

QTEST_MAIN(TestGameBoard)
#include "tst_gameboard.moc"
