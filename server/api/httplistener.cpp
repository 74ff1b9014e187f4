#include "httplistener.h"

#include <QSslSocket>

namespace korvana::api {

HttpListener::HttpListener(const Router &router, ListenerSettings settings, QObject *parent)
    : QTcpServer(parent)
    , m_router(router)
    , m_settings(std::move(settings))
{
    // Qt's default of 50 drops the connections of a burst of players (they retry after a second).
    setListenBacklogSize(1024);
}

bool HttpListener::closeLongestIdle(const QList<HttpConnection *> &connections)
{
    HttpConnection *oldest = nullptr;
    for (HttpConnection *c : connections)
        if (!c->isBusy() && (!oldest || c->idleMs() > oldest->idleMs()))
            oldest = c;
    if (!oldest)
        return false;
    oldest->abort();
    return true;
}

// Makes room under both caps, or refuses. The lists are copied: closing changes them.
bool HttpListener::admit(const QHostAddress &peer)
{
    if (m_byPeer.value(peer).size() >= m_settings.maxConnectionsPerAddress &&
        !closeLongestIdle(m_byPeer.value(peer)))
        return false;
    return m_connections.size() < m_settings.maxConnections || closeLongestIdle(m_connections);
}

void HttpListener::forget(HttpConnection *connection, const QHostAddress &peer)
{
    m_connections.removeOne(connection);
    auto it = m_byPeer.find(peer);
    if (it != m_byPeer.end() && it->removeOne(connection) && it->isEmpty())
        m_byPeer.erase(it);
}

void HttpListener::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = m_settings.tls ? new QSslSocket : new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor) || !admit(socket->peerAddress())) {
        socket->abort();
        delete socket;
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Bounds what is kept of a client's unread requests; the rest waits in the kernel.
    const RequestLimits &limits = m_settings.connection.limits;
    socket->setReadBufferSize(limits.maxHeadBytes + limits.maxBodyBytes + 64 * 1024);
    auto *connection =
        new HttpConnection(socket, m_router, m_settings.connection, m_deadlines, this);
    m_connections.append(connection);
    m_byPeer[peer].append(connection);
    connect(connection, &HttpConnection::closed, this,
            [this, peer](HttpConnection *c) { forget(c, peer); });
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        tls->setSslConfiguration(*m_settings.tls);
        connect(tls, &QSslSocket::sslErrors, connection, &HttpConnection::abort);
        connect(tls, &QAbstractSocket::errorOccurred, connection, [connection, tls] {
            if (!tls->isEncrypted())
                connection->abort();
        });
        tls->startServerEncryption();
    }
}

void HttpListener::closeAll()
{
    close();
    for (HttpConnection *c : QList(m_connections))
        c->finishAndClose();
}

} // namespace korvana::api
