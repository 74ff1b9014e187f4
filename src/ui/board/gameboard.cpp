// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gameboard.h"

#include "boardgeometry.h"
#include "boardnode.h"
#include "variantinput.h"

#include <QEasingCurve>
#include <QQuickWindow>

namespace korvana::board {

namespace {

constexpr int PulsePeriodMs = 1600; // 0.8 s out, 0.8 s back
constexpr double PulseGrowth = 0.3;

QEasingCurve easeInOut()
{
    // The platform's ease-in-out timing curve.
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

} // namespace

GameBoard::GameBoard(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents);
    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptTouchEvents(true);

    m_cells.assign(std::size_t(m_boardSize) * std::size_t(m_boardSize), 0);

    m_pulse.setStartValue(0.0);
    m_pulse.setEndValue(1.0);
    m_pulse.setDuration(PulsePeriodMs);
    m_pulse.setLoopCount(-1);
    connect(&m_pulse, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        static const QEasingCurve curve = easeInOut();
        const double t = value.toDouble();
        const double there = t < 0.5 ? 2 * t : 2 - 2 * t;
        const qreal scale = 1 + PulseGrowth * curve.valueForProgress(there);
        if (scale == m_pulseScale)
            return;
        m_pulseScale = scale;
        emit pulseScaleChanged();
        update();
    });
}

void GameBoard::setGameState(const QVariant &state)
{
    m_gameState = state;
    takeSnapshot(BoardSnapshot::fromVariant(state));
    emit gameStateChanged();
}

void GameBoard::setState(const std::optional<GameState> &state)
{
    m_gameState = state ? QVariant::fromValue(*state) : QVariant();
    takeSnapshot(state ? BoardSnapshot::fromGameState(*state) : BoardSnapshot{});
    emit gameStateChanged();
}

void GameBoard::takeSnapshot(BoardSnapshot snapshot)
{
    m_snapshot = std::move(snapshot);

    // Only the cells whose value changed are redrawn.
    const int n = m_boardSize;
    std::vector<qint64> cells(std::size_t(n) * std::size_t(n), 0);
    const Board &board = m_snapshot.board;
    for (int r = 0; r < n && r < board.size(); ++r) {
        const QList<qint64> &line = board.at(r);
        for (int c = 0; c < n && c < line.size(); ++c)
            cells[std::size_t(r * n + c)] = line.at(c);
    }
    if (cells.size() == m_cells.size()) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i] != m_cells[i])
                m_changedCells.push_back(int(i));
        }
    } else {
        m_allCellsChanged = true;
    }
    m_cells = std::move(cells);
    if (m_changedCells.size() > m_cells.size()) { // many changes without a frame in between
        m_changedCells.clear();
        m_allCellsChanged = true;
    }
    update();
}

void GameBoard::setSelectedRow(int row)
{
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    emit selectedRowChanged();
    update();
}

void GameBoard::setSelectedCol(int col)
{
    if (col == m_selectedCol)
        return;
    m_selectedCol = col;
    emit selectedColChanged();
    update();
}

void GameBoard::setSelectedPieceId(const QString &id)
{
    if (id == m_selectedPieceId)
        return;
    m_selectedPieceId = id;
    emit selectedPieceIdChanged();
    update();
}

void GameBoard::setSelectedRotation(int degrees)
{
    if (degrees == m_selectedRotation)
        return;
    m_selectedRotation = degrees;
    emit selectedRotationChanged();
    update();
}

void GameBoard::setPreviewRow(int row)
{
    if (row == m_previewRow)
        return;
    m_previewRow = row;
    emit previewRowChanged();
    update();
    updatePulse();
}

void GameBoard::setPreviewCol(int col)
{
    if (col == m_previewCol)
        return;
    m_previewCol = col;
    emit previewColChanged();
    update();
    updatePulse();
}

void GameBoard::setIsPreviewValid(const QVariant &valid)
{
    const QVariant plain = plainVariant(valid);
    if (plain == m_isPreviewValid && plain.metaType() == m_isPreviewValid.metaType())
        return;
    m_isPreviewValid = plain;
    emit isPreviewValidChanged();
    update();
}

