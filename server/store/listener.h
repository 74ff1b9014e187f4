// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "database.h"

#include <QObject>
#include <QSqlDatabase>
#include <QStringList>

namespace korvana::store {

// A connection of its own that only listens (PostgreSQL LISTEN): the notifications other
// servers send when their transactions commit. The store's own connection runs queries and
// would leave them unread while it does.
class Listener : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~Listener() override;

    bool open(const Location &location, const QStringList &channels);
    [[nodiscard]] QString errorString() const { return m_error; }

Q_SIGNALS:
    void notified(const QString &channel, const QString &payload);

private:
    QSqlDatabase m_db;
    QString m_name;
    QString m_error;
};

} // namespace korvana::store
