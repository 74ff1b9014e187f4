// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamescreenlogic.h"
#include "movefollow.h"
#include "soundmanager.h"
#include "systemfeedback.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace korvana {
class GameManager;
} // namespace korvana

namespace korvana::ui {

// The game screen's own state and work beside its QML: the drag of a piece from the tray to the
// board with its live preview, placing, rotating, and the sounds and haptics of the screen's
// events (selection, drag, rotation, placement, this player's turn, the end of the game). One
// lives inside each game screen and dies with it. Coordinates are those of the screen's area.
class GameController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    // Every sound and haptic goes through it, so its switch gates them all; none plays nothing.
    Q_PROPERTY(korvana::SoundManager *soundManager READ soundManager WRITE setSoundManager NOTIFY
                   soundManagerChanged)

    // "" while no drag is under way.
    Q_PROPERTY(QString draggedPieceId READ draggedPieceId NOTIFY dragChanged)
    Q_PROPERTY(bool hasDragLocation READ hasDragLocation NOTIFY dragChanged)
    Q_PROPERTY(QPointF dragLocation READ dragLocation NOTIFY dragChanged)
    Q_PROPERTY(QPointF dragOffset READ dragOffset NOTIFY dragChanged)
    // A mouse drags the piece itself, by the square it took it by: that square's offset from the
    // anchor in cells (x columns, y rows). A finger gets the floating box instead.
    Q_PROPERTY(bool isMouseDrag READ isMouseDrag NOTIFY dragChanged)
    Q_PROPERTY(QPointF grabOffset READ grabOffset NOTIFY dragChanged)
    // The cell under the finger, -1 for none, and the check's answer: true, false or null.
    Q_PROPERTY(int previewRow READ previewRow NOTIFY previewChanged)
    Q_PROPERTY(int previewCol READ previewCol NOTIFY previewChanged)
    Q_PROPERTY(QVariant isPreviewValid READ isPreviewValid NOTIFY previewChanged)
    Q_PROPERTY(bool showsTargetCrosshair READ showsTargetCrosshair NOTIFY previewChanged)
    // The keyboard's cursor on the board: it shows the same ghost and crosshair as a drag.
    Q_PROPERTY(bool isCursorActive READ isCursorActive NOTIFY cursorChanged)
    // The cursor's cell, what holds it and whether the selected piece fits there (screen readers).
    Q_PROPERTY(QString cursorDescription READ cursorDescriptionText NOTIFY cursorChanged)
    Q_PROPERTY(QRectF boardFrame READ boardFrame WRITE setBoardFrame NOTIFY boardFrameChanged)
    // The last cell released on the board; -1 for none.
    Q_PROPERTY(int selectedRow READ selectedRow WRITE setSelectedRow NOTIFY selectionChanged)
    Q_PROPERTY(int selectedCol READ selectedCol WRITE setSelectedCol NOTIFY selectionChanged)
    Q_PROPERTY(bool wasGameFinished READ wasGameFinished NOTIFY wasGameFinishedChanged)

    // The game manager's state as the C++ record in a QVariant, for the board: handed over
    // without converting it to maps on every poll.
    Q_PROPERTY(QVariant boardState READ boardState NOTIFY boardStateChanged)
    // My seat is out while the others play: the tray, Pass and rotation are off, and the notice
    // says why as far as the client knows.
    Q_PROPERTY(bool isOutOfMoves READ isOutOfMoves NOTIFY isOutOfMovesChanged)
    Q_PROPERTY(QString outOfGameNotice READ outOfGameNotice NOTIFY isOutOfMovesChanged)
    // A placement is on its way to the server.
    Q_PROPERTY(bool isPlacing READ isPlacing NOTIFY isPlacingChanged)
    // [{id, squares, rotation}] of my pieces still to play.
    Q_PROPERTY(QVariantList trayPieces READ trayPiecesValue NOTIFY trayPiecesChanged)
    // {id, squares} of the piece under the finger while the floating copy is shown, else null.
    Q_PROPERTY(QVariant floatingPiece READ floatingPiece NOTIFY floatingPieceChanged)
    // The last placement for the board's outline (cells as QList<korvana::board::Cell>, colour
    // number), and the latest notice of the others' turns ("Bot 1 pasuje"), "" before any.
    Q_PROPERTY(QVariant lastMoveCells READ lastMoveCells NOTIFY lastMoveChanged)
    Q_PROPERTY(int lastMoveColor READ lastMoveColor NOTIFY lastMoveChanged)
    Q_PROPERTY(QString turnNotice READ turnNotice NOTIFY turnNoticed)
    // [{place, playerId, name, color, score}] best first, for the results.
    Q_PROPERTY(QVariantList rankedPlayers READ rankedPlayersValue NOTIFY rankedPlayersChanged)

public:
    // On the game manager the root published and the process-wide feedback.
    explicit GameController(QObject *parent = nullptr);
    GameController(GameManager *gameManager, SystemFeedback &feedback, QObject *parent = nullptr);