void GameBoard::setShowTargetCrosshair(bool show)
{
    if (show == m_showTargetCrosshair)
        return;
    m_showTargetCrosshair = show;
    emit showTargetCrosshairChanged();
    update();
    updatePulse();
}

void GameBoard::setBoardSize(int size)
{
    size = std::clamp(size, 0, MaxBoardSize);
    if (size == m_boardSize)
        return;
    m_boardSize = size;
    m_cells.clear();
    takeSnapshot(std::move(m_snapshot));
    emit boardSizeChanged();
    emit boardRectChanged();
    update();
    updatePulse();
}

void GameBoard::setColorMarks(bool marks)
{
    if (marks == m_colorMarks)
        return;
    m_colorMarks = marks;
    emit colorMarksChanged();
    update();
}

void GameBoard::setMyColorNumber(int number)
{
    if (number == m_myColorNumber)
        return;
    m_myColorNumber = number;
    emit myColorNumberChanged();
    update();
}

void GameBoard::setMoveHints(const QVariant &cells)
{
    QList<Cell> hints = cells.value<QList<Cell>>();
    if (hints == m_moveHints)
        return;
    m_moveHints = std::move(hints);
    emit moveHintsChanged();
    update();
}

void GameBoard::setLastMoveCells(const QVariant &cells)
{
    QList<Cell> move = cells.value<QList<Cell>>();
    if (move == m_lastMove)
        return;
    m_lastMove = std::move(move);
    emit lastMoveChanged();
    update();
}

void GameBoard::setLastMoveColor(int number)
{
    if (number == m_lastMoveColor)
        return;
    m_lastMoveColor = number;
    emit lastMoveChanged();
    update();
}

QRectF GameBoard::boardRect() const
{
    return fittedSquare(size());
}

qreal GameBoard::cellSize() const
{
    return m_boardSize > 0 ? boardRect().width() / m_boardSize : 0;
}

bool GameBoard::previewIsValid() const
{
    return m_isPreviewValid.metaType() == QMetaType::fromType<bool>() && m_isPreviewValid.toBool();
}

bool GameBoard::isCrosshairShown() const
{
    return m_showTargetCrosshair && m_previewRow >= 0 && m_previewRow < m_boardSize &&
           m_previewCol >= 0 && m_previewCol < m_boardSize;
}

void GameBoard::updatePulse()
{
    // The ring breathes only while the crosshair is on screen; a new crosshair starts from 1.0.
    if (isCrosshairShown() && isVisible() && window()) {
        if (m_pulse.state() != QAbstractAnimation::Running)
            m_pulse.start();
        return;
    }
    m_pulse.stop();
    if (m_pulseScale != 1.0) {
        m_pulseScale = 1.0;
        emit pulseScaleChanged();
    }
}

qint64 GameBoard::cellValue(int row, int col) const
{
    if (row < 0 || col < 0 || row >= m_boardSize || col >= m_boardSize)
        return 0;
    const std::size_t index = std::size_t(row) * std::size_t(m_boardSize) + std::size_t(col);
    return index < m_cells.size() ? m_cells[index] : 0;
}

void GameBoard::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size()) {
        emit boardRectChanged();
        update();
    }
}

void GameBoard::itemChange(ItemChange change, const ItemChangeData &value)
{
    QQuickItem::itemChange(change, value);
    if (change == ItemDevicePixelRatioHasChanged || change == ItemSceneChange)
        update();
    if (change == ItemVisibleHasChanged || change == ItemSceneChange)
        updatePulse();
}

bool GameBoard::beginPress(QPointF position)
{
    m_pressed = cellSize() > 0 && boardRect().contains(position);
    return m_pressed;
}

void GameBoard::finishPress(QPointF position)
{
    m_pressed = false;
    const QRectF board = boardRect();
    const auto cell = releaseCell(position - board.topLeft(), board.width(), m_boardSize);
    if (!cell)
        return;
    setSelectedRow(cell->row);
    setSelectedCol(cell->col);
    emit cellTapped(cell->row, cell->col);
}

void GameBoard::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !beginPress(event->position())) {
        event->ignore();
        return;
    }
    event->accept();
}

void GameBoard::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        event->ignore();
        return;
    }
    event->accept();
    finishPress(event->position());
}

