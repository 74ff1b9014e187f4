// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The running game: the three game actions, leaving, and saving the result.
#include "gamemanager.h"

#include "diagnostics.h"
#include "failuremessages.h"

#include <QPointer>

namespace korvana {

QCoro::Task<> GameManager::finishGame()
{
    QPointer self(this);
    m_updateTimer.stop();
    // The result is taken and sent now, whatever the player does next: leaving the results at
    // once must not lose it.
    std::optional<QCoro::Task<>> save;
    const QList<Player> &players = m_gameState->players;
    const auto me = std::find_if(players.cbegin(), players.cend(),
                                 [&](const Player &p) { return p.id == m_myPlayerId; });
    if (me != players.cend()) {
        const QList<Player> ranked = rankedPlayers(players);
        const auto position = std::find_if(ranked.cbegin(), ranked.cend(),
                                           [&](const Player &p) { return p.id == me->id; }) -
                              ranked.cbegin() + 1;
        save = saveScore(m_gameState->roomId, me->score, position, players.size());
    }
    auto reload = loadServersTask();
    if (save) {
        auto saving = std::move(*save);
        co_await std::move(saving);
        if (!self)
            co_return;
    }
    Q_EMIT gameFinished();
    co_await std::move(reload);
}

QCoro::Task<> GameManager::saveScore(QString roomId, qint64 score, qint64 position,
                                     qint64 playersCount)
{
    QPointer self(this);
    setLoading(true);
    setErrorMessage(std::nullopt);
    const quint64 loading = m_loadingGeneration;
    auto request = m_network.saveScore(SaveScoreRequest{roomId, score, position, playersCount});
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    // Saved at once so that leaving the results loses nothing: a failure is told wherever the
    // player is by then, the lobby included. isLoading is released unless another operation
    // took it meanwhile.
    if (!result)
        setErrorMessage(failureReaction(Operation::SaveScore, result.error()).message);
    if (loading == m_loadingGeneration)
        setLoading(false);
}

QCoro::Task<> GameManager::runGameAction(
    std::function<QCoro::Task<Result<GameActionResponse>>(const QString &sessionId)> send,
    std::function<void(const GameActionResponse &, bool applied)> onSuccess, bool promisesState)
{
    if (!m_sessionId)
        co_return;
    QPointer self(this);
    const Ticket ticket = issueTicket();
    setLoading(true);
    setErrorMessage(std::nullopt);
    auto request = send(*m_sessionId);
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    // An answer about a game that was left, or replaced by another, changes nothing of it.
    if (isCurrent(ticket)) {
        if (!result) {
            setFailureMessage(failureReaction(Operation::GameAction, result.error()).message,
                              result.error());
        } else if (result->success && (result->gameState || !promisesState)) {
            const bool applied =
                result->gameState && tryApply(ticket, std::move(*result->gameState));
            onSuccess(*result, applied);
        } else {
            // A refusal must never pass for an accepted move.
            const bool hasReason = result->error && !result->error->isEmpty();
            setErrorMessage(hasReason ? *result->error : refusalWithoutReason());
        }
    }
    setLoading(false);
}

QCoro::Task<> GameManager::voteToStartTask(bool enableBots)
{
    auto action = runGameAction(
        [this, enableBots](const QString &sessionId) {
            return m_network.voteToStart(sessionId, enableBots);
        },
        [this](const GameActionResponse &response, bool) {
            setInGame(true);
            diag(response.started.value_or(false)
                     ? QStringLiteral("✅ Gra rozpoczęta po głosowaniu")
                     : QStringLiteral("✅ Zagłosowano za rozpoczęciem. Czekam na innych graczy..."));
            keepPolling();
        },
        // An accepted vote need not bring a state; only placements and passes promise one.
        false);
    co_await std::move(action);
}

QCoro::Task<> GameManager::placePieceTask(QString pieceId, qint64 row, qint64 col, qint64 rotation)
{
    QPointer self(this);
    auto action = runGameAction(
        [this, pieceId, row, col, rotation](const QString &sessionId) {
            return m_network.placePiece(PlacePieceRequest{sessionId, pieceId, row, col, rotation});
        },
        [this](const GameActionResponse &, bool) {
            setSelectedPieceId(std::nullopt);
            setSelectedRotation(0);
        });
    co_await std::move(action);
    if (self)
        Q_EMIT placePieceFinished();
}

QCoro::Task<> GameManager::passTurnTask()
{
    auto action =
        runGameAction([this](const QString &sessionId) { return m_network.passTurn(sessionId); },
                      [](const GameActionResponse &, bool) {});
    co_await std::move(action);
}

void GameManager::leaveGame()
{
    // The epoch first: a held poll ended here resumes at once and must find its game gone.
    ++m_gameEpoch;
    stopPolling();
    setInGame(false);
    setGameState(std::nullopt);
    setSessionId(std::nullopt);
    setMyPlayerId(std::nullopt);
    setMyColor(std::nullopt);
    setSelectedPieceId(std::nullopt);
}

} // namespace korvana
