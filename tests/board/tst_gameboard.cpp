#include "boardcolors.h"
#include "boardtestdata.h"
#include "gameboard.h"
#include "piecepreview.h"

#include <QJsonDocument>
#include <QQmlEngine>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QtQml/qqmlextensionplugin.h>
#include <cmath>

Q_IMPORT_QML_PLUGIN(Korvana_BoardPlugin)

using namespace korvana;
using namespace korvana::board;
using korvana::test::boardWith;
using korvana::test::squaresOf;

namespace {

constexpr int Margin = 20; // around the board inside the window, for releases off the board
constexpr int Side = 400;  // board side: 20-point cells
constexpr int CellSide = Side / 20;

GameState stateWith(Board board, int players)
{
    GameState state;
    state.board = std::move(board);
    const char *colors[] = {"blue", "yellow", "red", "green"};
    for (int i = 0; i < players; ++i) {
        Player player;
        player.id = QStringLiteral("p%1").arg(i);
        player.color = QString::fromLatin1(colors[i]);
        GamePiece corner;
        corner.id = QStringLiteral("V3-%1").arg(i);
        corner.squares = squaresOf({{0, 0}, {0, 1}, {1, 0}});
        GamePiece empty;
        empty.id = QStringLiteral("none-%1").arg(i);
        player.pieces = {corner, empty};
        state.players.append(player);
    }
    return state;
}

// The state as the game manager hands it to QML: maps and lists under the wire's names.
QVariant asQml(const GameState &state)
{
    return QJsonDocument::fromJson(json::toJson(state)).toVariant();
}

QPoint cellCentre(int row, int col)
{
    return {Margin + col * CellSide + CellSide / 2, Margin + row * CellSide + CellSide / 2};
}

bool isGreenish(QColor c)
{
    return c.green() > c.red() + 40 && c.green() > c.blue() + 30;
}
bool isReddish(QColor c)
{
    return c.red() > c.green() + 40 && c.red() > c.blue() + 30;
}
bool isDark(QColor c)
{
    return c.red() < 40 && c.green() < 40 && c.blue() < 50;
}
bool isNear(QColor actual, QColor expected, int tolerance = 6)
{
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
}

QByteArray describe(QColor c)
{
    return c.name().toLatin1();
}

} // namespace

class TestGameBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void drawsOccupiedCellsInTheirColour();
    void seatsLightTheirCornerGlows();
    void selectionOutlineOnlyOnOccupiedCells();
    void ghostIsGreenOrRed_data();
    void ghostIsGreenOrRed();
    void ghostLeavesOffBoardSquaresOut();
    void unknownPieceShowsNoGhost();
    void crosshairBreathesWhileShown();
    void releaseSelectsTheCell_data();
    void releaseSelectsTheCell();
    void touchReleaseSelectsTheCell();
    void zeroSizedBoardIgnoresReleases();
    void redrawsAfterTheBoardChanges();
    void piecePreviewDrawsCentred();

private:
    QImage grab();

    QTemporaryDir m_dir;
    std::unique_ptr<QQuickView> m_view;
    GameBoard *m_board = nullptr;
};

void TestGameBoard::initTestCase()
{
    // The renderer every test machine has; the board is drawn for it in the first place.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QVERIFY(m_dir.isValid());
}

