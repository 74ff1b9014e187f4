// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "users.h"

#include "database.h"

#include <QSqlQuery>
#include <QVariant>

namespace korvana::store {

std::expected<UserRecord, UserStore::Conflict> UserStore::create(const QString &username,
                                                                 const QString &email,
                                                                 const QString &passwordHash,
                                                                 qint64 nowMs)
{
    // Checked first for a precise answer; the UNIQUE constraints still catch a race.
    if (emailTaken(email))
        return std::unexpected(Conflict::Email);
    if (usernameTaken(username))
        return std::unexpected(Conflict::Username);
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("INSERT INTO users(username, username_key, email, password_hash,"
                             " created_ms) VALUES(?, ?, ?, ?, ?) RETURNING id"));
    q.addBindValue(username.trimmed());
    q.addBindValue(usernameKey(username));
    q.addBindValue(emailKey(email));
    q.addBindValue(passwordHash);
    q.addBindValue(nowMs);
    const bool ok = q.exec() && q.next();
    m_db.noteWrite(ok, QStringLiteral("users"));
    if (!ok)
        return std::unexpected(Conflict::Failed);
    return UserRecord{q.value(0).toLongLong(), username.trimmed(), emailKey(email), passwordHash};
}

std::optional<UserRecord> UserStore::one(const QString &where, const QVariant &value)
{
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("SELECT id, username, email, password_hash FROM users WHERE ") +
              where + QStringLiteral(" = ?"));
    q.addBindValue(value);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return UserRecord{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                      q.value(3).toString()};
}

std::optional<UserRecord> UserStore::byEmail(const QString &email)
{
    return one(QStringLiteral("email"), emailKey(email));
}

std::optional<UserRecord> UserStore::byId(qint64 id)
{
    return one(QStringLiteral("id"), id);
}

bool UserStore::emailTaken(const QString &email)
{
    return byEmail(email).has_value();
}

bool UserStore::usernameTaken(const QString &username)
{
    return one(QStringLiteral("username_key"), usernameKey(username)).has_value();
}

} // namespace korvana::store
