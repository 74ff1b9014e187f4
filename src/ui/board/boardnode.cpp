// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardnode.h"

#include "boardcolors.h"
#include "boardsprites.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGOpacityNode>
#include <QSGRectangleNode>
#include <QSGTexture>

#include <algorithm>
#include <cmath>

namespace korvana::board {

namespace {

constexpr double MaxPulse = 1.3;

} // namespace

BoardNode::BoardNode() = default;

// Child nodes go with QSGNode's destructor; they do not own the textures, so those may go first.
BoardNode::~BoardNode() = default;

void BoardNode::makeTexture(QQuickWindow *window, Texture &slot, const Sprite &sprite)
{
    slot.texture.reset(
        window->createTextureFromImage(sprite.image, QQuickWindow::TextureHasAlphaChannel));
    slot.rect = sprite.rect;
}

QSGImageNode *BoardNode::newImage(QQuickWindow *window, const Texture &texture)
{
    QSGImageNode *node = window->createImageNode();
    node->setOwnsTexture(false);
    node->setFiltering(QSGTexture::Linear);
    node->setTexture(texture.texture.get());
    node->setSourceRect(QRectF(QPointF(0, 0), texture.texture->textureSize()));
    return node;
}

QPointF BoardNode::cellOrigin(int row, int col) const
{
    // On the device pixel grid, so that the images land unscaled.
    return {std::round(col * m_cellSize * m_dpr) / m_dpr,
            std::round(row * m_cellSize * m_dpr) / m_dpr};
}

QRectF BoardNode::placed(const Texture &texture, int row, int col) const
{
    return texture.rect.translated(cellOrigin(row, col));
}

void BoardNode::rebuildTextures(QQuickWindow *window, const BoardFrame &frame)
{
    const bool cellsResized = frame.cellSize != m_cellSize || frame.dpr != m_dpr;
    const bool backdropChanged = cellsResized || frame.boardSize != m_boardSize ||
                                 frame.playerCount != m_playerCount ||
                                 frame.hiddenGlows != m_hiddenGlows;
    if (backdropChanged) {
        Texture backdrop;
        makeTexture(window, backdrop,
                    backdropSprite(frame.cellSize, frame.boardSize, frame.playerCount, frame.dpr,
                                   frame.hiddenGlows));
        if (!m_backdropNode) {
            m_backdropNode = newImage(window, backdrop);
            prependChildNode(m_backdropNode);
        }
        m_backdropNode->setTexture(backdrop.texture.get());
        m_backdropNode->setSourceRect(QRectF(QPointF(0, 0), backdrop.texture->textureSize()));
        m_backdropNode->setRect(backdrop.rect);
        m_backdrop = std::move(backdrop); // the old texture goes only after the node let go
    }
    const bool marksChanged = frame.colorMarks != m_colorMarks || frame.ghostMark != m_ghostMark;
    if (!cellsResized && !marksChanged)
        return;

    // Replaced in place below: every node that shows one is given the new one in this frame.
    Texture old[4 + 1 + 2 + 2 + 2];
    int n = 0;
    const auto renew = [&](Texture &slot, const Sprite &sprite) {
        old[n++] = std::move(slot);
        makeTexture(window, slot, sprite);
    };
    for (int i = 0; i < 4; ++i) {
        renew(m_cell[i], cellSprite(displayColor(i + 1), frame.cellSize, frame.dpr,
                                    frame.colorMarks ? i + 1 : 0));
    }
    renew(m_selection, selectionSprite(frame.cellSize, frame.dpr));
    const QColor colors[] = {systemRed(), systemGreen()};
    for (int v = 0; v < 2; ++v) {
        renew(m_crosshair[v], crosshairSprite(colors[v], frame.cellSize, frame.dpr));
        renew(m_ring[v], pulseRingSprite(colors[v], frame.cellSize, MaxPulse, frame.dpr));
        renew(m_ghost[v], ghostSprite(colors[v], frame.cellSize, frame.dpr, frame.ghostMark));
    }

    m_cellSize = frame.cellSize;
    m_dpr = frame.dpr;
    m_colorMarks = frame.colorMarks;
    m_ghostMark = frame.ghostMark;
    // Nodes still point at the old textures (freed on return); hand them the new ones.
    const auto retexture = [](QSGImageNode *node, const Texture &t) {
        if (!node)
            return;
        node->setTexture(t.texture.get());
        node->setSourceRect(QRectF(QPointF(0, 0), t.texture->textureSize()));
    };
    for (std::size_t i = 0; i < m_cellNodes.size(); ++i) {
        if (m_cellNodes[i])
            retexture(m_cellNodes[i], m_cell[m_cellColors[i]]);
    }
    retexture(m_selectionNode, m_selection);
    if (m_crosshairValid >= 0) {
        retexture(m_crosshairNode, m_crosshair[m_crosshairValid]);
        retexture(m_ringNode, m_ring[m_crosshairValid]);
    }
    if (m_ghostValid >= 0) {
        for (QSGImageNode *node : m_ghostNodes)
            retexture(node, m_ghost[m_ghostValid]);
    }
}

void BoardNode::updateCell(QQuickWindow *window, const BoardFrame &frame, int index)
{
    const std::size_t at = std::size_t(index);
    const qint64 value = at < frame.cells->size() ? (*frame.cells)[at] : 0;
    const int color = value >= Blue && value <= Green ? int(value) - 1 : -1;
    QSGImageNode *&node = m_cellNodes[std::size_t(index)];
    if (color < 0) {
        if (node) {
            m_cellLayer->removeChildNode(node);
            delete node;
            node = nullptr;
        }
        m_cellColors[std::size_t(index)] = -1;
        return;
    }
    if (!node) {
        node = newImage(window, m_cell[color]);
        m_cellLayer->appendChildNode(node);
    } else if (m_cellColors[std::size_t(index)] != color) {
        node->setTexture(m_cell[color].texture.get());
    }
    m_cellColors[std::size_t(index)] = color;
    node->setRect(placed(m_cell[color], index / frame.boardSize, index % frame.boardSize));
}

void BoardNode::update(QQuickWindow *window, const BoardFrame &frame)
{
    QMatrix4x4 translation;
    translation.translate(float(frame.origin.x()), float(frame.origin.y()));
    if (matrix() != translation)
        setMatrix(translation);

    // Layers that gain children later are opacity nodes, not plain ones: the software renderer
    // places a new node by its parent's recorded state, which it keeps only for transform,
    // opacity and clip nodes (a plain parent puts the child at the window's origin).
    if (!m_cellLayer) {
        m_cellLayer = new QSGOpacityNode;
        appendChildNode(m_cellLayer);
        m_lastMoveLayer = new QSGOpacityNode;
        appendChildNode(m_lastMoveLayer);
        m_hintLayer = new QSGOpacityNode;
        appendChildNode(m_hintLayer);
        m_selectionLayer = new QSGOpacityNode;
        appendChildNode(m_selectionLayer);
        m_crosshairLayer = new QSGOpacityNode;
        appendChildNode(m_crosshairLayer);
        m_ghostLayer = new QSGOpacityNode;
        appendChildNode(m_ghostLayer);
    }

    const bool resized = frame.cellSize != m_cellSize || frame.dpr != m_dpr;
    const bool boardResized = frame.boardSize != m_boardSize;
    rebuildTextures(window, frame);
    m_boardSize = frame.boardSize;
    m_playerCount = frame.playerCount;
    m_hiddenGlows = frame.hiddenGlows;

    // Cells.
    const std::size_t count = std::size_t(frame.boardSize) * std::size_t(frame.boardSize);
    if (boardResized) {
        while (QSGNode *child = m_cellLayer->firstChild()) {
            m_cellLayer->removeChildNode(child);
            delete child;
        }
        m_cellNodes.assign(count, nullptr);
        m_cellColors.assign(count, -1);
    }
    if (resized || boardResized || frame.allCellsChanged) {
        for (std::size_t i = 0; i < count; ++i)
            updateCell(window, frame, int(i));
    } else {
        for (const int i : *frame.changedCells) {
            if (i >= 0 && std::size_t(i) < count)
                updateCell(window, frame, i);
        }
    }

    updateHints(window, frame);
    updateLastMove(window, frame);

    // Selection outline.
    if (frame.selection) {
        if (!m_selectionNode) {
            m_selectionNode = newImage(window, m_selection);
            m_selectionLayer->appendChildNode(m_selectionNode);
        }
        m_selectionNode->setRect(placed(m_selection, frame.selection->row, frame.selection->col));
    }
    const double selectionOpacity = frame.selection ? 1 : 0;
    if (m_selectionLayer->opacity() != selectionOpacity)
        m_selectionLayer->setOpacity(selectionOpacity);

    // Crosshair with its breathing ring.
    if (frame.crosshair) {
        const int valid = frame.crosshairValid ? 1 : 0;
        if (!m_crosshairNode) {
            m_pulseLayer = new QSGOpacityNode;
            m_crosshairLayer->appendChildNode(m_pulseLayer);
            m_ringNode = newImage(window, m_ring[valid]);
            m_pulseLayer->appendChildNode(m_ringNode);
            m_crosshairNode = newImage(window, m_crosshair[valid]);
            m_crosshairLayer->appendChildNode(m_crosshairNode);
        } else if (valid != m_crosshairValid) {
            m_ringNode->setTexture(m_ring[valid].texture.get());
            m_crosshairNode->setTexture(m_crosshair[valid].texture.get());
        }
        m_crosshairValid = valid;
        const auto [row, col] = *frame.crosshair;
        m_crosshairNode->setRect(placed(m_crosshair[valid], row, col));
        const QRectF ring = placed(m_ring[valid], row, col);
        const double s = frame.pulseScale;
        const QSizeF size = ring.size() * s;
        m_ringNode->setRect(QRectF(ring.center() - QPointF(size.width(), size.height()) / 2, size));
        const double ringOpacity = std::clamp(2 - s, 0.0, 1.0);
        if (m_pulseLayer->opacity() != ringOpacity)
            m_pulseLayer->setOpacity(ringOpacity);
    }
    const double crosshairOpacity = frame.crosshair ? 1 : 0;
    if (m_crosshairLayer->opacity() != crosshairOpacity)
        m_crosshairLayer->setOpacity(crosshairOpacity);

    // Ghost: a pool of square nodes; the ones not needed are given no area.
    const int ghostValid = frame.ghostValid ? 1 : 0;
    if (ghostValid != m_ghostValid) {
        for (QSGImageNode *node : m_ghostNodes)
            node->setTexture(m_ghost[ghostValid].texture.get());
        m_ghostValid = ghostValid;
    }
    while (m_ghostNodes.size() < std::size_t(frame.ghost.size())) {
        m_ghostNodes.push_back(newImage(window, m_ghost[ghostValid]));
        m_ghostLayer->appendChildNode(m_ghostNodes.back());
    }
    for (std::size_t i = 0; i < m_ghostNodes.size(); ++i) {
        const QRectF rect = i < std::size_t(frame.ghost.size())
                                ? placed(m_ghost[ghostValid], frame.ghost[qsizetype(i)].row,
                                         frame.ghost[qsizetype(i)].col)
                                : QRectF();
        if (m_ghostNodes[i]->rect() != rect)
            m_ghostNodes[i]->setRect(rect);
    }
}

void BoardNode::updateHints(QQuickWindow *window, const BoardFrame &frame)
{
    // One texture for every hint, made again only when its size or colour changes.
    const int mark = frame.colorMarks ? frame.hintColor : 0;
    if (!frame.hints.isEmpty() && (frame.cellSize != m_hintCellSize || frame.dpr != m_hintDpr ||
                                   frame.hintColor != m_hintColor || mark != m_hintMark)) {
        Texture old = std::move(m_hint); // freed only after the nodes let go of it
        const QColor color = frame.hintColor >= Blue && frame.hintColor <= Green
                                 ? displayColor(frame.hintColor)
                                 : QColor(Qt::white);
        makeTexture(window, m_hint, hintSprite(color, frame.cellSize, frame.dpr, mark));
        for (QSGImageNode *node : m_hintNodes) {
            node->setTexture(m_hint.texture.get());
            node->setSourceRect(QRectF(QPointF(0, 0), m_hint.texture->textureSize()));
        }
        m_hintCellSize = frame.cellSize;
        m_hintDpr = frame.dpr;
        m_hintColor = frame.hintColor;
        m_hintMark = mark;
    }
    // A pool like the ghost's: nodes not needed are given no area.
    while (m_hintNodes.size() < std::size_t(frame.hints.size())) {
        m_hintNodes.push_back(newImage(window, m_hint));
        m_hintLayer->appendChildNode(m_hintNodes.back());
    }
    for (std::size_t i = 0; i < m_hintNodes.size(); ++i) {
        const auto at = qsizetype(i);
        const QRectF rect = at < frame.hints.size()
                                ? placed(m_hint, frame.hints[at].row, frame.hints[at].col)
                                : QRectF();
        if (m_hintNodes[i]->rect() != rect)
            m_hintNodes[i]->setRect(rect);
    }
}

void BoardNode::updateLastMove(QQuickWindow *window, const BoardFrame &frame)
{
    // A bar along every side of a cell that the move's other cells do not share: the piece's
    // outline, inside its cells, lighter than the cells so that it stands out on them.
    const QColor color = (frame.lastMoveColor >= Blue && frame.lastMoveColor <= Green
                              ? displayColor(frame.lastMoveColor)
                              : QColor(Qt::white))
                             .lighter(165);
    const double cell = frame.cellSize;
    const double t = std::max(2.0, std::round(cell * 0.16 * frame.dpr) / frame.dpr);
    const auto inMove = [&](int row, int col) { return frame.lastMove.contains(Cell{row, col}); };
    QList<QRectF> bars;
    for (const Cell &c : frame.lastMove) {
        const QPointF o = cellOrigin(c.row, c.col);
        if (!inMove(c.row - 1, c.col))
            bars.append(QRectF(o.x(), o.y(), cell, t));
        if (!inMove(c.row + 1, c.col))
            bars.append(QRectF(o.x(), o.y() + cell - t, cell, t));
        if (!inMove(c.row, c.col - 1))
            bars.append(QRectF(o.x(), o.y(), t, cell));
        if (!inMove(c.row, c.col + 1))
            bars.append(QRectF(o.x() + cell - t, o.y(), t, cell));
    }
    while (m_lastMoveEdges.size() < std::size_t(bars.size())) {
        m_lastMoveEdges.push_back(window->createRectangleNode());
        m_lastMoveLayer->appendChildNode(m_lastMoveEdges.back());
    }
    for (std::size_t i = 0; i < m_lastMoveEdges.size(); ++i) {
        QSGRectangleNode *node = m_lastMoveEdges[i];
        const QRectF rect = i < std::size_t(bars.size()) ? bars[qsizetype(i)] : QRectF();
        if (node->rect() != rect)
            node->setRect(rect);
        if (node->color() != color)
            node->setColor(color);
    }
}

} // namespace korvana::board