void TestGameBoard::init()
{
    QFile file(m_dir.filePath(QStringLiteral("board.qml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"(
        import QtQuick
        import Korvana.Board
        Rectangle {
            width: 440; height: 440
            color: "black"
            GameBoard { objectName: "board"; x: 20; y: 20; width: 400; height: 400 }
        })");
    file.close();

    m_view = std::make_unique<QQuickView>();
    m_view->engine()->addImportPath(QStringLiteral("qrc:/"));
    m_view->setSource(QUrl::fromLocalFile(file.fileName()));
    QCOMPARE(m_view->status(), QQuickView::Ready);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_board = m_view->rootObject()->findChild<GameBoard *>(QStringLiteral("board"));
    QVERIFY(m_board);
}

void TestGameBoard::cleanup()
{
    m_board = nullptr;
    m_view.reset();
}

QImage TestGameBoard::grab()
{
    QImage image = m_view->grabWindow();
    if (qEnvironmentVariableIsSet("KORVANA_SAVE_GRABS"))
        image.save(QStringLiteral("/tmp/grab-%1.png").arg(QTest::currentTestFunction()));
    return image;
}

void TestGameBoard::drawsOccupiedCellsInTheirColour()
{
    m_board->setGameState(asQml(stateWith(boardWith({{0, 0, 1}, {19, 19, 3}, {10, 10, 7}}), 2)));
    const QImage image = grab();
    const QColor blue = image.pixelColor(cellCentre(0, 0));
    const QColor red = image.pixelColor(cellCentre(19, 19));
    QVERIFY2(isNear(blue, displayColor(Blue)), describe(blue));
    QVERIFY2(isNear(red, displayColor(Red)), describe(red));
    // A value outside 1..4 and an empty cell show only the dark background.
    QVERIFY2(isDark(image.pixelColor(cellCentre(10, 10))),
             describe(image.pixelColor(cellCentre(10, 10))));
    QVERIFY(isDark(image.pixelColor(cellCentre(5, 5))));
    // Outside the board: the window.
    QCOMPARE(image.pixelColor(5, 220), QColor(Qt::black));
}

void TestGameBoard::seatsLightTheirCornerGlows()
{
    // Two seats: blue (top-left) and yellow (top-right) bright, red and green dim.
    m_board->setGameState(asQml(stateWith(boardWith({}), 2)));
    const QImage image = grab();
    const auto glow = [&](double row, double col) {
        return image.pixelColor(int(Margin + col * CellSide), int(Margin + row * CellSide));
    };
    const QColor blue = glow(1, 1), yellow = glow(1, 19), red = glow(19, 19), green = glow(19, 1);
    QVERIFY2(blue.blue() > 150, describe(blue));
    QVERIFY2(yellow.red() > 150, describe(yellow));
    QVERIFY2(red.red() < 110, describe(red));
    QVERIFY2(green.green() < 110, describe(green));
    // Dim, but there.
    QVERIFY2(red.red() > 40, describe(red));
}

void TestGameBoard::selectionOutlineOnlyOnOccupiedCells()
{
    m_board->setGameState(asQml(stateWith(boardWith({{0, 0, 1}}), 1)));
    const QPoint edge(Margin + 1, Margin + CellSide / 2); // left edge of cell (0, 0)
    const QPoint emptyEdge(Margin + 5 * CellSide + 1, Margin + 5 * CellSide + CellSide / 2);
    const QColor before = grab().pixelColor(emptyEdge);

    m_board->setSelectedRow(0);
    m_board->setSelectedCol(0);
    QImage image = grab();
    const QColor outline = image.pixelColor(edge);
    QVERIFY2(outline.red() > 180 && outline.green() > 140 && outline.blue() < 120,
             describe(outline));

    m_board->setSelectedRow(5);
    m_board->setSelectedCol(5);
    image = grab();
    QCOMPARE(image.pixelColor(emptyEdge), before);
    QVERIFY(isNear(image.pixelColor(cellCentre(0, 0)), displayColor(Blue)));
}

void TestGameBoard::ghostIsGreenOrRed_data()
{
    QTest::addColumn<QVariant>("valid");
    QTest::addColumn<bool>("green");

    QTest::addRow("valid") << QVariant(true) << true;
    QTest::addRow("invalid") << QVariant(false) << false;
    QTest::addRow("none counts as invalid") << QVariant() << false;
    QTest::addRow("null counts as invalid") << QVariant::fromValue(nullptr) << false;
}

void TestGameBoard::ghostIsGreenOrRed()
{
    QFETCH(QVariant, valid);
    QFETCH(bool, green);
    m_board->setState(stateWith(boardWith({}), 2));
    m_board->setSelectedPieceId(QStringLiteral("V3-1"));
    m_board->setIsPreviewValid(valid);
    m_board->setPreviewRow(5);
    m_board->setPreviewCol(7);
    const QImage image = grab();
    // [0,0], [0,1], [1,0] from (5, 7).
    for (const QPoint p : {cellCentre(5, 7), cellCentre(5, 8), cellCentre(6, 7)}) {
        const QColor c = image.pixelColor(p);
        QVERIFY2(green ? isGreenish(c) : isReddish(c), describe(c));
    }
    QVERIFY(isDark(image.pixelColor(cellCentre(6, 8))));
}

void TestGameBoard::ghostLeavesOffBoardSquaresOut()
{
    m_board->setState(stateWith(boardWith({}), 1));
    m_board->setSelectedPieceId(QStringLiteral("V3-0"));
    m_board->setIsPreviewValid(true);
    m_board->setPreviewRow(19);
    m_board->setPreviewCol(19);
    const QImage image = grab();
    QVERIFY(isGreenish(image.pixelColor(cellCentre(19, 19))));
    // The squares at column 20 and row 20 would fall on the window's margin.
    QCOMPARE(image.pixelColor(cellCentre(19, 20)), QColor(Qt::black));
    QCOMPARE(image.pixelColor(cellCentre(20, 19)), QColor(Qt::black));
}

void TestGameBoard::unknownPieceShowsNoGhost()
{
    m_board->setState(stateWith(boardWith({}), 2));
    m_board->setIsPreviewValid(true);
    m_board->setPreviewRow(5);
    m_board->setPreviewCol(7);
    for (const char *id : {"nothing", "none-1", ""}) {
        m_board->setSelectedPieceId(QString::fromLatin1(id));
        QVERIFY2(isDark(grab().pixelColor(cellCentre(5, 7))), id);
    }
}

void TestGameBoard::crosshairBreathesWhileShown()
{
    m_board->setState(stateWith(boardWith({}), 2));
    m_board->setPreviewRow(10);
    m_board->setPreviewCol(3);
    m_board->setIsPreviewValid(true);
    QVERIFY(isDark(grab().pixelColor(cellCentre(10, 3)))); // not asked for yet

    m_board->setShowTargetCrosshair(true);
    QImage image = grab();
    QVERIFY(isNear(image.pixelColor(cellCentre(10, 3)), systemGreen(), 10)); // the centre dot
    // The horizontal arm reaches 0.6 cells out; the vertical bar of the cross too.
    QVERIFY(isGreenish(image.pixelColor(cellCentre(10, 3) + QPoint(CellSide / 2 + 1, 0))));
    QVERIFY(isGreenish(image.pixelColor(cellCentre(10, 3) - QPoint(0, CellSide / 2 + 1))));
    // Bracket 0's corner sits 0.7 cells up and left of the centre, its arms run right and down.
    const QPoint corner = cellCentre(10, 3) - QPoint(int(0.7 * CellSide), int(0.7 * CellSide));
    for (const QPoint along : {QPoint(0, 0), QPoint(6, 0), QPoint(0, 6)})
        QVERIFY2(isGreenish(image.pixelColor(corner + along)),
                 describe(image.pixelColor(corner + along)));
    QVERIFY(isDark(image.pixelColor(corner + QPoint(4, 4))));

    QTRY_VERIFY_WITH_TIMEOUT(m_board->pulseScale() > 1.1, 2000);
    QVERIFY(m_board->pulseScale() <= 1.3);

    m_board->setIsPreviewValid(false);
    QVERIFY(isNear(grab().pixelColor(cellCentre(10, 3)), systemRed(), 10));

    m_board->setShowTargetCrosshair(false);
    QCOMPARE(m_board->pulseScale(), 1.0);
    QVERIFY(isDark(grab().pixelColor(cellCentre(10, 3))));
}

void TestGameBoard::releaseSelectsTheCell_data()
{
    QTest::addColumn<QPointF>("press"); // in cells from the board's top-left
    QTest::addColumn<QPointF>("release");
    QTest::addColumn<int>("row"); // -1: nothing selected, no signal
    QTest::addColumn<int>("col");

    QTest::addRow("tap") << QPointF(3.5, 7.5) << QPointF(3.5, 7.5) << 7 << 3;
    QTest::addRow("0.95, 19.5 cells") << QPointF(0.95, 19.5) << QPointF(0.95, 19.5) << 19 << 0;
    QTest::addRow("released half a cell left") << QPointF(2.5, 4.5) << QPointF(-0.5, 4.5) << 4 << 0;
    QTest::addRow("released half a cell above")
        << QPointF(2.5, 4.5) << QPointF(2.5, -0.5) << 0 << 2;
    QTest::addRow("released at 20 cells") << QPointF(2.5, 4.5) << QPointF(20, 4.5) << -1 << -1;
    QTest::addRow("dragged across") << QPointF(1.5, 1.5) << QPointF(12.2, 17.9) << 17 << 12;
}

void TestGameBoard::releaseSelectsTheCell()
{
    QFETCH(QPointF, press);
    QFETCH(QPointF, release);
    QFETCH(int, row);
    QFETCH(int, col);
    QSignalSpy tapped(m_board, &GameBoard::cellTapped);
    QList<int> order;
    connect(m_board, &GameBoard::selectedRowChanged, this, [&] { order.append(1); });
    connect(m_board, &GameBoard::selectedColChanged, this, [&] { order.append(2); });
    connect(m_board, &GameBoard::cellTapped, this, [&] { order.append(3); });

    const auto at = [](QPointF cells) {
        const QPointF p = cells * CellSide + QPointF(Margin, Margin);
        return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
    };
    QTest::mousePress(m_view.get(), Qt::LeftButton, {}, at(press));
    QTest::mouseMove(m_view.get(), at(release));
    QTest::mouseRelease(m_view.get(), Qt::LeftButton, {}, at(release));

    if (row < 0) {
        QCOMPARE(tapped.count(), 0);
        QCOMPARE(m_board->selectedRow(), -1);
        return;
    }
    QCOMPARE(tapped.count(), 1);
    QCOMPARE(tapped.first(), (QList<QVariant>{row, col}));
    QCOMPARE(m_board->selectedRow(), row);
    QCOMPARE(m_board->selectedCol(), col);
    QCOMPARE(order, (QList<int>{1, 2, 3})); // the selection is set before the owner hears of it
}

void TestGameBoard::touchReleaseSelectsTheCell()
{
    QSignalSpy tapped(m_board, &GameBoard::cellTapped);
    QPointingDevice *device = QTest::createTouchDevice();
    QTest::touchEvent(m_view.get(), device).press(0, cellCentre(2, 9));
    QTest::touchEvent(m_view.get(), device).move(0, cellCentre(6, 9));
    QTest::touchEvent(m_view.get(), device).release(0, cellCentre(6, 9));
    QCOMPARE(tapped.count(), 1);
    QCOMPARE(tapped.first(), (QList<QVariant>{6, 9}));
}

void TestGameBoard::zeroSizedBoardIgnoresReleases()
{
    QSignalSpy tapped(m_board, &GameBoard::cellTapped);
    m_board->setSize(QSizeF(0, 0));
    QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(Margin, Margin));
    m_board->setSize(QSizeF(Side, Side));
    m_board->setBoardSize(0);
    QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, cellCentre(1, 1));
    QCOMPARE(tapped.count(), 0);
    QCOMPARE(m_board->selectedRow(), -1);
    (void)grab(); // and draws without trouble

    // A press in the letterbox of a wide item is not on the board.
    m_board->setBoardSize(20);
    m_board->setSize(QSizeF(Side, Side / 2));
    QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(Margin + 10, Margin + 10));
    QCOMPARE(tapped.count(), 0);
    QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, QPoint(Margin + Side / 4 + 1, Margin + 1));
    QCOMPARE(tapped.count(), 1);
    QCOMPARE(tapped.first(), (QList<QVariant>{0, 0}));
}

