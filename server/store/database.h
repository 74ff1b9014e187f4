// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace korvana::store {

// One SQLite connection (WAL), used on the thread that opened it. Creates the schema on open.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens or creates the file (and its folder); false with errorString() on failure.
    bool open(const QString &path);
    void close();
    [[nodiscard]] bool isOpen() const { return m_db.isOpen(); }
    [[nodiscard]] QString errorString() const { return m_error; }
    [[nodiscard]] QSqlDatabase &connection() { return m_db; }

    // A trivial query still answers and the last write did not fail.
    [[nodiscard]] bool isHealthy();
    // Writers report here so that the health probe tells a failing store.
    void noteWrite(bool ok, const QString &what);

    [[nodiscard]] std::optional<qint64> meta(const QString &key);
    bool setMeta(const QString &key, qint64 value);

    bool begin();
    bool commit();
    void rollback();

private:
    QSqlDatabase m_db;
    QString m_name;
    QString m_error;
    bool m_lastWriteOk = true;
    int m_depth = 0;             // nested transactions join the outermost one
    bool m_rollbackOnly = false; // an inner one failed: the outer one must not commit
};

// Rolls back unless committed.
class Transaction
{
public:
    explicit Transaction(Database &db)
        : m_db(db)
        , m_open(db.begin())
    {
    }
    ~Transaction()
    {
        if (m_open)
            m_db.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    [[nodiscard]] bool isOpen() const { return m_open; }
    bool commit()
    {
        if (!m_open)
            return false;
        m_open = false;
        return m_db.commit();
    }

private:
    Database &m_db;
    bool m_open;
};

} // namespace korvana::store
