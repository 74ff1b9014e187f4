#pragma once

#include <QColor>
#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace korvana::board {

// The board's colour tables, rotation, placement check and mappings for QML, as `BoardRules`.
// Lists are JS arrays: squares [[dr, dc], ...], a board [[value, ...], ...]; a cell comes back
// as {row, col} or null.
class BoardRulesQml : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(BoardRules)
    QML_SINGLETON
    Q_PROPERTY(QColor grayColor READ grayColor CONSTANT)
    Q_PROPERTY(QColor greenColor READ greenColor CONSTANT)
    Q_PROPERTY(QColor redColor READ redColor CONSTANT)
    Q_PROPERTY(QColor yellowColor READ yellowColor CONSTANT)

public:
    explicit BoardRulesQml(QObject *parent = nullptr);

    [[nodiscard]] static QColor grayColor();
    [[nodiscard]] static QColor greenColor();
    [[nodiscard]] static QColor redColor();
    [[nodiscard]] static QColor yellowColor();

    // Gray for an unknown name.
    Q_INVOKABLE QColor playerColor(const QString &name) const;
    // White for an unknown name (the game screen's rule).
    Q_INVOKABLE QColor screenColor(const QString &name) const;
    Q_INVOKABLE QColor cellColor(const QVariant &value) const;
    Q_INVOKABLE int colorNumber(const QString &name) const;
    Q_INVOKABLE QVariantList rotatedSquares(const QVariant &squares, int rotation) const;
    Q_INVOKABLE bool isPlacementValid(const QVariant &squares, int rotation, int row, int col,
                                      const QVariant &board, const QString &colorName) const;
    // [{row, col}, ...]: every anchor where the piece may go.
    Q_INVOKABLE QVariantList validCells(const QVariant &squares, int rotation,
                                        const QVariant &board, const QString &colorName) const;
    // The cell of a release at (x, y) from the board's top-left, or null.
    Q_INVOKABLE QVariant releaseCell(qreal x, qreal y, qreal boardSide, int boardSize) const;
    // The cell under a dragging finger at (x, y) from the board frame's top-left, or null.
    Q_INVOKABLE QVariant dragCell(qreal x, qreal y, qreal frameWidth, qreal frameHeight) const;
    // {side, unit, xOffset, yOffset, squareSide, centres: [{x, y}, ...]} of a piece drawing.
    Q_INVOKABLE QVariantMap previewGeometry(const QVariant &squares, int rotation, qreal width,
                                            qreal height) const;
    Q_INVOKABLE QString formatTime(qint64 seconds) const;
};

} // namespace korvana::board
