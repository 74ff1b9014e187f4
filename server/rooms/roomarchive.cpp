// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "roomarchive.h"

#include "diagnostics.h"
#include "store/database.h"
#include "store/games.h"
#include "store/scores.h"

namespace korvana::rooms {
namespace {
const QString aliveKey = QStringLiteral("alive_ms");
const QString roomCounterKey = QStringLiteral("room_counter");
const QString sessionsIndexedKey = QStringLiteral("sessions_indexed");
const QString roomChannel = RoomArchive::changesChannel();
} // namespace

RoomArchive::RoomArchive(store::Database &db)
    : m_db(db)
    , m_games(std::make_unique<store::GameStore>(db))
    , m_scores(std::make_unique<store::ScoreStore>(db))
{
}

RoomArchive::~RoomArchive() = default;

std::optional<store::RoomRecord> RoomArchive::decode(const QString &roomId, const QByteArray &data)
{
    auto record = store::decodeRoom(data);
    if (record)
        return std::move(*record);
    diag(QStringLiteral("⚠️ Pomijam uszkodzoną zapisaną grę %1: %2")
             .arg(roomId, record.error()));
    return std::nullopt;
}

bool RoomArchive::isShared() const
{
    return m_db.isShared();
}

bool RoomArchive::indexSessions(const store::RoomRecord &room)
{
    QList<QPair<QString, qint64>> seats;
    for (const auto &seat : room.seats)
        if (!seat.sessionId.isEmpty())
            seats.append({seat.sessionId, seat.userId});
    return m_games->indexSessions(room.roomId, seats);
}

QList<SavedRoom> RoomArchive::decodeAll(const QList<store::StoredGame> &rows)
{
    QList<SavedRoom> rooms;
    for (const auto &stored : rows)
        if (auto room = decode(stored.roomId, stored.data))
            rooms.append({std::move(*room), stored.owner, stored.ownerUntil, stored.aliveMs});
    return rooms;
}

std::optional<SavedRoom> RoomArchive::loadWithLease(const QString &roomId)
{
    const auto stored = m_games->load(roomId);
    if (!stored)
        return std::nullopt;
    auto room = decode(roomId, stored->data);
    if (!room)
        return std::nullopt;
    return SavedRoom{std::move(*room), stored->owner, stored->ownerUntil, stored->aliveMs};
}

QList<SavedRoom> RoomArchive::unfinishedOf(qint64 userId)
{
    return decodeAll(m_games->ofUser(userId, wireName(GameStatus::Finished)));
}

QList<SavedRoom> RoomArchive::allUnfinished()
{
    return decodeAll(m_games->loadAll(wireName(GameStatus::Finished)));
}

QList<SavedRoom> RoomArchive::loadUnfinished()
{
    // A store written before the session index existed gets it once, finished rooms included.
    if (!m_db.meta(sessionsIndexedKey)) {
        store::Transaction tx(m_db);
        for (const auto &stored : m_games->loadAll())
            if (const auto room = decode(stored.roomId, stored.data))
                indexSessions(*room);
        m_db.setMeta(sessionsIndexedKey, 1);
        tx.commit();
    }
    return allUnfinished();
}

std::optional<store::RoomRecord> RoomArchive::load(const QString &roomId)
{
    const auto stored = m_games->load(roomId);
    return stored ? decode(roomId, stored->data) : std::nullopt;
}

std::optional<QString> RoomArchive::roomOfSession(const QString &sessionId)
{
    return m_games->roomOfSession(sessionId);
}

bool RoomArchive::finishedWithout(const QString &roomId, qint64 userId)
{
    return m_games->status(roomId) == wireName(GameStatus::Finished) &&
           !m_scores->find(userId, roomId);
}

store::GameStore::Saved RoomArchive::save(const store::RoomRecord &room, bool finishedNow,
                                          qint64 nowMs, const store::Lease &lease,
                                          bool seatsChanged)
{
    using Saved = store::GameStore::Saved;
    store::Transaction tx(m_db);
    const Saved saved = m_games->save(room.roomId, wireName(room.game.status),
                                      store::encodeRoom(room), nowMs, lease);
    if (saved != Saved::Yes)
        return saved;
    bool ok = true;
    if (seatsChanged)
        ok = ok && indexSessions(room);
    // Every person's result is kept at the end, even if their client never reports it.
    const rules::Game &game = room.game;
    for (std::size_t i = 0; finishedNow && ok && i < room.seats.size(); ++i) {
        if (room.seats[i].userId == 0)
            continue;
        ok = m_scores
                 ->saveOnce({0, room.seats[i].userId, room.roomId, game.players[i].score,
                             rules::positionOf(game, int(i)), qint64(game.players.size())})
                 .has_value();
    }
    // Others holding polls of this room hear of it once the change is committed.
    ok = ok && m_db.notify(roomChannel, room.roomId);
    return ok && tx.commit() ? Saved::Yes : Saved::Failed;
}

void RoomArchive::remove(const QString &roomId)
{
    store::Transaction tx(m_db);
    if (m_games->remove(roomId) && m_db.notify(roomChannel, roomId))
        tx.commit();
}

qint64 RoomArchive::lastAliveMs()
{
    return m_db.meta(aliveKey).value_or(0);
}

void RoomArchive::writeAlive(qint64 nowMs)
{
    m_db.setMeta(aliveKey, nowMs);
}

// Each server numbers the rooms it creates, and its name tells its rooms from others'.
static QString counterKey(const QString &instance)
{
    return instance.isEmpty() ? roomCounterKey : roomCounterKey + u'.' + instance;
}

qint64 RoomArchive::roomCounter(const QString &instance)
{
    return m_db.meta(counterKey(instance)).value_or(0);
}

void RoomArchive::setRoomCounter(const QString &instance, qint64 counter)
{
    m_db.setMeta(counterKey(instance), counter);
}

} // namespace korvana::rooms