void TestGameBoard::redrawsAfterTheBoardChanges()
{
    m_board->setState(stateWith(boardWith({{4, 4, 2}}), 2));
    QVERIFY(isNear(grab().pixelColor(cellCentre(4, 4)), displayColor(Yellow)));
    m_board->setState(stateWith(boardWith({{4, 4, 4}, {4, 5, 1}}), 2));
    QImage image = grab();
    QVERIFY(isNear(image.pixelColor(cellCentre(4, 4)), displayColor(Green)));
    QVERIFY(isNear(image.pixelColor(cellCentre(4, 5)), displayColor(Blue)));
    m_board->setState(std::nullopt);
    image = grab();
    QVERIFY(isDark(image.pixelColor(cellCentre(4, 4))));

    // A malformed board from QML: short rows draw what they have.
    QVariantMap state;
    state[QStringLiteral("board")] = QVariantList{QVariantList{1, 2}, QVariantList{3}};
    state[QStringLiteral("players")] = QVariantList{};
    m_board->setGameState(state);
    image = grab();
    QVERIFY(isNear(image.pixelColor(cellCentre(0, 1)), displayColor(Yellow)));
    QVERIFY(isNear(image.pixelColor(cellCentre(1, 0)), displayColor(Red)));
    m_board->setGameState(QStringLiteral("not a game"));
    QVERIFY(isDark(grab().pixelColor(cellCentre(0, 1))));

    // Garbage in every member draws what it can and never fails.
    const QVariantList badSquares{QVariantList{1e300, std::nan("")}, QVariantList{"a", "b"},
                                  QVariant(7), QVariantList{}};
    QVariantMap piece{{"id", 42}, {"squares", badSquares}};
    QVariantMap garbage{{"board", QVariantList{QVariantList{1, "x"}}},
                        {"players", QVariantList{QVariantMap{{"pieces", QVariantList{piece}}},
                                                 QVariant("player"), QVariantMap{{"pieces", 3}}}}};
    m_board->setGameState(garbage);
    m_board->setSelectedPieceId(QStringLiteral("42"));
    m_board->setPreviewRow(2);
    m_board->setPreviewCol(2);
    m_board->setShowTargetCrosshair(true);
    image = grab();
    QVERIFY(isNear(image.pixelColor(cellCentre(2, 2)), systemRed(), 10)); // the crosshair only
    QCOMPARE(m_board->snapshot().playerCount, 3);
}

void TestGameBoard::piecePreviewDrawsCentred()
{
    m_board->setVisible(false);
    auto *preview = new PiecePreview(m_view->rootObject());
    preview->setPosition(QPointF(0, 0));
    preview->setSize(QSizeF(60, 60));
    preview->setSquaresValue(QVariantList{QVariantList{0, 0}, QVariantList{0, 1},
                                          QVariantList{0, 2}, QVariantList{0, 3},
                                          QVariantList{0, 4}});
    preview->setPieceColor(displayColor(Red));
    preview->setShadow(false);
    QCOMPARE(preview->unit(), 10.0);
    QImage image = grab();
    for (int x : {10, 30, 50})
        QVERIFY2(isReddish(image.pixelColor(x, 30)), describe(image.pixelColor(x, 30)));
    QCOMPARE(image.pixelColor(2, 30), QColor(Qt::black)); // the 5-point margin
    QCOMPARE(image.pixelColor(30, 20), QColor(Qt::black));

    preview->setRotation(90); // upright
    image = grab();
    QVERIFY(isReddish(image.pixelColor(30, 10)));
    QCOMPARE(image.pixelColor(10, 30), QColor(Qt::black));
}

QTEST_MAIN(TestGameBoard)
#include "tst_gameboard.moc"
