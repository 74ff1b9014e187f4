// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts.h"

#include "store/database.h"
#include "store/passwords.h"
#include "store/scores.h"
#include "store/tokens.h"
#include "store/users.h"
#include "texts.h"

#include <QPointer>
#include <QRegularExpression>

namespace korvana::api {
namespace {

qsizetype characters(const QString &text)
{
    qsizetype n = 0;
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate())
            ++it;
        ++n;
    }
    return n;
}

QFuture<AuthResult> ready(AuthResult result)
{
    return QtFuture::makeReadyFuture(std::move(result));
}

AuthError failed()
{
    return {AuthError::Kind::Failed, texts::serverFailure()};
}

AuthResult busyError()
{
    return std::unexpected(AuthError{AuthError::Kind::Busy, texts::busy(), 1});
}

QFuture<AuthResult> busy()
{
    return ready(busyError());
}

QFuture<AuthResult> tooManyFailures(qint64 seconds)
{
    return ready(std::unexpected(
        AuthError{AuthError::Kind::TooManyFailures, texts::tooManyLogins(seconds), seconds}));
}

// Registration allows no longer password, so a longer one is wrong without hashing it.
constexpr qsizetype MaxPasswordCharacters = 128;

} // namespace

std::optional<QString> registrationProblem(const RegisterRequest &request)
{
    const QString name = request.username.trimmed();
    if (characters(name) < 3 || characters(name) > 20)
        return texts::usernameLength();
    for (const QChar c : name)
        if (!c.isPrint() && !c.isSurrogate())
            return texts::usernameCharacters();
    static const QRegularExpression emailShape(
        QStringLiteral(R"(^[^@\s]+@[^@\s.]+(\.[^@\s.]+)+$)"));
    const QString email = request.email.trimmed();
    if (email.size() > 254 || !emailShape.match(email).hasMatch())
        return texts::emailShape();
    if (characters(request.password) < 6)
        return texts::passwordShort();
    if (characters(request.password) > MaxPasswordCharacters)
        return texts::passwordLong();
    return std::nullopt;
}

