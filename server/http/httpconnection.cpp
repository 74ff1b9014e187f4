// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "httpconnection.h"

#include "requesthandler.h"

#include <QPointer>
#include <QSslSocket>
#include <QTcpSocket>

#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

namespace korvana::http {
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

// Requests read from one chunk of a socket at most: the rest waits in the socket's buffer. One
// buffer serves every connection: the parser keeps what it needs of it.
constexpr qint64 ReadChunkBytes = 64 * 1024;
char readChunk[ReadChunkBytes];

// Answers up to this size go out in one write with their head; bigger bodies are written
// after it, shared rather than copied.
constexpr qsizetype JoinedBodyBytes = 32 * 1024;

} // namespace

QByteArray responseHead(const HttpResponse &response, bool close, bool http10)
{
    QByteArray out;
    out.reserve(192);
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
    else if (http10)
        out += "Connection: keep-alive\r\n";
    out += "\r\n";
    return out;
}

HttpConnection::HttpConnection(QTcpSocket *socket, const RequestHandler &handler,
                               const ConnectionSettings &settings, Deadlines &deadlines,
                               OutputBudget &budget, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_handler(handler)
    , m_settings(settings)
    , m_peer(socket->peerAddress())
    , m_client(m_peer.toString())
    , m_parser(settings.limits)
    , m_deadlines(deadlines)
    , m_budget(budget)
{
    socket->setParent(this);
    m_stalled.setSingleShot(true);
    connect(&m_stalled, &QTimer::timeout, this, &HttpConnection::abort);
    connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::readRequests);
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_flushing)
            return;
        unsentChanged();
        readRequests();
    });
    connect(socket, &QTcpSocket::disconnected, this, &HttpConnection::abort);
    // The idle limit covers a TLS handshake too.
    becameIdle();
}

EvictionCandidate HttpConnection::state() const
{
    using Activity = EvictionCandidate::Activity;
    const Activity activity = !m_answers.isEmpty()   ? Activity::Waiting
                              : m_parser.inRequest() ? Activity::Receiving
                                                     : Activity::Idle;
    return {activity, m_since.elapsed()};
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
    m_since.start();
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
    m_budget.remove(this);
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

void HttpConnection::resume()
{
    if (!m_readQueued) {
        m_readQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_readQueued = false;
                readRequests();
            },
            Qt::QueuedConnection);
    }
}

qint64 HttpConnection::kernelQueued() const
{
#ifdef Q_OS_LINUX
    int queued = 0;
    if (::ioctl(int(m_socket->socketDescriptor()), SIOCOUTQ, &queued) == 0)
        return queued;
#endif
    return 0;
}

bool HttpConnection::mayRead()
{
    // Unsent answers in our buffer: bytesWritten wakes the reading.
    const qint64 unsent = m_socket->bytesToWrite();
    if (unsent > m_settings.pipelineSlackBytes)
        return false;
    // Answers the kernel holds because the client has not taken them: nothing says when it
    // does, so the budget looks again later.
    if (unsent + kernelQueued() > m_settings.pipelineSlackBytes) {
        m_budget.holdForKernel(this);
        return false;
    }
    return m_budget.mayRead(this);
}

void HttpConnection::readRequests()
{
    if (m_reading)
        return;
    m_reading = true;
    int taken = 0;
    while (!m_closing && m_answers.size() < m_settings.maxWaitingAnswers) {
        const qint64 available = m_socket->bytesAvailable();
        if (available <= 0 || !mayRead())
            break;
        if (taken == m_settings.maxRequestsPerTurn) {
            resume();
            break;
        }
        const bool wasIdle = !m_parser.inRequest();
        const qint64 peeked = m_socket->peek(readChunk, std::min(available, ReadChunkBytes));
        m_socket->skip(m_parser.feed(QByteArrayView(readChunk, qsizetype(peeked))));
        switch (m_parser.verdict()) {
        case RequestParser::Verdict::Ok:
            break;
        case RequestParser::Verdict::HeadTooLarge:
            refuse(431);
            continue;
        case RequestParser::Verdict::BodyTooLarge:
            refuse(413);
            continue;
        case RequestParser::Verdict::Malformed:
            refuse(400);
            continue;
        }
        if (m_parser.takeExpectContinue() && m_answers.isEmpty())
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        // A request gets the timeout from its first byte, so dripping bytes does not keep it open.
        if (wasIdle && m_parser.inRequest() && m_answers.isEmpty()) {
            m_since.start();
            startIdleLimit();
        }
        if (auto request = m_parser.takeRequest()) {
            ++taken;
            dispatch(std::move(*request));
        }
    }
    m_reading = false;
}

void HttpConnection::dispatch(HttpRequest request)
{
    const int id = m_nextId++;
    if (m_answers.isEmpty())
        m_since.start();
    m_answers.append(Answer{id});
    m_deadlines.cancel(m_idle); // waiting on us, not on the client
    QPointer<HttpConnection> self(this);
    const bool close = !request.keepAlive;
    const bool http10 = request.http10;
    m_handler.handle(std::move(request), m_client, this,
                     [self, id, close, http10](const HttpResponse &response) {
                         if (self)
                             self->finish(id, response, close, http10);
                     });
}

// Answers a request refused below the handlers after the ones before it, then closes.
void HttpConnection::refuse(int status)
{
    m_closing = true;
    const int id = m_nextId++;
    m_answers.append(Answer{id});
    // Unread bytes are dropped: nothing more is read from this connection.
    m_socket->skip(m_socket->bytesAvailable());
    finish(id, m_handler.refusal(status), true, false);
}

void HttpConnection::finish(int id, const HttpResponse &response, bool close, bool http10)
{
    for (Answer &answer : m_answers) {
        if (answer.id != id)
            continue;
        answer.ready = true;
        answer.close = close;
        answer.head = responseHead(response, close, http10);
        if (response.body.size() <= JoinedBodyBytes)
            answer.head += response.body;
        else
            answer.body = response.body;
        break;
    }
    flush();
}

void HttpConnection::unsentChanged()
{
    const qint64 unsent = m_socket->bytesToWrite();
    m_budget.update(this, unsent);
    // Unsent output has to keep moving; written bytes restart the wait.
    if (unsent == 0)
        m_stalled.stop();
    else
        m_stalled.start(m_settings.stalledTimeoutMs);
}

void HttpConnection::flush()
{
    bool wrote = false;
    while (!m_answers.isEmpty() && m_answers.front().ready) {
        const Answer answer = m_answers.takeFirst();
        m_socket->write(answer.head);
        if (!answer.body.isEmpty())
            m_socket->write(answer.body);
        wrote = true;
        if (answer.close) {
            m_closing = true;
            m_answers.clear();
            startIdleLimit(); // a client that never reads is cut off
            m_socket->disconnectFromHost();
            break;
        }
    }
    if (wrote && !m_gone) {
        // Sent now rather than on the next turn of the event loop.
        const QPointer<HttpConnection> self(this);
        m_flushing = true;
        const qint64 before = m_socket->bytesToWrite();
        m_socket->flush();
        if (!self)
            return;
        m_flushing = false;
        const qint64 unsent = m_socket->bytesToWrite();
        if (unsent == 0 || unsent < before || !m_stalled.isActive())
            unsentChanged();
        else
            m_budget.update(this, unsent);
    }
    if (m_closing || m_gone)
        return;
    if (m_answers.isEmpty())
        becameIdle();
    // Requests read ahead of their answers may be waiting in the socket.
    readRequests();
}

} // namespace korvana::http
