// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "listener.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <atomic>

namespace korvana::store {
namespace {
std::atomic<int> listenerCounter{0};
} // namespace

Listener::~Listener()
{
    if (m_name.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool Listener::open(const Location &location, const QStringList &channels)
{
    m_name = QStringLiteral("korvana-listener-%1").arg(listenerCounter.fetch_add(1));
    if (!Database::connect(m_db, location, m_name, m_error))
        return false;
    QSqlDriver *driver = m_db.driver();
    for (const QString &channel : channels)
        if (!driver->subscribeToNotification(channel)) {
            m_error = driver->lastError().text();
            return false;
        }
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString &channel, QSqlDriver::NotificationSource,
                   const QVariant &payload) { Q_EMIT notified(channel, payload.toString()); });
    return true;
}

} // namespace korvana::store
