#include "rooms.h"

#include "bots/bot.h"
#include "diagnostics.h"
#include "gameview.h"
#include "roomnames.h"
#include "store/database.h"
#include "store/games.h"
#include "store/scores.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace korvana::api {

struct Rooms::Room
{
    store::RoomRecord rec;
    qint64 version = 0;
    QTimer botTimer;
    QTimer clockTimer;
    // Serialised views for the current version and shown time remaining.
    qint64 cacheVersion = -1;
    std::optional<int> cacheRemaining;
    GameState cacheState;
    std::array<QByteArray, rules::MaxPlayers> seatBytes;
};

namespace {

constexpr qint64 maxTimeLimitSeconds = 24 * 3600;
const QString aliveKey = QStringLiteral("alive_ms");
const QString roomCounterKey = QStringLiteral("room_counter");

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

// Coordinates far outside the board stay outside instead of wrapping into it.
int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, -100'000, 100'000));
}

int humans(const store::RoomRecord &rec)
{
    return int(std::ranges::count_if(rec.seats, [](const auto &s) { return s.userId != 0; }));
}

} // namespace

Rooms::Rooms(store::Database &db, const Clock &clock, Options options, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_games(std::make_unique<store::GameStore>(db))
    , m_scores(std::make_unique<store::ScoreStore>(db))
    , m_clock(clock)
    , m_options(options)
{
    m_heartbeat.setInterval(1000);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
        for (const auto &[id, room] : m_rooms)
            if (rules::clockDeadlineMs(room->rec.game)) {
                writeHeartbeat();
                return;
            }
    });
}

Rooms::~Rooms() = default;

void Rooms::writeHeartbeat()
{
    m_db.setMeta(aliveKey, m_clock.nowMs());
}

int Rooms::load()
{
    const qint64 now = m_clock.nowMs();
    const qint64 alive = m_db.meta(aliveKey).value_or(0);
    m_roomCounter = m_db.meta(roomCounterKey).value_or(0);
    int loaded = 0;
    store::Transaction tx(m_db);
    for (const auto &stored : m_games->loadAll()) {
        auto record = store::decodeRoom(stored.data);
        if (!record) {
            diag(QStringLiteral("⚠️ Pomijam uszkodzoną zapisaną grę %1: %2")
                     .arg(stored.roomId, record.error()));
            continue;
        }
        rules::GameState &game = record->game;
        const bool clockRuns = game.status == rules::GameStatus::InProgress && game.timeLimit > 0;
        if (clockRuns) {
            const qint64 used = std::max<qint64>(0, alive - game.turnStartedMs);
            game.turnStartedMs = now - used;
        }
        Room &room = insert(std::move(*record));
        // Saved at once, or a second crash would charge this downtime after all.
        if (clockRuns)
            save(room, false);
        ++loaded;
    }
    tx.commit();
    for (const auto &[id, room] : m_rooms)
        refresh(*room);
    m_heartbeat.start();
    return loaded;
}

Rooms::Room &Rooms::insert(store::RoomRecord record)
{
    auto room = std::make_unique<Room>();
    room->rec = std::move(record);
    room->botTimer.setSingleShot(true);
    room->clockTimer.setSingleShot(true);
    Room *raw = room.get();
    connect(&raw->botTimer, &QTimer::timeout, this, [this, raw] { botTurn(*raw); });
    connect(&raw->clockTimer, &QTimer::timeout, this, [this, raw] { clockTurn(*raw); });
    for (const auto &seat : raw->rec.seats)
        if (!seat.sessionId.isEmpty())
            m_sessions.insert(seat.sessionId, raw);
    m_rooms[raw->rec.roomId] = std::move(room);
    return *raw;
}

Rooms::Room *Rooms::findRoom(const QString &roomId) const
{
    const auto it = m_rooms.find(roomId);
    return it == m_rooms.end() ? nullptr : it->second.get();
}

int Rooms::seatOfUser(const Room &room, qint64 userId)
{
    for (std::size_t i = 0; i < room.rec.seats.size(); ++i)
        if (room.rec.seats[i].userId == userId)
            return int(i);
    return -1;
}

std::expected<std::pair<Rooms::Room *, int>, RoomRefusal> Rooms::seatOf(const Account &account,
                                                                        const QString &sessionId)
{
    Room *room = m_sessions.value(sessionId);
    if (!room)
        return std::unexpected(RoomRefusal::NoSuchSession);
    for (std::size_t i = 0; i < room->rec.seats.size(); ++i) {
        const auto &seat = room->rec.seats[i];
        if (seat.sessionId != sessionId)
            continue;
        if (seat.userId != account.id)
            return std::unexpected(RoomRefusal::NotYourSeat);
        return std::pair{room, int(i)};
    }
    return std::unexpected(RoomRefusal::NoSuchSession);
}

