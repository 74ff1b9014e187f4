#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace korvana::api {

struct RequestLimits
{
    qsizetype maxHeadBytes = 16 * 1024;
    qsizetype maxBodyBytes = 64 * 1024;
};

// Follows the framing of HTTP/1.x requests on one connection as bytes arrive, without keeping
// bodies, so limits can be enforced before Qt HttpServer (which has none) buffers anything:
// the head's size, the body's size (known from Content-Length before the body is sent), and
// the shape of the request line and headers.
class RequestScanner
{
public:
    using Limits = RequestLimits;
    enum class Verdict { Ok, HeadTooLarge, BodyTooLarge, Malformed };
    // What the server must know of a request when answering it.
    struct Request
    {
        bool keepAlive = true;
        bool http10 = false;
    };

    explicit RequestScanner(Limits limits = {})
        : m_limits(limits)
    {
    }

    // Scans the next bytes. After anything but Ok the scanner stays in that verdict.
    Verdict feed(QByteArrayView bytes);
    // A request has started and not yet ended.
    [[nodiscard]] bool inRequest() const { return m_state != State::Idle; }
    // The head of the current request asked for "100 Continue" and the body is still to come;
    // reading this clears it.
    bool takeExpectContinue();
    // Requests completed so far, oldest first; taking them clears the list.
    QList<Request> takeCompleted();
    [[nodiscard]] qsizetype completedCount() const { return m_completed.size(); }

private:
    enum class State { Idle, Head, Body, ChunkSize, ChunkData, ChunkDataEnd, Trailer, Failed };

    Verdict fail(Verdict verdict);
    Verdict headComplete();
    void finishRequest();

    Limits m_limits;
    State m_state = State::Idle;
    Verdict m_verdict = Verdict::Ok;
    QByteArray m_line; // the head, a chunk-size line or a trailer line being collected
    qint64 m_remaining = 0;
    qint64 m_bodyBytes = 0;
    bool m_expectContinue = false;
    Request m_current;
    QList<Request> m_completed;
};

} // namespace korvana::api
