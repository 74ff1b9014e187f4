// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "piecepreview.h"

#include "boardgeometry.h"
#include "boardsprites.h"
#include "variantinput.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGTexture>
#include <QSGTransformNode>

#include <memory>

namespace korvana::board {

namespace {

// Nodes and the one shared square texture of a piece drawing. A transform node (identity) rather
// than a plain one, so that the software renderer places squares added later correctly.
class PieceNode : public QSGTransformNode
{
public:
    std::unique_ptr<QSGTexture> texture;
    QRectF spriteRect; // around a square's centre
    std::vector<QSGImageNode *> squares;
};

} // namespace

PiecePreview::PiecePreview(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents);
}

void PiecePreview::setSquaresValue(const QVariant &squares)
{
    m_squaresValue = squares;
    m_squares = squaresFromVariant(squares);
    emit squaresChanged();
    changed();
}

void PiecePreview::setSquares(const Squares &squares)
{
    m_squares = squares;
    m_squaresValue = squaresToVariant(squares);
    emit squaresChanged();
    changed();
}

void PiecePreview::setRotation(int degrees)
{
    if (degrees == m_rotation)
        return;
    m_rotation = degrees;
    emit rotationChanged();
    changed();
}

void PiecePreview::setPieceColor(const QColor &color)
{
    if (color == m_pieceColor)
        return;
    m_pieceColor = color;
    m_textureDirty = true;
    emit pieceColorChanged();
    update();
}

void PiecePreview::setShadow(bool shadow)
{
    if (shadow == m_shadow)
        return;
    m_shadow = shadow;
    m_textureDirty = true;
    emit shadowChanged();
    update();
}

void PiecePreview::setMarkNumber(int number)
{
    if (number == m_markNumber)
        return;
    m_markNumber = number;
    m_textureDirty = true;
    emit markNumberChanged();
    update();
}

qreal PiecePreview::unit() const
{
    return previewGeometry(m_squares, m_rotation, size()).unit;
}

void PiecePreview::changed()
{
    m_textureDirty = true; // the unit may have changed
    emit layoutChanged();
    update();
}

void PiecePreview::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        changed();
}

QSGNode *PiecePreview::updatePaintNode(QSGNode *old, UpdatePaintNodeData *)
{
    auto *node = static_cast<PieceNode *>(old);
    const PreviewGeometry g = previewGeometry(m_squares, m_rotation, size());
    if (!window() || !(g.unit > 0) || g.centres.isEmpty()) {
        delete node;
        return nullptr;
    }
    if (!node) {
        node = new PieceNode;
        m_textureDirty = true;
    }

    const double dpr = window()->effectiveDevicePixelRatio();
    if (m_textureDirty) {
        const Sprite sprite = pieceSquareSprite(m_pieceColor, g.unit, m_shadow, dpr, m_markNumber);
        std::unique_ptr<QSGTexture> texture(
            window()->createTextureFromImage(sprite.image, QQuickWindow::TextureHasAlphaChannel));
        for (QSGImageNode *square : node->squares) {
            square->setTexture(texture.get());
            square->setSourceRect(QRectF(QPointF(0, 0), texture->textureSize()));
        }
        node->texture = std::move(texture);
        node->spriteRect = sprite.rect;
        m_textureDirty = false;
    }

    const auto count = std::size_t(g.centres.size());
    while (node->squares.size() < count) {
        QSGImageNode *square = window()->createImageNode();
        square->setOwnsTexture(false);
        square->setFiltering(QSGTexture::Linear);
        square->setTexture(node->texture.get());
        square->setSourceRect(QRectF(QPointF(0, 0), node->texture->textureSize()));
        node->appendChildNode(square);
        node->squares.push_back(square);
    }
    while (node->squares.size() > count) {
        QSGImageNode *square = node->squares.back();
        node->squares.pop_back();
        node->removeChildNode(square);
        delete square;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF centre = g.centres[qsizetype(i)];
        const QPointF snapped(std::round(centre.x() * dpr) / dpr,
                              std::round(centre.y() * dpr) / dpr);
        node->squares[i]->setRect(node->spriteRect.translated(snapped));
    }
    return node;
}

} // namespace korvana::board
