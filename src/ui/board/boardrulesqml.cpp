#include "boardrulesqml.h"

#include "boardcolors.h"
#include "boardgeometry.h"
#include "boardrules.h"
#include "timeformat.h"
#include "variantinput.h"

namespace korvana::board {

namespace {

QVariant cellValue(const std::optional<Cell> &cell)
{
    if (!cell)
        return QVariant::fromValue(nullptr);
    return QVariantMap{{QStringLiteral("row"), cell->row}, {QStringLiteral("col"), cell->col}};
}

} // namespace

BoardRulesQml::BoardRulesQml(QObject *parent)
    : QObject(parent)
{
}

QColor BoardRulesQml::grayColor()
{
    return systemGray();
}
QColor BoardRulesQml::greenColor()
{
    return systemGreen();
}
QColor BoardRulesQml::redColor()
{
    return systemRed();
}
QColor BoardRulesQml::yellowColor()
{
    return systemYellow();
}

QColor BoardRulesQml::playerColor(const QString &name) const
{
    return board::playerColor(name);
}

QColor BoardRulesQml::screenColor(const QString &name) const
{
    return board::screenColor(name);
}

QColor BoardRulesQml::cellColor(const QVariant &value) const
{
    const auto number = variantInteger(plainVariant(value));
    return number ? board::cellColor(*number) : QColor(0, 0, 0, 0);
}

int BoardRulesQml::colorNumber(const QString &name) const
{
    return board::colorNumber(name);
}

QVariantList BoardRulesQml::rotatedSquares(const QVariant &squares, int rotation) const
{
    return squaresToVariant(board::rotatedSquares(squaresFromVariant(squares), rotation));
}

bool BoardRulesQml::isPlacementValid(const QVariant &squares, int rotation, int row, int col,
                                     const QVariant &board, const QString &colorName) const
{
    const auto cells = boardFromVariant(board);
    return cells && board::isPlacementValid(squaresFromVariant(squares), rotation, row, col, *cells,
                                            colorName);
}

QVariantList BoardRulesQml::validCells(const QVariant &squares, int rotation, const QVariant &board,
                                       const QString &colorName) const
{
    const auto cells = boardFromVariant(board);
    if (!cells)
        return {};
    QVariantList result;
    for (const Cell &cell :
         board::validCells(squaresFromVariant(squares), rotation, *cells, colorName))
        result.append(cellValue(cell));
    return result;
}

QVariant BoardRulesQml::releaseCell(qreal x, qreal y, qreal boardSide, int boardSize) const
{
    return cellValue(board::releaseCell(QPointF(x, y), boardSide, boardSize));
}

QVariant BoardRulesQml::dragCell(qreal x, qreal y, qreal frameWidth, qreal frameHeight) const
{
    return cellValue(board::dragCell(QPointF(x, y), QSizeF(frameWidth, frameHeight)));
}

QVariantMap BoardRulesQml::previewGeometry(const QVariant &squares, int rotation, qreal width,
                                           qreal height) const
{
    const PreviewGeometry g =
        board::previewGeometry(squaresFromVariant(squares), rotation, QSizeF(width, height));
    QVariantList centres;
    for (const QPointF &c : g.centres)
        centres.append(QVariantMap{{QStringLiteral("x"), c.x()}, {QStringLiteral("y"), c.y()}});
    return {{QStringLiteral("side"), g.side},
            {QStringLiteral("unit"), g.unit},
            {QStringLiteral("xOffset"), g.xOffset},
            {QStringLiteral("yOffset"), g.yOffset},
            {QStringLiteral("squareSide"), g.squareSide},
            {QStringLiteral("centres"), centres}};
}

QString BoardRulesQml::formatTime(qint64 seconds) const
{
    return board::formatTime(seconds);
}

} // namespace korvana::board
