// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rooms.h"

#include "diagnostics.h"
#include "gameview.h"
#include "room.h"
#include "roomnames.h"
#include "store/database.h"
#include "timeoptions.h"

#include <QRandomGenerator>

#include <algorithm>

namespace korvana::rooms {
namespace {

quint64 splitmix64(quint64 x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// The same --seed and room id give the same bots, run after run.
quint64 botSeedFor(quint64 seed, const QString &roomId)
{
    quint64 h = 0xcbf29ce484222325ULL;
    for (const QChar c : roomId) {
        h ^= c.unicode();
        h *= 0x100000001b3ULL;
    }
    return splitmix64(seed ^ h);
}

constexpr qint64 AbandonedWaitingMs = 10 * 60'000;
constexpr qint64 IdleUntimedGameMs = 24 * 3600'000;
constexpr qint64 FinishedInMemoryMs = 5 * 60'000;

} // namespace

Rooms::Rooms(store::Database &db, const Clock &clock, Options options, QObject *parent)
    : QObject(parent)
    , m_archive(db)
    , m_wall(clock)
    , m_clock(clock)
    , m_options(std::move(options))
{
    if (m_options.instance.isNull())
        m_options.instance = QStringLiteral(""); // an owner the store can name (not NULL)
    // Runs only while some clock runs: an idle server with thousands of held polls does not
    // wake up every second to look at all their sockets.
    m_heartbeat.setInterval(1000);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
        for (const auto &[id, room] : m_rooms)
            if (rules::clockDeadlineMs(room->rec.game)) {
                writeHeartbeat();
                return;
            }
        m_heartbeat.stop();
        m_clock.watch(false);
    });
    m_sweep.setInterval(60'000);
    connect(&m_sweep, &QTimer::timeout, this, &Rooms::sweep);
    // A lease is renewed three times over, so one late renewal loses nothing.
    m_leases.setInterval(std::max(30, m_options.leaseMs / 3));
    connect(&m_leases, &QTimer::timeout, this, [this] {
        renewLeases();
        takeOrphans();
    });
    m_epoch = QByteArray::number(QRandomGenerator::system()->generate(), 36);
}

Rooms::~Rooms()
{
    releaseWatchers();
}

void Rooms::writeHeartbeat()
{
    const qint64 now = m_clock.nowMs();
    if (m_clock.skippedMs() > m_reportedStallMs) {
        diag(QStringLiteral("⚠️ Serwer stał %1 ms; zegary gier tego nie liczą")
                 .arg(m_clock.skippedMs() - m_reportedStallMs));
        m_reportedStallMs = m_clock.skippedMs();
    }
    if (!m_archive.isShared())
        m_archive.writeAlive(now);
    renewLeases();
}

int Rooms::load()
{
    const bool shared = m_archive.isShared();
    m_roomCounter = m_archive.roomCounter(m_options.instance);
    int loaded = 0;
    {
        store::Transaction tx(m_archive.database());
        // One server per SQLite file: every room is its own, whoever saved it last.
        for (auto &saved : m_archive.loadUnfinished())
            if ((!shared || claimable(saved)) && adopt(std::move(saved), !shared))
                ++loaded;
        // The clocks were moved to now: a crash before the next heartbeat must not move them
        // back.
        if (!shared)
            m_archive.writeAlive(m_clock.nowMs());
        tx.commit();
    }
    m_renewedAtMs = m_wall.nowMs();
    for (const auto &[id, room] : m_rooms)
        refresh(*room);
    m_sweep.start();
    if (shared)
        m_leases.start();
    return loaded;
}

store::Lease Rooms::lease() const
{
    return {m_options.instance, m_wall.nowMs() + m_options.leaseMs, m_clock.nowMs()};
}

bool Rooms::claimable(const SavedRoom &saved) const
{
    return saved.owner == m_options.instance || saved.ownerUntil < m_wall.nowMs();
}

void Rooms::resumeClock(store::RoomRecord &record, qint64 aliveMs)
{
    const qint64 now = m_clock.nowMs();
    if (record.lastActionMs == 0)
        record.lastActionMs = now;
    // A room saved before leases kept its time in the server's heartbeat.
    const qint64 alive =
        m_archive.isShared() ? aliveMs : std::max(aliveMs, m_archive.lastAliveMs());
    rules::Game &game = record.game;
    if (game.status == GameStatus::InProgress && game.timeLimit > 0) {
        const qint64 used = std::max<qint64>(0, alive - game.turnStartedMs);
        game.turnStartedMs = now - used;
    }
}

Room *Rooms::adopt(SavedRoom saved, bool force)
{
    store::Transaction tx(m_archive.database());
    if (!m_archive.games().claim(saved.record.roomId, lease(), m_wall.nowMs(), force)) {
        tx.commit(); // nothing written: a transaction around this one goes on
        return nullptr;
    }
    if (m_archive.isShared() && saved.owner != m_options.instance)
        diag(QStringLiteral("✅ Przejmuję grę %1 od serwera %2")
                 .arg(saved.record.roomId,
                      saved.owner.isEmpty() ? QStringLiteral("-") : saved.owner));
    resumeClock(saved.record, saved.aliveMs);
    Room &room = insert(std::move(saved.record));
    // Saved at once, or a second crash would charge this downtime after all.
    m_archive.save(room.rec, false, m_clock.nowMs(), lease());
    tx.commit();
    return &room;
}

std::optional<QString> Rooms::ownerElsewhere(const QString &roomId)
{
    if (!m_archive.isShared() || m_rooms.contains(roomId))
        return std::nullopt;
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto saved = m_archive.loadWithLease(roomId);
        if (!saved || saved->record.game.status == GameStatus::Finished)
            return std::nullopt;
        if (!claimable(*saved))
            return m_archive.games().urlOf(saved->owner);
        if (Room *room = adopt(std::move(*saved))) {
            refresh(*room);
            return std::nullopt;
        }
        // Another server took it first: ask again who.
    }
    return std::nullopt;
}

