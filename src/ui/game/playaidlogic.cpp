// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "playaidlogic.h"

#include "gamescreenlogic.h"

#include <algorithm>

namespace korvana::ui {

namespace {

constexpr qint64 SecondMs = 1000;

} // namespace

void TurnClock::sync(std::optional<qint64> remaining, qint64 nowMs)
{
    m_remaining = remaining;
    m_syncedAtMs = nowMs;
    if (m_stoppedAtMs)
        m_stoppedAtMs = nowMs;
}

void TurnClock::setRunning(bool running, qint64 nowMs)
{
    if (running)
        m_stoppedAtMs.reset();
    else if (!m_stoppedAtMs)
        m_stoppedAtMs = nowMs;
}

std::optional<qint64> TurnClock::secondsLeft(qint64 nowMs) const
{
    if (!m_remaining)
        return std::nullopt;
    const qint64 until = m_stoppedAtMs.value_or(nowMs);
    const qint64 elapsed = std::max<qint64>(0, until - m_syncedAtMs);
    return std::max<qint64>(0, *m_remaining - elapsed / SecondMs);
}

std::optional<qint64> TurnClock::msUntilNextTick(qint64 nowMs) const
{
    const auto left = secondsLeft(nowMs);
    if (!left || *left == 0 || m_stoppedAtMs)
        return std::nullopt;
    const qint64 elapsed = std::max<qint64>(0, nowMs - m_syncedAtMs);
    return SecondMs - elapsed % SecondMs;
}

double lowTimeThreshold(qint64 timeLimit)
{
    return std::max(10.0, std::min(60.0, double(timeLimit) / 8));
}

bool LowTimeWarning::update(std::optional<qint64> mySecondsLeft, qint64 timeLimit)
{
    if (!mySecondsLeft || timeLimit <= 0)
        return false;
    const double threshold = lowTimeThreshold(timeLimit);
    const auto seconds = double(*mySecondsLeft);
    if (seconds > 1.5 * threshold)
        m_armed = true;
    if (!m_armed || seconds >= threshold)
        return false;
    m_armed = false;
    return true;
}

QList<board::Cell> moveHints(const HintContext &context)
{
    const auto &state = context.state;
    if (!state || state->gameStatus != GameStatus::InProgress ||
        !isMyTurn(*state, context.myPlayerId))
        return {};
    const GamePiece *piece = findMyPiece(*state, context.myPlayerId, context.selectedPieceId);
    if (!piece || piece->placed)
        return {};
    return board::validCells(piece->squares, context.rotation, state->board,
                             context.myColor.value_or(QString()));
}

QStringList unplayablePieceIds(const GameState &state, const std::optional<QString> &myPlayerId,
                               const std::optional<QString> &myColor)
{
    QStringList ids;
    const QString color = myColor.value_or(QString());
    for (const GamePiece &piece : trayPieces(state, myPlayerId)) {
        if (!board::fitsAnywhere(piece.squares, state.board, color))
            ids.append(piece.id);
    }
    return ids;
}

QList<int> steadySlots(QStringList &order, const QStringList &pieceIds)
{
    for (const QString &id : pieceIds) {
        if (!order.contains(id))
            order.append(id);
    }
    QList<int> result;
    result.reserve(order.size());
    for (const QString &id : std::as_const(order))
        result.append(int(pieceIds.indexOf(id)));
    return result;
}

} // namespace korvana::ui
