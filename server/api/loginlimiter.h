#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace korvana::api {

// Counts failed logins per e-mail in a sliding window; past the limit, logins for that
// e-mail are refused without hashing until the oldest failure leaves the window.
class LoginLimiter
{
public:
    explicit LoginLimiter(int maxFailures = 10, qint64 windowMs = 60'000)
        : m_maxFailures(maxFailures)
        , m_windowMs(windowMs)
    {
    }

    // Seconds to wait before trying again, or none when a try is allowed now.
    [[nodiscard]] std::optional<qint64> retryAfterSeconds(const QString &email, qint64 nowMs);
    void recordFailure(const QString &email, qint64 nowMs);
    void recordSuccess(const QString &email);

private:
    void prune(qint64 nowMs);

    int m_maxFailures;
    qint64 m_windowMs;
    QHash<QString, QList<qint64>> m_failures;
    qint64 m_lastPruneMs = 0;
};

} // namespace korvana::api
