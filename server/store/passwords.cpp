#include "passwords.h"

#include <QPromise>

#include <sodium.h>

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
        m_queues.clear();
    }
    m_pool.waitForDone();
}

bool PasswordHasher::enqueue(const QString &key, std::function<void()> work)
{
    QMutexLocker lock(&m_mutex);
    int &mine = m_perKey[key];
    if (m_total >= m_limits.total || mine >= m_limits.perKey) {
        if (mine == 0)
            m_perKey.remove(key);
        return false;
    }
    ++mine;
    ++m_total;
    m_queues[key].push_back([this, key, work = std::move(work)] {
        work();
        QMutexLocker done(&m_mutex);
        --m_total;
        if (--m_perKey[key] == 0)
            m_perKey.remove(key);
    });
    if (m_running < m_limits.threads) {
        ++m_running;
        m_pool.start([this] { drain(); });
    }
    return true;
}

// A worker takes the waiting work of the keys in turn, of keys not running elsewhere, until none
// is left; work of a key running on another thread is left to that thread.
void PasswordHasher::drain()
{
    QString key;
    for (;;) {
        std::function<void()> work;
        {
            QMutexLocker lock(&m_mutex);
            if (!key.isEmpty())
                m_runningPerKey.remove(key);
            std::erase_if(m_queues, [](const auto &entry) { return entry.second.empty(); });
            auto chosen = m_queues.end();
            auto it = m_queues.upper_bound(m_lastKey);
            for (std::size_t tried = 0; tried < m_queues.size(); ++tried, ++it) {
                if (it == m_queues.end())
                    it = m_queues.begin();
                if (!m_runningPerKey.contains(it->first)) {
                    chosen = it;
                    break;
                }
            }
            if (chosen == m_queues.end()) {
                --m_running;
                return;
            }
            it = chosen;
            key = it->first;
            work = std::move(it->second.front());
            it->second.pop_front();
            m_lastKey = key;
            m_runningPerKey.insert(key, 1);
        }
        work();
    }
}

std::optional<QFuture<QString>> PasswordHasher::hash(const QString &key, QString password)
{
    auto promise = std::make_shared<QPromise<QString>>();
    QFuture<QString> future = promise->future();
    const bool queued = enqueue(key, [promise, password = std::move(password), cost = m_cost] {
        promise->start();
        promise->addResult(hashPassword(password, cost));
        promise->finish();
    });
    return queued ? std::optional(future) : std::nullopt;
}

std::optional<QFuture<bool>> PasswordHasher::verify(const QString &key, QString hash,
                                                    QString password)
{
    const bool decoy = hash.isEmpty();
    auto promise = std::make_shared<QPromise<bool>>();
    QFuture<bool> future = promise->future();
    const bool queued = enqueue(key, [promise, hash = decoy ? m_decoy : std::move(hash),
                                      password = std::move(password), decoy] {
        promise->start();
        promise->addResult(verifyPassword(hash, password) && !decoy);
        promise->finish();
    });
    return queued ? std::optional(future) : std::nullopt;
}

} // namespace korvana::store
