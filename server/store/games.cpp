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

bool GameStore::remove(const QString &roomId)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("DELETE FROM games WHERE room_id = ?"));
    q.addBindValue(roomId);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("games"));
    return ok;
}

QList<StoredGame> GameStore::loadAll()
{
    QList<StoredGame> games;
    QSqlQuery q(m_db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT room_id, data FROM games ORDER BY rowid")))
        return games;
    while (q.next())
        games.append({q.value(0).toString(), q.value(1).toByteArray()});
    return games;
}

} // namespace korvana::store
