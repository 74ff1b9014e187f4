// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Entering a game from the lobby: create, join or rejoin, the retry of a player the server still
// holds in another game, and leaving.
#include "lobbymanager.h"

#include "failuremessages.h"
#include "operationstatus.h"

#include <QCoroTimer>

using namespace std::chrono_literals;

namespace korvana {

QCoro::Task<> LobbyManager::enterPrelude()
{
    m_status.setLoading(true);
    m_status.setErrorMessage(std::nullopt);
    if (isInGame())
        leaveGame();
    if (m_pieces.isEmpty()) {
        auto load = loadPieces();
        co_await std::move(load);
    }
}

namespace {

// An entry's answer as the seat the new session takes.
template <typename Answer>
QCoro::Task<Result<GameSession::Seat>> seatFrom(QCoro::Task<Result<Answer>> request)
{
    auto result = co_await std::move(request);
    if (!result)
        co_return std::unexpected(std::move(result.error()));
    co_return GameSession::Seat{result->sessionId, result->playerId, result->color,
                                std::move(result->gameState)};
}

} // namespace

QCoro::Task<Result<GameSession::Seat>>
LobbyManager::sendEntry(Entry entry, std::optional<qint64> timeLimit, QString roomId)
{
    switch (entry) {
    case Entry::Create:
        return seatFrom(m_network.createSession(timeLimit));
    case Entry::Join:
        return seatFrom(m_network.joinGame(std::move(roomId)));
    case Entry::Rejoin:
        break;
    }
    return seatFrom(m_network.rejoinGame(std::move(roomId)));
}

void LobbyManager::replaceSession(GameSession *next)
{
    GameSession *previous = m_session;
    if (previous) {
        m_serverHoldsPolls = previous->serverHoldsPolls();
        previous->end();
    }
    m_session = next;
    if (previous || next)
        Q_EMIT sessionChanged();
}

void LobbyManager::takeSeat(GameSession::Seat seat, bool finishedCountsAsInGame)
{
    if (m_session)
        m_serverHoldsPolls = m_session->serverHoldsPolls();
    auto *session =
        new GameSession(m_network, m_status, m_pieces, std::move(seat), m_serverHoldsPolls, this);
    connect(session, &GameSession::finishSeen, this, [this] { loadServers(); });
    connect(session, &GameSession::gameFinished, this, &LobbyManager::gameFinished);
    // A new game: answers about any earlier one no longer apply.
    replaceSession(session);
    session->start(finishedCountsAsInGame);
}

void LobbyManager::leaveGame()
{
    replaceSession(nullptr);
    Q_EMIT gameLeft();
}

QCoro::Task<> LobbyManager::applySessionResponse(GameSession::Seat seat)
{
    QPointer self(this);
    takeSeat(std::move(seat), true);
    auto reload = loadServers();
    co_await std::move(reload);
    if (self)
        m_status.setLoading(false);
}

QCoro::Task<> LobbyManager::retryEntry(Entry entry, std::optional<qint64> timeLimit, QString roomId)
{
    QPointer self(this);
    leaveGame();
    auto wait = QCoro::sleepFor(500ms);
    co_await std::move(wait);
    if (!self)
        co_return;
    if (m_pieces.isEmpty()) {
        auto load = loadPieces();
        co_await std::move(load);
        if (!self)
            co_return;
    }
    auto request = sendEntry(entry, timeLimit, roomId);
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    if (result) {
        // A retried create only counts a game that is still open; a retried join any game.
        takeSeat(std::move(*result), entry == Entry::Join);
    } else {
        const auto retry = entry == Entry::Create ? Operation::RetryCreate : Operation::RetryJoin;
        m_status.setFailureMessage(failureReaction(retry, result.error()).message, result.error());
    }
    m_status.setLoading(false);
}

QCoro::Task<std::optional<RequestError>>
LobbyManager::enter(Entry entry, std::optional<qint64> timeLimit, QString roomId)
{
    QPointer self(this);
    auto prelude = enterPrelude();
    co_await std::move(prelude);
    if (!self)
        co_return std::nullopt;
    auto request = sendEntry(entry, timeLimit, roomId);
    auto result = co_await std::move(request);
    if (!self)
        co_return std::nullopt;
    if (!result)
        co_return std::move(result.error());
    auto apply = applySessionResponse(std::move(*result));
    co_await std::move(apply);
    co_return std::nullopt;
}

QCoro::Task<> LobbyManager::createSession(std::optional<qint64> timeLimit)
{
    auto entering = enterOrReact(Entry::Create, timeLimit, {});
    co_await std::move(entering);
}

QCoro::Task<> LobbyManager::joinGame(QString roomId)
{
    auto entering = enterOrReact(Entry::Join, std::nullopt, roomId);
    co_await std::move(entering);
}

QCoro::Task<> LobbyManager::rejoinGame(QString roomId)
{
    auto entering = enterOrReact(Entry::Rejoin, std::nullopt, roomId);
    co_await std::move(entering);
}

QCoro::Task<> LobbyManager::enterOrReact(Entry entry, std::optional<qint64> timeLimit,
                                         QString roomId)
{
    QPointer self(this);
    auto entering = enter(entry, timeLimit, roomId);
    const auto failure = co_await std::move(entering);
    if (!self || !failure)
        co_return;
    const Operation operation = entry == Entry::Create ? Operation::CreateSession
                                : entry == Entry::Join ? Operation::JoinGame
                                                       : Operation::RejoinGame;
    const FailureReaction reaction = failureReaction(operation, *failure);
    if (reaction.followUp == FollowUp::RetryEntry) {
        auto retry = retryEntry(entry, timeLimit, roomId);
        co_await std::move(retry);
        co_return;
    }
    m_status.setFailureMessage(reaction.message, *failure);
    if (reaction.followUp == FollowUp::ReloadServers) {
        auto reload = loadServers();
        co_await std::move(reload);
        if (!self)
            co_return;
        // A failed reload shows its own alert; the player must still learn why the join failed.
        // One acknowledged while the list reloaded stays acknowledged.
        if (m_status.isServerListAlert())
            m_status.setErrorMessage(reaction.message);
    }
    m_status.setLoading(false);
}

} // namespace korvana
