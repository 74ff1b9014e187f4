// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <expected>

namespace korvana::store {

// Makes sure one korvana-server at a time serves a database: an exclusive lock on the file
// "<database>.lock" beside it, held while this object lives. The kernel lets go of it when the
// process ends, however it ends, so a killed server never leaves a stale lock behind.
class ServingLock
{
public:
    // The lock, or why not (held by another process: it names that process).
    [[nodiscard]] static std::expected<ServingLock, QString> take(const QString &databasePath);

    ServingLock(ServingLock &&other) noexcept;
    ServingLock &operator=(ServingLock &&other) noexcept;
    ServingLock(const ServingLock &) = delete;
    ServingLock &operator=(const ServingLock &) = delete;
    ~ServingLock();

private:
    explicit ServingLock(int fd)
        : m_fd(fd)
    {
    }
    int m_fd = -1;
};

} // namespace korvana::store
