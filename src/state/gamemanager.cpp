// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamemanager.h"

namespace korvana {

GameManager::GameManager(NetworkService &network, QObject *parent)
    : QObject(parent)
    , m_lobby(network, m_status)
{
    connect(&m_status, &OperationStatus::isLoadingChanged, this, &GameManager::isLoadingChanged);
    connect(&m_status, &OperationStatus::errorMessageChanged, this,
            &GameManager::errorMessageChanged);
    connect(&m_lobby, &LobbyManager::piecesChanged, this, &GameManager::piecesChanged);
    connect(&m_lobby, &LobbyManager::timeOptionsChanged, this, &GameManager::timeOptionsChanged);
    connect(&m_lobby, &LobbyManager::isServerListUnavailableChanged, this,
            &GameManager::isServerListUnavailableChanged);
    connect(&m_lobby, &LobbyManager::gameFinished, this, &GameManager::gameFinished);
    connect(&m_lobby, &LobbyManager::sessionChanged, this, &GameManager::showSession);
    connect(&m_lobby, &LobbyManager::gameLeft, this, [this] { setSelectedPieceId(std::nullopt); });
}

const std::optional<GameState> &GameManager::gameState() const
{
    static const std::optional<GameState> none;
    return session() ? session()->gameState() : none;
}

QVariant GameManager::gameStateValue() const
{
    return session() ? session()->gameStateValue() : QVariant();
}

std::optional<QString> GameManager::sessionId() const
{
    return session() ? std::optional(session()->sessionId()) : std::nullopt;
}

std::optional<QString> GameManager::myPlayerId() const
{
    return session() ? std::optional(session()->myPlayerId()) : std::nullopt;
}

std::optional<QString> GameManager::myColor() const
{
    return session() ? std::optional(session()->myColor()) : std::nullopt;
}

const QTimer *GameManager::updateTimer() const
{
    return session() ? session()->updateTimer() : nullptr;
}

void GameManager::showSession()
{
    GameSession *previous = m_shown;
    GameSession *next = session();
    if (previous)
        disconnect(previous, nullptr, this, nullptr);
    m_shown = next;
    if (next) {
        connect(next, &GameSession::gameStateChanged, this, &GameManager::gameStateChanged);
        connect(next, &GameSession::myPlayerIdChanged, this, &GameManager::myPlayerIdChanged);
        connect(next, &GameSession::myColorChanged, this, &GameManager::myColorChanged);
        connect(next, &GameSession::isInGameChanged, this, &GameManager::isInGameChanged);
        connect(next, &GameSession::gameStateAnswered, this, &GameManager::gameStateAnswered);
        connect(next, &GameSession::placePieceFinished, this, &GameManager::placePieceFinished);
        connect(next, &GameSession::placementAccepted, this, [this] {
            setSelectedPieceId(std::nullopt);
            setSelectedRotation(0);
        });
    }
    // The ended session is still there until the event loop runs: compare with it.
    const auto text = [](GameSession *s, const QString &(GameSession::*get)() const) {
        return s ? std::optional((s->*get)()) : std::optional<QString>();
    };
    const bool idChanged = text(previous, &GameSession::sessionId) != sessionId();
    const bool playerChanged = text(previous, &GameSession::myPlayerId) != myPlayerId();
    const bool colorChanged = text(previous, &GameSession::myColor) != myColor();
    const auto announceSeat = [&] {
        if (idChanged)
            Q_EMIT sessionIdChanged();
        if (playerChanged)
            Q_EMIT myPlayerIdChanged();
        if (colorChanged)
            Q_EMIT myColorChanged();
    };
    static const std::optional<GameState> none;
    const bool stateChanged = (previous ? previous->gameState() : none) != gameState();
    const bool inGameChanged = (previous && previous->isInGame()) != isInGame();
    // Entering: the seat and the state before isInGame, so the game screen finds them. Leaving:
    // isInGame first, so the game screen goes before its state does.
    if (next) {
        announceSeat();
        if (stateChanged)
            Q_EMIT gameStateChanged();
        if (inGameChanged)
            Q_EMIT isInGameChanged();
    } else {
        if (inGameChanged)
            Q_EMIT isInGameChanged();
        if (stateChanged)
            Q_EMIT gameStateChanged();
        announceSeat();
    }
}

void GameManager::createSession(const QVariant &timeLimit)
{
    std::optional<qint64> seconds;
    if (timeLimit.isValid() && !timeLimit.isNull())
        seconds = timeLimit.toLongLong();
    createSessionTask(seconds);
}

void GameManager::connectionRestored()
{
    m_status.connectionRestored();
    if (GameSession *current = session())
        current->connectionRestored();
}

QCoro::Task<> GameManager::refreshGameState()
{
    if (GameSession *current = session()) {
        auto poll = current->refreshGameState();
        co_await std::move(poll);
    }
}

QCoro::Task<> GameManager::voteToStartTask(bool enableBots)
{
    if (GameSession *current = session()) {
        auto action = current->voteToStart(enableBots);
        co_await std::move(action);
    }
}

QCoro::Task<> GameManager::placePieceTask(QString pieceId, qint64 row, qint64 col, qint64 rotation)
{
    if (GameSession *current = session()) {
        auto action = current->placePiece(std::move(pieceId), row, col, rotation);
        co_await std::move(action);
    }
}

QCoro::Task<> GameManager::passTurnTask()
{
    if (GameSession *current = session()) {
        auto action = current->passTurn();
        co_await std::move(action);
    }
}

void GameManager::setSelectedPieceId(std::optional<QString> id)
{
    if (m_selectedPieceId == id)
        return;
    m_selectedPieceId = std::move(id);
    Q_EMIT selectedPieceIdChanged();
}

void GameManager::setSelectedPieceIdText(const QString &id)
{
    setSelectedPieceId(id.isEmpty() ? std::nullopt : std::optional<QString>(id));
}

void GameManager::setSelectedRotation(int degrees)
{
    if (m_selectedRotation == degrees)
        return;
    m_selectedRotation = degrees;
    Q_EMIT selectedRotationChanged();
}

void GameManager::setErrorMessage(std::optional<QString> message)
{
    m_status.setErrorMessage(std::move(message));
}

void GameManager::setErrorMessageText(const QString &message)
{
    setErrorMessage(message.isEmpty() ? std::nullopt : std::optional<QString>(message));
}

} // namespace korvana
