// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "servinglock.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace korvana::store {

std::expected<ServingLock, QString> ServingLock::take(const QString &databasePath)
{
    const QFileInfo info(databasePath);
    if (!QDir().mkpath(info.absolutePath()))
        return std::unexpected(QStringLiteral("cannot create folder %1").arg(info.absolutePath()));
    const QByteArray path = QFile::encodeName(info.absoluteFilePath() + QStringLiteral(".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::unexpected(
            QStringLiteral("cannot open %1: %2")
                .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(errno))));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        char pid[32] = {};
        [[maybe_unused]] const auto got = ::pread(fd, pid, sizeof pid - 1, 0);
        ::close(fd);
        if (error != EWOULDBLOCK)
            return std::unexpected(
                QStringLiteral("cannot lock %1: %2")
                    .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error))));
        const QString holder = QString::fromLatin1(pid).trimmed();
        return std::unexpected(
            QStringLiteral("database %1 is already served by another korvana-server%2; "
                           "one server per database")
                .arg(info.absoluteFilePath(),
                     holder.isEmpty() ? QString() : QStringLiteral(" (pid %1)").arg(holder)));
    }
    // Who holds it, for the message a second server prints.
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    [[maybe_unused]] const bool noted =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) > 0;
    return ServingLock(fd);
}

ServingLock::ServingLock(ServingLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

ServingLock &ServingLock::operator=(ServingLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

ServingLock::~ServingLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace korvana::store
