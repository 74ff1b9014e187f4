// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "scores.h"

#include "database.h"

#include <QSqlQuery>
#include <QVariant>

namespace korvana::store {

std::optional<ScoreRecord> ScoreStore::saveOnce(const ScoreRecord &score)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("INSERT INTO scores(user_id, room_id, score, position, players_count)"
                             " VALUES(?, ?, ?, ?, ?) ON CONFLICT(user_id, room_id) DO NOTHING"));
    q.addBindValue(score.userId);
    q.addBindValue(score.roomId);
    q.addBindValue(score.score);
    q.addBindValue(score.position);
    q.addBindValue(score.playersCount);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("scores"));
    if (!ok)
        return std::nullopt;
    return find(score.userId, score.roomId);
}

std::optional<ScoreRecord> ScoreStore::find(qint64 userId, const QString &roomId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT id, score, position, players_count FROM scores"
                             " WHERE user_id = ? AND room_id = ?"));
    q.addBindValue(userId);
    q.addBindValue(roomId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return ScoreRecord{
        q.value(0).toLongLong(), userId, roomId, q.value(1).toLongLong(), q.value(2).toLongLong(),
        q.value(3).toLongLong()};
}

UserTotals ScoreStore::totals(qint64 userId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral(
        "SELECT count(*), coalesce(sum(CASE WHEN position = 1 THEN 1 ELSE 0 END), 0),"
        " coalesce(sum(score), 0), coalesce(max(score), 0)"
        " FROM scores WHERE user_id = ?"));
    q.addBindValue(userId);
    if (!q.exec() || !q.next())
        return {};
    return {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong(),
            q.value(3).toLongLong()};
}

} // namespace korvana::store
