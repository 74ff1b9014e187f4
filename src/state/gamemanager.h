// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamesession.h"
#include "lobbymanager.h"
#include "operationstatus.h"
#include "recordlistmodel.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <optional>

namespace korvana {

// Everything about games as the screens see it: the lobby (rooms, own games, entering a game)
// and the session of the game this client is in, with the player's selection, one busy flag
// and one alert. Screens only read its properties and call it.
class GameManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant gameState READ gameStateValue NOTIFY gameStateChanged)
    Q_PROPERTY(QString sessionId READ sessionIdText NOTIFY sessionIdChanged)
    Q_PROPERTY(QString myPlayerId READ myPlayerIdText NOTIFY myPlayerIdChanged)
    Q_PROPERTY(QString myColor READ myColorText NOTIFY myColorChanged)
    Q_PROPERTY(QString selectedPieceId READ selectedPieceIdText WRITE setSelectedPieceIdText NOTIFY
                   selectedPieceIdChanged)
    Q_PROPERTY(int selectedRotation READ selectedRotation WRITE setSelectedRotation NOTIFY
                   selectedRotationChanged)
    // The open rooms; rows change in place when the list is reloaded.
    Q_PROPERTY(korvana::RecordListModel *servers READ serversModel CONSTANT)
    Q_PROPERTY(QVariantList pieces READ piecesValue NOTIFY piecesChanged)
    Q_PROPERTY(QVariantList timeOptions READ timeOptionsValue NOTIFY timeOptionsChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageText WRITE setErrorMessageText NOTIFY
                   errorMessageChanged)
    Q_PROPERTY(bool isInGame READ isInGame NOTIFY isInGameChanged)
    // The last reload of the server list failed: the list is not known, not empty.
    Q_PROPERTY(bool isServerListUnavailable READ isServerListUnavailable NOTIFY
                   isServerListUnavailableChanged)

