// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"

#include <QList>
#include <QPointF>
#include <QSGTransformNode>

#include <memory>
#include <optional>
#include <vector>

class QQuickWindow;
class QSGImageNode;
class QSGOpacityNode;
class QSGRectangleNode;
class QSGTexture;

namespace korvana::board {

struct Sprite;

// Everything one frame of the board shows, gathered on the GUI thread's side of the sync.
struct BoardFrame
{
    QPointF origin; // board top-left in item coordinates
    double cellSize = 0;
    int boardSize = 0;
    double dpr = 1;
    qsizetype playerCount = 0;
    int hiddenGlows = 0;                        // bit i: corner glow i is under pieces
    const std::vector<qint64> *cells = nullptr; // boardSize x boardSize
    const std::vector<int> *changedCells = nullptr;
    bool allCellsChanged = false;
    std::optional<Cell> selection; // only on an occupied cell
    std::optional<Cell> crosshair;
    bool crosshairValid = false;
    double pulseScale = 1;
    QList<Cell> ghost; // squares on the board only
    bool ghostValid = false;
    // Colour-blind marks on the cells, and the colour number whose mark the ghost carries.
    bool colorMarks = false;
    int ghostMark = 0;
    // Move hints: the anchors where the selected piece fits, in this colour number's colour.
    QList<Cell> hints;
    int hintColor = 0;
    // The last placement's cells, outlined round their outer edge in this colour number's colour.
    QList<Cell> lastMove;
    int lastMoveColor = 0;
};

// The board's scene graph: one image node for the backdrop, one per occupied cell, and a few for
// the selection, the crosshair and the ghost. Nodes and textures live as long as the item's
// node; a frame touches only the nodes whose content changed.
class BoardNode : public QSGTransformNode
{
public:
    BoardNode();
    ~BoardNode() override;

    void update(QQuickWindow *window, const BoardFrame &frame);

private:
    struct Texture
    {
        std::unique_ptr<QSGTexture> texture;
        QRectF rect;
    };

    void rebuildTextures(QQuickWindow *window, const BoardFrame &frame);
    void makeTexture(QQuickWindow *window, Texture &slot, const Sprite &sprite);
    QSGImageNode *newImage(QQuickWindow *window, const Texture &texture);
    void updateCell(QQuickWindow *window, const BoardFrame &frame, int index);
    void updateHints(QQuickWindow *window, const BoardFrame &frame);
    void updateLastMove(QQuickWindow *window, const BoardFrame &frame);
    [[nodiscard]] QPointF cellOrigin(int row, int col) const;
    [[nodiscard]] QRectF placed(const Texture &texture, int row, int col) const;

    double m_cellSize = -1;
    double m_dpr = 0;
    int m_boardSize = -1;
    qsizetype m_playerCount = -1;
    int m_hiddenGlows = -1;
    bool m_colorMarks = false;
    int m_ghostMark = 0;

    Texture m_backdrop;
    Texture m_cell[4];
    Texture m_selection;
    Texture m_crosshair[2]; // invalid, valid
    Texture m_ring[2];
    Texture m_ghost[2];

    QSGImageNode *m_backdropNode = nullptr;
    QSGOpacityNode *m_cellLayer = nullptr;
    std::vector<QSGImageNode *> m_cellNodes;
    std::vector<int> m_cellColors; // texture index shown by each cell node, -1 none
    QSGOpacityNode *m_selectionLayer = nullptr;
    QSGImageNode *m_selectionNode = nullptr;
    QSGOpacityNode *m_crosshairLayer = nullptr;
    QSGOpacityNode *m_pulseLayer = nullptr;
    QSGImageNode *m_ringNode = nullptr;
    QSGImageNode *m_crosshairNode = nullptr;
    int m_crosshairValid = -1;
    QSGOpacityNode *m_ghostLayer = nullptr;
    std::vector<QSGImageNode *> m_ghostNodes;
    int m_ghostValid = -1;

    Texture m_hint;
    double m_hintCellSize = -1;
    double m_hintDpr = 0;
    int m_hintColor = -1;
    int m_hintMark = -1;
    QSGOpacityNode *m_hintLayer = nullptr;
    std::vector<QSGImageNode *> m_hintNodes;

    QSGOpacityNode *m_lastMoveLayer = nullptr;
    std::vector<QSGRectangleNode *> m_lastMoveEdges;
};

} // namespace korvana::board