bool Rooms::holdsLiveSeatElsewhere(qint64 userId, const Room *except) const
{
    for (const auto &[id, room] : m_rooms) {
        if (room.get() == except || room->rec.game.status != rules::GameStatus::InProgress)
            continue;
        const int seat = seatOfUser(*room, userId);
        if (seat >= 0 && !room->rec.game.players[std::size_t(seat)].hasPassed)
            return true;
    }
    return false;
}

// A player who sits down elsewhere gives up their seats in rooms that have not started; a
// room left without people goes away.
void Rooms::leaveWaitingRooms(qint64 userId, const Room *except)
{
    QList<Room *> emptied;
    for (const auto &[id, room] : m_rooms) {
        if (room.get() == except || room->rec.game.status != rules::GameStatus::Waiting)
            continue;
        const int seat = seatOfUser(*room, userId);
        if (seat < 0)
            continue;
        const auto before = room->rec.game.status;
        removeSeat(*room, seat);
        if (humans(room->rec) == 0)
            emptied.append(room.get());
        else
            changed(*room, before);
    }
    for (Room *room : std::as_const(emptied)) {
        m_games->remove(room->rec.roomId);
        m_rooms.erase(room->rec.roomId);
    }
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
    QString id;
    for (int i = 0; i < 4; ++i)
        id += QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0'));
    return id;
}

const GameState &Rooms::currentState(Room &room)
{
    const qint64 now = m_clock.nowMs();
    const auto remaining = rules::timeRemainingSeconds(room.rec.game, now);
    if (room.cacheVersion != room.version || room.cacheRemaining != remaining) {
        room.cacheState = gameStateView(room.rec, now);
        room.cacheVersion = room.version;
        room.cacheRemaining = remaining;
        for (auto &bytes : room.seatBytes)
            bytes.clear();
    }
    return room.cacheState;
}

SeatView Rooms::seatView(Room &room, int seat)
{
    const rules::Player &p = room.rec.game.players[std::size_t(seat)];
    return {room.rec.seats[std::size_t(seat)].sessionId,
            room.rec.roomId,
            p.id,
            p.name,
            rules::colorName(p.color),
            currentState(room)};
}

// Brings the clocks up to now before anything is read or done.
void Rooms::refresh(Room &room)
{
    const auto before = room.rec.game.status;
    if (rules::tick(room.rec.game, m_clock.nowMs()))
        changed(room, before);
    else
        armTimers(room);
}

void Rooms::changed(Room &room, rules::GameStatus before)
{
    ++room.version;
    save(room, before != rules::GameStatus::Finished &&
                   room.rec.game.status == rules::GameStatus::Finished);
    armTimers(room);
}

bool Rooms::save(Room &room, bool finishedNow)
{
    store::Transaction tx(m_db);
    bool ok = m_games->save(room.rec.roomId, rules::statusName(room.rec.game.status),
                            store::encodeRoom(room.rec), m_clock.nowMs());
    if (finishedNow) {
        // Every person's result is kept at the end, even if their client never reports it.
        const rules::GameState &game = room.rec.game;
        for (std::size_t i = 0; ok && i < room.rec.seats.size(); ++i) {
            if (room.rec.seats[i].userId == 0)
                continue;
            ok =
                m_scores
                    ->saveOnce({0, room.rec.seats[i].userId, room.rec.roomId, game.players[i].score,
                                rules::positionOf(game, int(i)), qint64(game.players.size())})
                    .has_value();
        }
    }
    return ok && tx.commit();
}

void Rooms::armTimers(Room &room)
{
    const rules::GameState &game = room.rec.game;
    const bool running = game.status == rules::GameStatus::InProgress;
    if (running && game.players[std::size_t(game.currentPlayer)].isBot) {
        if (!room.botTimer.isActive())
            room.botTimer.start(m_options.botDelayMs);
    } else {
        room.botTimer.stop();
    }
    if (const auto deadline = rules::clockDeadlineMs(game)) {
        const qint64 wait =
            std::clamp<qint64>(*deadline - m_clock.nowMs() + 1, 0, std::numeric_limits<int>::max());
        room.clockTimer.start(int(wait));
    } else {
        room.clockTimer.stop();
    }
}

