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
    enum class Action {
        Answer,          // send status, headers and body
        CloseConnection, // close the connection without a byte of answer
        NeverAnswer,     // keep the connection open and stay silent
    };

    Action action = Action::Answer;
    int status = 200;
    QByteArray body;
    HttpHeaders headers; // sent as given, after the status line; Content-Length is added
    std::chrono::milliseconds delay{0}; // wait this long before answering or closing

    // An answer with "Content-Type: application/json".
    static ScriptedResponse json(int status, QByteArray body = {});
    static ScriptedResponse closeConnection();
    static ScriptedResponse neverAnswer();

    [[nodiscard]] ScriptedResponse withHeader(QByteArray name, QByteArray value) const;
    [[nodiscard]] ScriptedResponse after(std::chrono::milliseconds wait) const;
};

// One request as the server received it.
struct RecordedRequest
{
    QString method;
    QString path;    // the request target as sent: path and query
    QString version; // "HTTP/1.1"
    HttpHeaders headers;
    QByteArray body;
    int connection = 0; // 1 for the first connection the server accepted, 2 for the next, ...

    // The first header of that name, compared without letter case; empty when absent.
    [[nodiscard]] QByteArray header(QByteArrayView name) const;
    [[nodiscard]] bool hasHeader(QByteArrayView name) const;
    // path without the query.
    [[nodiscard]] QString pathWithoutQuery() const;
};

// A scripted HTTP/1.1 server on 127.0.0.1 and a free port, for tests: it answers each request
// as the test scripted and records every request it received.
//
// Choosing the answer to a request, first match wins:
//   1. the queue for the request's path (enqueue(path, ...)),
//   2. the shared queue (enqueue(...)),
//   3. the default for the request's path (setDefault),
//   4. the fallback (setFallback; at first a 404 with an empty body).
// Paths are compared without the query. Requests on one connection are answered in order;
// connections are kept alive unless the client asks to close.
//
// Note: when the server closes without answering, QNetworkAccessManager sends the request once
// more on a new connection, and that attempt takes the next scripted answer. To make a request
// fail with a transport error, make closeConnection() the path's default, not one queued answer.
class ScriptedHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit ScriptedHttpServer(QObject *parent = nullptr);
    ~ScriptedHttpServer() override;

    [[nodiscard]] bool isListening() const { return m_server.isListening(); }
    [[nodiscard]] quint16 port() const { return m_port; }
    // http://127.0.0.1:<port>
    [[nodiscard]] QUrl baseUrl() const;
    // baseUrl() followed by pathAndQuery ("/api/health?x=1").
    [[nodiscard]] QUrl url(const QString &pathAndQuery) const;

    void enqueue(ScriptedResponse response);
    void enqueue(const QString &path, ScriptedResponse response);
    void setDefault(const QString &path, ScriptedResponse response);
    void setFallback(ScriptedResponse response);
    // Forgets every queued answer and default; the fallback goes back to 404.
    void clearScript();
    // Queued answers not yet used, over all queues.
    [[nodiscard]] int queuedCount() const;

    [[nodiscard]] const QList<RecordedRequest> &requests() const { return m_requests; }
    [[nodiscard]] int requestCount() const { return int(m_requests.size()); }
    void clearRequests() { m_requests.clear(); }
    // Runs the event loop until at least count requests were received; false on timeout.
    bool waitForRequests(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Connections accepted so far.
    [[nodiscard]] int connectionCount() const { return m_connectionsAccepted; }

    // Stops listening and drops every connection; the port then refuses connections.
    void close();
    // Listens again on the same port after close(): the server "comes back".
    bool reopen();

Q_SIGNALS:
    void requestReceived(const korvana::test::RecordedRequest &request);

private:
    struct Connection
    {
        int id = 0;
        QByteArray buffer;
        bool busy = false; // answering later, or never: later requests wait
    };

    void accept();
    void process(QTcpSocket *socket);
    bool takeRequest(Connection &connection, RecordedRequest &request, bool &invalid);
    ScriptedResponse choose(const RecordedRequest &request);
    void answer(QTcpSocket *socket, const RecordedRequest &request,
                const ScriptedResponse &response);

    QTcpServer m_server;
    quint16 m_port = 0;
    QHash<QTcpSocket *, Connection> m_connections;
    int m_connectionsAccepted = 0;
    QList<ScriptedResponse> m_queue;
    QHash<QString, QList<ScriptedResponse>> m_pathQueues;
    QHash<QString, ScriptedResponse> m_defaults;
    ScriptedResponse m_fallback;
    QList<RecordedRequest> m_requests;
};

// A TCP port on 127.0.0.1 that was free a moment ago (nothing listens on it), e.g. for a
// "server is down" test.
[[nodiscard]] quint16 freeTcpPort();

} // namespace korvana::test
