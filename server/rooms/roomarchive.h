// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "store/room.h"

#include <QList>

#include <memory>
#include <optional>

namespace korvana::store {
class Database;
class GameStore;
class ScoreStore;
} // namespace korvana::store

namespace korvana::rooms {

// Rooms as the store keeps them: one row per room, written in one transaction with every
// person's final score when the game ends; and the server's heartbeat and room counter.
class RoomArchive
{
public:
    explicit RoomArchive(store::Database &db);
    ~RoomArchive();

    [[nodiscard]] store::Database &database() { return m_db; }

    // Every saved room that has not finished; damaged rows are reported and skipped.
    [[nodiscard]] QList<store::RoomRecord> loadUnfinished();
    // One saved room, finished or not, by its id or by the session id of one of its seats.
    [[nodiscard]] std::optional<store::RoomRecord> load(const QString &roomId);
    [[nodiscard]] std::optional<QString> roomOfSession(const QString &sessionId);
    // The saved room has finished and the user has no result in it (never sat there at the
    // end), from the indexes alone.
    [[nodiscard]] bool finishedWithout(const QString &roomId, qint64 userId);
    // With `seatsChanged`, the session ids of the seats are indexed again in the same transaction.
    bool save(const store::RoomRecord &room, bool finishedNow, qint64 nowMs,
              bool seatsChanged = false);
    void remove(const QString &roomId);

    // When the server was last seen alive with a clock running.
    [[nodiscard]] qint64 lastAliveMs();
    void writeAlive(qint64 nowMs);
    [[nodiscard]] qint64 roomCounter();
    void setRoomCounter(qint64 counter);

private:
    std::optional<store::RoomRecord> decode(const QString &roomId, const QByteArray &data);
    bool indexSessions(const store::RoomRecord &room);

    store::Database &m_db;
    std::unique_ptr<store::GameStore> m_games;
    std::unique_ptr<store::ScoreStore> m_scores;
};

} // namespace korvana::rooms
