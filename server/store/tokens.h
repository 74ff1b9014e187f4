// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <expected>

namespace korvana::store {

class Database;

// Bearer tokens: 256 random bits handed out once, kept only as their SHA-256. Valid tokens
// are cached in memory after their first use, so a poll costs one hash and one lookup.
class TokenStore
{
public:
    explicit TokenStore(Database &db)
        : m_db(db)
    {
    }

    // A new token for the user, valid until nowMs + ttlMs; empty when it cannot be stored.
    [[nodiscard]] QString issue(qint64 userId, qint64 nowMs, qint64 ttlMs);

    enum class Refusal { Unknown, Expired };
    [[nodiscard]] std::expected<qint64, Refusal> userFor(QByteArrayView token, qint64 nowMs);

private:
    struct Entry
    {
        qint64 userId = 0;
        qint64 expiresMs = 0;
    };
    static QByteArray digest(QByteArrayView token);

    Database &m_db;
    QHash<QByteArray, Entry> m_cache;
};

} // namespace korvana::store
