// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvana::store {

class Database;

struct StoredGame
{
    QString roomId;
    QByteArray data;
};

// Saved rooms, one row each, as the bytes of encodeRoom, and the session ids of their seats.
class GameStore
{
public:
    explicit GameStore(Database &db)
        : m_db(db)
    {
    }

    bool save(const QString &roomId, const QString &status, const QByteArray &data, qint64 nowMs);
    // Replaces the room's session ids (call in the transaction of its save).
    bool indexSessions(const QString &roomId, const QStringList &sessionIds);
    bool remove(const QString &roomId);
    // Every room, or only those whose status is not `status`.
    [[nodiscard]] QList<StoredGame> loadAll(const QString &exceptStatus = {});
    [[nodiscard]] std::optional<StoredGame> load(const QString &roomId);
    // The saved status of a room, without reading the game.
    [[nodiscard]] std::optional<QString> status(const QString &roomId);
    [[nodiscard]] std::optional<QString> roomOfSession(const QString &sessionId);

private:
    Database &m_db;
};

} // namespace korvana::store
