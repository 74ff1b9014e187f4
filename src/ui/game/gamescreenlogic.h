// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"
#include "gamestate.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace korvana::ui {

// The game screen's decisions that need no screen: what the tray holds, how the chips read,
// when the clock turns red, where a dragged piece lands and when a signal sounds.

// A piece's spoken name by its shape and size, whatever its turn or mirror: "Klocek L, 5 pól".
[[nodiscard]] QString pieceName(const Squares &squares);

// Where the keyboard's board cursor starts for a first piece (no cell of my colour yet): my own
// colour's corner when free, else the next free corner clockwise; none once I have cells.
[[nodiscard]] std::optional<board::Cell> firstMoveCorner(const Board &board,
                                                         const QString &myColor);

// What the board cursor says of its cell, rows and columns counted from 1:
// "Wiersz 3, kolumna 7, puste, klocek pasuje" (or "twój klocek", "żółty klocek"). `fits` none:
// no piece selected.
[[nodiscard]] QString cursorDescription(board::Cell cell, qint64 value, const QString &myColor,
                                        std::optional<bool> fits);

// Tray grid columns for a tray panel of this width: one per tile and its 6-point gap (56 points
// on a phone) after the padding, at least five.
[[nodiscard]] int trayColumns(double panelWidth, double tileSide = 50);

// "Ty" for the player's own chip, else the first six characters of the name (whole characters:
// an accented letter or an emoji is never cut in half).
[[nodiscard]] QString chipLabel(const QString &name, bool isMe);

// The header's clock: "2:05" above 59 seconds, else "45s".
[[nodiscard]] QString formatTime(qint64 seconds);
enum class TimerTone { White, Orange, Red };
// Red under 10 seconds, orange under 30, else white.
[[nodiscard]] TimerTone timerTone(qint64 secondsLeft);

[[nodiscard]] bool isMyTurn(const GameState &state, const std::optional<QString> &myPlayerId);
[[nodiscard]] const Player *findPlayer(const GameState &state, const std::optional<QString> &id);
// One of my own pieces by id, or nullptr.
[[nodiscard]] const GamePiece *findMyPiece(const GameState &state,
                                           const std::optional<QString> &myPlayerId,
                                           const std::optional<QString> &pieceId);
// My seat is out while the others play: the server marked it (`hasPassed`) in a running game and
// the turn is not mine. On my turn I may act, whatever the mark says.
[[nodiscard]] bool isOutOfMoves(const GameState &state, const std::optional<QString> &myPlayerId);
// What the tray says of a seat that is out: "Czas minął. …" when my own clock ran out.
[[nodiscard]] QString outOfGameNotice(bool myTimeRanOut);

// Whether my seat went out because my clock ran out: on my turn it notes when my time ends by
// the state's timeRemaining; a later state that shows me out with the turn gone, at or after that
// moment, says so. Times are milliseconds of one monotonic clock.
class TimeOutWatch
{
public:
    // Each state as it arrives; true once my time ran out in this game.
    bool update(const GameState &state, const std::optional<QString> &myPlayerId, qint64 nowMs);

private:
    std::optional<qint64> m_deadlineMs;
    bool m_ranOut = false;
};
// My pieces still to play: not placed and with squares, in their order.
[[nodiscard]] QList<GamePiece> trayPieces(const GameState &state,
                                          const std::optional<QString> &myPlayerId);

// The turn signal: the current player changed to a present value that is this player's.
[[nodiscard]] bool givesTurnSignal(const std::optional<QString> &oldPlayerId,
                                   const std::optional<QString> &newPlayerId,
                                   const std::optional<QString> &myPlayerId);

// A tray drag released this close to where it began counts as a selection.
[[nodiscard]] bool isShortDrag(QPointF translation);
// Tray drags start after this much movement.
inline constexpr double DragStartDistance = 8;

// The preview under a dragging finger: the cell, and whether the piece may go there.
struct DragPreview
{
    std::optional<board::Cell> position;
    std::optional<bool> isValid;
    bool operator==(const DragPreview &) const = default;
};

struct DragContext
{
    const std::optional<GameState> &state;
    const std::optional<QString> &myPlayerId;
    const std::optional<QString> &myColor;
    const std::optional<QString> &selectedPieceId;
    int rotation = 0;
};

// The preview for a finger at `location` over a board drawn in `boardFrame` (both in screen
// coordinates). None means "leave the preview as it is": there is no game to check against.
[[nodiscard]] std::optional<DragPreview> dragPreview(QPointF location, QRectF boardFrame,
                                                     const DragContext &context);

// Centre of the floating piece's 70 x 70 box: 95 points above the finger (below it where the top
// edge leaves no room), kept 35 points inside the screen area of size `area`; `location` is
// relative to the area's top-left corner. All lengths grow by `scale` with the board.
[[nodiscard]] QPointF floatingBoxCentre(QPointF location, QSizeF area, double scale = 1);

} // namespace korvana::ui
