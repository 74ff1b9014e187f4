#include "connectionguard.h"

#include "texts.h"

#include <QSslSocket>
#include <QTcpSocket>

namespace korvana::api {
namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 409:
        return "Conflict";
    case 413:
        return "Payload Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

} // namespace

QByteArray serialiseResponse(const ApiResponse &response, bool close)
{
    return responseHead(response, close) + response.body;
}

QByteArray responseHead(const ApiResponse &response, bool close)
{
    QByteArray out;
    out.reserve(160);
    out += "HTTP/1.1 ";
    out += QByteArray::number(response.status);
    out += ' ';
    out += reasonPhrase(response.status);
    out += "\r\nContent-Type: application/json\r\nContent-Length: ";
    out += QByteArray::number(response.body.size());
    out += "\r\n";
    for (const auto &[name, value] : response.headers) {
        out += name;
        out += ": ";
        out += value;
        out += "\r\n";
    }
    if (close)
        out += "Connection: close\r\n";
    out += "\r\n";
    return out;
}

ConnectionWatch::ConnectionWatch(QTcpSocket *socket, const GuardSettings &settings)
    : QObject(socket)
    , m_socket(socket)
    , m_scanner(settings.limits)
    , m_idleTimeoutMs(settings.idleTimeoutMs)
{
    setObjectName(QStringLiteral("korvana-connection-watch"));
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, &ConnectionWatch::onTimeout);
    connect(socket, &QTcpSocket::readyRead, this, &ConnectionWatch::onReadyRead);
    // Qt HttpServer drops its own connections to a socket it failed to parse; this one makes
    // sure the socket still goes away.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    restartIdleTimer();
}

ConnectionWatch *ConnectionWatch::of(QTcpSocket *socket)
{
    return socket->findChild<ConnectionWatch *>(QStringLiteral("korvana-connection-watch"),
                                                Qt::FindDirectChildrenOnly);
}

void ConnectionWatch::restartIdleTimer()
{
    m_idle.start(m_idleTimeoutMs);
}

void ConnectionWatch::onReadyRead()
{
    if (m_closing) {
        // Nothing more is read from a connection being closed; drop it before Qt parses it.
        m_socket->read(m_socket->bytesAvailable());
        return;
    }
    const bool wasIdle = !m_scanner.inRequest();
    const QByteArray chunk = m_socket->peek(m_socket->bytesAvailable());
    const auto verdict = m_scanner.feed(chunk);
    switch (verdict) {
    case RequestScanner::Verdict::Ok:
        break;
    case RequestScanner::Verdict::HeadTooLarge:
        return refuse(431, texts::headTooLarge());
    case RequestScanner::Verdict::BodyTooLarge:
        return refuse(413, texts::bodyTooLarge());
    case RequestScanner::Verdict::Malformed:
        return refuse(400, texts::malformedHttp());
    }
    const qsizetype done = m_scanner.completedCount();
    m_requests += m_scanner.takeCompleted();
    // Qt HttpServer 6.4 parses every request of a chunk into one request object, so requests
    // pipelined into one chunk cannot be told apart: the connection is closed after answering.
    if (done > 1) {
        m_closing = true;
        return;
    }
    if (m_scanner.takeExpectContinue() && m_pending.isEmpty())
        m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
    // A request gets the timeout from its first byte, so dripping bytes does not keep it open.
    if (wasIdle && m_scanner.inRequest())
        restartIdleTimer();
}

void ConnectionWatch::onTimeout()
{
    if (!m_pending.isEmpty()) {
        // Waiting on us, not on the client.
        restartIdleTimer();
        return;
    }
    m_closing = true;
    m_socket->abort();
}

void ConnectionWatch::refuse(int status, const QString &text)
{
    m_closing = true;
    m_refused = true;
    // Unread bytes are dropped so the HTTP server never buffers or parses them.
    m_socket->read(m_socket->bytesAvailable());
    if (!m_pending.isEmpty()) {
        // Answers still owed to earlier requests cannot be overtaken: just close.
        m_socket->abort();
        return;
    }
    m_socket->write(serialiseResponse(errorResponse(status, text), true));
    m_socket->disconnectFromHost();
}

int ConnectionWatch::beginResponse()
{
    const int id = m_nextId++;
    m_pending.append({id, false, false, {}});
    return id;
}

RequestScanner::Request ConnectionWatch::takeRequest()
{
    return m_requests.isEmpty() ? RequestScanner::Request{} : m_requests.takeFirst();
}

void ConnectionWatch::finishResponse(int id, const ApiResponse &response, bool close)
{
    for (Pending &p : m_pending) {
        if (p.id != id)
            continue;
        p.ready = true;
        p.close = close || m_closing;
        p.head = responseHead(response, p.close);
        p.body = response.body;
        break;
    }
    flush();
}

void ConnectionWatch::flush()
{
    bool close = false;
    while (!m_pending.isEmpty() && m_pending.front().ready) {
        const Pending p = m_pending.takeFirst();
        if (m_socket->state() == QAbstractSocket::ConnectedState) {
            m_socket->write(p.head);
            m_socket->write(p.body);
        }
        if (p.close) {
            close = true;
            break;
        }
    }
    if (close) {
        m_closing = true;
        m_pending.clear();
        m_socket->disconnectFromHost();
        return;
    }
    m_socket->flush();
    if (m_pending.isEmpty() && !m_scanner.inRequest())
        restartIdleTimer();
}

GuardedServer::GuardedServer(GuardSettings settings, QObject *parent)
    : QTcpServer(parent)
    , m_settings(std::move(settings))
{
}

void GuardedServer::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = m_settings.tls ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_live >= m_settings.maxConnections) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++m_live;
    connect(socket, &QObject::destroyed, this, [this] { --m_live; });
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Bounds what Qt keeps of a request in memory even if the scanner were wrong.
    socket->setReadBufferSize(m_settings.limits.maxHeadBytes + m_settings.limits.maxBodyBytes +
                              64 * 1024);
    new ConnectionWatch(socket, m_settings);
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        tls->setSslConfiguration(*m_settings.tls);
        // Qt HttpServer takes the socket from the pending queue once it is encrypted.
        connect(tls, &QSslSocket::encrypted, this, [this, tls] { addPendingConnection(tls); });
        connect(tls, &QSslSocket::sslErrors, tls, [tls] { tls->abort(); });
        connect(tls, &QAbstractSocket::errorOccurred, tls, [tls] {
            if (!tls->isEncrypted())
                tls->abort();
        });
        tls->startServerEncryption();
        return;
    }
    addPendingConnection(socket);
}

} // namespace korvana::api
