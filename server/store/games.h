// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvana::store {

class Database;

struct StoredGame
{
    QString roomId;
    QByteArray data;
    QString status;
    QString owner;         // the server that changes it
    qint64 ownerUntil = 0; // its lease, wall time
    qint64 aliveMs = 0;    // when the owner last saw it, in the owner's game time
};

// A room's lease, as the owner writes it.
struct Lease
{
    QString owner;
    qint64 untilMs = 0;
    qint64 aliveMs = 0;
};

// Saved rooms, one row each, as the bytes of encodeRoom, with their owner's lease; the session
// ids of their seats; and where each server sharing the database answers.
class GameStore
{
public:
    explicit GameStore(Database &db)
        : m_db(db)
    {
    }

    enum class Saved { Yes, NotOwner, Failed };
    // A new row becomes the lease's owner's; an existing one is written only while it still is
    // (NotOwner: another server took it over, nothing written).
    Saved save(const QString &roomId, const QString &status, const QByteArray &data, qint64 nowMs,
               const Lease &lease);
    // Replaces the room's seats (session id, user id); call in the transaction of its save.
    bool indexSessions(const QString &roomId, const QList<QPair<QString, qint64>> &seats);
    bool remove(const QString &roomId);
    // Every room, or only those whose status is not `status`.
    [[nodiscard]] QList<StoredGame> loadAll(const QString &exceptStatus = {});
    [[nodiscard]] std::optional<StoredGame> load(const QString &roomId);
    // The saved status of a room, without reading the game.
    [[nodiscard]] std::optional<QString> status(const QString &roomId);
    [[nodiscard]] std::optional<QString> roomOfSession(const QString &sessionId);
    // Rooms whose status is not `exceptStatus` where the user has a seat.
    [[nodiscard]] QList<StoredGame> ofUser(qint64 userId, const QString &exceptStatus);

    // Takes a room for the lease's owner if it is its own already, or its lease ran out before
    // `wallMs`, or `force`: one conditional UPDATE, so of servers racing for it one wins.
    bool claim(const QString &roomId, const Lease &lease, qint64 wallMs, bool force);
    // Renews every lease of the owner in one statement; the number of rooms it still owns.
    int renew(const Lease &lease, const QString &exceptStatus);
    // Rooms (not in `exceptStatus`) whose lease ran out before `wallMs`, oldest lease first.
    [[nodiscard]] QStringList orphans(qint64 wallMs, const QString &exceptStatus, int limit);
    [[nodiscard]] QStringList ownedBy(const QString &owner, const QString &exceptStatus);

    bool advertise(const QString &instance, const QString &url, qint64 nowMs);
    [[nodiscard]] std::optional<QString> urlOf(const QString &instance);

private:
    Database &m_db;
};

} // namespace korvana::store