std::optional<QString> Rooms::seatOwnerElsewhere(const QString &sessionId)
{
    if (!m_archive.isShared() || m_sessions.contains(sessionId))
        return std::nullopt;
    const auto roomId = m_archive.roomOfSession(sessionId);
    return roomId ? ownerElsewhere(*roomId) : std::nullopt;
}

std::optional<QString> Rooms::roomOfSession(const QString &sessionId)
{
    if (const Room *room = m_sessions.value(sessionId))
        return room->rec.roomId;
    return m_archive.roomOfSession(sessionId);
}

void Rooms::advertise(const QString &url)
{
    if (m_archive.isShared())
        m_archive.games().advertise(m_options.instance, url, m_wall.nowMs());
}

void Rooms::renewLeases()
{
    const qint64 wall = m_wall.nowMs();
    const QString finished = wireName(GameStatus::Finished);
    const int owned = m_archive.games().renew(lease(), finished);
    if (owned < 0)
        return;
    m_renewedAtMs = wall;
    if (!m_archive.isShared())
        return;
    const auto inMemory = std::ranges::count_if(m_rooms, [](const auto &entry) {
        return entry.second->status() != GameStatus::Finished && !entry.second->lost;
    });
    if (owned >= inMemory)
        return;
    const QStringList mine = m_archive.games().ownedBy(m_options.instance, finished);
    for (const auto &[id, room] : m_rooms)
        if (room->status() != GameStatus::Finished && !mine.contains(id))
            drop(*room);
}

void Rooms::releaseLeases()
{
    if (!m_archive.isShared())
        return;
    m_leases.stop();
    m_archive.games().renew({m_options.instance, 0, m_clock.nowMs()},
                            wireName(GameStatus::Finished));
}

void Rooms::takeOrphans()
{
    for (const QString &roomId :
         m_archive.games().orphans(m_wall.nowMs(), wireName(GameStatus::Finished), 20)) {
        if (m_rooms.contains(roomId))
            continue;
        auto saved = m_archive.loadWithLease(roomId);
        if (saved && claimable(*saved))
            if (Room *room = adopt(std::move(*saved)))
                refresh(*room);
    }
}

