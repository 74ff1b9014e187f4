#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace korvana::store {

class Database;

struct StoredGame
{
    QString roomId;
    QByteArray data;
};

// Saved rooms, one row each, as the bytes of encodeRoom.
class GameStore
{
public:
    explicit GameStore(Database &db)
        : m_db(db)
    {
    }

    bool save(const QString &roomId, const QString &status, const QByteArray &data, qint64 nowMs);
    bool remove(const QString &roomId);
    [[nodiscard]] QList<StoredGame> loadAll();

private:
    Database &m_db;
};

} // namespace korvana::store
