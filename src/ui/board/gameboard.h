// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"
#include "boardsnapshot.h"

#include <QQuickItem>
#include <QVariantAnimation>
#include <QtQml/qqmlregistration.h>

#include <optional>
#include <vector>

namespace korvana::board {

// The playing board of a running game as one scene-graph item: background, grid, corner glows,
// cells, the target crosshair and the placement ghost. It decides nothing about the game; its
// only output is the cell of a release. Drawn from pre-rendered images with nodes kept between
// frames, so a drag costs only the few nodes that move.
class GameBoard : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    // The game to draw: a korvana::GameState in a QVariant (what its owner hands over without
    // converting), or a game state as maps and lists under the wire's names.
    Q_PROPERTY(QVariant gameState READ gameState WRITE setGameState NOTIFY gameStateChanged)
    // -1 = none. Written by a release on the board.
    Q_PROPERTY(int selectedRow READ selectedRow WRITE setSelectedRow NOTIFY selectedRowChanged)
    Q_PROPERTY(int selectedCol READ selectedCol WRITE setSelectedCol NOTIFY selectedColChanged)
    // "" = none.
    Q_PROPERTY(QString selectedPieceId READ selectedPieceId WRITE setSelectedPieceId NOTIFY
                   selectedPieceIdChanged)
    Q_PROPERTY(int selectedRotation READ selectedRotation WRITE setSelectedRotation NOTIFY
                   selectedRotationChanged)
    // The cell under the dragging finger; -1 = none.
    Q_PROPERTY(int previewRow READ previewRow WRITE setPreviewRow NOTIFY previewRowChanged)
    Q_PROPERTY(int previewCol READ previewCol WRITE setPreviewCol NOTIFY previewColChanged)
    // true, false, or null/undefined for none (drawn as false).
    Q_PROPERTY(QVariant isPreviewValid READ isPreviewValid WRITE setIsPreviewValid NOTIFY
                   isPreviewValidChanged)
    Q_PROPERTY(bool showTargetCrosshair READ showTargetCrosshair WRITE setShowTargetCrosshair NOTIFY
                   showTargetCrosshairChanged)
    Q_PROPERTY(int boardSize READ boardSize WRITE setBoardSize NOTIFY boardSizeChanged)
    // Where the board sits in the item (the largest centred square), and its cells' side.
    Q_PROPERTY(QRectF boardRect READ boardRect NOTIFY boardRectChanged)
    Q_PROPERTY(qreal cellSize READ cellSize NOTIFY boardRectChanged)
    // Play aids. Colour-blind marks on the cells and the ghost; the colour number of the player
    // whose piece is selected (the ghost's mark, the hints' colour); the move hints, the anchor
    // cells where that piece fits (a QList<korvana::board::Cell> in a QVariant; anything else
    // shows none).
    Q_PROPERTY(bool colorMarks READ colorMarks WRITE setColorMarks NOTIFY colorMarksChanged)
    Q_PROPERTY(
        int myColorNumber READ myColorNumber WRITE setMyColorNumber NOTIFY myColorNumberChanged)
    Q_PROPERTY(QVariant moveHints READ moveHints WRITE setMoveHints NOTIFY moveHintsChanged)
    // The last placement, outlined in its player's colour: its cells (a QList<korvana::board::Cell>
    // in a QVariant; anything else outlines nothing) and that colour's number.
    Q_PROPERTY(
        QVariant lastMoveCells READ lastMoveCells WRITE setLastMoveCells NOTIFY lastMoveChanged)
    Q_PROPERTY(int lastMoveColor READ lastMoveColor WRITE setLastMoveColor NOTIFY lastMoveChanged)
    // The crosshair's breathing outer ring: 1.0 to 1.3 and back every 1.6 s while shown.
    Q_PROPERTY(qreal pulseScale READ pulseScale NOTIFY pulseScaleChanged)

public:
    static constexpr int MaxBoardSize = 100;

    explicit GameBoard(QQuickItem *parent = nullptr);

    [[nodiscard]] QVariant gameState() const { return m_gameState; }
    void setGameState(const QVariant &state);
    // The same from C++ without a trip through QVariant maps; none clears the board.
    void setState(const std::optional<GameState> &state);