// Leaves memory on the next turn of the event loop, so no caller holds it when it goes.
void Rooms::drop(Room &room)
{
    if (room.lost)
        return;
    room.lost = true;
    diag(QStringLiteral("⚠️ Gra %1 ma innego właściciela; zostawiam ją")
             .arg(room.rec.roomId));
    QMetaObject::invokeMethod(
        this,
        [this, roomId = room.rec.roomId] {
            const auto it = m_rooms.find(roomId);
            if (it == m_rooms.end() || !it->second->lost)
                return;
            Room &gone = *it->second;
            for (const auto &seat : gone.rec.seats)
                m_sessions.remove(seat.sessionId);
            const QList<int> watchers = gone.watchers;
            for (const int id : watchers)
                m_watchers[id].room = nullptr;
            m_rooms.erase(it);
            for (const int id : watchers)
                if (const auto w = m_watchers.constFind(id); w != m_watchers.cend())
                    w->wake(true);
        },
        Qt::QueuedConnection);
}

QList<SavedRoom> Rooms::elsewhereOf(qint64 userId)
{
    if (!m_archive.isShared())
        return {};
    auto rooms = m_archive.unfinishedOf(userId);
    rooms.removeIf(
        [this](const SavedRoom &saved) { return m_rooms.contains(saved.record.roomId); });
    return rooms;
}

int Rooms::watchElsewhere(const QString &roomId, std::function<void(bool released)> wake)
{
    const int id = m_nextWatcher++;
    m_watchers.insert(id, {nullptr, std::move(wake), roomId});
    m_watchedElsewhere.insert(roomId, id);
    return id;
}

void Rooms::notified(const QString &channel, const QString &payload)
{
    if (channel == RoomArchive::changesChannel()) {
        if (m_rooms.contains(payload))
            return; // our own change: its watchers woke already
        const QList<int> watchers = m_watchedElsewhere.values(payload);
        for (const int id : watchers)
            if (const auto it = m_watchers.constFind(id); it != m_watchers.cend())
                it->wake(false);
    } else if (channel == RoomArchive::leaveChannel()) {
        const QStringList parts = payload.split(u' ');
        if (parts.size() != 3 || parts[0] != m_options.instance)
            return;
        const auto except = m_rooms.find(parts[2]);
        leaveWaitingRooms(parts[1].toLongLong(),
                          except == m_rooms.end() ? nullptr : except->second.get(), false);
    }
}

Room &Rooms::insert(store::RoomRecord record)
{
    auto owned = std::make_unique<Room>(std::move(record));
    Room *room = owned.get();
    room->lastPresenceMs = m_clock.nowMs();
    if (room->status() == GameStatus::Finished)
        room->finishedAtMs = m_clock.nowMs();
    connect(&room->botTimer, &QTimer::timeout, this, [this, room] { botTurn(*room); });
    connect(&room->clockTimer, &QTimer::timeout, this, [this, room] { refresh(*room); });
    connect(&room->tickTimer, &QTimer::timeout, this, [this, room] {
        refresh(*room);
        wakeWatchers(*room);
        armTimers(*room);
    });
    for (const auto &seat : room->rec.seats)
        if (!seat.sessionId.isEmpty())
            m_sessions.insert(seat.sessionId, room);
    m_rooms[room->rec.roomId] = std::move(owned);
    return *room;
}

Room *Rooms::findRoom(const QString &roomId)
{
    if (const auto it = m_rooms.find(roomId); it != m_rooms.end())
        return it->second->lost ? nullptr : it->second.get();
    // Finished games leave memory and come back for a while when asked for; an unfinished room
    // out of memory is another server's, unless its lease ran out.
    auto saved = m_archive.loadWithLease(roomId);
    if (!saved)
        return nullptr;
    if (saved->record.game.status == GameStatus::Finished)
        return &insert(std::move(saved->record));
    if (!claimable(*saved))
        return nullptr;
    Room *room = adopt(std::move(*saved));
    if (room)
        refresh(*room);
    return room;
}

