#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace korvana::api {

struct RequestLimits
{
    qsizetype maxHeadBytes = 16 * 1024;
    qsizetype maxBodyBytes = 64 * 1024;
};

// One HTTP/1.x request as it came in, with the few headers the server reads.
struct HttpRequest
{
    QByteArray method;
    QByteArray target; // as sent: a path, an absolute URL or "*"
    QByteArray authorization;
    QByteArray ifNoneMatch;
    QByteArray prefer;
    QByteArray body; // chunked bodies arrive joined
    bool keepAlive = true;
};

// Reads the requests of one connection as their bytes arrive, in any pieces, and enforces the
// limits while it reads: the head's size, the body's size (known from Content-Length before the
// body is sent, or counted over the chunks), and the shape of the request line and headers.
class RequestParser
{
public:
    using Limits = RequestLimits;
    enum class Verdict { Ok, HeadTooLarge, BodyTooLarge, Malformed };

    explicit RequestParser(Limits limits = {})
        : m_limits(limits)
    {
    }

    // Reads `bytes` up to the end of the first request that completes in them, or all of them;
    // returns how many it read. After a verdict other than Ok it reads nothing more.
    qsizetype feed(QByteArrayView bytes);
    [[nodiscard]] Verdict verdict() const { return m_verdict; }
    // The request completed by the last feed, once.
    std::optional<HttpRequest> takeRequest();
    // A request has started and not yet ended.
    [[nodiscard]] bool inRequest() const { return m_state != State::Idle; }
    // The current request's head asked for "100 Continue" and its body is still to come;
    // reading this clears it.
    bool takeExpectContinue();

private:
    enum class State { Idle, Head, Body, ChunkSize, ChunkData, ChunkDataEnd, Trailer, Failed };

    void fail(Verdict verdict);
    void headComplete();
    void finishRequest();
    // Appends to m_line up to a line feed; true once the line is complete.
    std::optional<bool> line(QByteArrayView bytes, qsizetype &at, qsizetype maxLength);

    Limits m_limits;
    State m_state = State::Idle;
    Verdict m_verdict = Verdict::Ok;
    QByteArray m_line; // the head, a chunk-size line or a trailer line being collected
    qint64 m_remaining = 0;
    bool m_expectContinue = false;
    HttpRequest m_current;
    std::optional<HttpRequest> m_completed;
};

} // namespace korvana::api
