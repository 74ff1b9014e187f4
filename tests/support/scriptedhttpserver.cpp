// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "scriptedhttpserver.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace korvana::test {
namespace {

QByteArray findHeader(const HttpHeaders &headers, QByteArrayView name)
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

// Takes one complete request off the front of buffer, if there is one.
bool takeRequest(QByteArray &buffer, RecordedRequest &request)
{
    while (buffer.startsWith("\r\n"))
        buffer.remove(0, 2);
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    HttpHeaders headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    const qsizetype length = findHeader(headers, "content-length").toLongLong();
    const qsizetype bodyStart = headEnd + 4;
    if (buffer.size() < bodyStart + length)
        return false; // the rest of the body is still on its way
    request.method = QString::fromLatin1(requestLine.value(0));
    request.path = QString::fromLatin1(requestLine.value(1));
    request.headers = std::move(headers);
    request.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    return true;
}

QByteArray encode(const ScriptedResponse &response)
{
    // Qt reads the status code only; the reason phrase is free.
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n";
    for (const auto &[name, value] : response.headers)
        bytes += name + ": " + value + "\r\n";
    const bool noBody = response.status == 204 || response.status == 304;
    if (!noBody)
        bytes += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    return bytes + "\r\n" + (noBody ? QByteArray() : response.body);
}

} // namespace

ScriptedResponse ScriptedResponse::json(int status, QByteArray body)
{
    return ScriptedResponse{status, std::move(body), {{"Content-Type", "application/json"}}};
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

QString RecordedRequest::pathWithoutQuery() const
{
    return path.section(u'?', 0, 0);
}

ScriptedHttpServer::ScriptedHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::accept);
    if (m_server.listen(QHostAddress::LocalHost, 0))
        m_port = m_server.serverPort();
    else
        qWarning("ScriptedHttpServer: cannot listen: %s", qPrintable(m_server.errorString()));
}

ScriptedHttpServer::~ScriptedHttpServer()
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

QUrl ScriptedHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

void ScriptedHttpServer::enqueue(const QString &path, ScriptedResponse response)
{
    m_pathQueues[path].append(std::move(response));
}

void ScriptedHttpServer::setDefault(const QString &path, ScriptedResponse response)
{
    m_defaults.insert(path, std::move(response));
}

bool ScriptedHttpServer::waitForRequests(int count, std::chrono::milliseconds timeout)
{
    return QTest::qWaitFor([&] { return m_requests.size() >= count; }, int(timeout.count()));
}

void ScriptedHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_connections.insert(socket, Connection{});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { process(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
        process(socket); // bytes may have arrived with the connection itself
    }
}

void ScriptedHttpServer::process(QTcpSocket *socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->buffer += socket->readAll();
    RecordedRequest request;
    while (!found->busy && takeRequest(found->buffer, request)) {
        m_requests.append(request);
        answer(socket, choose(request));
        // answer() may have closed the socket, which removes its connection.
        found = m_connections.find(socket);
        if (found == m_connections.end())
            return;
    }
}

ScriptedResponse ScriptedHttpServer::choose(const RecordedRequest &request)
{
    const QString path = request.pathWithoutQuery();
    if (auto queue = m_pathQueues.find(path); queue != m_pathQueues.end() && !queue->isEmpty())
        return queue->takeFirst();
    return m_defaults.value(path, ScriptedResponse{404});
}

void ScriptedHttpServer::answer(QTcpSocket *socket, const ScriptedResponse &response)
{
    m_connections[socket].busy = true; // later requests on this connection wait for this one
    if (response.silent)
        return;
    const auto send = [this, socket, bytes = encode(response)] {
        socket->write(bytes);
        if (auto found = m_connections.find(socket); found != m_connections.end())
            found->busy = false;
    };
    if (response.delay.count() <= 0)
        return send();
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