void Rooms::close(Room &room)
{
    for (const auto &seat : room.rec.seats)
        m_sessions.remove(seat.sessionId);
    const QList<int> watchers = room.watchers;
    for (const int id : watchers)
        m_watchers[id].room = nullptr;
    m_archive.remove(room.rec.roomId);
    m_rooms.erase(room.rec.roomId);
    // Whoever waits on it finds it gone.
    for (const int id : watchers)
        if (const auto it = m_watchers.constFind(id); it != m_watchers.cend())
            it->wake(false);
}

void Rooms::sweep()
{
    const qint64 now = m_clock.nowMs();
    QList<Room *> closing;
    for (const auto &[id, room] : m_rooms) {
        refresh(*room);
        switch (room->status()) {
        case GameStatus::Waiting:
            if (now - room->lastPresenceMs > AbandonedWaitingMs)
                closing.append(room.get());
            break;
        case GameStatus::InProgress:
            if (room->rec.game.timeLimit == 0 && now - room->rec.lastActionMs > IdleUntimedGameMs) {
                rules::endGame(room->rec.game);
                changed(*room, GameStatus::InProgress);
            }
            break;
        case GameStatus::Finished:
        case GameStatus::Unknown: // never stored: a room is read only with a known status
            break;
        }
    }
    for (Room *room : std::as_const(closing))
        close(*room);
    std::erase_if(m_rooms, [&](const auto &entry) {
        const Room &room = *entry.second;
        if (!room.finishedAtMs || now - *room.finishedAtMs < FinishedInMemoryMs ||
            !room.watchers.isEmpty())
            return false;
        for (const auto &seat : room.rec.seats)
            m_sessions.remove(seat.sessionId);
        return true;
    });
}

std::expected<std::pair<Room *, int>, RoomRefusal> Rooms::seatOf(const Account &account,
                                                                 const QString &sessionId)
{
    Room *room = m_sessions.value(sessionId);
    if (room && room->lost)
        return std::unexpected(RoomRefusal::Lost);
    if (!room) {
        // A finished game that left memory, or a room taken over from a server that is gone.
        const auto roomId = m_archive.roomOfSession(sessionId);
        if (roomId && findRoom(*roomId))
            room = m_sessions.value(sessionId);
        if (!room)
            return std::unexpected(roomId && m_archive.games().status(*roomId)
                                       ? RoomRefusal::Lost
                                       : RoomRefusal::NoSuchSession);
    }
    const auto &seats = room->rec.seats;
    const auto it = std::ranges::find(seats, sessionId, &store::SeatRecord::sessionId);
    if (it == seats.end())
        return std::unexpected(RoomRefusal::NoSuchSession);
    if (it->userId != account.id)
        return std::unexpected(RoomRefusal::NotYourSeat);
    room->lastPresenceMs = m_clock.nowMs();
    return std::pair{room, int(it - seats.begin())};
}

std::expected<std::pair<Room *, int>, RoomRefusal> Rooms::seatInRoom(const Account &account,
                                                                     const QString &roomId)
{
    Room *room = findRoom(roomId);
    if (!room)
        return std::unexpected(m_archive.games().status(roomId) ? RoomRefusal::Lost
                                                                : RoomRefusal::NoSuchRoom);
    refresh(*room);
    const int seat = room->seatOfUser(account.id);
    if (seat < 0)
        return std::unexpected(RoomRefusal::NotParticipant);
    return std::pair{room, seat};
}

bool Rooms::holdsLiveSeatElsewhere(qint64 userId, const Room *except)
{
    const auto live = [userId](const store::RoomRecord &rec) {
        if (rec.game.status != GameStatus::InProgress)
            return false;
        const auto it = std::ranges::find(rec.seats, userId, &store::SeatRecord::userId);
        return it != rec.seats.end() &&
               !rec.game.players[std::size_t(it - rec.seats.begin())].hasPassed;
    };
    for (const auto &[id, room] : m_rooms)
        if (room.get() != except && !room->lost && live(room->rec))
            return true;
    return std::ranges::any_of(elsewhereOf(userId),
                               [&](const SavedRoom &saved) { return live(saved.record); });
}

