// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "deadlines.h"
#include "eviction.h"
#include "httpmessage.h"
#include "outputbudget.h"
#include "requestlimits.h"
#include "requestparser.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QTimer>

class QTcpSocket;

namespace korvana::http {

class RequestHandler;

struct ConnectionSettings
{
    RequestLimits limits;
    int idleTimeoutMs = 10'000;    // idle, half-sent or still in its TLS handshake: closed
    int stalledTimeoutMs = 10'000; // unsent output that does not move this long: closed
    // The next pipelined request runs only once the answers before it, in our buffer and the
    // kernel's, are taken by the client down to this.
    qsizetype pipelineSlackBytes = 4 * 1024;
    int maxWaitingAnswers = 8;  // pipelined requests read ahead of answers still in the making
    int maxRequestsPerTurn = 4; // then the other connections get their turn
};

// The HTTP head of a response; `close` adds "Connection: close", `http10` (an HTTP/1.0 client
// kept open) "Connection: keep-alive". A 304 has no body and so no Content-Type or
// Content-Length.
[[nodiscard]] QByteArray responseHead(const HttpResponse &response, bool close, bool http10);

// One client connection: reads its requests with the limits Qt's network classes lack, hands
// each to the handler, and writes the answers in the order the requests came, whatever order the
// handler finishes them in. A request is read only once the answers before it are mostly sent
// and the server's output budget allows it, so a client that reads nothing costs one answer;
// a connection idle, half-sent, or not reading its answers for too long is closed. A request
// whose answer is still being prepared (a held poll, a password being hashed) keeps it open.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    // Takes the socket; starts reading at once, or when a TLS socket is encrypted.
    HttpConnection(QTcpSocket *socket, const RequestHandler &handler,
                   const ConnectionSettings &settings, Deadlines &deadlines, OutputBudget &budget,
                   QObject *parent = nullptr);

    [[nodiscard]] QHostAddress peer() const { return m_peer; }
    // Whose turn it is and since when, for the caps.
    [[nodiscard]] EvictionCandidate state() const;
    // Closes at once; `closed` follows.
    void abort();
    // Writes what the kernel takes of the answers already made, then closes.
    void finishAndClose();
    // Reads on after the output budget held it back.
    void resume();

Q_SIGNALS:
    void closed(korvana::http::HttpConnection *connection);

private:
    struct Answer
    {
        int id = 0;
        bool ready = false;
        bool close = false;
        QByteArray head;
        QByteArray body; // shared with the handler's (often cached) bytes where possible
    };

    void readRequests();
    [[nodiscard]] bool mayRead();
    // Answer bytes the kernel holds, not yet taken by the client.
    [[nodiscard]] qint64 kernelQueued() const;
    void dispatch(HttpRequest request);
    void refuse(int status);
    void finish(int id, const HttpResponse &response, bool close, bool http10);
    void flush();
    void unsentChanged();
    void becameIdle();
    void startIdleLimit();

    QTcpSocket *m_socket;
    const RequestHandler &m_handler;
    ConnectionSettings m_settings;
    QHostAddress m_peer;
    QString m_client;
    RequestParser m_parser;
    QList<Answer> m_answers;
    Deadlines &m_deadlines;
    OutputBudget &m_budget;
    Deadlines::Handle m_idle = 0; // idle, half-sent or handshaking: closed when it comes
    QTimer m_stalled;
    QElapsedTimer m_since; // in the current state of state()
    int m_nextId = 0;
    bool m_reading = false;  // guards readRequests against re-entry from synchronous answers
    bool m_flushing = false; // guards flush against re-entry from bytesWritten
    bool m_readQueued = false;
    bool m_closing = false; // nothing more is read; closes once the owed answers are written
    bool m_gone = false;
};

} // namespace korvana::http
