// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <expected>
#include <optional>

namespace korvana::store {

class Database;

struct UserRecord
{
    qint64 id = 0;
    QString username;
    QString email; // lower case
    QString passwordHash;
};

// Users, unique by e-mail and by user name (both compared without letter case).
class UserStore
{
public:
    explicit UserStore(Database &db)
        : m_db(db)
    {
    }

    enum class Conflict { Email, Username, Failed };
    std::expected<UserRecord, Conflict> create(const QString &username, const QString &email,
                                               const QString &passwordHash, qint64 nowMs);
    [[nodiscard]] std::optional<UserRecord> byEmail(const QString &email);
    [[nodiscard]] std::optional<UserRecord> byId(qint64 id);
    [[nodiscard]] bool emailTaken(const QString &email);
    [[nodiscard]] bool usernameTaken(const QString &username);

    [[nodiscard]] static QString emailKey(const QString &email)
    {
        return email.trimmed().toLower();
    }
    [[nodiscard]] static QString usernameKey(const QString &username)
    {
        return username.trimmed().toCaseFolded();
    }

private:
    std::optional<UserRecord> one(const QString &where, const QVariant &value);
    Database &m_db;
};

} // namespace korvana::store
