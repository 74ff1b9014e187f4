// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "networkservice.h"

#include <QCoroTask>
#include <QObject>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <optional>

namespace korvana {

// Everything about games: the lobby's lists, entering a game, polling it, the three game
// actions, leaving, and saving the result. Screens only read its properties and call it.
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
    Q_PROPERTY(QVariantList servers READ serversValue NOTIFY serversChanged)
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

    // The six choices used whenever the server offers none.
    static QList<TimeOption> builtInTimeOptions();

    [[nodiscard]] const std::optional<GameState> &gameState() const { return m_gameState; }
    [[nodiscard]] QVariant gameStateValue() const;
    [[nodiscard]] const std::optional<QString> &sessionId() const { return m_sessionId; }
    [[nodiscard]] const std::optional<QString> &myPlayerId() const { return m_myPlayerId; }
    [[nodiscard]] const std::optional<QString> &myColor() const { return m_myColor; }
    [[nodiscard]] const std::optional<QString> &selectedPieceId() const
    {
        return m_selectedPieceId;
    }
    [[nodiscard]] int selectedRotation() const { return m_selectedRotation; }
    [[nodiscard]] const QList<GameServer> &servers() const { return m_servers; }
    [[nodiscard]] const QList<PieceDefinition> &pieces() const { return m_pieces; }
    [[nodiscard]] const QList<TimeOption> &timeOptions() const { return m_timeOptions; }
    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    [[nodiscard]] bool isInGame() const { return m_isInGame; }
    [[nodiscard]] bool isServerListUnavailable() const { return m_listOutage.has_value(); }

    [[nodiscard]] QString sessionIdText() const { return m_sessionId.value_or(QString()); }
    [[nodiscard]] QString myPlayerIdText() const { return m_myPlayerId.value_or(QString()); }
    [[nodiscard]] QString myColorText() const { return m_myColor.value_or(QString()); }
    [[nodiscard]] QString selectedPieceIdText() const
    {
        return m_selectedPieceId.value_or(QString());
    }
    [[nodiscard]] QString errorMessageText() const { return m_errorMessage.value_or(QString()); }
    [[nodiscard]] QVariantList serversValue() const;
    [[nodiscard]] QVariantList piecesValue() const;
    [[nodiscard]] QVariantList timeOptionsValue() const;

    void setSelectedPieceId(std::optional<QString> id);
    void setSelectedPieceIdText(const QString &id);
    void setSelectedRotation(int degrees);
    void setErrorMessage(std::optional<QString> message);
    void setErrorMessageText(const QString &message);
    // A failure's message; one about a failure below HTTP closes when the connection returns.
    void setFailureMessage(QString message, const RequestError &error);

    [[nodiscard]] const QTimer *updateTimer() const { return &m_updateTimer; }
    [[nodiscard]] const QTimer *serverListTimer() const { return &m_serverListTimer; }

    // Who asked for a server list: the player (the refresh button) or the client itself (the
    // timer, the lobby appearing, entering or finishing a game).
    enum class ListReload { Background, Asked };

    // Lobby.
    Q_INVOKABLE void loadServers() { loadServersTask(ListReload::Asked); }
    // The list again without a word on failure, for the rooms' names outside the lobby.
    Q_INVOKABLE void refreshServers() { loadServersTask(ListReload::Background); }
    Q_INVOKABLE void startServerListTimer();
    Q_INVOKABLE void stopServerListTimer();
    Q_INVOKABLE void loadTimeOptions() { loadTimeOptionsTask(); }
    // Emits activeGamesLoaded with the list, or an empty list when loading failed.
    Q_INVOKABLE void reloadActiveGames() { reloadActiveGamesTask(); }
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
    Q_INVOKABLE void leaveGame();
    // The server can be reached again after an outage: alerts about failures below HTTP close by
    // themselves, and a running game is asked for at once rather than on the next tick.
    void connectionRestored();

    // A background reload alerts once per outage and clears only an alert of its own.
    QCoro::Task<> loadServersTask(ListReload reload = ListReload::Background);
    QCoro::Task<> loadTimeOptionsTask();
    QCoro::Task<> loadPiecesTask();
    QCoro::Task<Result<QList<ActiveGame>>> loadActiveGames();
    QCoro::Task<> reloadActiveGamesTask();
    QCoro::Task<> createSessionTask(std::optional<qint64> timeLimit);
    QCoro::Task<> joinGameTask(QString roomId);
    QCoro::Task<> rejoinGameTask(QString roomId);
    GameState fillMissingSquares(GameState state) const;