    [[nodiscard]] SoundManager *soundManager() const { return m_sound; }
    void setSoundManager(SoundManager *sound);

    [[nodiscard]] QString draggedPieceId() const { return m_draggedPieceId; }
    [[nodiscard]] bool hasDragLocation() const { return m_dragLocation.has_value(); }
    [[nodiscard]] QPointF dragLocation() const { return m_dragLocation.value_or(QPointF()); }
    [[nodiscard]] QPointF dragOffset() const { return m_dragOffset; }
    [[nodiscard]] bool isMouseDrag() const { return m_isMouseDrag; }
    [[nodiscard]] QPointF grabOffset() const { return m_grabOffset; }
    [[nodiscard]] int previewRow() const
    {
        return m_preview.position ? m_preview.position->row : -1;
    }
    [[nodiscard]] int previewCol() const
    {
        return m_preview.position ? m_preview.position->col : -1;
    }
    [[nodiscard]] QVariant isPreviewValid() const;
    [[nodiscard]] const DragPreview &preview() const { return m_preview; }
    [[nodiscard]] bool showsTargetCrosshair() const;
    [[nodiscard]] bool isCursorActive() const { return m_cursor.has_value(); }
    [[nodiscard]] QString cursorDescriptionText() const;
    [[nodiscard]] QRectF boardFrame() const { return m_boardFrame; }
    void setBoardFrame(const QRectF &frame);
    [[nodiscard]] int selectedRow() const { return m_selectedRow; }
    void setSelectedRow(int row);
    [[nodiscard]] int selectedCol() const { return m_selectedCol; }
    void setSelectedCol(int col);
    [[nodiscard]] bool wasGameFinished() const { return m_wasGameFinished; }
    [[nodiscard]] QVariant boardState() const;
    [[nodiscard]] bool isOutOfMoves() const { return m_isOutOfMoves; }
    [[nodiscard]] QString outOfGameNotice() const
    {
        return m_isOutOfMoves ? ui::outOfGameNotice(m_myTimeRanOut) : QString();
    }
    [[nodiscard]] bool isPlacing() const { return m_placing > 0; }
    [[nodiscard]] QVariantList trayPiecesValue() const { return m_trayPieces; }
    [[nodiscard]] QVariant floatingPiece() const;
    [[nodiscard]] QVariantList rankedPlayersValue() const { return m_rankedPlayers; }
    [[nodiscard]] QVariant lastMoveCells() const
    {
        return QVariant::fromValue(m_lastMove ? m_lastMove->cells : QList<board::Cell>());
    }
    [[nodiscard]] int lastMoveColor() const { return m_lastMove ? m_lastMove->colorNumber : 0; }
    [[nodiscard]] QString turnNotice() const { return m_turnNotice; }

