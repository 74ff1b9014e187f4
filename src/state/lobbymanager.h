// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamesession.h"
#include "recordlistmodel.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace korvana {

class OperationStatus;

// The lobby: the open rooms, the player's own games, the time options and the piece catalogue,
// and entering a game (create, join, rejoin), which starts its session. Holds the session of the
// game this client is in, if any.
class LobbyManager : public QObject
{
    Q_OBJECT

public:
    LobbyManager(NetworkService &network, OperationStatus &status, QObject *parent = nullptr);

    // The six choices used whenever the server offers none.
    static QList<TimeOption> builtInTimeOptions();

    [[nodiscard]] const QList<GameServer> &servers() const { return m_servers; }
    [[nodiscard]] RecordListModel *rooms() { return &m_rooms; }
    [[nodiscard]] RecordListModel *ownGames() { return &m_ownGames; }
    [[nodiscard]] const QList<PieceDefinition> &pieces() const { return m_pieces; }
    [[nodiscard]] const QList<TimeOption> &timeOptions() const { return m_timeOptions; }
    [[nodiscard]] bool isServerListUnavailable() const { return m_listOutage.has_value(); }
    [[nodiscard]] const QTimer *serverListTimer() const { return &m_serverListTimer; }
    // The session of the game this client is in; none in the lobby.
    [[nodiscard]] GameSession *session() const { return m_session; }
    [[nodiscard]] bool isInGame() const { return m_session && m_session->isInGame(); }

    // Who asked for a server list: the player (the refresh button) or the client itself (the
    // timer, the lobby appearing, entering or finishing a game).
    enum class ListReload { Background, Asked };

    void startServerListTimer() { m_serverListTimer.start(); }
    void stopServerListTimer() { m_serverListTimer.stop(); }
    // A background reload alerts once per outage and clears only an alert of its own.
    QCoro::Task<> loadServers(ListReload reload = ListReload::Background);
    QCoro::Task<> loadTimeOptions();
    QCoro::Task<> loadPieces();
    QCoro::Task<Result<QList<ActiveGame>>> loadActiveGames();
    // The own games list again; a failure empties it.
    QCoro::Task<> reloadOwnGames();
    // The lobby went away: the list is emptied and an answer still on its way is dropped.
    void clearOwnGames();
    QCoro::Task<> createSession(std::optional<qint64> timeLimit);
    QCoro::Task<> joinGame(QString roomId);
    QCoro::Task<> rejoinGame(QString roomId);
    // The game is forgotten locally: its session ends, nothing is sent.
    void leaveGame();

Q_SIGNALS:
    void piecesChanged();
    void timeOptionsChanged();
    void isServerListUnavailableChanged();
    // Another session (or none) is the current one.
    void sessionChanged();
    // The player left the game (or the lobby left it before entering another).
    void gameLeft();
    // A session saved its result (or failed to): statistics changed.
    void gameFinished();

private:
    enum class Entry { Create, Join, Rejoin };

    QCoro::Task<> enterPrelude();
    // The prelude, the request and, on success, the seat taken. Returns the failure; nothing
    // when the game was entered or the lobby went away meanwhile.
    QCoro::Task<std::optional<RequestError>> enter(Entry entry, std::optional<qint64> timeLimit,
                                                   QString roomId);
    QCoro::Task<Result<GameSession::Seat>> sendEntry(Entry entry, std::optional<qint64> timeLimit,
                                                     QString roomId);
    void takeSeat(GameSession::Seat seat, bool finishedCountsAsInGame);
    // Ends the current session, if any, and makes next (or none) current.
    void replaceSession(GameSession *next);
    QCoro::Task<> applySessionResponse(GameSession::Seat seat);
    QCoro::Task<> retryEntry(Entry entry, std::optional<qint64> timeLimit, QString roomId);
    // Enters, or turns the failure into its message, reload or retry.
    QCoro::Task<> enterOrReact(Entry entry, std::optional<qint64> timeLimit, QString roomId);

    void setServers(QList<GameServer> servers);
    void setPieces(QList<PieceDefinition> pieces);
    void setTimeOptions(QList<TimeOption> options);

    NetworkService &m_network;
    OperationStatus &m_status;
    QList<GameServer> m_servers;
    RecordListModel m_rooms;
    RecordListModel m_ownGames;
    quint64 m_ownGamesRound = 0; // bumped when the own games list is emptied
    QList<PieceDefinition> m_pieces;
    QList<TimeOption> m_timeOptions;
    QTimer m_serverListTimer;
    // The kind of list failure alerted since the last successful reload.
    std::optional<int> m_listOutage;
    QPointer<GameSession> m_session;
    // Whether the server holds polls outlives a game: the next game's first poll is held at once
    // (its untagged first answer comes back at once), and any answer without the offer turns the
    // timer back on.
    bool m_serverHoldsPolls = false;
};

} // namespace korvana