// A player who sits down elsewhere gives up their seats in rooms that have not started; a
// room left without people goes away. Rooms of other servers are left by their owners (told
// so), or here when their owner is gone.
void Rooms::leaveWaitingRooms(qint64 userId, const Room *except, bool alsoElsewhere)
{
    for (auto &saved : alsoElsewhere ? elsewhereOf(userId) : QList<SavedRoom>()) {
        if (saved.record.game.status != GameStatus::Waiting)
            continue;
        if (claimable(saved) && adopt(saved))
            continue;
        m_archive.database().notify(RoomArchive::leaveChannel(),
                                    QStringLiteral("%1 %2 %3")
                                        .arg(saved.owner, QString::number(userId),
                                             except ? except->rec.roomId : QStringLiteral("-")));
    }
    QList<Room *> emptied;
    for (const auto &[id, room] : m_rooms) {
        if (room.get() == except || room->status() != GameStatus::Waiting)
            continue;
        const int seat = room->seatOfUser(userId);
        if (seat < 0)
            continue;
        removeSeat(*room, seat);
        if (room->humans() == 0)
            emptied.append(room.get());
        else
            changed(*room, GameStatus::Waiting, true);
    }
    for (Room *room : std::as_const(emptied))
        close(*room);
}

void Rooms::removeSeat(Room &room, int seat)
{
    store::RoomRecord &rec = room.rec;
    m_sessions.remove(rec.seats[std::size_t(seat)].sessionId);
    rec.seats.erase(rec.seats.begin() + seat);
    // Seats and colours follow the order of sitting down, so the others move up.
    const auto players = rec.game.players;
    rec.game = rules::newGame(rec.game.timeLimit);
    for (std::size_t i = 0; i < players.size(); ++i)
        if (int(i) != seat)
            (void)rules::addPlayer(rec.game, players[i].id, players[i].name, players[i].isBot);
}

QString Rooms::newSessionId() const
{
    QString id = m_options.instance.isEmpty() ? QString() : m_options.instance + u'.';
    for (int i = 0; i < 4; ++i)
        id += QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0'));
    return id;
}

SeatView Rooms::seatView(Room &room, int seat)
{
    room.lastPresenceMs = m_clock.nowMs();
    const rules::PlayerState &p = room.rec.game.players[std::size_t(seat)];
    return {room.rec.seats[std::size_t(seat)].sessionId,
            room.rec.roomId,
            p.id,
            p.name,
            rules::colorName(p.color),
            room.view(m_clock.nowMs())};
}

std::expected<SeatView, RoomRefusal> Rooms::create(const Account &account,
                                                   std::optional<qint64> timeLimitSeconds)
{
    const qint64 limit = timeLimitSeconds.value_or(0);
    if (limit < 0 || limit > MaxTimeLimitSeconds)
        return std::unexpected(RoomRefusal::BadTimeLimit);
    if (holdsLiveSeatElsewhere(account.id, nullptr))
        return std::unexpected(RoomRefusal::SeatHeldElsewhere);
    leaveWaitingRooms(account.id, nullptr);

    store::RoomRecord rec;
    rec.roomId = (m_options.instance.isEmpty() ? QString() : m_options.instance + u'-') +
                 QStringLiteral("room-%1").arg(++m_roomCounter);
    rec.serverName = roomName(account.username);
    rec.createdMs = m_clock.nowMs();
    // The number, not the server's name: the same --seed plays the same bots on any server.
    rec.botSeed = botSeedFor(m_options.seed, QStringLiteral("room-%1").arg(m_roomCounter));
    rec.game = rules::newGame(int(limit));
    (void)rules::addPlayer(rec.game, QStringLiteral("p1"), account.username);
    rec.nextPlayerNumber = 2;
    rec.seats.push_back({newSessionId(), account.id, false});
    Room &room = insert(std::move(rec));
    {
        store::Transaction tx(m_archive.database());
        m_archive.setRoomCounter(m_options.instance, m_roomCounter);
        m_archive.save(room.rec, false, m_clock.nowMs(), lease(), true);
        tx.commit();
    }
    return seatView(room, 0);
}

