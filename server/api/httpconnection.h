#pragma once

#include "apiresponse.h"
#include "deadlines.h"
#include "requestparser.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QTimer>

class QTcpSocket;

namespace korvana::api {

class Router;

struct ConnectionSettings
{
    RequestLimits limits;
    int idleTimeoutMs = 10'000;            // idle, half-sent or still in its TLS handshake: closed
    qsizetype maxUnsentBytes = 256 * 1024; // past this nothing more is read
    int stalledTimeoutMs = 10'000;         // over maxUnsentBytes this long: closed
    int maxWaitingAnswers = 8;             // pipelined requests read ahead of their answers
};

// The HTTP head of a response; `close` adds "Connection: close". A 304 has no body and so no
// Content-Type or Content-Length.
[[nodiscard]] QByteArray responseHead(const ApiResponse &response, bool close);

// One client connection: reads its requests with the limits Qt's own HTTP parts lack, hands
// each to the router, and writes the answers in the order the requests came, whatever order the
// handlers finish in. It stops reading while the client leaves too much output unread, and
// closes a connection idle, half-sent, or not reading its answers for too long. A request whose
// answer is still being prepared (a held poll, a password being hashed) keeps it open.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    // Takes the socket; starts reading at once, or when a TLS socket is encrypted.
    HttpConnection(QTcpSocket *socket, const Router &router, const ConnectionSettings &settings,
                   Deadlines &deadlines, QObject *parent = nullptr);

    [[nodiscard]] QHostAddress peer() const { return m_peer; }
    // A request is being received or answered.
    [[nodiscard]] bool isBusy() const;
    // Milliseconds since the connection last became idle.
    [[nodiscard]] qint64 idleMs() const { return m_idleSince.elapsed(); }
    // Closes at once; `closed` follows.
    void abort();
    // Writes what the kernel takes of the answers already made, then closes.
    void finishAndClose();

Q_SIGNALS:
    void closed(korvana::api::HttpConnection *connection);

private:
    struct Answer
    {
        int id = 0;
        bool ready = false;
        bool close = false;
        QByteArray head;
        QByteArray body; // shared with the handler's (often cached) bytes, never copied here
    };

    void readRequests();
    void dispatch(HttpRequest request);
    void refuse(int status, const QString &text);
    void finish(int id, const ApiResponse &response, bool close);
    void flush();
    [[nodiscard]] bool isStalled() const;
    void becameIdle();
    void startIdleLimit();

    QTcpSocket *m_socket;
    const Router &m_router;
    ConnectionSettings m_settings;
    QHostAddress m_peer;
    RequestParser m_parser;
    QList<Answer> m_answers;
    Deadlines &m_deadlines;
    Deadlines::Handle m_idle = 0; // idle, half-sent or handshaking: closed when it comes
    QTimer m_stalled;
    QElapsedTimer m_idleSince;
    int m_nextId = 0;
    bool m_reading = false; // guards readRequests against re-entry from synchronous answers
    bool m_closing = false; // nothing more is read; closes once the owed answers are written
    bool m_gone = false;
};

} // namespace korvana::api
