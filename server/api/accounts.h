// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "account.h"
#include "loginlimiter.h"
#include "rooms/clock.h"
#include "rooms/rooms.h"

#include <QFuture>
#include <QHash>
#include <QObject>
#include <QSet>

#include <expected>
#include <memory>
#include <optional>

namespace korvana::store {
class Database;
class PasswordHasher;
class ScoreStore;
class TokenStore;
class UserStore;
struct UserRecord;
} // namespace korvana::store

namespace korvana::api {

struct AuthError
{
    // Busy: the hashing queue is full; TooManyFailures: the e-mail or the client is limited.
    enum class Kind { Invalid, Taken, BadCredentials, TooManyFailures, Busy, Failed };
    Kind kind;
    QString message;
    qint64 retryAfterSeconds = 0;
};

struct SignedIn
{
    QString token;
    User user;
};
using AuthResult = std::expected<SignedIn, AuthError>;

// The rules of registration; the Polish reason of the first one broken, or none.
[[nodiscard]] std::optional<QString> registrationProblem(const RegisterRequest &request);

// Accounts, sign-in and bearer tokens. Password hashing runs on the hasher's threads; every
// database access stays on the thread of this object.
class Accounts : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        qint64 tokenTtlMs = 30LL * 24 * 3600 * 1000;
        QString adminEmail;
    };

    Accounts(store::Database &db, store::PasswordHasher &hasher, const rooms::Clock &clock,
             Options options, QObject *parent = nullptr);
    ~Accounts() override;

    enum class TokenProblem { Missing, Unknown, Expired };
    // Reads "Bearer <token>" and finds its user.
    std::expected<rooms::Account, TokenProblem> authenticate(QByteArrayView authorization);

    // `client` is the address the request came from: it has its own failure limit and its own
    // share of the hashing queue.
    QFuture<AuthResult> registerUser(const RegisterRequest &request, const QString &client);
    QFuture<AuthResult> login(const LoginRequest &request, const QString &client);
    // Seconds until the client may try to log in again, or none; asked before reading a body.
    [[nodiscard]] std::optional<qint64> clientMustWait(const QString &client);
    // The user with totals from the saved scores and the role.
    [[nodiscard]] std::optional<User> user(qint64 userId);

private:
    User userView(const store::UserRecord &record);

    store::Database &m_db;
    store::PasswordHasher &m_hasher;
    const rooms::Clock &m_clock;
    Options m_options;
    std::unique_ptr<store::UserStore> m_users;
    std::unique_ptr<store::TokenStore> m_tokens;
    std::unique_ptr<store::ScoreStore> m_scores;
    LoginLimiter m_emailFailures{10, 60'000};
    LoginLimiter m_clientFailures{30, 60'000};
    QHash<qint64, QString> m_usernames; // names never change: read once per user
    QSet<QString> m_checking;           // e-mails with a password check in flight
};

} // namespace korvana::api
