// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"
#include "gamestate.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvana::ui {

// The play aids' decisions that need no screen: the clock between polls, the low-time warning,
// the move hints and the steady order of the tray.

// The turn clock between polls: the last poll's remaining seconds counted down by the whole
// seconds since it arrived, never below zero. While stopped (no connection, game not running) it
// shows the value it had when it stopped; a poll always shows its own value at once. Times are
// milliseconds of one monotonic clock.
class TurnClock
{
public:
    // A poll's `timeRemaining` (none: the game shows no clock) arriving at `nowMs`.
    void sync(std::optional<qint64> remaining, qint64 nowMs);
    // Stops or restarts the count. A restart counts from the last poll as if it had never
    // stopped: the server's clock went on meanwhile.
    void setRunning(bool running, qint64 nowMs);

    [[nodiscard]] bool isRunning() const { return !m_stoppedAtMs; }
    [[nodiscard]] std::optional<qint64> secondsLeft(qint64 nowMs) const;
    // When the shown value next changes, or none while it cannot.
    [[nodiscard]] std::optional<qint64> msUntilNextTick(qint64 nowMs) const;

private:
    std::optional<qint64> m_remaining;
    qint64 m_syncedAtMs = 0;
    std::optional<qint64> m_stoppedAtMs;
};

// Seconds below which my time counts as short: max(10, min(60, timeLimit / 8)).
[[nodiscard]] double lowTimeThreshold(qint64 timeLimit);

// Warns once when my time falls below the threshold, and again only after it has been above
// 1.5 times the threshold in between, so a poll that corrects the clock by a second or two never
// warns twice.
class LowTimeWarning
{
public:
    // My time left on my turn, or none when it is not my turn or there is no clock. True when
    // the warning is to be given now.
    [[nodiscard]] bool update(std::optional<qint64> mySecondsLeft, qint64 timeLimit);

private:
    bool m_armed = true;
};

// The anchors where the selected piece fits at the selected rotation: only on my turn in a
// running game, for one of my pieces still to play.
struct HintContext
{
    const std::optional<GameState> &state;
    const std::optional<QString> &myPlayerId;
    const std::optional<QString> &myColor;
    const std::optional<QString> &selectedPieceId;
    int rotation = 0;
};
[[nodiscard]] QList<board::Cell> moveHints(const HintContext &context);

// Ids of my pieces still to play that fit nowhere on the board in any rotation.
[[nodiscard]] QStringList unplayablePieceIds(const GameState &state,
                                             const std::optional<QString> &myPlayerId,
                                             const std::optional<QString> &myColor);

// The tray's slots: every piece keeps the slot it first took, in the order pieces were first
// seen. `order` carries the ids seen so far from one call to the next. Each slot holds the index
// of its piece in `pieceIds` (the tray now), or -1 once the piece has left the tray.
[[nodiscard]] QList<int> steadySlots(QStringList &order, const QStringList &pieceIds);

} // namespace korvana::ui
