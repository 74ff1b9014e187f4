// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "httpconnection.h"

#include <QHash>
#include <QSslConfiguration>
#include <QTcpServer>

#include <optional>

namespace korvana::http {

struct ListenerSettings
{
    ConnectionSettings connection;
    int maxConnections = 8192;
    int maxConnectionsPerAddress = 256;
    qint64 maxUnsentBytes = 16 * 1024 * 1024; // over every connection together
    std::optional<QSslConfiguration> tls;
};

// The listening socket: accepts connections (with TLS when configured) and gives each an
// HttpConnection. At the cap of one client address, a connection of that address makes room for
// the new one; at the server's cap, one of the address holding the most connections. The one
// chosen has kept the server waiting longest (chooseEviction), so a new address is always
// served and slow connections cannot lock out their neighbours behind one address.
class HttpListener : public QTcpServer
{
    Q_OBJECT

public:
    HttpListener(const RequestHandler &handler, ListenerSettings settings,
                 QObject *parent = nullptr);

    [[nodiscard]] int connectionCount() const { return int(m_connections.size()); }
    // Answers written and not yet taken by the kernel, over every connection.
    [[nodiscard]] qint64 unsentBytes() const { return m_budget.total(); }
    // Stops listening and closes every connection after writing what it can of its answers.
    void closeAll();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void makeRoom(const QHostAddress &peer);
    static void closeOne(const QList<HttpConnection *> &pool);
    void forget(HttpConnection *connection, const QHostAddress &peer);

    const RequestHandler &m_handler;
    ListenerSettings m_settings;
    Deadlines m_deadlines; // the idle limits of every connection
    OutputBudget m_budget;
    QTimer m_kernelRecheck; // wakes the connections waiting for their clients to read
    QList<HttpConnection *> m_connections;
    QHash<QHostAddress, QList<HttpConnection *>> m_byPeer;
};

} // namespace korvana::http
