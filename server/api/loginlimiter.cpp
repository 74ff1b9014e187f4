// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "loginlimiter.h"

#include <algorithm>

namespace korvana::api {

std::optional<qint64> LoginLimiter::begin(const QString &key, qint64 nowMs)
{
    const auto wait = retryAfter(key, nowMs);
    if (!wait)
        ++m_entries[key].inProgress;
    return wait;
}

std::optional<qint64> LoginLimiter::retryAfter(const QString &key, qint64 nowMs)
{
    prune(nowMs);
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return std::nullopt;
    Entry &entry = *it;
    entry.failures.removeIf([&](qint64 t) { return t <= nowMs - m_windowMs; });
    const qsizetype excess = entry.failures.size() + entry.inProgress - m_maxFailures;
    if (excess < 0)
        return std::nullopt;
    // A place frees when enough failures leave the window; attempts in progress end soon.
    if (excess >= entry.failures.size())
        return 1;
    const qint64 freeAt = entry.failures.at(excess) + m_windowMs;
    return std::max<qint64>(1, (freeAt - nowMs + 999) / 1000);
}

void LoginLimiter::endAttempt(const QString &key)
{
    const auto it = m_entries.find(key);
    if (it != m_entries.end() && it->inProgress > 0)
        --it->inProgress;
}

void LoginLimiter::failed(const QString &key, qint64 nowMs)
{
    endAttempt(key);
    QList<qint64> &times = m_entries[key].failures;
    times.append(nowMs);
    // Only the newest failures can matter.
    if (times.size() > m_maxFailures)
        times.remove(0, times.size() - m_maxFailures);
}

void LoginLimiter::succeeded(const QString &key, bool forgetFailures)
{
    endAttempt(key);
    if (forgetFailures)
        m_entries[key].failures.clear();
}

void LoginLimiter::abandoned(const QString &key)
{
    endAttempt(key);
}

void LoginLimiter::prune(qint64 nowMs)
{
    // Forget keys with nothing in progress and no failure left in the window, at most once per
    // window.
    if (nowMs - m_lastPruneMs < m_windowMs)
        return;
    m_lastPruneMs = nowMs;
    m_entries.removeIf([&](const auto &entry) {
        const Entry &e = entry.value();
        return e.inProgress == 0 &&
               (e.failures.isEmpty() || e.failures.back() <= nowMs - m_windowMs);
    });
}

} // namespace korvana::api
