// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Polling the game: on the timer, or held at the server while it offers that.
#include "gamesession.h"

#include <QElapsedTimer>

namespace korvana {

void GameSession::startUpdateTimer()
{
    m_updateTimer.stop();
    // Once a game is seen finished, nothing polls it again.
    if (m_finishHandled || m_ended)
        return;
    const bool waiting = m_gameState->gameStatus == GameStatus::Waiting;
    m_updateTimer.setInterval(waiting ? 1000 : 2000);
    m_updateTimer.start();
}

void GameSession::keepPolling()
{
    if (m_finishHandled || m_ended)
        return;
    if (!m_serverHoldsPolls) {
        startUpdateTimer();
        return;
    }
    m_updateTimer.stop();
    if (!m_holdingPoll && !m_heldPollPause.isActive())
        holdPoll();
}

void GameSession::stopPolling()
{
    m_updateTimer.stop();
    m_heldPollPause.stop();
    m_holdingPoll = false;
    m_quietAnswers = 0;
    m_etag.clear();
    // Their answers would be dropped anyway; the server need not hold them any longer.
    m_network.cancelHeldPolls();
}

bool GameSession::tryApply(const Ticket &ticket, GameState state)
{
    // Answers can overtake each other; the state of a request sent earlier than the one whose
    // answer is already on screen would roll the board back.
    if (m_ended || ticket.sequence < m_appliedSequence)
        return false;
    // A held poll sent before a move may come back with later turns than the move's own reply;
    // a turn behind the one on screen is older, whichever request left first.
    if (m_gameState->roomId == state.roomId && state.turnNumber < m_gameState->turnNumber)
        return false;
    m_appliedSequence = ticket.sequence;
    setGameState(fillMissingSquares(std::move(state), m_pieces));
    Q_EMIT gameStateAnswered();
    return true;
}

GameSession::PollOutcome GameSession::applyPoll(const Ticket &ticket, SessionPoll poll)
{
    m_serverHoldsPolls = poll.holdsPolls;
    const GameStatus oldStatus = m_gameState->gameStatus;
    if (!poll.session) // 304: nothing changed
        return {false, false, oldStatus};
    GameSessionResponse &answer = *poll.session;
    if (!answer.playerId.isEmpty())
        setMyPlayerId(answer.playerId);
    if (!answer.color.isEmpty())
        setMyColor(answer.color);
    const GameStatus status = answer.gameState.gameStatus;
    if (!tryApply(ticket, std::move(answer.gameState)))
        return {false, false, oldStatus};
    // Only the tag of the state on screen: after a dropped answer the next held poll must come
    // back at once with what was missed.
    m_etag = poll.etag;
    if (isLive(status) || status == GameStatus::Finished)
        setInGame(true);
    return {true, oldStatus == GameStatus::Unknown || oldStatus != status, status};
}

QCoro::Task<> GameSession::refreshGameState()
{
    if (m_ended)
        co_return;
    QPointer self(this);
    InFlight inFlight(this);
    const Ticket ticket = issueTicket();
    auto request = m_network.pollSession(m_sessionId);
    auto result = co_await std::move(request);
    if (!self || !result || m_ended)
        co_return;
    const PollOutcome outcome = applyPoll(ticket, std::move(*result));
    if (!outcome.applied)
        co_return;
    if (outcome.status == GameStatus::Finished) {
        if (!m_finishHandled) {
            m_finishHandled = true;
            auto finish = finishGame();
            co_await std::move(finish);
        }
        co_return;
    }
    // The interval follows the phase: 1 s in the waiting room, 2 s during play.
    if (m_serverHoldsPolls || (outcome.statusChanged && isLive(outcome.status)))
        keepPolling();
}

QCoro::Task<> GameSession::holdPoll()
{
    if (m_ended || m_finishHandled)
        co_return;
    QPointer self(this);
    InFlight inFlight(this);
    const Ticket ticket = issueTicket();
    const QByteArray sentTag = m_etag;
    m_holdingPoll = true;
    // Our own actions count as news too: their answers leave the sent tag behind.
    const quint64 changesBefore = m_stateChanges;
    QElapsedTimer clock;
    clock.start();
    auto request = m_network.holdSessionPoll(m_sessionId, sentTag);
    auto result = co_await std::move(request);
    // A session that ended meanwhile: its polling ended with it.
    if (!self || m_ended)
        co_return;
    m_holdingPoll = false;
    if (!result) {
        // Back to the timer exactly as before; its answers tell when held polls work again.
        m_serverHoldsPolls = false;
        startUpdateTimer();
        co_return;
    }
    const QByteArray answeredTag = result->etag;
    const bool notModified = !result->session;
    const PollOutcome outcome = applyPoll(ticket, std::move(*result));
    if (outcome.status == GameStatus::Finished && outcome.applied) {
        if (!m_finishHandled) {
            m_finishHandled = true;
            auto finish = finishGame();
            co_await std::move(finish);
        }
        co_return;
    }
    if (!m_serverHoldsPolls) {
        startUpdateTimer();
        co_return;
    }
    // Never a loop without a pause against a server that answers at once: a quick answer
    // without news that shows the server did not hold (304 or the tag it was sent), or a third
    // quick answer without news in a row, waits a second before the next held poll.
    const bool quietAtOnce = clock.elapsed() < 1000 && m_stateChanges == changesBefore;
    m_quietAnswers = quietAtOnce ? m_quietAnswers + 1 : 0;
    const bool didNotHold = notModified || answeredTag.isEmpty() || answeredTag == sentTag;
    if (quietAtOnce && (didNotHold || m_quietAnswers >= 3))
        m_heldPollPause.start();
    else
        keepPolling();
}

} // namespace korvana