Accounts::Accounts(store::Database &db, store::PasswordHasher &hasher, const rooms::Clock &clock,
                   Options options, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_hasher(hasher)
    , m_clock(clock)
    , m_options(std::move(options))
    , m_users(std::make_unique<store::UserStore>(db))
    , m_tokens(std::make_unique<store::TokenStore>(db))
    , m_scores(std::make_unique<store::ScoreStore>(db))
{
}

Accounts::~Accounts() = default;

std::expected<rooms::Account, Accounts::TokenProblem>
Accounts::authenticate(QByteArrayView authorization)
{
    constexpr QByteArrayView scheme("Bearer ");
    const QByteArrayView header = authorization.trimmed();
    if (header.isEmpty())
        return std::unexpected(TokenProblem::Missing);
    if (header.size() <= scheme.size() ||
        header.first(scheme.size()).compare(scheme, Qt::CaseInsensitive) != 0)
        return std::unexpected(TokenProblem::Unknown);
    const auto userId = m_tokens->userFor(header.sliced(scheme.size()).trimmed(), m_clock.nowMs());
    if (!userId)
        return std::unexpected(userId.error() == store::TokenStore::Refusal::Expired
                                   ? TokenProblem::Expired
                                   : TokenProblem::Unknown);
    auto name = m_usernames.constFind(*userId);
    if (name == m_usernames.cend()) {
        const auto record = m_users->byId(*userId);
        if (!record)
            return std::unexpected(TokenProblem::Unknown);
        name = m_usernames.insert(record->id, record->username);
    }
    return rooms::Account{*userId, *name};
}

User Accounts::userView(const store::UserRecord &record)
{
    const store::UserTotals totals = m_scores->totals(record.id);
    const bool admin = !m_options.adminEmail.isEmpty() &&
                       store::UserStore::emailKey(m_options.adminEmail) == record.email;
    return User{
        record.id, record.username, record.email,
        admin ? QStringLiteral("admin") : QStringLiteral("player"),
        UserStats{totals.gamesPlayed, totals.gamesWon, totals.totalScore, totals.bestScore}};
}

std::optional<User> Accounts::user(qint64 userId)
{
    const auto record = m_users->byId(userId);
    if (!record)
        return std::nullopt;
    return userView(*record);
}

QFuture<AuthResult> Accounts::registerUser(const RegisterRequest &request, const QString &client)
{
    if (const auto problem = registrationProblem(request))
        return ready(std::unexpected(AuthError{AuthError::Kind::Invalid, *problem}));
    if (m_users->emailTaken(request.email))
        return ready(std::unexpected(AuthError{AuthError::Kind::Taken, texts::emailTaken()}));
    if (m_users->usernameTaken(request.username))
        return ready(std::unexpected(AuthError{AuthError::Kind::Taken, texts::usernameTaken()}));
    auto hashed = m_hasher.hash(client, request.password);
    if (!hashed)
        return busy();
    QPointer<Accounts> self(this);
    return hashed->then(this, [self, request](const std::optional<QString> &hash) {
        if (!hash)
            return busyError(); // gave its place to another address's
        if (!self || hash->isEmpty())
            return AuthResult(std::unexpected(failed()));
        const auto created =
            self->m_users->create(request.username, request.email, *hash, self->m_clock.nowMs());
        if (!created) {
            switch (created.error()) {
            case store::UserStore::Conflict::Email:
                return AuthResult(
                    std::unexpected(AuthError{AuthError::Kind::Taken, texts::emailTaken()}));
            case store::UserStore::Conflict::Username:
                return AuthResult(
                    std::unexpected(AuthError{AuthError::Kind::Taken, texts::usernameTaken()}));
            case store::UserStore::Conflict::Failed:
                break;
            }
            return AuthResult(std::unexpected(failed()));
        }
        const QString token =
            self->m_tokens->issue(created->id, self->m_clock.nowMs(), self->m_options.tokenTtlMs);
        if (token.isEmpty())
            return AuthResult(std::unexpected(failed()));
        return AuthResult(SignedIn{token, self->userView(*created)});
    });
}

std::optional<qint64> Accounts::clientMustWait(const QString &client)
{
    return m_clientFailures.retryAfter(client, m_clock.nowMs());
}

QFuture<AuthResult> Accounts::login(const LoginRequest &request, const QString &client)
{
    const QString email = store::UserStore::emailKey(request.email);
    // One password check per account at a time: more only fill the hashing queue.
    if (m_checking.contains(email))
        return busy();
    const qint64 now = m_clock.nowMs();
    if (const auto wait = m_emailFailures.begin(email, now))
        return tooManyFailures(*wait);
    if (const auto wait = m_clientFailures.begin(client, now)) {
        m_emailFailures.abandoned(email);
        return tooManyFailures(*wait);
    }
    const auto record = email.size() <= 254 ? m_users->byEmail(email) : std::nullopt;
    const bool hopeless = characters(request.password) > MaxPasswordCharacters;
    auto verified = hopeless ? std::optional(QtFuture::makeReadyFuture(std::optional(false)))
                             : m_hasher.verify(client, record ? record->passwordHash : QString(),
                                               request.password);
    if (!verified) {
        m_emailFailures.abandoned(email);
        m_clientFailures.abandoned(client);
        return busy();
    }
    m_checking.insert(email);
    QPointer<Accounts> self(this);
    return verified->then(this, [self, record, email, client](std::optional<bool> ok) {
        if (!self)
            return AuthResult(std::unexpected(failed()));
        self->m_checking.remove(email);
        if (!ok) {
            // The check gave its place in the hashing queue to another address's.
            self->m_emailFailures.abandoned(email);
            self->m_clientFailures.abandoned(client);
            return busyError();
        }
        const qint64 at = self->m_clock.nowMs();
        if (!*ok || !record) {
            self->m_emailFailures.failed(email, at);
            self->m_clientFailures.failed(client, at);
            return AuthResult(std::unexpected(
                AuthError{AuthError::Kind::BadCredentials, texts::badCredentials()}));
        }
        self->m_emailFailures.succeeded(email, true);
        self->m_clientFailures.succeeded(client, false);
        const QString token = self->m_tokens->issue(record->id, at, self->m_options.tokenTtlMs);
        if (token.isEmpty())
            return AuthResult(std::unexpected(failed()));
        return AuthResult(SignedIn{token, self->userView(*record)});
    });
}

} // namespace korvana::api
