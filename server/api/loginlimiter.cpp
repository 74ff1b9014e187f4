#include "loginlimiter.h"

#include <algorithm>

namespace korvana::api {

std::optional<qint64> LoginLimiter::retryAfterSeconds(const QString &email, qint64 nowMs)
{
    prune(nowMs);
    auto it = m_failures.find(email);
    if (it == m_failures.end())
        return std::nullopt;
    QList<qint64> &times = *it;
    times.removeIf([&](qint64 t) { return t <= nowMs - m_windowMs; });
    if (times.size() < m_maxFailures)
        return std::nullopt;
    const qint64 freeAt = times.at(times.size() - m_maxFailures) + m_windowMs;
    return std::max<qint64>(1, (freeAt - nowMs + 999) / 1000);
}

void LoginLimiter::recordFailure(const QString &email, qint64 nowMs)
{
    QList<qint64> &times = m_failures[email];
    times.append(nowMs);
    // Only the newest failures can matter.
    if (times.size() > m_maxFailures)
        times.remove(0, times.size() - m_maxFailures);
}

void LoginLimiter::recordSuccess(const QString &email)
{
    m_failures.remove(email);
}

void LoginLimiter::prune(qint64 nowMs)
{
    // Forget e-mails whose failures all left the window, at most once per window.
    if (nowMs - m_lastPruneMs < m_windowMs)
        return;
    m_lastPruneMs = nowMs;
    m_failures.removeIf([&](const auto &entry) {
        return entry.value().isEmpty() || entry.value().back() <= nowMs - m_windowMs;
    });
}

} // namespace korvana::api
