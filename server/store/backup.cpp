// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "backup.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace korvana::store {
namespace {

bool flushToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

std::expected<void, QString> copyInto(const QString &databasePath, const QString &partial)
{
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("korvana-backup"));
    db.setDatabaseName(databasePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return std::unexpected(db.lastError().text());
    QSqlQuery q(db);
    q.prepare(QStringLiteral("VACUUM INTO ?"));
    q.addBindValue(partial);
    if (!q.exec())
        return std::unexpected(q.lastError().text());
    return {};
}

} // namespace

std::expected<void, QString> backUpDatabase(const QString &databasePath, const QString &target)
{
    if (!QFileInfo(databasePath).isFile())
        return std::unexpected(QStringLiteral("no database at %1").arg(databasePath));
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial); // left by an interrupted backup
    auto copied = copyInto(databasePath, partial);
    QSqlDatabase::removeDatabase(QStringLiteral("korvana-backup"));
    if (copied && !flushToDisk(partial))
        copied = std::unexpected(QStringLiteral("cannot flush %1 to disk").arg(partial));
    if (copied && std::rename(QFile::encodeName(partial).constData(),
                              QFile::encodeName(target).constData()) != 0)
        copied = std::unexpected(QStringLiteral("cannot rename %1 to %2").arg(partial, target));
    if (!copied)
        QFile::remove(partial);
    return copied;
}

} // namespace korvana::store
