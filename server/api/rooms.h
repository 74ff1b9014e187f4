#pragma once

#include "actions.h"
#include "clock.h"
#include "gamestate.h"
#include "lobby.h"
#include "store/room.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <array>
#include <expected>
#include <map>
#include <memory>
#include <optional>

namespace korvana::store {
class Database;
class GameStore;
class ScoreStore;
} // namespace korvana::store

namespace korvana::api {

// The signed-in user a request acts for.
struct Account
{
    qint64 id = 0;
    QString username;
};

// Why a room operation was refused; the handlers give each its status and Polish text.
enum class RoomRefusal {
    NoSuchRoom,
    RoomFinished, // joining a finished room
    GameUnderWay, // joining a running room as a newcomer
    RoomFull,
    SeatHeldElsewhere, // still playing in another running game
    RejoinFinished,
    NotParticipant,
    NoSuchSession,
    NotYourSeat,
    BadTimeLimit,
    NotFinished,
};

// A seat handed to its user (create, join, rejoin), with the game as it stands.
struct SeatView
{
    QString sessionId;
    QString roomId;
    QString playerId;
    QString playerName;
    QString color;
    GameState state;
};

// The outcome of a move or vote; a refused move is an outcome, not an error.
struct ActionOutcome
{
    bool success = false;
    QString error;
    bool started = false;
    GameState state;
};

struct FinishedSeat
{
    int playersCount = 0;
    int position = 0;
    int score = 0;
};

// Every room of the server on one thread: seats, votes, moves, bots, clocks, saving after
// every change, and the cached bytes that answer polls of an unchanged game.
class Rooms : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        int botDelayMs = 600;
        quint64 seed = 0;
    };

    Rooms(store::Database &db, const Clock &clock, Options options, QObject *parent = nullptr);
    ~Rooms() override;

    // Loads the saved rooms; running clocks resume where the last heartbeat saw them, so the
    // time the server was down is charged to nobody. Returns the number of rooms loaded.
    int load();
    // Records that the server is alive now (every second while a clock runs, and at exit).
    void writeHeartbeat();

    std::expected<SeatView, RoomRefusal> create(const Account &account,
                                                std::optional<qint64> timeLimitSeconds);
    std::expected<SeatView, RoomRefusal> join(const Account &account, const QString &roomId);
    std::expected<SeatView, RoomRefusal> rejoin(const Account &account, const QString &roomId);

    // The SessionWrapper JSON of the account's seat, from cache while the game is unchanged.
    std::expected<QByteArray, RoomRefusal> sessionBytes(const Account &account,
                                                        const QString &sessionId);

    std::expected<ActionOutcome, RoomRefusal> place(const Account &account,
                                                    const PlacePieceRequest &request);
    std::expected<ActionOutcome, RoomRefusal> pass(const Account &account,
                                                   const QString &sessionId);
    std::expected<ActionOutcome, RoomRefusal> vote(const Account &account,
                                                   const VoteToStartRequest &request);

    [[nodiscard]] QList<GameServer> servers();
    [[nodiscard]] QList<ActiveGame> activeGames(const Account &account);
    std::expected<FinishedSeat, RoomRefusal> finishedSeat(const Account &account,
                                                          const QString &roomId);

    // For tests: the saved form of a room, or none.
    [[nodiscard]] std::optional<store::RoomRecord> record(const QString &roomId) const;
    [[nodiscard]] qint64 nowMs() const { return m_clock.nowMs(); }

private:
    struct Room;

    Room *findRoom(const QString &roomId) const;
    std::expected<std::pair<Room *, int>, RoomRefusal> seatOf(const Account &account,
                                                              const QString &sessionId);
    static int seatOfUser(const Room &room, qint64 userId);
    bool holdsLiveSeatElsewhere(qint64 userId, const Room *except) const;
    void leaveWaitingRooms(qint64 userId, const Room *except);
    void removeSeat(Room &room, int seat);
    SeatView seatView(Room &room, int seat);
    const GameState &currentState(Room &room);
    void refresh(Room &room);
    void changed(Room &room, rules::GameStatus before);
    bool save(Room &room, bool finishedNow);
    void armTimers(Room &room);
    void botTurn(Room &room);
    void clockTurn(Room &room);
    void startGame(Room &room);
    Room &insert(store::RoomRecord record);
    QString newSessionId() const;

    store::Database &m_db;
    std::unique_ptr<store::GameStore> m_games;
    std::unique_ptr<store::ScoreStore> m_scores;
    const Clock &m_clock;
    Options m_options;
    qint64 m_roomCounter = 0;
    std::map<QString, std::unique_ptr<Room>> m_rooms;
    QHash<QString, Room *> m_sessions;
    QTimer m_heartbeat;
};

} // namespace korvana::api
