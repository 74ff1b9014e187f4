// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "games.h"

#include "database.h"

#include <QSqlQuery>
#include <QVariant>

namespace korvana::store {

bool GameStore::save(const QString &roomId, const QString &status, const QByteArray &data,
                     qint64 nowMs)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("INSERT INTO games(room_id, status, data, updated_ms)"
                             " VALUES(?, ?, ?, ?) ON CONFLICT(room_id) DO UPDATE SET"
                             " status = excluded.status, data = excluded.data,"
                             " updated_ms = excluded.updated_ms"));
    q.addBindValue(roomId);
    q.addBindValue(status);
    q.addBindValue(data);
    q.addBindValue(nowMs);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("games"));
    return ok;
}

bool GameStore::indexSessions(const QString &roomId, const QStringList &sessionIds)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("DELETE FROM sessions WHERE room_id = ?"));
    q.addBindValue(roomId);
    bool ok = q.exec();
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO sessions(session_id, room_id) VALUES(?, ?)"));
    for (const QString &id : sessionIds) {
        q.addBindValue(id);
        q.addBindValue(roomId);
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
    q.prepare(QStringLiteral("SELECT room_id, data FROM games WHERE status != ? ORDER BY rowid"));
    q.addBindValue(exceptStatus);
    if (!q.exec())
        return games;
    while (q.next())
        games.append({q.value(0).toString(), q.value(1).toByteArray()});
    return games;
}

std::optional<StoredGame> GameStore::load(const QString &roomId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT data FROM games WHERE room_id = ?"));
    q.addBindValue(roomId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return StoredGame{roomId, q.value(0).toByteArray()};
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

} // namespace korvana::store