    [[nodiscard]] int selectedRow() const { return m_selectedRow; }
    void setSelectedRow(int row);
    [[nodiscard]] int selectedCol() const { return m_selectedCol; }
    void setSelectedCol(int col);
    [[nodiscard]] QString selectedPieceId() const { return m_selectedPieceId; }
    void setSelectedPieceId(const QString &id);
    [[nodiscard]] int selectedRotation() const { return m_selectedRotation; }
    void setSelectedRotation(int degrees);
    [[nodiscard]] int previewRow() const { return m_previewRow; }
    void setPreviewRow(int row);
    [[nodiscard]] int previewCol() const { return m_previewCol; }
    void setPreviewCol(int col);
    [[nodiscard]] QVariant isPreviewValid() const { return m_isPreviewValid; }
    void setIsPreviewValid(const QVariant &valid);
    [[nodiscard]] bool showTargetCrosshair() const { return m_showTargetCrosshair; }
    void setShowTargetCrosshair(bool show);
    [[nodiscard]] int boardSize() const { return m_boardSize; }
    void setBoardSize(int size);
    [[nodiscard]] QRectF boardRect() const;
    [[nodiscard]] qreal cellSize() const;
    [[nodiscard]] qreal pulseScale() const { return m_pulseScale; }
    [[nodiscard]] bool colorMarks() const { return m_colorMarks; }
    void setColorMarks(bool marks);
    [[nodiscard]] int myColorNumber() const { return m_myColorNumber; }
    void setMyColorNumber(int number);
    [[nodiscard]] QVariant moveHints() const { return QVariant::fromValue(m_moveHints); }
    void setMoveHints(const QVariant &cells);
    [[nodiscard]] const QList<Cell> &moveHintCells() const { return m_moveHints; }
    [[nodiscard]] QVariant lastMoveCells() const { return QVariant::fromValue(m_lastMove); }
    void setLastMoveCells(const QVariant &cells);
    [[nodiscard]] int lastMoveColor() const { return m_lastMoveColor; }
    void setLastMoveColor(int number);

    [[nodiscard]] const BoardSnapshot &snapshot() const { return m_snapshot; }

Q_SIGNALS:
    void gameStateChanged();
    void selectedRowChanged();
    void selectedColChanged();
    void selectedPieceIdChanged();
    void selectedRotationChanged();
    void previewRowChanged();
    void previewColChanged();
    void isPreviewValidChanged();
    void showTargetCrosshairChanged();
    void boardSizeChanged();
    void boardRectChanged();
    void pulseScaleChanged();
    void colorMarksChanged();
    void myColorNumberChanged();
    void moveHintsChanged();
    void lastMoveChanged();
    // A release on cell (row, col), after selectedRow and selectedCol were set to it.
    void cellTapped(int row, int col);

protected:
    QSGNode *updatePaintNode(QSGNode *old, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseUngrabEvent() override;
    void touchEvent(QTouchEvent *event) override;
    void touchUngrabEvent() override;

private:
    void takeSnapshot(BoardSnapshot snapshot);
    [[nodiscard]] bool isCrosshairShown() const;
    void updatePulse();
    [[nodiscard]] bool previewIsValid() const;
    [[nodiscard]] qint64 cellValue(int row, int col) const;
    bool beginPress(QPointF position);
    void finishPress(QPointF position);

    QVariant m_gameState;
    BoardSnapshot m_snapshot;
    std::vector<qint64> m_cells;     // boardSize x boardSize values, row-major; 0 where missing
    std::vector<int> m_changedCells; // indices to redraw on the next frame
    int m_selectedRow = -1;
    int m_selectedCol = -1;
    QString m_selectedPieceId;
    int m_selectedRotation = 0;
    int m_previewRow = -1;
    int m_previewCol = -1;
    QVariant m_isPreviewValid;
    bool m_showTargetCrosshair = false;
    int m_boardSize = 20;
    qreal m_pulseScale = 1.0;
    QVariantAnimation m_pulse;
    bool m_colorMarks = false;
    int m_myColorNumber = 0;
    QList<Cell> m_moveHints;
    QList<Cell> m_lastMove;
    int m_lastMoveColor = 0;
    bool m_allCellsChanged = true; // redraw every cell, not only m_changedCells
    bool m_pressed = false;
    int m_touchId = -1;
};

} // namespace korvana::board
