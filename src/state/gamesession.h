// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "networkservice.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <optional>

namespace korvana {

class OperationStatus;

// One seat this client took in one game: the game's state, polling it, the three game actions
// and, once it is seen finished, saving the result. A session that ended (left or replaced)
// drops every late answer and goes away once nothing of it is in flight.
class GameSession : public QObject
{
    Q_OBJECT

public:
    struct Seat
    {
        QString sessionId;
        QString playerId;
        QString color;
        GameState gameState;
    };
    // pieces: the catalogue that fills in pieces sent without geometry; it outlives the session.
    // holdsPolls: the last game's server offered held polls.
    GameSession(NetworkService &network, OperationStatus &status,
                const QList<PieceDefinition> &pieces, Seat seat, bool holdsPolls,
                QObject *parent = nullptr);

    // Fills in pieces sent without geometry from the catalogue.
    static GameState fillMissingSquares(GameState state, const QList<PieceDefinition> &pieces);

    [[nodiscard]] const std::optional<GameState> &gameState() const { return m_gameState; }
    [[nodiscard]] QVariant gameStateValue() const;
    [[nodiscard]] const QString &sessionId() const { return m_sessionId; }
    [[nodiscard]] const QString &myPlayerId() const { return m_myPlayerId; }
    [[nodiscard]] const QString &myColor() const { return m_myColor; }
    [[nodiscard]] bool isInGame() const { return m_isInGame; }
    [[nodiscard]] bool isEnded() const { return m_ended; }
    [[nodiscard]] const QTimer *updateTimer() const { return &m_updateTimer; }
    // While the server offers held polls, one waits there for the next change of the game.
    [[nodiscard]] bool isHoldingPoll() const { return m_holdingPoll; }
    [[nodiscard]] bool serverHoldsPolls() const { return m_serverHoldsPolls; }

    // Takes part: isInGame for a live game (or a finished one when it counts), and polling.
    void start(bool finishedCountsAsInGame);
    // Left or replaced: polling stops and no answer changes anything any more.
    void end();
    // The server is back after an outage: a running game is asked for at once.
    void connectionRestored();

    void startUpdateTimer();
    // One poll on the timer.
    QCoro::Task<> refreshGameState();
    QCoro::Task<> voteToStart(bool enableBots);
    QCoro::Task<> placePiece(QString pieceId, qint64 row, qint64 col, qint64 rotation);
    QCoro::Task<> passTurn();
    QCoro::Task<> saveScore(QString roomId, qint64 score, qint64 position, qint64 playersCount);

Q_SIGNALS:
    void gameStateChanged();
    void myPlayerIdChanged();
    void myColorChanged();
    void isInGameChanged();
    // The server answered with the game's state (changed or not).
    void gameStateAnswered();
    // A placement was accepted: the selection on screen is spent.
    void placementAccepted();
    // A placement attempt ended (accepted or not).
    void placePieceFinished();
    // The game was seen finished: the lobby's list of rooms changed.
    void finishSeen();
    // The result was saved (or the save failed): statistics changed.
    void gameFinished();

private:
    // Marks one request: answers after the session ended, or older than an answer already
    // applied, are dropped.
    struct Ticket
    {
        quint64 sequence = 0;
    };
    // Keeps an ended session alive until its last request is answered.
    class InFlight
    {
    public:
        explicit InFlight(GameSession *session);
        ~InFlight();
        InFlight(const InFlight &) = delete;
        InFlight &operator=(const InFlight &) = delete;

    private:
        QPointer<GameSession> m_session;
    };
    // What the answer to a poll did.
    struct PollOutcome
    {
        bool applied = false;
        bool statusChanged = false;
        GameStatus status = GameStatus::Unknown;
    };

    QCoro::Task<> runGameAction(
        std::function<QCoro::Task<Result<GameActionResponse>>(const QString &sessionId)> send,
        std::function<void(const GameActionResponse &, bool applied)> onSuccess,
        bool promisesState = true);
    Ticket issueTicket() { return {++m_lastSequence}; }
    bool tryApply(const Ticket &ticket, GameState state);
    PollOutcome applyPoll(const Ticket &ticket, SessionPoll poll);
    // Polling goes on: the held poll while the server offers it, else the timer.
    void keepPolling();
    void stopPolling();
    QCoro::Task<> holdPoll();
    QCoro::Task<> finishGame();

    void setGameState(GameState state);
    void setMyPlayerId(QString id);
    void setMyColor(QString color);
    void setInGame(bool value);

    NetworkService &m_network;
    OperationStatus &m_status;
    const QList<PieceDefinition> &m_pieces;
    std::optional<GameState> m_gameState; // always set; optional as the screens read it
    QString m_sessionId;
    QString m_myPlayerId;
    QString m_myColor;
    bool m_isInGame = false;
    bool m_ended = false;
    int m_inFlight = 0;

    QTimer m_updateTimer;
    // Held polls: the last answer said the server holds them; one is at the server; the ETag of
    // the state on screen; quick answers without change in a row; the pause they lead to.
    bool m_serverHoldsPolls = false;
    bool m_holdingPoll = false;
    QByteArray m_etag;
    int m_quietAnswers = 0;
    QTimer m_heldPollPause;
    quint64 m_stateChanges = 0; // counts real changes of gameState
    quint64 m_lastSequence = 0;
    quint64 m_appliedSequence = 0;
    bool m_finishHandled = false;
    mutable QVariant m_gameStateValue; // converted once per change, read often by QML
};

} // namespace korvana