    // A tap on a tray piece: it becomes the selection, at any time.
    Q_INVOKABLE void selectPiece(const QString &pieceId);
    // A tray piece moved far enough to drag: the first call starts the drag. `tileCentre` is the
    // tile's centre and `translation` the finger's movement since the press.
    Q_INVOKABLE void trayDragChanged(const QString &pieceId, QPointF tileCentre,
                                     QPointF translation);
    // The finger left the tray piece it dragged: placed when it was over a valid cell, a short
    // drag selects the piece, and the drag state is cleared.
    Q_INVOKABLE void trayDragEnded(const QString &pieceId, QPointF translation);
    // A press on a tray piece: by a mouse (held at `point` of the tile's preview of `side`
    // points) or by a finger.
    Q_INVOKABLE void pressTrayPiece(const QString &pieceId, bool isMouse, QPointF point,
                                    double side);
    // The finger at `location` while a drag is under way: floating piece and preview.
    Q_INVOKABLE void updateDragPreview(QPointF location, QPointF translation);
    // Places the piece when the preview is valid; then clears the drag state.
    Q_INVOKABLE void finishDrag();
    // Ends a drag without placing anything; the rest of that touch is ignored.
    Q_INVOKABLE void cancelDrag();
    // The touch of a tray drag went away without a release: nothing placed, nothing selected.
    Q_INVOKABLE void abandonTrayDrag();
    // A release on a board cell.
    Q_INVOKABLE void cellTapped(int row, int col);
    // Asks the game manager to place the selected piece with its anchor on (row, col), when it
    // is this player's turn in a running game.
    Q_INVOKABLE void placeSelectedPiece(int row, int col);
    // The selected rotation advances by 90 degrees.
    Q_INVOKABLE void rotate();
    // [ and ]: the previous or next piece of the tray (wrapping round) becomes the selection.
    Q_INVOKABLE void selectNeighbourPiece(int step);

    // The keyboard's way onto the board: the cursor appears (on a first move on a free corner,
    // mine first; later where it last was, or where the piece fits), moves by whole cells within
    // the board, and places the selected piece where it shows green. True when a placement was
    // started.
    Q_INVOKABLE void startCursor();
    Q_INVOKABLE void moveCursor(int rows, int cols);
    Q_INVOKABLE bool placeAtCursor();
    // H: the cursor goes to the next cell where the selected piece fits, row by row from where it
    // is, wrapping round. False when it fits nowhere.
    Q_INVOKABLE bool visitNextFit();
    Q_INVOKABLE void stopCursor();

    // The placement behind placeSelectedPiece; finishes after its feedback and clean-up.
    QCoro::Task<> placeTask(QString pieceId, int row, int col);

Q_SIGNALS:
    void soundManagerChanged();
    void dragChanged();
    void previewChanged();
    void cursorChanged();
    void boardFrameChanged();
    void selectionChanged();
    void wasGameFinishedChanged();
    void boardStateChanged();
    void isOutOfMovesChanged();
    void isPlacingChanged();
    void trayPiecesChanged();
    void floatingPieceChanged();
    void rankedPlayersChanged();
    void lastMoveChanged();
    // A new notice, even when its text repeats the last one.
    void turnNoticed();

private:
    void gameStateChanged();
    void refreshLists();
    void followTurns();
    void play(feedback::Event event);
    void haptic(feedback::Haptic haptic);
    void setPreview(DragPreview preview);
    // The check again for the finger's last cell: after a turn of the piece or a new game state
    // the old green or red answer no longer holds.
    void refreshPreview();
    void resetDrag();

    QPointer<GameManager> m_game;
    SystemFeedback &m_feedback;
    QPointer<SoundManager> m_sound;

    QString m_draggedPieceId;
    std::optional<QPointF> m_dragLocation;
    QPointF m_dragOffset;
    std::optional<QPointF> m_previewLocation; // the finger over the board area, while dragging
    std::optional<board::Cell> m_cursor;      // while the keyboard places a piece
    std::optional<board::Cell> m_lastCursor;
    DragPreview m_preview;
    QRectF m_boardFrame;
    int m_selectedRow = -1;
    int m_selectedCol = -1;
    bool m_isMouseDrag = false;
    QPointF m_grabOffset;
    // Set by cancelDrag until the finger that dragged is lifted.
    bool m_dragCancelled = false;

    bool m_wasGameFinished = false;
    bool m_isOutOfMoves = false;
    bool m_myTimeRanOut = false;
    TimeOutWatch m_timeOutWatch;
    QElapsedTimer m_clock;
    int m_placing = 0; // placements on their way
    std::optional<QString> m_lastCurrentPlayerId;
    std::optional<GameStatus> m_lastStatus;

    std::optional<GameState> m_previousState; // the state before the current one, for notices
    std::optional<LastMoveMark> m_lastMove;
    QString m_turnNotice;

    QList<GamePiece> m_trayPieceList;
    QVariantList m_trayPieces;
    QList<Player> m_rankedPlayerList;
    QVariantList m_rankedPlayers;
};

} // namespace korvana::ui
