// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "database.h"

#include "diagnostics.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace korvana::store {
namespace {

std::atomic<int> connectionCounter{0};

const char *const schema[] = {
    "CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS users (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " username TEXT NOT NULL, username_key TEXT NOT NULL UNIQUE, email TEXT NOT NULL UNIQUE,"
    " password_hash TEXT NOT NULL, created_ms INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS tokens (hash BLOB PRIMARY KEY,"
    " user_id INTEGER NOT NULL REFERENCES users(id), expires_ms INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS scores (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " user_id INTEGER NOT NULL REFERENCES users(id), room_id TEXT NOT NULL,"
    " score INTEGER NOT NULL, position INTEGER NOT NULL, players_count INTEGER NOT NULL,"
    " UNIQUE(user_id, room_id))",
    "CREATE TABLE IF NOT EXISTS games (room_id TEXT PRIMARY KEY, status TEXT NOT NULL,"
    " data BLOB NOT NULL, updated_ms INTEGER NOT NULL)",
    // Finished games leave memory: their seats are found by session id here.
    "CREATE TABLE IF NOT EXISTS sessions (session_id TEXT PRIMARY KEY,"
    " room_id TEXT NOT NULL REFERENCES games(room_id) ON DELETE CASCADE)",
};

} // namespace

Database::~Database()
{
    close();
}

bool Database::open(const QString &path)
{
    close();
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        m_error = QStringLiteral("cannot create folder %1").arg(info.absolutePath());
        return false;
    }
    m_name = QStringLiteral("korvana-store-%1").arg(connectionCounter.fetch_add(1));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        m_error = m_db.lastError().text();
        close();
        return false;
    }
    QSqlQuery q(m_db);
    // NORMAL keeps every committed transaction across a killed process; only a power cut
    // may lose the last ones.
    for (const char *pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            m_error = q.lastError().text();
            close();
            return false;
        }
    }
    for (const char *statement : schema) {
        if (!q.exec(QString::fromLatin1(statement))) {
            m_error = q.lastError().text();
            close();
            return false;
        }
    }
    m_lastWriteOk = true;
    return true;
}

void Database::close()
{
    if (m_name.isEmpty())
        return;
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

bool Database::isHealthy()
{
    if (!m_db.isOpen() || !m_lastWriteOk)
        return false;
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT count(*) FROM meta")) && q.next();
}

void Database::noteWrite(bool ok, const QString &what)
{
    if (!ok)
        diag(QStringLiteral("❌ Zapis do bazy nie powiódł się (%1): %2")
                 .arg(what, m_db.lastError().text()));
    m_lastWriteOk = ok;
}

std::optional<qint64> Database::meta(const QString &key)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT value FROM meta WHERE key = ?"));
    q.addBindValue(key);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

bool Database::setMeta(const QString &key, qint64 value)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT INTO meta(key, value) VALUES(?, ?)"
                             " ON CONFLICT(key) DO UPDATE SET value = excluded.value"));
    q.addBindValue(key);
    q.addBindValue(value);
    const bool ok = q.exec();
    noteWrite(ok, key);
    return ok;
}

bool Database::begin()
{
    if (!m_db.isOpen())
        return false;
    if (m_depth > 0) {
        ++m_depth;
        return true;
    }
    if (!m_db.transaction())
        return false;
    m_depth = 1;
    m_rollbackOnly = false;
    return true;
}

bool Database::commit()
{
    if (m_depth > 1) {
        --m_depth;
        return !m_rollbackOnly;
    }
    m_depth = 0;
    if (m_rollbackOnly) {
        m_db.rollback();
        return false;
    }
    const bool ok = m_db.commit();
    noteWrite(ok, QStringLiteral("commit"));
    if (!ok)
        m_db.rollback();
    return ok;
}

void Database::rollback()
{
    if (m_depth > 1) {
        --m_depth;
        m_rollbackOnly = true;
        return;
    }
    m_depth = 0;
    m_db.rollback();
}

} // namespace korvana::store