    void startUpdateTimer();
    // One poll on the timer.
    QCoro::Task<> refreshGameState();
    // While the server offers held polls, one waits there for the next change of the game.
    [[nodiscard]] bool isHoldingPoll() const { return m_holdingPoll; }
    QCoro::Task<> voteToStartTask(bool enableBots);
    QCoro::Task<> placePieceTask(QString pieceId, qint64 row, qint64 col, qint64 rotation);
    QCoro::Task<> passTurnTask();
    QCoro::Task<> saveScore(QString roomId, qint64 score, qint64 position, qint64 playersCount);

Q_SIGNALS:
    void gameStateChanged();
    void sessionIdChanged();
    void myPlayerIdChanged();
    void myColorChanged();
    void selectedPieceIdChanged();
    void selectedRotationChanged();
    void serversChanged();
    void piecesChanged();
    void timeOptionsChanged();
    void isLoadingChanged();
    void errorMessageChanged();
    void isInGameChanged();
    void isServerListUnavailableChanged();
    void activeGamesLoaded(const QVariantList &games);
    // A placement attempt ended (accepted or not); the screen then reads errorMessage.
    void placePieceFinished();
    // A game was seen finished and its result saved (or the save failed): statistics changed.
    void gameFinished();
    // The server answered with the current game's state (changed or not).
    void gameStateAnswered();

private:
    enum class Entry { Create, Join, Rejoin };
    struct Seat
    {
        QString sessionId;
        QString playerId;
        QString color;
        GameState gameState;
    };
    // Marks one request about the current game: answers to a game that was left or replaced, or
    // older than an answer already applied, are dropped.
    struct Ticket
    {
        quint64 epoch = 0;
        quint64 sequence = 0;
    };

    QCoro::Task<> enterPrelude();
    // The prelude, the request and, on success, the seat taken. Returns the failure; nothing
    // when the game was entered or the manager went away meanwhile.
    QCoro::Task<std::optional<RequestError>> enter(Entry entry, std::optional<qint64> timeLimit,
                                                   QString roomId);
    QCoro::Task<Result<Seat>> sendEntry(Entry entry, std::optional<qint64> timeLimit,
                                        QString roomId);
    void takeSeat(Seat seat, bool finishedCountsAsInGame);
    QCoro::Task<> applySessionResponse(Seat seat);
    QCoro::Task<> retryEntry(Entry entry, std::optional<qint64> timeLimit, QString roomId);
    // Enters, or turns the failure into its message, reload or retry.
    QCoro::Task<> enterOrReact(Entry entry, std::optional<qint64> timeLimit, QString roomId);
    QCoro::Task<> runGameAction(
        std::function<QCoro::Task<Result<GameActionResponse>>(const QString &sessionId)> send,
        std::function<void(const GameActionResponse &, bool applied)> onSuccess,
        bool promisesState = true);
    Ticket issueTicket() { return {m_gameEpoch, ++m_lastSequence}; }
    bool isCurrent(const Ticket &ticket) const { return ticket.epoch == m_gameEpoch; }
    bool tryApply(const Ticket &ticket, GameState state);
    // What the answer to a poll did.
    struct PollOutcome
    {
        bool applied = false;
        bool statusChanged = false;
        GameStatus status = GameStatus::Unknown;
    };
    PollOutcome applyPoll(const Ticket &ticket, SessionPoll poll);
    // Polling goes on: the held poll while the server offers it, else the timer.
    void keepPolling();
    void stopPolling();
    QCoro::Task<> holdPoll();
    QCoro::Task<> finishGame();

    void setGameState(std::optional<GameState> state);
    void setSessionId(std::optional<QString> id);
    void setMyPlayerId(std::optional<QString> id);
    void setMyColor(std::optional<QString> color);
    void setServers(QList<GameServer> servers);
    void setPieces(QList<PieceDefinition> pieces);
    void setTimeOptions(QList<TimeOption> options);
    void setLoading(bool value);
    void setInGame(bool value);

    NetworkService &m_network;
    std::optional<GameState> m_gameState;
    std::optional<QString> m_sessionId;
    std::optional<QString> m_myPlayerId;
    std::optional<QString> m_myColor;
    std::optional<QString> m_selectedPieceId;
    int m_selectedRotation = 0;
    QList<GameServer> m_servers;
    QList<PieceDefinition> m_pieces;
    QList<TimeOption> m_timeOptions;
    bool m_isLoading = false;
    std::optional<QString> m_errorMessage;
    bool m_isInGame = false;

    QTimer m_updateTimer;
    // Held polls: the last answer said the server holds them; one is at the server; the ETag of
    // the state on screen; quick answers without change in a row; the pause they lead to.
    bool m_serverHoldsPolls = false;
    bool m_holdingPoll = false;
    QByteArray m_etag;
    int m_quietAnswers = 0;
    QTimer m_heldPollPause;
    quint64 m_stateChanges = 0; // counts real changes of gameState
    QTimer m_serverListTimer;
    quint64 m_gameEpoch = 0;
    quint64 m_lastSequence = 0;
    quint64 m_appliedSequence = 0;
    bool m_finishHandled = false;
    quint64 m_loadingGeneration = 0; // bumped whenever an operation sets isLoading
    // errorMessage holds an alert of the server list, not of an action.
    bool m_errorFromServerList = false;
    // errorMessage is about a failure below HTTP (refused, reset, timed out).
    bool m_errorFromOutage = false;
    // The kind of list failure alerted since the last successful reload.
    std::optional<int> m_listOutage;
    mutable QVariant m_gameStateValue; // converted once per change, read often by QML
};

} // namespace korvana
