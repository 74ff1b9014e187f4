#pragma once

#include "httpconnection.h"

#include <QHash>
#include <QSslConfiguration>
#include <QTcpServer>

#include <optional>

namespace korvana::api {

struct ListenerSettings
{
    ConnectionSettings connection;
    int maxConnections = 8192;
    int maxConnectionsPerAddress = 256;
    std::optional<QSslConfiguration> tls;
};

// The listening socket: accepts connections (with TLS when configured) and gives each an
// HttpConnection. At either cap, the connections of the server or of one client address, the
// longest-idle connection (never one with a request in progress) makes room for the new one, so
// one client holding many idle connections cannot lock the others out.
class HttpListener : public QTcpServer
{
    Q_OBJECT

public:
    HttpListener(const Router &router, ListenerSettings settings, QObject *parent = nullptr);

    [[nodiscard]] int connectionCount() const { return int(m_connections.size()); }
    // Stops listening and closes every connection after writing what it can of its answers.
    void closeAll();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    bool admit(const QHostAddress &peer);
    static bool closeLongestIdle(const QList<HttpConnection *> &connections);
    void forget(HttpConnection *connection, const QHostAddress &peer);

    const Router &m_router;
    ListenerSettings m_settings;
    Deadlines m_deadlines; // the idle limits of every connection
    QList<HttpConnection *> m_connections;
    QHash<QHostAddress, QList<HttpConnection *>> m_byPeer;
};

} // namespace korvana::api
