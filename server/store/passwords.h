#pragma once

#include <QByteArray>
#include <QFuture>
#include <QString>
#include <QThreadPool>

namespace korvana::store {

// Argon2id (libsodium's crypto_pwhash_str, interactive limits). Slow on purpose: call these
// off the event loop, through PasswordHasher.
// Minimal cost is for tests only (--insecure-fast-hash): it makes hashing almost free.
enum class HashCost { Interactive, Minimal };
[[nodiscard]] QString hashPassword(const QString &password, HashCost cost = HashCost::Interactive);
[[nodiscard]] bool verifyPassword(const QString &hash, const QString &password);

// Runs hashing on a small pool of its own threads so a burst of logins never stalls the
// event loop; results come back as futures.
class PasswordHasher
{
public:
    explicit PasswordHasher(int threads = 2, HashCost cost = HashCost::Interactive);
    ~PasswordHasher();

    [[nodiscard]] QFuture<QString> hash(QString password);
    // An empty hash verifies against a fixed decoy, so an unknown e-mail costs the same time.
    [[nodiscard]] QFuture<bool> verify(QString hash, QString password);

private:
    QThreadPool m_pool;
    QString m_decoy;
    HashCost m_cost;
};

} // namespace korvana::store
