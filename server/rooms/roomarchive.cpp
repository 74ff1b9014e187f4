#include "roomarchive.h"

#include "diagnostics.h"
#include "store/database.h"
#include "store/games.h"
#include "store/scores.h"

namespace korvana::rooms {
namespace {
const QString aliveKey = QStringLiteral("alive_ms");
const QString roomCounterKey = QStringLiteral("room_counter");
} // namespace

RoomArchive::RoomArchive(store::Database &db)
    : m_db(db)
    , m_games(std::make_unique<store::GameStore>(db))
    , m_scores(std::make_unique<store::ScoreStore>(db))
{
}

RoomArchive::~RoomArchive() = default;

QList<store::RoomRecord> RoomArchive::loadAll()
{
    QList<store::RoomRecord> rooms;
    for (const auto &stored : m_games->loadAll()) {
        auto record = store::decodeRoom(stored.data);
        if (record)
            rooms.append(std::move(*record));
        else
            diag(QStringLiteral("⚠️ Pomijam uszkodzoną zapisaną grę %1: %2")
                     .arg(stored.roomId, record.error()));
    }
    return rooms;
}

bool RoomArchive::save(const store::RoomRecord &room, bool finishedNow, qint64 nowMs)
{
    store::Transaction tx(m_db);
    bool ok = m_games->save(room.roomId, rules::statusName(room.game.status),
                            store::encodeRoom(room), nowMs);
    // Every person's result is kept at the end, even if their client never reports it.
    const rules::GameState &game = room.game;
    for (std::size_t i = 0; finishedNow && ok && i < room.seats.size(); ++i) {
        if (room.seats[i].userId == 0)
            continue;
        ok = m_scores
                 ->saveOnce({0, room.seats[i].userId, room.roomId, game.players[i].score,
                             rules::positionOf(game, int(i)), qint64(game.players.size())})
                 .has_value();
    }
    return ok && tx.commit();
}

void RoomArchive::remove(const QString &roomId)
{
    m_games->remove(roomId);
}

qint64 RoomArchive::lastAliveMs()
{
    return m_db.meta(aliveKey).value_or(0);
}

void RoomArchive::writeAlive(qint64 nowMs)
{
    m_db.setMeta(aliveKey, nowMs);
}

qint64 RoomArchive::roomCounter()
{
    return m_db.meta(roomCounterKey).value_or(0);
}

void RoomArchive::setRoomCounter(qint64 counter)
{
    m_db.setMeta(roomCounterKey, counter);
}

} // namespace korvana::rooms
