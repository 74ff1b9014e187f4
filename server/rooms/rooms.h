// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "actions.h"
#include "clock.h"
#include "gamestate.h"
#include "lobby.h"
#include "roomarchive.h"
#include "rules/game.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <expected>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace korvana::store {
class Database;
}

namespace korvana::rooms {

class Room;

// The signed-in user a request acts for.
struct Account
{
    qint64 id = 0;
    QString username;
};

// Why a room operation was refused; the HTTP side gives each its status and Polish text.
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
    Lost, // another server took the room over before the change was saved: nothing happened
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

// A seat's view of its game: the SessionWrapper JSON and the tag that names it (an ETag).
struct SessionSnapshot
{
    QByteArray bytes;
    QByteArray tag;
};

struct FinishedSeat
{
    int playersCount = 0;
    int position = 0;
    int score = 0;
};

// Every room of the server on one thread: seats and votes (rooms.cpp); moves, bots, clocks and
// timers (roomplay.cpp); saving after every change (RoomArchive); and the cached bytes that
// answer polls of an unchanged game (Room).
class Rooms : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        int botDelayMs = 600;
        quint64 seed = 0;
        // Starts the ids of the rooms and seats this server creates, and owns rooms in a
        // database servers share.
        QString instance;
        int leaseMs = 10'000;
    };

    Rooms(store::Database &db, const Clock &clock, Options options, QObject *parent = nullptr);
    ~Rooms() override;

    // Loads the saved rooms (on a shared database, those this server owned or nobody owns any
    // more); running clocks resume where the last heartbeat saw them, so the time the server was
    // down is charged to nobody. Returns the number of rooms loaded.
    int load();

    // A shared database: the address of the server that owns the room (of the seat) and keeps
    // it alive; none when this one owns it, has just taken it over from an owner whose lease
    // ran out, or there is no such unfinished room (the answer is then this server's).
    [[nodiscard]] std::optional<QString> ownerElsewhere(const QString &roomId);
    [[nodiscard]] std::optional<QString> seatOwnerElsewhere(const QString &sessionId);
    // The room of a seat, also when another server owns it.
    [[nodiscard]] std::optional<QString> roomOfSession(const QString &sessionId);
    // Tells the servers sharing the database where this one answers.
    void advertise(const QString &url);
    // A notification from another server (see RoomArchive's channels).
    void notified(const QString &channel, const QString &payload);
    // Renews this server's leases; rooms another server took meanwhile leave memory.
    void renewLeases();
    // Gives up every lease at once, so other servers take the rooms over without waiting.
    void releaseLeases();
    // Records that the server is alive now (every second while a clock runs, and at exit). A
    // stall of the server itself (no look at the clock for over 2 s while a clock runs) is
    // charged to nobody either: see StallFreeClock.
    void writeHeartbeat();

    std::expected<SeatView, RoomRefusal> create(const Account &account,
                                                std::optional<qint64> timeLimitSeconds);
    std::expected<SeatView, RoomRefusal> join(const Account &account, const QString &roomId);
    std::expected<SeatView, RoomRefusal> rejoin(const Account &account, const QString &roomId);

    // The account's seat and game, from cache while the game is unchanged.
    std::expected<SessionSnapshot, RoomRefusal> session(const Account &account,
                                                        const QString &sessionId);

    // Calls wake(false) whenever the seat's game may show something new (a change, the next
    // second of a running clock, the room closing), and wake(true) when the server stops, until
    // unwatch(). Held polls wait on it.
    std::expected<int, RoomRefusal> watch(const Account &account, const QString &sessionId,
                                          std::function<void(bool released)> wake);
    // The same for a room another server owns: wake(false) when it announces a change.
    int watchElsewhere(const QString &roomId, std::function<void(bool released)> wake);
    void unwatch(int id);
    void releaseWatchers();

    std::expected<ActionOutcome, RoomRefusal> place(const Account &account,
                                                    const PlacePieceRequest &request);
    std::expected<ActionOutcome, RoomRefusal> pass(const Account &account,
                                                   const QString &sessionId);
    std::expected<ActionOutcome, RoomRefusal> vote(const Account &account,
                                                   const VoteToStartRequest &request);

    // Closes waiting rooms nobody has looked at for 10 minutes, ends games without a time limit
    // where no person has acted for a day, and lets finished games leave memory 5 minutes after
    // their end (they are read back from the store when asked for). Runs every minute.
    void sweep();
    [[nodiscard]] int roomsInMemory() const { return int(m_rooms.size()); }

    [[nodiscard]] QList<GameServer> servers();
    [[nodiscard]] QList<ActiveGame> activeGames(const Account &account);
    std::expected<FinishedSeat, RoomRefusal> finishedSeat(const Account &account,
                                                          const QString &roomId);

