#include "passwords.h"

#include <QPromise>

#include <sodium.h>

#include <memory>

namespace korvana::store {
namespace {

template <typename T, typename F> QFuture<T> runOn(QThreadPool &pool, F work)
{
    auto promise = std::make_shared<QPromise<T>>();
    QFuture<T> future = promise->future();
    promise->start();
    pool.start([promise, work = std::move(work)]() mutable {
        promise->addResult(work());
        promise->finish();
    });
    return future;
}

} // namespace

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

PasswordHasher::PasswordHasher(int threads, HashCost cost)
    : m_cost(cost)
{
    if (sodium_init() < 0)
        qFatal("libsodium cannot be initialised");
    m_pool.setMaxThreadCount(threads);
    m_decoy = hashPassword(QStringLiteral("decoy password that nobody has"), cost);
}

PasswordHasher::~PasswordHasher()
{
    m_pool.waitForDone();
}

QFuture<QString> PasswordHasher::hash(QString password)
{
    return runOn<QString>(m_pool, [password = std::move(password), cost = m_cost] {
        return hashPassword(password, cost);
    });
}

QFuture<bool> PasswordHasher::verify(QString hash, QString password)
{
    const bool decoy = hash.isEmpty();
    return runOn<bool>(m_pool,
                       [hash = decoy ? m_decoy : std::move(hash), password = std::move(password),
                        decoy] { return verifyPassword(hash, password) && !decoy; });
}

} // namespace korvana::store
