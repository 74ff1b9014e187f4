// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "store/games.h"
#include "store/roomrecord.h"

#include <QList>

#include <memory>
#include <optional>

namespace korvana::store {
class Database;
class ScoreStore;
} // namespace korvana::store

namespace korvana::rooms {

// A saved room with its owner's lease.
struct SavedRoom
{
    store::RoomRecord record;
    QString owner;
    qint64 ownerUntil = 0;
    qint64 aliveMs = 0;
};

// Rooms as the store keeps them: one row per room, written in one transaction with every
// person's final score when the game ends (and, on a shared database, the notice of the
// change); the rooms' leases; and the server's heartbeat and room counter.
class RoomArchive
{
public:
    explicit RoomArchive(store::Database &db);
    ~RoomArchive();

    [[nodiscard]] store::Database &database() { return m_db; }
    [[nodiscard]] bool isShared() const;

    // Every saved room that has not finished; damaged rows are reported and skipped.
    [[nodiscard]] QList<SavedRoom> loadUnfinished();
    // One saved room, finished or not, by its id or by the session id of one of its seats.
    [[nodiscard]] std::optional<store::RoomRecord> load(const QString &roomId);
    [[nodiscard]] std::optional<SavedRoom> loadWithLease(const QString &roomId);
    // Unfinished rooms where the user has a seat.
    [[nodiscard]] QList<SavedRoom> unfinishedOf(qint64 userId);
    [[nodiscard]] QList<SavedRoom> allUnfinished();
    [[nodiscard]] std::optional<QString> roomOfSession(const QString &sessionId);
    // The saved room has finished and the user has no result in it (never sat there at the
    // end), from the indexes alone.
    [[nodiscard]] bool finishedWithout(const QString &roomId, qint64 userId);
    // With `seatsChanged`, the session ids of the seats are indexed again in the same transaction.
    // NotOwner: the lease went to another server meanwhile and nothing was written.
    store::GameStore::Saved save(const store::RoomRecord &room, bool finishedNow, qint64 nowMs,
                                 const store::Lease &lease, bool seatsChanged = false);
    void remove(const QString &roomId);
    [[nodiscard]] store::GameStore &games() { return *m_games; }

    // When the server was last seen alive with a clock running.
    [[nodiscard]] qint64 lastAliveMs();
    void writeAlive(qint64 nowMs);
    [[nodiscard]] qint64 roomCounter(const QString &instance);
    void setRoomCounter(const QString &instance, qint64 counter);

    // Notifications between servers sharing a database: "<roomId>" after a room changed;
    // "<owner> <userId> <roomId>": the owner's waiting rooms lose the user, who sat down in roomId.
    static QString changesChannel() { return QStringLiteral("korvana_room"); }
    static QString leaveChannel() { return QStringLiteral("korvana_leave"); }

private:
    std::optional<store::RoomRecord> decode(const QString &roomId, const QByteArray &data);
    QList<SavedRoom> decodeAll(const QList<store::StoredGame> &rows);
    bool indexSessions(const store::RoomRecord &room);

    store::Database &m_db;
    std::unique_ptr<store::GameStore> m_games;
    std::unique_ptr<store::ScoreStore> m_scores;
};

} // namespace korvana::rooms