private:
    using Action = std::function<rules::Result<>(rules::Game &, int seat, qint64 nowMs)>;

    // rooms.cpp: seats and votes.
    Room *findRoom(const QString &roomId);
    std::expected<std::pair<Room *, int>, RoomRefusal> seatOf(const Account &account,
                                                              const QString &sessionId);
    // The account's seat in a room, its clock brought up to date.
    std::expected<std::pair<Room *, int>, RoomRefusal> seatInRoom(const Account &account,
                                                                  const QString &roomId);
    bool holdsLiveSeatElsewhere(qint64 userId, const Room *except);
    void leaveWaitingRooms(qint64 userId, const Room *except, bool alsoElsewhere = true);
    void removeSeat(Room &room, int seat);
    SeatView seatView(Room &room, int seat);
    Room &insert(store::RoomRecord record);
    void close(Room &room);
    QString newSessionId() const;
    // Ownership on a shared database.
    [[nodiscard]] store::Lease lease() const;
    [[nodiscard]] bool claimable(const SavedRoom &saved) const;
    // Takes the saved room over and continues it as a restart does; none if another won it.
    Room *adopt(SavedRoom saved, bool force = false);
    void resumeClock(store::RoomRecord &record, qint64 aliveMs);
    // Forgets a room another server took over, without touching its row.
    void drop(Room &room);
    void takeOrphans();
    // Rooms of other servers where the user sits, read from the store.
    QList<SavedRoom> elsewhereOf(qint64 userId);

    // roomplay.cpp: moves, bots, clocks and timers.
    std::expected<ActionOutcome, RoomRefusal> act(const Account &account, const QString &sessionId,
                                                  const Action &action);
    void refresh(Room &room);
    // Saves and announces a change; false when the room was lost to another server (and left).
    bool changed(Room &room, GameStatus before, bool seatsChanged = false);
    void armTimers(Room &room);
    void botTurn(Room &room);
    void wakeWatchers(Room &room);

    RoomArchive m_archive;
    const Clock &m_wall; // leases compare wall times of different servers
    StallFreeClock m_clock;
    Options m_options;
    qint64 m_roomCounter = 0;
    std::map<QString, std::unique_ptr<Room>> m_rooms;
    QHash<QString, Room *> m_sessions;
    QTimer m_heartbeat;
    qint64 m_reportedStallMs = 0;
    QTimer m_sweep;
    QTimer m_leases;
    qint64 m_renewedAtMs = 0; // wall time of the last renewal that went through
    struct Watcher
    {
        Room *room = nullptr; // none once the room closed
        std::function<void(bool)> wake;
        QString elsewhere; // the room, owned by another server
    };
    QMultiHash<QString, int> m_watchedElsewhere;
    QList<store::RoomRecord> m_lobby; // other servers' rooms, read at most once a second
    qint64 m_lobbyReadMs = -1;
    QHash<int, Watcher> m_watchers;
    int m_nextWatcher = 0;
    QByteArray m_epoch; // in every tag, so a restarted server's tags never match old ones
};

} // namespace korvana::rooms