std::expected<SeatView, RoomRefusal> Rooms::join(const Account &account, const QString &roomId)
{
    // A finished game left memory: an outsider is refused without bringing it back.
    if (!m_rooms.contains(roomId) && m_archive.finishedWithout(roomId, account.id))
        return std::unexpected(RoomRefusal::RoomFinished);
    Room *room = findRoom(roomId);
    if (!room)
        return std::unexpected(RoomRefusal::NoSuchRoom);
    refresh(*room);
    if (const int seat = room->seatOfUser(account.id); seat >= 0)
        return seatView(*room, seat);
    switch (room->status()) {
    case GameStatus::Finished:
    case GameStatus::Unknown: // never stored: a room is read only with a known status
        return std::unexpected(RoomRefusal::RoomFinished);
    case GameStatus::InProgress:
        return std::unexpected(RoomRefusal::GameUnderWay);
    case GameStatus::Waiting:
        break;
    }
    if (room->rec.game.players.size() >= std::size_t(rules::MaxPlayers))
        return std::unexpected(RoomRefusal::RoomFull);
    if (holdsLiveSeatElsewhere(account.id, room))
        return std::unexpected(RoomRefusal::SeatHeldElsewhere);
    leaveWaitingRooms(account.id, room);

    const QString playerId = QStringLiteral("p%1").arg(room->rec.nextPlayerNumber++);
    const auto seat = rules::addPlayer(room->rec.game, playerId, account.username);
    if (!seat)
        return std::unexpected(RoomRefusal::RoomFull);
    room->rec.seats.push_back({newSessionId(), account.id, false});
    m_sessions.insert(room->rec.seats.back().sessionId, room);
    if (!changed(*room, GameStatus::Waiting, true))
        return std::unexpected(RoomRefusal::Lost);
    return seatView(*room, *seat);
}

std::expected<SeatView, RoomRefusal> Rooms::rejoin(const Account &account, const QString &roomId)
{
    const auto found = seatInRoom(account, roomId);
    if (!found)
        return std::unexpected(found.error());
    const auto [room, seat] = *found;
    if (room->status() == GameStatus::Finished)
        return std::unexpected(RoomRefusal::RejoinFinished);
    return seatView(*room, seat);
}

std::expected<SessionSnapshot, RoomRefusal> Rooms::session(const Account &account,
                                                           const QString &sessionId)
{
    const auto found = seatOf(account, sessionId);
    if (!found)
        return std::unexpected(found.error());
    auto [room, seat] = *found;
    refresh(*room);
    const qint64 now = m_clock.nowMs();
    return SessionSnapshot{room->seatBytes(seat, now), room->tag(m_epoch, now)};
}

std::expected<int, RoomRefusal> Rooms::watch(const Account &account, const QString &sessionId,
                                             std::function<void(bool released)> wake)
{
    const auto found = seatOf(account, sessionId);
    if (!found)
        return std::unexpected(found.error());
    Room *room = found->first;
    const int id = m_nextWatcher++;
    m_watchers.insert(id, {room, std::move(wake)});
    room->watchers.append(id);
    armTimers(*room);
    return id;
}

void Rooms::unwatch(int id)
{
    const auto it = m_watchers.find(id);
    if (it == m_watchers.end())
        return;
    if (it->room)
        it->room->watchers.removeOne(id);
    if (!it->elsewhere.isEmpty())
        m_watchedElsewhere.remove(it->elsewhere, id);
    m_watchers.erase(it);
}

void Rooms::wakeWatchers(Room &room)
{
    const QList<int> watchers = room.watchers; // a woken watcher may unwatch
    for (const int id : watchers)
        if (const auto it = m_watchers.constFind(id); it != m_watchers.cend())
            it->wake(false);
}

void Rooms::releaseWatchers()
{
    const QList<int> watchers = m_watchers.keys();
    for (const int id : watchers)
        if (const auto it = m_watchers.constFind(id); it != m_watchers.cend())
            it->wake(true);
}