public:
    explicit GameManager(NetworkService &network, QObject *parent = nullptr);

    [[nodiscard]] LobbyManager &lobby() { return m_lobby; }
    // The session of the game this client is in; none in the lobby.
    [[nodiscard]] GameSession *session() const { return m_lobby.session(); }

    [[nodiscard]] const std::optional<GameState> &gameState() const;
    [[nodiscard]] QVariant gameStateValue() const;
    [[nodiscard]] std::optional<QString> sessionId() const;
    [[nodiscard]] std::optional<QString> myPlayerId() const;
    [[nodiscard]] std::optional<QString> myColor() const;
    [[nodiscard]] const std::optional<QString> &selectedPieceId() const
    {
        return m_selectedPieceId;
    }
    [[nodiscard]] int selectedRotation() const { return m_selectedRotation; }
    [[nodiscard]] const QList<GameServer> &servers() const { return m_lobby.servers(); }
    [[nodiscard]] RecordListModel *serversModel() { return m_lobby.rooms(); }
    [[nodiscard]] const QList<PieceDefinition> &pieces() const { return m_lobby.pieces(); }
    [[nodiscard]] const QList<TimeOption> &timeOptions() const { return m_lobby.timeOptions(); }
    [[nodiscard]] bool isLoading() const { return m_status.isLoading(); }
    [[nodiscard]] const std::optional<QString> &errorMessage() const
    {
        return m_status.errorMessage();
    }
    [[nodiscard]] bool isInGame() const { return m_lobby.isInGame(); }
    [[nodiscard]] bool isServerListUnavailable() const { return m_lobby.isServerListUnavailable(); }

    [[nodiscard]] QString sessionIdText() const { return sessionId().value_or(QString()); }
    [[nodiscard]] QString myPlayerIdText() const { return myPlayerId().value_or(QString()); }
    [[nodiscard]] QString myColorText() const { return myColor().value_or(QString()); }
    [[nodiscard]] QString selectedPieceIdText() const
    {
        return m_selectedPieceId.value_or(QString());
    }
    [[nodiscard]] QString errorMessageText() const { return errorMessage().value_or(QString()); }
    [[nodiscard]] QVariantList piecesValue() const { return toVariantList(pieces()); }
    [[nodiscard]] QVariantList timeOptionsValue() const { return toVariantList(timeOptions()); }

    void setSelectedPieceId(std::optional<QString> id);
    void setSelectedPieceIdText(const QString &id);
    void setSelectedRotation(int degrees);
    void setErrorMessage(std::optional<QString> message);
    void setErrorMessageText(const QString &message);

    // Polling of the current game; none in the lobby.
    [[nodiscard]] const QTimer *updateTimer() const;
    [[nodiscard]] bool isHoldingPoll() const { return session() && session()->isHoldingPoll(); }
    [[nodiscard]] const QTimer *serverListTimer() const { return m_lobby.serverListTimer(); }

    // Lobby.
    Q_INVOKABLE void loadServers() { loadServersTask(LobbyManager::ListReload::Asked); }
    // The list again without a word on failure, for the rooms' names outside the lobby.
    Q_INVOKABLE void refreshServers() { loadServersTask(); }
    Q_INVOKABLE void startServerListTimer() { m_lobby.startServerListTimer(); }
    Q_INVOKABLE void stopServerListTimer() { m_lobby.stopServerListTimer(); }
    Q_INVOKABLE void loadTimeOptions() { loadTimeOptionsTask(); }
    // timeLimit: seconds, or null/undefined for no limit.
    Q_INVOKABLE void createSession(const QVariant &timeLimit);
    Q_INVOKABLE void joinGame(const QString &roomId) { joinGameTask(roomId); }
    Q_INVOKABLE void rejoinGame(const QString &roomId) { rejoinGameTask(roomId); }

    // Game.
    Q_INVOKABLE void voteToStart(bool enableBots) { voteToStartTask(enableBots); }
    Q_INVOKABLE void placePiece(const QString &pieceId, int row, int col, int rotation)
    {
        placePieceTask(pieceId, row, col, rotation);
    }
    Q_INVOKABLE void passTurn() { passTurnTask(); }
    Q_INVOKABLE void leaveGame() { m_lobby.leaveGame(); }
    // The server can be reached again after an outage: alerts about failures below HTTP close by
    // themselves, and a running game is asked for at once rather than on the next tick.
    void connectionRestored();

    QCoro::Task<>
    loadServersTask(LobbyManager::ListReload reload = LobbyManager::ListReload::Background)
    {
        return m_lobby.loadServers(reload);
    }
    QCoro::Task<> loadTimeOptionsTask() { return m_lobby.loadTimeOptions(); }
    QCoro::Task<> loadPiecesTask() { return m_lobby.loadPieces(); }
    QCoro::Task<Result<QList<ActiveGame>>> loadActiveGames() { return m_lobby.loadActiveGames(); }
    QCoro::Task<> createSessionTask(std::optional<qint64> timeLimit)
    {
        return m_lobby.createSession(timeLimit);
    }
    QCoro::Task<> joinGameTask(QString roomId) { return m_lobby.joinGame(std::move(roomId)); }
    QCoro::Task<> rejoinGameTask(QString roomId) { return m_lobby.rejoinGame(std::move(roomId)); }
    GameState fillMissingSquares(GameState state) const
    {
        return GameSession::fillMissingSquares(std::move(state), pieces());
    }

    // One poll; nothing without a game.
    QCoro::Task<> refreshGameState();
    QCoro::Task<> voteToStartTask(bool enableBots);
    QCoro::Task<> placePieceTask(QString pieceId, qint64 row, qint64 col, qint64 rotation);
    QCoro::Task<> passTurnTask();

Q_SIGNALS:
    void gameStateChanged();
    void sessionIdChanged();
    void myPlayerIdChanged();
    void myColorChanged();
    void selectedPieceIdChanged();
    void selectedRotationChanged();
    void piecesChanged();
    void timeOptionsChanged();
    void isLoadingChanged();
    void errorMessageChanged();
    void isInGameChanged();
    void isServerListUnavailableChanged();
    // A placement attempt ended (accepted or not); the screen then reads errorMessage.
    void placePieceFinished();
    // A game was seen finished and its result saved (or the save failed): statistics changed.
    void gameFinished();
    // The server answered with the current game's state (changed or not).
    void gameStateAnswered();

private:
    // Another session became current: its signals reach the screens and every property that
    // differs from the previous one's is announced.
    void showSession();

    OperationStatus m_status;
    LobbyManager m_lobby;
    std::optional<QString> m_selectedPieceId;
    int m_selectedRotation = 0;
    // The session whose signals are forwarded.
    QPointer<GameSession> m_shown;
};

} // namespace korvana
