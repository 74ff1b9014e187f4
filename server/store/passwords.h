#pragma once

#include <QFuture>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <map>
#include <optional>

namespace korvana::store {

// Argon2id (libsodium's crypto_pwhash_str, interactive limits). Slow on purpose: call these
// off the event loop, through PasswordHasher.
// Minimal cost is for tests only (--insecure-fast-hash): it makes hashing almost free.
enum class HashCost { Interactive, Minimal };
[[nodiscard]] QString hashPassword(const QString &password, HashCost cost = HashCost::Interactive);
[[nodiscard]] bool verifyPassword(const QString &hash, const QString &password);

// Runs hashing on a few threads of its own so a burst of logins never stalls the event loop.
// The work in front of them is bounded and fair: each key (a client address) may have a few
// hashes waiting or running but only one running, and the keys take turns, so one client's
// burst neither grows memory nor keeps the others waiting for a thread.
struct HasherLimits
{
    int threads = 2;
    int perKey = 4; // waiting or running
    int total = 16; // a few hash times of waiting at most
};

class PasswordHasher
{
public:
    using Limits = HasherLimits;

    explicit PasswordHasher(Limits limits = {}, HashCost cost = HashCost::Interactive);
    ~PasswordHasher();

    // None when the hasher, or the key's share of it, is full.
    [[nodiscard]] std::optional<QFuture<QString>> hash(const QString &key, QString password);
    // An empty hash verifies against a fixed decoy, so an unknown e-mail costs the same time.
    [[nodiscard]] std::optional<QFuture<bool>> verify(const QString &key, QString hash,
                                                      QString password);

private:
    bool enqueue(const QString &key, std::function<void()> work);
    void drain();

    Limits m_limits;
    HashCost m_cost;
    QString m_decoy;
    QThreadPool m_pool;
    QMutex m_mutex; // guards everything below
    std::map<QString, std::deque<std::function<void()>>> m_queues;
    QHash<QString, int> m_perKey; // waiting or running
    QHash<QString, int> m_runningPerKey;
    QString m_lastKey; // the keys take turns in order, starting after this one
    int m_total = 0;   // waiting or running
    int m_running = 0; // workers
};

} // namespace korvana::store