std::expected<ActionOutcome, RoomRefusal> Rooms::vote(const Account &account,
                                                      const VoteToStartRequest &request)
{
    const auto found = seatOf(account, request.sessionId);
    if (!found)
        return std::unexpected(found.error());
    auto [room, seat] = *found;
    refresh(*room);
    store::RoomRecord &rec = room->rec;
    // Votes after the start change nothing: the answer is just the game as it stands.
    if (rec.game.status != GameStatus::Waiting)
        return ActionOutcome{true, {}, false, room->view(m_clock.nowMs())};

    rec.seats[std::size_t(seat)].voted = true;
    rec.lastActionMs = m_clock.nowMs();
    bool start = false;
    if (request.enableBots.value_or(false)) {
        int botNumber = 1;
        while (rec.game.players.size() < std::size_t(rules::MaxPlayers)) {
            const QString id = QStringLiteral("p%1").arg(rec.nextPlayerNumber++);
            (void)rules::addPlayer(rec.game, id, QStringLiteral("Bot %1").arg(botNumber++), true);
            rec.seats.push_back({});
        }
        start = true;
    } else {
        const bool everyone =
            std::ranges::all_of(rec.seats, [](const auto &s) { return s.userId == 0 || s.voted; });
        start = everyone && rec.game.players.size() >= 2;
    }
    if (start)
        (void)rules::startGame(rec.game, m_clock.nowMs());
    if (!changed(*room, GameStatus::Waiting))
        return std::unexpected(RoomRefusal::Lost);
    return ActionOutcome{true, {}, start, room->view(m_clock.nowMs())};
}

QList<GameServer> Rooms::servers()
{
    QList<const store::RoomRecord *> listed;
    for (const auto &[id, room] : m_rooms) {
        refresh(*room);
        if (room->status() != GameStatus::Finished && !room->lost)
            listed.append(&room->rec);
    }
    // Other servers' rooms, from the store.
    if (m_archive.isShared()) {
        const qint64 wall = m_wall.nowMs();
        if (m_lobbyReadMs < 0 || wall - m_lobbyReadMs >= 1000 || wall < m_lobbyReadMs) {
            m_lobby.clear();
            for (auto &saved : m_archive.allUnfinished())
                m_lobby.append(std::move(saved.record));
            m_lobbyReadMs = wall;
        }
        for (const auto &rec : std::as_const(m_lobby))
            if (!m_rooms.contains(rec.roomId))
                listed.append(&rec);
    }
    // Open rooms first, then games in progress; newest first within each.
    std::ranges::sort(listed, [](const store::RoomRecord *a, const store::RoomRecord *b) {
        const bool aw = a->game.status == GameStatus::Waiting;
        const bool bw = b->game.status == GameStatus::Waiting;
        if (aw != bw)
            return aw;
        return a->createdMs != b->createdMs ? a->createdMs > b->createdMs : a->roomId > b->roomId;
    });
    QList<GameServer> out;
    const qint64 now = m_clock.nowMs();
    for (const store::RoomRecord *rec : std::as_const(listed))
        out.append(serverView(*rec, now));
    return out;
}

QList<ActiveGame> Rooms::activeGames(const Account &account)
{
    QList<ActiveGame> out;
    for (const auto &[id, room] : m_rooms) {
        const int seat = room->seatOfUser(account.id);
        if (seat < 0)
            continue;
        refresh(*room);
        if (room->status() != GameStatus::Finished && !room->lost)
            out.append(activeGameView(room->rec, seat));
    }
    for (const SavedRoom &saved : elsewhereOf(account.id)) {
        const auto &seats = saved.record.seats;
        const auto it = std::ranges::find(seats, account.id, &store::SeatRecord::userId);
        if (it != seats.end())
            out.append(activeGameView(saved.record, int(it - seats.begin())));
    }
    return out;
}

std::expected<FinishedSeat, RoomRefusal> Rooms::finishedSeat(const Account &account,
                                                             const QString &roomId)
{
    const auto found = seatInRoom(account, roomId);
    if (!found)
        return std::unexpected(found.error());
    const auto [room, seat] = *found;
    const rules::Game &game = room->rec.game;
    if (game.status != GameStatus::Finished)
        return std::unexpected(RoomRefusal::NotFinished);
    return FinishedSeat{int(game.players.size()), rules::positionOf(game, seat),
                        game.players[std::size_t(seat)].score};
}

} // namespace korvana::rooms
