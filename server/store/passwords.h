// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
// The work in front of them is bounded and fair. Each key (a client address) may have a few
// hashes waiting or running, only one running, and a share of the whole that shrinks as more
// keys wait, so a few keys can never hold every place. A key with nothing in flight is let in
// even when the whole is full: a key holding more than one, or served more recently, gives up
// its newest waiting hash. Workers serve the key served longest ago first (a key remembers its
// last turn for a while after leaving), so every key takes its turn and a key that has not been
// served lately goes before those that keep coming back.
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

    // None when the hasher, or the key's share of it, is full. The result is none when the
    // work gave its place to a newcomer's before it started.
    [[nodiscard]] std::optional<QFuture<std::optional<QString>>> hash(const QString &key,
                                                                      QString password);
    // An empty hash verifies against a fixed decoy, so an unknown e-mail costs the same time.
    [[nodiscard]] std::optional<QFuture<std::optional<bool>>>
    verify(const QString &key, QString hash, QString password);

private:
    struct Key
    {
        std::deque<std::function<void(bool run)>> waiting;
        int inFlight = 0; // waiting or running
        bool running = false;
        quint64 servedAt = 0; // turn of the last start; 0 if never served
        quint64 arrivedAt = 0;
    };
    bool enqueue(const QString &key, std::function<void(bool run)> work);
    void remember(const QString &name, quint64 servedAt);
    void drain();

    Limits m_limits;
    HashCost m_cost;
    QString m_decoy;
    QThreadPool m_pool;
    QMutex m_mutex;                       // guards everything below
    std::map<QString, Key> m_keys;        // keys with work in flight
    QHash<QString, quint64> m_lastServed; // the last turn of keys not in flight, recent ones
    quint64 m_turns = 0;
    int m_total = 0;   // waiting or running
    int m_running = 0; // workers
};

} // namespace korvana::store