void Rooms::botTurn(Room &room)
{
    rules::GameState &game = room.rec.game;
    const auto before = game.status;
    const auto snapshot = game;
    const qint64 now = m_clock.nowMs();
    rules::tick(game, now);
    if (game.status == rules::GameStatus::InProgress &&
        game.players[std::size_t(game.currentPlayer)].isBot)
        (void)bots::playTurn(game, room.rec.botSeed, now);
    if (game == snapshot) {
        diag(QStringLiteral("⚠️ Bot w grze %1 nie wykonał ruchu").arg(room.rec.roomId));
        return;
    }
    changed(room, before);
}

void Rooms::clockTurn(Room &room)
{
    refresh(room);
}

std::expected<SeatView, RoomRefusal> Rooms::create(const Account &account,
                                                   std::optional<qint64> timeLimitSeconds)
{
    const qint64 limit = timeLimitSeconds.value_or(0);
    if (limit < 0 || limit > maxTimeLimitSeconds)
        return std::unexpected(RoomRefusal::BadTimeLimit);
    if (holdsLiveSeatElsewhere(account.id, nullptr))
        return std::unexpected(RoomRefusal::SeatHeldElsewhere);
    leaveWaitingRooms(account.id, nullptr);

    store::RoomRecord rec;
    rec.roomId = QStringLiteral("room-%1").arg(++m_roomCounter);
    rec.serverName = roomName(account.username);
    rec.createdMs = m_clock.nowMs();
    rec.botSeed = botSeedFor(m_options.seed, rec.roomId);
    rec.game = rules::newGame(int(limit));
    (void)rules::addPlayer(rec.game, QStringLiteral("p1"), account.username);
    rec.nextPlayerNumber = 2;
    rec.seats.push_back({newSessionId(), account.id, false});
    Room &room = insert(std::move(rec));
    {
        store::Transaction tx(m_db);
        m_db.setMeta(roomCounterKey, m_roomCounter);
        save(room, false);
        tx.commit();
    }
    return seatView(room, 0);
}

std::expected<SeatView, RoomRefusal> Rooms::join(const Account &account, const QString &roomId)
{
    Room *room = findRoom(roomId);
    if (!room)
        return std::unexpected(RoomRefusal::NoSuchRoom);
    refresh(*room);
    if (const int seat = seatOfUser(*room, account.id); seat >= 0)
        return seatView(*room, seat);
    switch (room->rec.game.status) {
    case rules::GameStatus::Finished:
        return std::unexpected(RoomRefusal::RoomFinished);
    case rules::GameStatus::InProgress:
        return std::unexpected(RoomRefusal::GameUnderWay);
    case rules::GameStatus::Waiting:
        break;
    }
    if (room->rec.game.players.size() >= std::size_t(rules::MaxPlayers))
        return std::unexpected(RoomRefusal::RoomFull);
    if (holdsLiveSeatElsewhere(account.id, room))
        return std::unexpected(RoomRefusal::SeatHeldElsewhere);
    leaveWaitingRooms(account.id, room);

    const auto before = room->rec.game.status;
    const QString playerId = QStringLiteral("p%1").arg(room->rec.nextPlayerNumber++);
    const auto seat = rules::addPlayer(room->rec.game, playerId, account.username);
    if (!seat)
        return std::unexpected(RoomRefusal::RoomFull);
    room->rec.seats.push_back({newSessionId(), account.id, false});
    m_sessions.insert(room->rec.seats.back().sessionId, room);
    changed(*room, before);
    return seatView(*room, *seat);
}

std::expected<SeatView, RoomRefusal> Rooms::rejoin(const Account &account, const QString &roomId)
{
    Room *room = findRoom(roomId);
    if (!room)
        return std::unexpected(RoomRefusal::NoSuchRoom);
    refresh(*room);
    const int seat = seatOfUser(*room, account.id);
    if (seat < 0)
        return std::unexpected(RoomRefusal::NotParticipant);
    if (room->rec.game.status == rules::GameStatus::Finished)
        return std::unexpected(RoomRefusal::RejoinFinished);
    return seatView(*room, seat);
}

std::expected<QByteArray, RoomRefusal> Rooms::sessionBytes(const Account &account,
                                                           const QString &sessionId)
{
    const auto found = seatOf(account, sessionId);
    if (!found)
        return std::unexpected(found.error());
    auto [room, seat] = *found;
    refresh(*room);
    const GameState &state = currentState(*room);
    QByteArray &bytes = room->seatBytes[std::size_t(seat)];
    if (bytes.isEmpty())
        bytes = json::toJson(SessionWrapper{sessionView(room->rec, seat), state});
    return bytes;
}

