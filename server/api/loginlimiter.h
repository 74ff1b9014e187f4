// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace korvana::api {

// Counts failed logins per key (an e-mail, or a client address) in a sliding window. An attempt
// counts from the moment it starts, so concurrent attempts cannot outrun the limit: while
// failures and attempts in progress reach the limit, further ones are refused without hashing.
class LoginLimiter
{
public:
    LoginLimiter(int maxFailures, qint64 windowMs)
        : m_maxFailures(maxFailures)
        , m_windowMs(windowMs)
    {
    }

    // Seconds to wait before trying again, or none: then the attempt is counted until it ends
    // with failed(), succeeded() or abandoned().
    [[nodiscard]] std::optional<qint64> begin(const QString &key, qint64 nowMs);
    // The same answer as begin(), without starting an attempt.
    [[nodiscard]] std::optional<qint64> retryAfter(const QString &key, qint64 nowMs);
    void failed(const QString &key, qint64 nowMs);
    // With `forgetFailures` the key starts afresh (a right password for an e-mail).
    void succeeded(const QString &key, bool forgetFailures);
    // The attempt never reached the password check.
    void abandoned(const QString &key);

private:
    struct Entry
    {
        QList<qint64> failures; // oldest first, at most maxFailures
        int inProgress = 0;
    };
    void prune(qint64 nowMs);
    void endAttempt(const QString &key);

    int m_maxFailures;
    qint64 m_windowMs;
    QHash<QString, Entry> m_entries;
    qint64 m_lastPruneMs = 0;
};

} // namespace korvana::api
