#pragma once

#include "apiresponse.h"
#include "requestscanner.h"

#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTimer>

#include <optional>

class QTcpSocket;

namespace korvana::api {

struct GuardSettings
{
    RequestScanner::Limits limits;
    int idleTimeoutMs = 10'000; // idle, half-sent or still handshaking connections are closed
    int maxConnections = 512;
    std::optional<QSslConfiguration> tls;
};

// The HTTP head of a response; `close` adds "Connection: close".
[[nodiscard]] QByteArray responseHead(const ApiResponse &response, bool close);
// Head and body in one array.
[[nodiscard]] QByteArray serialiseResponse(const ApiResponse &response, bool close);

// Watches one connection for Qt HttpServer, which has no limits of its own. It sees every
// chunk before the HTTP server does (its readyRead slot is connected first) and, on a head or
// body over the limits or a malformed head, answers with an error, drops the unread bytes and
// closes. It closes connections idle or half-sent past the timeout, and writes responses in
// the order their requests came, whatever order the handlers finish in.
class ConnectionWatch : public QObject
{
    Q_OBJECT

public:
    ConnectionWatch(QTcpSocket *socket, const GuardSettings &settings);
    static ConnectionWatch *of(QTcpSocket *socket);

    // An error was already answered: further requests on this connection get nothing.
    [[nodiscard]] bool isRefused() const { return m_refused; }
    // Called for each request the HTTP server hands on: reserves its place in the answers.
    int beginResponse();
    // The oldest request's framing facts, as the scanner saw them.
    RequestScanner::Request takeRequest();
    void finishResponse(int id, const ApiResponse &response, bool close);

private:
    void onReadyRead();
    void onTimeout();
    void refuse(int status, const QString &text);
    void flush();
    void restartIdleTimer();

    struct Pending
    {
        int id = 0;
        bool ready = false;
        bool close = false;
        QByteArray head;
        QByteArray body; // shared with the handler's (often cached) bytes, never copied here
    };

    QTcpSocket *m_socket;
    RequestScanner m_scanner;
    QList<RequestScanner::Request> m_requests;
    QList<Pending> m_pending;
    QTimer m_idle;
    int m_idleTimeoutMs;
    int m_nextId = 0;
    bool m_closing = false; // closes once the owed answers are written
    bool m_refused = false; // answered with an error below HTTP's handlers
};

// The listening socket: accepts connections (with TLS when configured), puts a watch on each
// and only then hands it to the HTTP server.
class GuardedServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit GuardedServer(GuardSettings settings, QObject *parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    GuardSettings m_settings;
    int m_live = 0;
};

} // namespace korvana::api
