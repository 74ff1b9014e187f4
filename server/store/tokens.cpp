// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tokens.h"

#include "database.h"

#include <QSqlQuery>
#include <QVariant>

#include <sodium.h>

namespace korvana::store {
namespace {
// Plenty of live tokens for a local server; past this the cache starts over from the database.
constexpr qsizetype maxCachedTokens = 100'000;
} // namespace

QByteArray TokenStore::digest(QByteArrayView token)
{
    QByteArray out(crypto_hash_sha256_BYTES, Qt::Uninitialized);
    crypto_hash_sha256(reinterpret_cast<unsigned char *>(out.data()),
                       reinterpret_cast<const unsigned char *>(token.data()),
                       static_cast<unsigned long long>(token.size()));
    return out;
}

QString TokenStore::issue(qint64 userId, qint64 nowMs, qint64 ttlMs)
{
    [[maybe_unused]] static const bool sodiumReady = sodium_init() >= 0;
    unsigned char raw[32];
    randombytes_buf(raw, sizeof raw);
    const QByteArray token =
        QByteArray(reinterpret_cast<const char *>(raw), sizeof raw)
            .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    const QByteArray hash = digest(token);
    const qint64 expires = nowMs + ttlMs;
    QSqlQuery q(m_db.connection());
    q.prepare(QStringLiteral("INSERT INTO tokens(hash, user_id, expires_ms) VALUES(?, ?, ?)"));
    q.addBindValue(hash);
    q.addBindValue(userId);
    q.addBindValue(expires);
    const bool ok = q.exec();
    m_db.noteWrite(ok, QStringLiteral("tokens"));
    if (!ok)
        return {};
    if (m_cache.size() >= maxCachedTokens)
        m_cache.clear();
    m_cache.insert(hash, {userId, expires});
    return QString::fromLatin1(token);
}

std::expected<qint64, TokenStore::Refusal> TokenStore::userFor(QByteArrayView token, qint64 nowMs)
{
    if (token.isEmpty() || token.size() > 256)
        return std::unexpected(Refusal::Unknown);
    const QByteArray hash = digest(token);
    auto it = m_cache.constFind(hash);
    Entry entry;
    if (it != m_cache.cend()) {
        entry = *it;
    } else {
        QSqlQuery q(m_db.connection());
        q.prepare(QStringLiteral("SELECT user_id, expires_ms FROM tokens WHERE hash = ?"));
        q.addBindValue(hash);
        if (!q.exec() || !q.next())
            return std::unexpected(Refusal::Unknown);
        entry = {q.value(0).toLongLong(), q.value(1).toLongLong()};
        if (m_cache.size() >= maxCachedTokens)
            m_cache.clear();
        m_cache.insert(hash, entry);
    }
    if (nowMs >= entry.expiresMs)
        return std::unexpected(Refusal::Expired);
    return entry.userId;
}

} // namespace korvana::store
