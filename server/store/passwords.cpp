// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "passwords.h"

#include <QPromise>

#include <sodium.h>

#include <algorithm>
#include <memory>

namespace korvana::store {

QString hashPassword(const QString &password, HashCost cost)
{
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          cost == HashCost::Minimal ? crypto_pwhash_OPSLIMIT_MIN
                                                    : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          cost == HashCost::Minimal ? crypto_pwhash_MEMLIMIT_MIN
                                                    : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString &hash, const QString &password)
{
    const QByteArray h = hash.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return !h.isEmpty() &&
           crypto_pwhash_str_verify(h.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

PasswordHasher::PasswordHasher(Limits limits, HashCost cost)
    : m_limits(limits)
    , m_cost(cost)
{
    if (sodium_init() < 0)
        qFatal("libsodium cannot be initialised");
    m_pool.setMaxThreadCount(limits.threads);
    m_decoy = hashPassword(QStringLiteral("decoy password that nobody has"), cost);
}

PasswordHasher::~PasswordHasher()
{
    {
        // Work not started is dropped: its futures are cancelled.
        QMutexLocker lock(&m_mutex);
        for (auto &[name, key] : m_keys)
            key.waiting.clear();
    }
    m_pool.waitForDone();
}

bool PasswordHasher::enqueue(const QString &name, std::function<void(bool)> work)
{
    std::function<void(bool)> evicted;
    QMutexLocker lock(&m_mutex);
    const bool newcomer = !m_keys.contains(name);
    // A key that comes back keeps its last turn: leaving the queue empty for a moment does not
    // put it in front of those served less.
    const quint64 lastServed = newcomer ? m_lastServed.value(name) : m_keys[name].servedAt;
    // A share of the whole for each key in flight, this one included, and one more for the
    // next newcomer.
    const int keys = int(m_keys.size()) + (newcomer ? 1 : 0);
    const int share = std::clamp(m_limits.total / (keys + 1), 1, m_limits.perKey);
    const int mine = newcomer ? 0 : m_keys[name].inFlight;
    if (mine >= share)
        return false;
    if (m_total >= m_limits.total) {
        if (!newcomer)
            return false;
        // The place comes from a key holding more than one, or served more recently than this
        // one: the most holding, then the most recently served.
        auto victim = m_keys.end();
        for (auto it = m_keys.begin(); it != m_keys.end(); ++it) {
            const Key &k = it->second;
            if (k.waiting.empty() || (k.inFlight < 2 && k.servedAt <= lastServed))
                continue;
            if (victim == m_keys.end() ||
                std::pair(k.inFlight, k.servedAt) >
                    std::pair(victim->second.inFlight, victim->second.servedAt))
                victim = it;
        }
        if (victim == m_keys.end())
            return false; // as many keys in flight as places, each served less: the load is real
        evicted = std::move(victim->second.waiting.back());
        victim->second.waiting.pop_back();
        --victim->second.inFlight;
        --m_total;
    }
    Key &key = m_keys[name];
    if (newcomer) {
        key.arrivedAt = ++m_turns;
        key.servedAt = lastServed;
        m_lastServed.remove(name);
    }
    key.waiting.push_back(std::move(work));
    ++key.inFlight;
    ++m_total;
    if (m_running < m_limits.threads) {
        ++m_running;
        m_pool.start([this] { drain(); });
    }
    lock.unlock();
    if (evicted)
        evicted(false);
    return true;
}

void PasswordHasher::remember(const QString &name, quint64 servedAt)
{
    // Turns long past tell nothing any more; the memory stays bounded.
    constexpr quint64 Remembered = 4096;
    if (m_lastServed.size() >= qsizetype(Remembered))
        m_lastServed.removeIf(
            [&](const auto &entry) { return entry.value() + Remembered < m_turns; });
    if (m_lastServed.size() < qsizetype(Remembered))
        m_lastServed.insert(name, servedAt);
}

// A worker takes waiting work until none is left, each time of the key served longest ago that
// is not running elsewhere.
void PasswordHasher::drain()
{
    QString name;
    for (;;) {
        std::function<void(bool)> work;
        {
            QMutexLocker lock(&m_mutex);
            if (!name.isEmpty()) {
                const auto done = m_keys.find(name);
                done->second.running = false;
                --m_total;
                if (--done->second.inFlight == 0) {
                    remember(name, done->second.servedAt);
                    m_keys.erase(done);
                }
            }
            auto chosen = m_keys.end();
            for (auto it = m_keys.begin(); it != m_keys.end(); ++it) {
                const Key &k = it->second;
                if (k.running || k.waiting.empty())
                    continue;
                if (chosen == m_keys.end() ||
                    std::pair(k.servedAt, k.arrivedAt) <
                        std::pair(chosen->second.servedAt, chosen->second.arrivedAt))
                    chosen = it;
            }
            if (chosen == m_keys.end()) {
                --m_running;
                return;
            }
            name = chosen->first;
            Key &key = chosen->second;
            work = std::move(key.waiting.front());
            key.waiting.pop_front();
            key.running = true;
            key.servedAt = ++m_turns;
        }
        work(true);
    }
}

namespace {

// The job of a promise: run(true) does the work, run(false) answers that it gave up its place.
template <typename T, typename Work>
auto job(std::shared_ptr<QPromise<std::optional<T>>> promise, Work work)
{
    return [promise = std::move(promise), work = std::move(work)](bool run) {
        promise->start();
        promise->addResult(run ? std::optional<T>(work()) : std::nullopt);
        promise->finish();
    };
}

} // namespace

std::optional<QFuture<std::optional<QString>>> PasswordHasher::hash(const QString &key,
                                                                    QString password)
{
    auto promise = std::make_shared<QPromise<std::optional<QString>>>();
    auto future = promise->future();
    const bool queued =
        enqueue(key, job<QString>(promise, [password = std::move(password), cost = m_cost] {
                    return hashPassword(password, cost);
                }));
    return queued ? std::optional(future) : std::nullopt;
}

std::optional<QFuture<std::optional<bool>>> PasswordHasher::verify(const QString &key, QString hash,
                                                                   QString password)
{
    const bool decoy = hash.isEmpty();
    auto promise = std::make_shared<QPromise<std::optional<bool>>>();
    auto future = promise->future();
    const bool queued = enqueue(key, job<bool>(promise, [hash = decoy ? m_decoy : std::move(hash),
                                                         password = std::move(password), decoy] {
                                    return verifyPassword(hash, password) && !decoy;
                                }));
    return queued ? std::optional(future) : std::nullopt;
}

} // namespace korvana::store
