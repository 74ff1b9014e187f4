// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "games.h"

#include "database.h"

#include <QSqlQuery>
#include <QVariant>

namespace korvana::store {
namespace {

const QString columns =
    QStringLiteral("room_id, data, status, owner, owner_until, alive_ms FROM games");

StoredGame read(const QSqlQuery &q)
{
    return {q.value(0).toString(), q.value(1).toByteArray(), q.value(2).toString(),
            q.value(3).toString(), q.value(4).toLongLong(),  q.value(5).toLongLong()};
}

} // namespace

GameStore::Saved GameStore::save(const QString &roomId, const QString &status,
                                 const QByteArray &data, qint64 nowMs, const Lease &lease)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("INSERT INTO games(room_id, status, data, updated_ms, owner,"
                             " owner_until, alive_ms) VALUES(?, ?, ?, ?, ?, ?, ?)"
                             " ON CONFLICT(room_id) DO UPDATE SET status = excluded.status,"
                             " data = excluded.data, updated_ms = excluded.updated_ms"
                             " WHERE games.owner = excluded.owner"));
    q.addBindValue(roomId);
    q.addBindValue(status);
    q.addBindValue(data);
    q.addBindValue(nowMs);
    q.addBindValue(lease.owner);
    q.addBindValue(lease.untilMs);
    q.addBindValue(lease.aliveMs);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("games"));
    if (!ok)
        return Saved::Failed;
    return q.numRowsAffected() > 0 ? Saved::Yes : Saved::NotOwner;
}

bool GameStore::indexSessions(const QString &roomId, const QList<QPair<QString, qint64>> &seats)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("DELETE FROM sessions WHERE room_id = ?"));
    q.addBindValue(roomId);
    bool ok = q.exec();
    q.prepare(QStringLiteral("INSERT INTO sessions(session_id, room_id, user_id) VALUES(?, ?, ?)"
                             " ON CONFLICT(session_id) DO UPDATE SET room_id = excluded.room_id,"
                             " user_id = excluded.user_id"));
    for (const auto &[sessionId, userId] : seats) {
        q.addBindValue(sessionId);
        q.addBindValue(roomId);
        q.addBindValue(userId);
        ok = ok && q.exec();
    }
    m_db.noteWrite(ok, QStringLiteral("sessions"));
    return ok;
}

bool GameStore::remove(const QString &roomId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("DELETE FROM games WHERE room_id = ?"));
    q.addBindValue(roomId);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("games"));
    return ok;
}

QList<StoredGame> GameStore::loadAll(const QString &exceptStatus)
{
    QList<StoredGame> games;
    QSqlQuery q(m_db.connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ") + columns +
              QStringLiteral(" WHERE status != ? ORDER BY room_id"));
    q.addBindValue(exceptStatus);
    if (!q.exec())
        return games;
    while (q.next())
        games.append(read(q));
    return games;
}

std::optional<StoredGame> GameStore::load(const QString &roomId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT ") + columns + QStringLiteral(" WHERE room_id = ?"));
    q.addBindValue(roomId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return read(q);
}

std::optional<QString> GameStore::status(const QString &roomId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT status FROM games WHERE room_id = ?"));
    q.addBindValue(roomId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

std::optional<QString> GameStore::roomOfSession(const QString &sessionId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT room_id FROM sessions WHERE session_id = ?"));
    q.addBindValue(sessionId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

QList<StoredGame> GameStore::ofUser(qint64 userId, const QString &exceptStatus)
{
    QList<StoredGame> games;
    QSqlQuery q(m_db.connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ") + columns +
              QStringLiteral(" WHERE status != ? AND room_id IN"
                             " (SELECT room_id FROM sessions WHERE user_id = ?)"));
    q.addBindValue(exceptStatus);
    q.addBindValue(userId);
    if (!q.exec())
        return games;
    while (q.next())
        games.append(read(q));
    return games;
}

bool GameStore::claim(const QString &roomId, const Lease &lease, qint64 wallMs, bool force)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("UPDATE games SET owner = ?, owner_until = ?, alive_ms = ?"
                             " WHERE room_id = ? AND (? = 1 OR owner = ? OR owner_until < ?)"));
    q.addBindValue(lease.owner);
    q.addBindValue(lease.untilMs);
    q.addBindValue(lease.aliveMs);
    q.addBindValue(roomId);
    q.addBindValue(force ? 1 : 0);
    q.addBindValue(lease.owner);
    q.addBindValue(wallMs);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("games"));
    return ok && q.numRowsAffected() == 1;
}

int GameStore::renew(const Lease &lease, const QString &exceptStatus)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("UPDATE games SET owner_until = ?, alive_ms = ?"
                             " WHERE owner = ? AND status != ?"));
    q.addBindValue(lease.untilMs);
    q.addBindValue(lease.aliveMs);
    q.addBindValue(lease.owner);
    q.addBindValue(exceptStatus);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("games"));
    return ok ? q.numRowsAffected() : -1;
}

QStringList GameStore::orphans(qint64 wallMs, const QString &exceptStatus, int limit)
{
    QStringList ids;
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT room_id FROM games WHERE owner_until < ? AND status != ?"
                             " ORDER BY owner_until LIMIT ?"));
    q.addBindValue(wallMs);
    q.addBindValue(exceptStatus);
    q.addBindValue(limit);
    if (q.exec())
        while (q.next())
            ids.append(q.value(0).toString());
    return ids;
}

QStringList GameStore::ownedBy(const QString &owner, const QString &exceptStatus)
{
    QStringList ids;
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT room_id FROM games WHERE owner = ? AND status != ?"));
    q.addBindValue(owner);
    q.addBindValue(exceptStatus);
    if (q.exec())
        while (q.next())
            ids.append(q.value(0).toString());
    return ids;
}

bool GameStore::advertise(const QString &instance, const QString &url, qint64 nowMs)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("INSERT INTO instances(name, url, seen_ms) VALUES(?, ?, ?)"
                             " ON CONFLICT(name) DO UPDATE SET url = excluded.url,"
                             " seen_ms = excluded.seen_ms"));
    q.addBindValue(instance);
    q.addBindValue(url);
    q.addBindValue(nowMs);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("instances"));
    return ok;
}

std::optional<QString> GameStore::urlOf(const QString &instance)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT url FROM instances WHERE name = ?"));
    q.addBindValue(instance);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

} // namespace korvana::store
