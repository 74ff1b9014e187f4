// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "httplistener.h"

#include <QSslSocket>

#include <vector>

namespace korvana::http {
namespace {

constexpr qint64 ReadBufferBytes = 4 * 1024;
constexpr int KernelRecheckMs = 250;

} // namespace

HttpListener::HttpListener(const RequestHandler &handler, ListenerSettings settings,
                           QObject *parent)
    : QTcpServer(parent)
    , m_handler(handler)
    , m_settings(std::move(settings))
    , m_budget(
          m_settings.maxUnsentBytes,
          [](OutputBudget::Key key) {
              // The keys are the connections themselves.
              const_cast<HttpConnection *>(static_cast<const HttpConnection *>(key))->resume();
          },
          [this] {
              if (!m_kernelRecheck.isActive())
                  m_kernelRecheck.start();
          })
{
    m_kernelRecheck.setSingleShot(true);
    m_kernelRecheck.setInterval(KernelRecheckMs);
    connect(&m_kernelRecheck, &QTimer::timeout, this, [this] { m_budget.wakeKernelHeld(); });
    // Qt's default of 50 drops the connections of a burst of players (they retry after a second).
    setListenBacklogSize(1024);
}

void HttpListener::closeOne(const QList<HttpConnection *> &pool)
{
    std::vector<EvictionCandidate> states;
    states.reserve(size_t(pool.size()));
    for (const HttpConnection *c : pool)
        states.push_back(c->state());
    if (const auto chosen = chooseEviction(states))
        pool[*chosen]->abort();
}

// Both caps always make room; the pools are copied, closing changes them.
void HttpListener::makeRoom(const QHostAddress &peer)
{
    if (const auto own = m_byPeer.constFind(peer);
        own != m_byPeer.cend() && own->size() >= m_settings.maxConnectionsPerAddress)
        closeOne(QList(*own));
    if (m_connections.size() < m_settings.maxConnections)
        return;
    const QList<HttpConnection *> *largest = nullptr;
    for (const auto &pool : std::as_const(m_byPeer))
        if (!largest || pool.size() > largest->size())
            largest = &pool;
    if (largest)
        closeOne(QList(*largest));
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
    if (!socket->setSocketDescriptor(descriptor) || m_settings.maxConnections <= 0 ||
        m_settings.maxConnectionsPerAddress <= 0) {
        socket->abort();
        delete socket;
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    makeRoom(peer);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Bounds what is kept of a client's unread requests; the rest waits in the kernel. The
    // parser keeps what it needs of a longer head or body as it reads on.
    socket->setReadBufferSize(ReadBufferBytes);
    auto *connection =
        new HttpConnection(socket, m_handler, m_settings.connection, m_deadlines, m_budget, this);
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

} // namespace korvana::http
