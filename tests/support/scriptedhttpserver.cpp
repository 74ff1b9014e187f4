#include "scriptedhttpserver.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace korvana::test {
namespace {

constexpr qsizetype maxHeadBytes = 1 << 20;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
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
    case 422:
        return "Unprocessable Entity";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray findHeader(const HttpHeaders &headers, QByteArrayView name)
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool containsHeader(const HttpHeaders &headers, QByteArrayView name)
{
    for (const auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool wantsClose(const RecordedRequest &request)
{
    const QByteArray connection = findHeader(request.headers, "connection").toLower();
    if (request.version == u"HTTP/1.0")
        return !connection.contains("keep-alive");
    return connection.contains("close");
}

QString withoutQuery(const QString &target)
{
    const qsizetype query = target.indexOf(u'?');
    return query < 0 ? target : target.left(query);
}

QByteArray encode(const RecordedRequest &request, const ScriptedResponse &response, bool close)
{
    const bool noBody = response.status == 204 || response.status == 304 ||
                        (response.status >= 100 && response.status < 200);
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                       reasonPhrase(response.status) + "\r\n";
    for (const auto &[name, value] : response.headers)
        bytes += name + ": " + value + "\r\n";
    if (!noBody && !containsHeader(response.headers, "content-length"))
        bytes += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (close)
        bytes += "Connection: close\r\n";
    bytes += "\r\n";
    if (!noBody && request.method != u"HEAD")
        bytes += response.body;
    return bytes;
}

} // namespace

ScriptedResponse ScriptedResponse::json(int status, QByteArray body)
{
    ScriptedResponse response;
    response.status = status;
    response.body = std::move(body);
    response.headers.append(std::pair<QByteArray, QByteArray>("Content-Type", "application/json"));
    return response;
}

ScriptedResponse ScriptedResponse::closeConnection()
{
    ScriptedResponse response;
    response.action = Action::CloseConnection;
    return response;
}

ScriptedResponse ScriptedResponse::neverAnswer()
{
    ScriptedResponse response;
    response.action = Action::NeverAnswer;
    return response;
}

ScriptedResponse ScriptedResponse::withHeader(QByteArray name, QByteArray value) const
{
    ScriptedResponse response = *this;
    response.headers.append({std::move(name), std::move(value)});
    return response;
}

ScriptedResponse ScriptedResponse::after(std::chrono::milliseconds wait) const
{
    ScriptedResponse response = *this;
    response.delay = wait;
    return response;
}

QByteArray RecordedRequest::header(QByteArrayView name) const
{
    return findHeader(headers, name);
}

bool RecordedRequest::hasHeader(QByteArrayView name) const
{
    return containsHeader(headers, name);
}

QString RecordedRequest::pathWithoutQuery() const
{
    return withoutQuery(path);
}

ScriptedHttpServer::ScriptedHttpServer(QObject *parent)
    : QObject(parent)
{
    m_fallback.status = 404;
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::accept);
    if (m_server.listen(QHostAddress::LocalHost, 0))
        m_port = m_server.serverPort();
    else
        qWarning("ScriptedHttpServer: cannot listen: %s", qPrintable(m_server.errorString()));
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    close();
}

QUrl ScriptedHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

QUrl ScriptedHttpServer::url(const QString &pathAndQuery) const
{
    return QUrl(baseUrl().toString() + pathAndQuery);
}

void ScriptedHttpServer::enqueue(ScriptedResponse response)
{
    m_queue.append(std::move(response));
}

void ScriptedHttpServer::enqueue(const QString &path, ScriptedResponse response)
{
    m_pathQueues[path].append(std::move(response));
}

void ScriptedHttpServer::setDefault(const QString &path, ScriptedResponse response)
{
    m_defaults.insert(path, std::move(response));
}

void ScriptedHttpServer::setFallback(ScriptedResponse response)
{
    m_fallback = std::move(response);
}

void ScriptedHttpServer::clearScript()
{
    m_queue.clear();
    m_pathQueues.clear();
    m_defaults.clear();
    m_fallback = ScriptedResponse{};
    m_fallback.status = 404;
}

int ScriptedHttpServer::queuedCount() const
{
    qsizetype count = m_queue.size();
    for (const auto &queue : m_pathQueues)
        count += queue.size();
    return int(count);
}

bool ScriptedHttpServer::waitForRequests(int count, std::chrono::milliseconds timeout)
{
    return QTest::qWaitFor([&] { return m_requests.size() >= count; }, int(timeout.count()));
}

void ScriptedHttpServer::close()
{
    m_server.close();
    const auto sockets = m_connections.keys();
    m_connections.clear();
    for (QTcpSocket *socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

bool ScriptedHttpServer::reopen()
{
    return m_server.isListening() || m_server.listen(QHostAddress::LocalHost, m_port);
}

void ScriptedHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_connections.insert(socket, Connection{++m_connectionsAccepted, {}, false});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { process(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
        // Bytes may have arrived with the connection itself.
        process(socket);
    }
}

void ScriptedHttpServer::process(QTcpSocket *socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->buffer += socket->readAll();
    while (!found->busy) {
        RecordedRequest request;
        bool invalid = false;
        if (!takeRequest(*found, request, invalid)) {
            if (invalid) {
                found->busy = true;
                socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n"
                              "Connection: close\r\n\r\n");
                socket->disconnectFromHost();
            }
            return;
        }
        m_requests.append(request);
        Q_EMIT requestReceived(request);
        if (!m_connections.contains(socket))
            return; // a listener closed the server
        answer(socket, request, choose(request));
        // answer() may have closed the socket, which removes its connection.
        found = m_connections.find(socket);
        if (found == m_connections.end())
            return;
    }
}

// Takes one complete request off the front of the connection's buffer, if there is one.
bool ScriptedHttpServer::takeRequest(Connection &connection, RecordedRequest &request,
                                     bool &invalid)
{
    QByteArray &buffer = connection.buffer;
    // Clients may send empty lines between requests.
    while (buffer.startsWith("\r\n"))
        buffer.remove(0, 2);
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        invalid = buffer.size() > maxHeadBytes;
        return false;
    }
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        invalid = true;
        return false;
    }
    HttpHeaders headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            invalid = true;
            return false;
        }
        headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    qsizetype length = 0;
    if (containsHeader(headers, "content-length")) {
        bool ok = false;
        length = findHeader(headers, "content-length").toLongLong(&ok);
        if (!ok || length < 0) {
            invalid = true;
            return false;
        }
    }
    const qsizetype bodyStart = headEnd + 4;
    if (buffer.size() < bodyStart + length)
        return false; // the rest of the body is still on its way
    request.method = QString::fromLatin1(requestLine[0]);
    request.path = QString::fromLatin1(requestLine[1]);
    request.headers = std::move(headers);
    request.body = buffer.mid(bodyStart, length);
    request.version = QString::fromLatin1(requestLine[2]);
    request.connection = connection.id;
    buffer.remove(0, bodyStart + length);
    return true;
}

