#include "httpconnection.h"

#include "router.h"
#include "texts.h"

#include <QPointer>
#include <QSslSocket>
#include <QTcpSocket>
#include <QUrl>

namespace korvana::api {
namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 304:
        return "Not Modified";
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

ApiRequest::Method methodOf(const QByteArray &method)
{
    if (method == "GET")
        return ApiRequest::Method::Get;
    if (method == "POST")
        return ApiRequest::Method::Post;
    return ApiRequest::Method::Other;
}

// Requests read from one chunk of a socket at most: the rest waits in the socket's buffer.
constexpr qint64 ReadChunkBytes = 64 * 1024;

} // namespace

QByteArray responseHead(const ApiResponse &response, bool close)
{
    QByteArray out;
    out.reserve(160);
    out += "HTTP/1.1 ";
    out += QByteArray::number(response.status);
    out += ' ';
    out += reasonPhrase(response.status);
    out += "\r\n";
    if (response.status != 304) {
        out += "Content-Type: application/json\r\nContent-Length: ";
        out += QByteArray::number(response.body.size());
        out += "\r\n";
    }
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

HttpConnection::HttpConnection(QTcpSocket *socket, const Router &router,
                               const ConnectionSettings &settings, Deadlines &deadlines,
                               QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_router(router)
    , m_settings(settings)
    , m_peer(socket->peerAddress())
    , m_parser(settings.limits)
    , m_deadlines(deadlines)
{
    socket->setParent(this);
    m_stalled.setSingleShot(true);
    connect(&m_stalled, &QTimer::timeout, this, &HttpConnection::abort);
    connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::readRequests);
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        if (!isStalled()) {
            m_stalled.stop();
            readRequests();
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, &HttpConnection::abort);
    // The idle limit covers a TLS handshake too.
    becameIdle();
}

bool HttpConnection::isBusy() const
{
    return !m_answers.isEmpty() || m_parser.inRequest();
}

bool HttpConnection::isStalled() const
{
    return m_socket->bytesToWrite() > m_settings.maxUnsentBytes;
}

void HttpConnection::startIdleLimit()
{
    m_deadlines.cancel(m_idle);
    m_idle = m_deadlines.add(m_settings.idleTimeoutMs, [this] {
        m_idle = 0;
        abort();
    });
}

void HttpConnection::becameIdle()
{
    m_idleSince.start();
    startIdleLimit();
}

void HttpConnection::abort()
{
    if (m_gone)
        return;
    m_gone = true;
    m_closing = true;
    m_answers.clear();
    m_deadlines.cancel(m_idle);
    m_stalled.stop();
    m_socket->disconnect(this);
    m_socket->abort();
    Q_EMIT closed(this);
    deleteLater();
}

void HttpConnection::finishAndClose()
{
    m_socket->flush();
    abort();
}

void HttpConnection::readRequests()
{
    if (m_reading)
        return;
    m_reading = true;
    while (!m_closing && !isStalled() && m_answers.size() < m_settings.maxWaitingAnswers) {
        const qint64 available = m_socket->bytesAvailable();
        if (available <= 0)
            break;
        const bool wasIdle = !m_parser.inRequest();
        const QByteArray chunk = m_socket->peek(std::min(available, ReadChunkBytes));
        m_socket->skip(m_parser.feed(chunk));
        switch (m_parser.verdict()) {
        case RequestParser::Verdict::Ok:
            break;
        case RequestParser::Verdict::HeadTooLarge:
            refuse(431, texts::headTooLarge());
            continue;
        case RequestParser::Verdict::BodyTooLarge:
            refuse(413, texts::bodyTooLarge());
            continue;
        case RequestParser::Verdict::Malformed:
            refuse(400, texts::malformedHttp());
            continue;
        }
        if (m_parser.takeExpectContinue() && m_answers.isEmpty())
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        // A request gets the timeout from its first byte, so dripping bytes does not keep it open.
        if (wasIdle && m_parser.inRequest() && m_answers.isEmpty())
            startIdleLimit();
        if (auto request = m_parser.takeRequest())
            dispatch(std::move(*request));
    }
    m_reading = false;
}

void HttpConnection::dispatch(HttpRequest request)
{
    const int id = m_nextId++;
    m_answers.append(Answer{id});
    m_deadlines.cancel(m_idle); // waiting on us, not on the client
    ApiRequest api;
    api.method = methodOf(request.method);
    api.path = QUrl::fromEncoded(request.target).path();
    api.authorization = std::move(request.authorization);
    api.body = std::move(request.body);
    api.client = m_peer.toString();
    api.ifNoneMatch = std::move(request.ifNoneMatch);
    api.prefer = std::move(request.prefer);
    api.lifetime = this;
    QPointer<HttpConnection> self(this);
    const bool close = !request.keepAlive;
    m_router.dispatch(api, [self, id, close](const ApiResponse &response) {
        if (self)
            self->finish(id, response, close);
    });
}

// Answers a request refused below HTTP's handlers after the ones before it, then closes.
void HttpConnection::refuse(int status, const QString &text)
{
    m_closing = true;
    const int id = m_nextId++;
    m_answers.append(Answer{id});
    // Unread bytes are dropped: nothing more is read from this connection.
    m_socket->skip(m_socket->bytesAvailable());
    finish(id, errorResponse(status, text), true);
}

void HttpConnection::finish(int id, const ApiResponse &response, bool close)
{
    for (Answer &answer : m_answers) {
        if (answer.id != id)
            continue;
        answer.ready = true;
        answer.close = close;
        answer.head = responseHead(response, close);
        answer.body = response.body;
        break;
    }
    flush();
}

void HttpConnection::flush()
{
    while (!m_answers.isEmpty() && m_answers.front().ready) {
        const Answer answer = m_answers.takeFirst();
        m_socket->write(answer.head);
        if (!answer.body.isEmpty())
            m_socket->write(answer.body);
        if (answer.close) {
            m_closing = true;
            m_answers.clear();
            startIdleLimit(); // a client that never reads is cut off
            m_socket->disconnectFromHost();
            break;
        }
    }
    if (isStalled() && !m_stalled.isActive())
        m_stalled.start(m_settings.stalledTimeoutMs);
    if (m_closing)
        return;
    if (m_answers.isEmpty())
        becameIdle();
    // Requests read ahead of their answers may be waiting in the socket.
    readRequests();
}

} // namespace korvana::api
