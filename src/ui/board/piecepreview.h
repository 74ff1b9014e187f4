// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

#include <QColor>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

namespace korvana::board {

// A piece's squares at a rotation, centred in the square of side min(width, height) at the item's
// top-left: the tray tiles and the floating piece under the finger.
class PiecePreview : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    // [[dr, dc], ...] as in a game state's pieces.
    Q_PROPERTY(QVariant squares READ squaresValue WRITE setSquaresValue NOTIFY squaresChanged)
    Q_PROPERTY(int rotation READ rotation WRITE setRotation NOTIFY rotationChanged)
    Q_PROPERTY(QColor pieceColor READ pieceColor WRITE setPieceColor NOTIFY pieceColorChanged)
    // The soft coloured shadow under each square.
    Q_PROPERTY(bool shadow READ shadow WRITE setShadow NOTIFY shadowChanged)
    // A colour number whose colour-blind mark each square carries; 0 for none.
    Q_PROPERTY(int markNumber READ markNumber WRITE setMarkNumber NOTIFY markNumberChanged)
    // Side of one square's cell in the drawing.
    Q_PROPERTY(qreal unit READ unit NOTIFY layoutChanged)

public:
    explicit PiecePreview(QQuickItem *parent = nullptr);

    [[nodiscard]] QVariant squaresValue() const { return m_squaresValue; }
    void setSquaresValue(const QVariant &squares);
    [[nodiscard]] const Squares &squares() const { return m_squares; }
    void setSquares(const Squares &squares);
    [[nodiscard]] int rotation() const { return m_rotation; }
    void setRotation(int degrees);
    [[nodiscard]] QColor pieceColor() const { return m_pieceColor; }
    void setPieceColor(const QColor &color);
    [[nodiscard]] bool shadow() const { return m_shadow; }
    void setShadow(bool shadow);
    [[nodiscard]] int markNumber() const { return m_markNumber; }
    void setMarkNumber(int number);
    [[nodiscard]] qreal unit() const;

Q_SIGNALS:
    void squaresChanged();
    void rotationChanged();
    void pieceColorChanged();
    void shadowChanged();
    void markNumberChanged();
    void layoutChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *old, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    void changed();

    QVariant m_squaresValue;
    Squares m_squares;
    int m_rotation = 0;
    QColor m_pieceColor = QColor::fromRgbF(0.3f, 0.7f, 0.9f);
    bool m_shadow = true;
    int m_markNumber = 0;
    bool m_textureDirty = true;
};

} // namespace korvana::board
