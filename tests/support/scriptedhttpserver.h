// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

#include <chrono>
#include <utility>

class QTcpSocket;

namespace korvana::test {

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// What the server does with one request.
struct ScriptedResponse
{
    int status = 200;
    QByteArray body;
    HttpHeaders headers;                // sent as given; Content-Length is added
    std::chrono::milliseconds delay{0}; // wait this long before answering
    bool silent = false;                // keep the connection open and never answer

    // An answer with "Content-Type: application/json".
    static ScriptedResponse json(int status, QByteArray body = {});
    static ScriptedResponse neverAnswer() { return ScriptedResponse{.silent = true}; }

    [[nodiscard]] ScriptedResponse withHeader(QByteArray name, QByteArray value) const;
    [[nodiscard]] ScriptedResponse after(std::chrono::milliseconds wait) const;
};

// One request as the server received it.
struct RecordedRequest
{
    QString method;
    QString path; // the request target as sent: path and query
    HttpHeaders headers;
    QByteArray body;

    // The first header of that name, compared without letter case; null when absent.
    [[nodiscard]] QByteArray header(QByteArrayView name) const;
    [[nodiscard]] QString pathWithoutQuery() const;
};

// A scripted HTTP/1.1 server on 127.0.0.1 and a free port: it answers each request as the test
// scripted and records every request. The answer to a request is the next one queued for its
// path (enqueue), else the default of its path (setDefault), else a 404 with an empty body.
// Paths are compared without the query; requests on one connection are answered in order.
class ScriptedHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit ScriptedHttpServer(QObject *parent = nullptr);
    ~ScriptedHttpServer() override;

    [[nodiscard]] quint16 port() const { return m_port; }
    // http://127.0.0.1:<port>
    [[nodiscard]] QUrl baseUrl() const;

    void enqueue(const QString &path, ScriptedResponse response);
    void setDefault(const QString &path, ScriptedResponse response);

    [[nodiscard]] const QList<RecordedRequest> &requests() const { return m_requests; }
    [[nodiscard]] int requestCount() const { return int(m_requests.size()); }
    void clearRequests() { m_requests.clear(); }
    // Runs the event loop until at least count requests were received; false on timeout.
    bool waitForRequests(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    struct Connection
    {
        QByteArray buffer;
        bool busy = false; // answering later, or never: later requests wait
    };

    void accept();
    void process(QTcpSocket *socket);
    ScriptedResponse choose(const RecordedRequest &request);
    void answer(QTcpSocket *socket, const ScriptedResponse &response);

    QTcpServer m_server;
    quint16 m_port = 0;
    QHash<QTcpSocket *, Connection> m_connections;
    QHash<QString, QList<ScriptedResponse>> m_pathQueues;
    QHash<QString, ScriptedResponse> m_defaults;
    QList<RecordedRequest> m_requests;
};

// A TCP port on 127.0.0.1 that was free a moment ago (nothing listens on it).
[[nodiscard]] quint16 freeTcpPort();

} // namespace korvana::test
