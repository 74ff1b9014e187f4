// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game being played: the three game actions, the end of the session, and saving the result.
#include "gamesession.h"

#include "diagnostics.h"
#include "failuremessages.h"
#include "operationstatus.h"
#include "variantconversion.h"

namespace korvana {

GameSession::GameSession(NetworkService &network, OperationStatus &status,
                         const QList<PieceDefinition> &pieces, Seat seat, bool holdsPolls,
                         QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_status(status)
    , m_pieces(pieces)
    , m_gameState(fillMissingSquares(std::move(seat.gameState), pieces))
    , m_sessionId(std::move(seat.sessionId))
    , m_myPlayerId(std::move(seat.playerId))
    , m_myColor(std::move(seat.color))
    , m_serverHoldsPolls(holdsPolls)
{
    // Each tick starts its own task; the timers are children, so they die with the session and
    // a task checks the session is still there after every wait.
    connect(&m_updateTimer, &QTimer::timeout, this, [this] { refreshGameState(); });
    m_heldPollPause.setSingleShot(true);
    m_heldPollPause.setInterval(1000);
    connect(&m_heldPollPause, &QTimer::timeout, this, [this] { keepPolling(); });
}

GameSession::InFlight::InFlight(GameSession *session)
    : m_session(session)
{
    ++session->m_inFlight;
}

GameSession::InFlight::~InFlight()
{
    if (m_session && --m_session->m_inFlight == 0 && m_session->m_ended)
        m_session->deleteLater();
}

GameState GameSession::fillMissingSquares(GameState state, const QList<PieceDefinition> &pieces)
{
    for (Player &player : state.players) {
        for (GamePiece &piece : player.pieces) {
            if (!piece.squares.isEmpty() || piece.placed)
                continue;
            const auto definition =
                std::find_if(pieces.cbegin(), pieces.cend(),
                             [&](const PieceDefinition &d) { return d.id == piece.id; });
            if (definition == pieces.cend()) {
                diag(QStringLiteral("⚠️ Nie znaleziono definicji klocka ") + piece.id +
                     QStringLiteral(" w pieces list"));
                continue;
            }
            piece.squares = definition->squares;
            diag(QStringLiteral("✅ Uzupełniono squares dla klocka %1 (%2) z pieces list")
                     .arg(piece.id, piece.name));
        }
    }
    return state;
}

QVariant GameSession::gameStateValue() const
{
    if (!m_gameStateValue.isValid())
        m_gameStateValue = toVariant(*m_gameState);
    return m_gameStateValue;
}

void GameSession::start(bool finishedCountsAsInGame)
{
    const GameStatus status = m_gameState->gameStatus;
    const bool inGame =
        isLive(status) || (finishedCountsAsInGame && status == GameStatus::Finished);
    setInGame(inGame);
    if (inGame)
        keepPolling();
}

void GameSession::end()
{
    if (m_ended)
        return;
    // First: a held poll ended here resumes at once and must find its session gone.
    m_ended = true;
    stopPolling();
    if (m_inFlight == 0)
        deleteLater();
}

void GameSession::connectionRestored()
{
    if (!m_ended && !m_finishHandled && m_isInGame)
        refreshGameState();
}

QCoro::Task<> GameSession::finishGame()
{
    QPointer self(this);
    InFlight inFlight(this);
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
    Q_EMIT finishSeen();
    if (save) {
        auto saving = std::move(*save);
        co_await std::move(saving);
        if (!self)
            co_return;
    }
    Q_EMIT gameFinished();
}

QCoro::Task<> GameSession::saveScore(QString roomId, qint64 score, qint64 position,
                                     qint64 playersCount)
{
    QPointer self(this);
    InFlight inFlight(this);
    m_status.setLoading(true);
    m_status.setErrorMessage(std::nullopt);
    const quint64 loading = m_status.loadingGeneration();
    auto request = m_network.saveScore(SaveScoreRequest{roomId, score, position, playersCount});
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    // Saved at once so that leaving the results loses nothing: a failure is told wherever the
    // player is by then, the lobby included. isLoading is released unless another operation
    // took it meanwhile.
    if (!result)
        m_status.setErrorMessage(failureReaction(Operation::SaveScore, result.error()).message);
    if (loading == m_status.loadingGeneration())
        m_status.setLoading(false);
}

QCoro::Task<> GameSession::runGameAction(
    std::function<QCoro::Task<Result<GameActionResponse>>(const QString &sessionId)> send,
    std::function<void(const GameActionResponse &, bool applied)> onSuccess, bool promisesState)
{
    if (m_ended)
        co_return;
    QPointer self(this);
    InFlight inFlight(this);
    const Ticket ticket = issueTicket();
    m_status.setLoading(true);
    m_status.setErrorMessage(std::nullopt);
    auto request = send(m_sessionId);
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    // An answer about a game that was left, or replaced by another, changes nothing of it.
    if (!m_ended) {
        if (!result) {
            m_status.setFailureMessage(
                failureReaction(Operation::GameAction, result.error()).message, result.error());
        } else if (result->success && (result->gameState || !promisesState)) {
            const bool applied =
                result->gameState && tryApply(ticket, std::move(*result->gameState));
            onSuccess(*result, applied);
        } else {
            // A refusal must never pass for an accepted move.
            const bool hasReason = result->error && !result->error->isEmpty();
            m_status.setErrorMessage(hasReason ? *result->error : refusalWithoutReason());
        }
    }
    m_status.setLoading(false);
}

QCoro::Task<> GameSession::voteToStart(bool enableBots)
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

QCoro::Task<> GameSession::placePiece(QString pieceId, qint64 row, qint64 col, qint64 rotation)
{
    QPointer self(this);
    auto action = runGameAction(
        [this, pieceId, row, col, rotation](const QString &sessionId) {
            return m_network.placePiece(PlacePieceRequest{sessionId, pieceId, row, col, rotation});
        },
        [this](const GameActionResponse &, bool) { Q_EMIT placementAccepted(); });
    co_await std::move(action);
    if (self)
        Q_EMIT placePieceFinished();
}

QCoro::Task<> GameSession::passTurn()
{
    auto action =
        runGameAction([this](const QString &sessionId) { return m_network.passTurn(sessionId); },
                      [](const GameActionResponse &, bool) {});
    co_await std::move(action);
}

void GameSession::setGameState(GameState state)
{
    // Most polls bring the same state again: nothing to redraw then.
    if (m_gameState == state)
        return;
    m_gameState = std::move(state);
    ++m_stateChanges;
    m_gameStateValue = QVariant();
    Q_EMIT gameStateChanged();
}

void GameSession::setMyPlayerId(QString id)
{
    if (m_myPlayerId == id)
        return;
    m_myPlayerId = std::move(id);
    Q_EMIT myPlayerIdChanged();
}

void GameSession::setMyColor(QString color)
{
    if (m_myColor == color)
        return;
    m_myColor = std::move(color);
    Q_EMIT myColorChanged();
}

void GameSession::setInGame(bool value)
{
    if (m_isInGame == value)
        return;
    m_isInGame = value;
    Q_EMIT isInGameChanged();
}

} // namespace korvana