void GameBoard::mouseUngrabEvent()
{
    m_pressed = false;
}

void GameBoard::touchEvent(QTouchEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin: {
        const auto &points = event->points();
        if (points.size() != 1 || !beginPress(points.first().position())) {
            event->ignore();
            return;
        }
        m_touchId = points.first().id();
        event->accept();
        return;
    }
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        for (const QEventPoint &point : event->points()) {
            if (point.id() == m_touchId && point.state() == QEventPoint::Released) {
                m_touchId = -1;
                if (m_pressed)
                    finishPress(point.position());
            }
        }
        event->accept();
        return;
    default:
        m_pressed = false;
        m_touchId = -1;
        event->accept();
        return;
    }
}

void GameBoard::touchUngrabEvent()
{
    m_pressed = false;
    m_touchId = -1;
}

QSGNode *GameBoard::updatePaintNode(QSGNode *old, UpdatePaintNodeData *)
{
    auto *node = static_cast<BoardNode *>(old);
    const QRectF board = boardRect();
    const double cell = cellSize();
    if (!window() || !(cell > 0)) {
        delete node;
        m_allCellsChanged = true;
        return nullptr;
    }
    if (!node) {
        node = new BoardNode;
        m_allCellsChanged = true;
    }

    BoardFrame frame;
    frame.dpr = window()->effectiveDevicePixelRatio();
    frame.origin = QPointF(std::round(board.x() * frame.dpr) / frame.dpr,
                           std::round(board.y() * frame.dpr) / frame.dpr);
    frame.cellSize = cell;
    frame.boardSize = m_boardSize;
    frame.playerCount = m_snapshot.playerCount;
    // A glow gives way once pieces lie in the four cells round its centre.
    const int far = m_boardSize - 2;
    const Cell glowCorners[] = {{0, 0}, {0, far}, {far, far}, {far, 0}}; // blue, yellow, red, green
    for (int i = 0; i < 4; ++i) {
        const auto [row, col] = glowCorners[i];
        if (cellValue(row, col) > 0 || cellValue(row + 1, col) > 0 || cellValue(row, col + 1) > 0 ||
            cellValue(row + 1, col + 1) > 0)
            frame.hiddenGlows |= 1 << i;
    }
    frame.cells = &m_cells;
    frame.changedCells = &m_changedCells;
    frame.allCellsChanged = m_allCellsChanged;
    if (cellValue(m_selectedRow, m_selectedCol) > 0)
        frame.selection = Cell{m_selectedRow, m_selectedCol};
    if (isCrosshairShown()) {
        frame.crosshair = Cell{m_previewRow, m_previewCol};
        frame.crosshairValid = previewIsValid();
        frame.pulseScale = m_pulseScale;
    }
    if (!m_selectedPieceId.isEmpty() && m_previewRow >= 0 && m_previewCol >= 0) {
        const BoardSnapshot::Piece *piece = m_snapshot.findPiece(m_selectedPieceId);
        if (piece && !piece->squares.isEmpty()) {
            frame.ghostValid = previewIsValid();
            // Off-board squares are left out; the rest of the ghost still shows.
            for (const Square &sq : rotatedSquares(piece->squares, m_selectedRotation)) {
                if (const auto cell = squareCell(m_previewRow, m_previewCol, sq, m_boardSize))
                    frame.ghost.append(*cell);
            }
        }
    }

    frame.colorMarks = m_colorMarks;
    frame.ghostMark = m_colorMarks ? m_myColorNumber : 0;
    frame.hintColor = m_myColorNumber;
    for (const Cell &hint : std::as_const(m_moveHints)) {
        if (hint.row >= 0 && hint.row < m_boardSize && hint.col >= 0 && hint.col < m_boardSize)
            frame.hints.append(hint);
    }
    for (const Cell &cell : std::as_const(m_lastMove)) {
        if (cell.row >= 0 && cell.row < m_boardSize && cell.col >= 0 && cell.col < m_boardSize)
            frame.lastMove.append(cell);
    }
    frame.lastMoveColor = m_lastMoveColor;

    node->update(window(), frame);
    m_changedCells.clear();
    m_allCellsChanged = false;
    return node;
}

} // namespace korvana::board