ScriptedResponse ScriptedHttpServer::choose(const RecordedRequest &request)
{
    const QString path = request.pathWithoutQuery();
    if (auto queue = m_pathQueues.find(path); queue != m_pathQueues.end() && !queue->isEmpty())
        return queue->takeFirst();
    if (!m_queue.isEmpty())
        return m_queue.takeFirst();
    return m_defaults.value(path, m_fallback);
}

void ScriptedHttpServer::answer(QTcpSocket *socket, const RecordedRequest &request,
                                const ScriptedResponse &response)
{
    m_connections[socket].busy = true; // later requests on this connection wait for this answer
    if (response.action == ScriptedResponse::Action::NeverAnswer)
        return;
    const bool answers = response.action == ScriptedResponse::Action::Answer;
    const bool close = !answers || wantsClose(request);
    const QByteArray bytes = answers ? encode(request, response, close) : QByteArray();
    const auto send = [this, socket, bytes, close] {
        socket->write(bytes);
        if (close) {
            socket->disconnectFromHost(); // may drop the connection at once
            return;
        }
        if (auto found = m_connections.find(socket); found != m_connections.end())
            found->busy = false;
    };
    if (response.delay.count() <= 0) {
        send();
        return;
    }
    QTimer::singleShot(response.delay, socket, [this, socket, send] {
        send();
        process(socket); // requests that arrived meanwhile
    });
}

quint16 freeTcpPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace korvana::test