std::expected<ActionOutcome, RoomRefusal> Rooms::place(const Account &account,
                                                       const PlacePieceRequest &request)
{
    const auto found = seatOf(account, request.sessionId);
    if (!found)
        return std::unexpected(found.error());
    auto [room, seat] = *found;
    rules::GameState &game = room->rec.game;
    const auto before = game.status;
    const auto snapshot = game;
    const auto result =
        rules::place(game, seat, rules::pieceIndex(request.pieceId), clampToInt(request.row),
                     clampToInt(request.col), clampToInt(request.rotation), m_clock.nowMs());
    // Even a refused move may have run a clock out, so compare rather than trust the result.
    if (!(game == snapshot))
        changed(*room, before);
    return ActionOutcome{result.has_value(), result ? QString() : result.error().message, false,
                         currentState(*room)};
}

std::expected<ActionOutcome, RoomRefusal> Rooms::pass(const Account &account,
                                                      const QString &sessionId)
{
    const auto found = seatOf(account, sessionId);
    if (!found)
        return std::unexpected(found.error());
    auto [room, seat] = *found;
    rules::GameState &game = room->rec.game;
    const auto before = game.status;
    const auto snapshot = game;
    const auto result = rules::pass(game, seat, m_clock.nowMs());
    if (!(game == snapshot))
        changed(*room, before);
    return ActionOutcome{result.has_value(), result ? QString() : result.error().message, false,
                         currentState(*room)};
}

void Rooms::startGame(Room &room)
{
    (void)rules::startGame(room.rec.game, m_clock.nowMs());
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
    if (rec.game.status != rules::GameStatus::Waiting)
        return ActionOutcome{true, {}, false, currentState(*room)};

    const auto before = rec.game.status;
    rec.seats[std::size_t(seat)].voted = true;
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
        startGame(*room);
    changed(*room, before);
    return ActionOutcome{true, {}, start, currentState(*room)};
}

QList<GameServer> Rooms::servers()
{
    QList<Room *> listed;
    for (const auto &[id, room] : m_rooms) {
        refresh(*room);
        if (room->rec.game.status != rules::GameStatus::Finished)
            listed.append(room.get());
    }
    // Open rooms first, then games in progress; newest first within each.
    std::ranges::sort(listed, [](const Room *a, const Room *b) {
        const bool aw = a->rec.game.status == rules::GameStatus::Waiting;
        const bool bw = b->rec.game.status == rules::GameStatus::Waiting;
        if (aw != bw)
            return aw;
        return a->rec.createdMs != b->rec.createdMs ? a->rec.createdMs > b->rec.createdMs
                                                    : a->rec.roomId > b->rec.roomId;
    });
    QList<GameServer> out;
    const qint64 now = m_clock.nowMs();
    for (const Room *room : std::as_const(listed))
        out.append(serverView(room->rec, now));
    return out;
}

QList<ActiveGame> Rooms::activeGames(const Account &account)
{
    QList<ActiveGame> out;
    const qint64 now = m_clock.nowMs();
    for (const auto &[id, room] : m_rooms) {
        const int seat = seatOfUser(*room, account.id);
        if (seat < 0)
            continue;
        refresh(*room);
        if (room->rec.game.status != rules::GameStatus::Finished)
            out.append(activeGameView(room->rec, seat, now));
    }
    return out;
}

std::expected<FinishedSeat, RoomRefusal> Rooms::finishedSeat(const Account &account,
                                                             const QString &roomId)
{
    Room *room = findRoom(roomId);
    if (!room)
        return std::unexpected(RoomRefusal::NoSuchRoom);
    refresh(*room);
    const int seat = seatOfUser(*room, account.id);
    if (seat < 0)
        return std::unexpected(RoomRefusal::NotParticipant);
    const rules::GameState &game = room->rec.game;
    if (game.status != rules::GameStatus::Finished)
        return std::unexpected(RoomRefusal::NotFinished);
    return FinishedSeat{int(game.players.size()), rules::positionOf(game, seat),
                        game.players[std::size_t(seat)].score};
}

std::optional<store::RoomRecord> Rooms::record(const QString &roomId) const
{
    if (const Room *room = findRoom(roomId))
        return room->rec;
    return std::nullopt;
}

} // namespace korvana::api
