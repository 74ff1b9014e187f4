#include "requestparser.h"

#include <algorithm>

namespace korvana::api {
namespace {

constexpr qsizetype maxChunkLine = 1024;

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    return !text.isEmpty() && std::ranges::all_of(text, isTokenChar);
}

bool isFieldValue(QByteArrayView text)
{
    return std::ranges::none_of(text, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7f;
    });
}

QByteArrayView withoutCr(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

// Splits "a, b ,c" and reports whether `token` is one of them, ignoring case.
bool hasToken(QByteArrayView list, QByteArrayView token)
{
    while (!list.isEmpty()) {
        const qsizetype comma = list.indexOf(',');
        const QByteArrayView item = (comma < 0 ? list : list.first(comma)).trimmed();
        if (item.compare(token, Qt::CaseInsensitive) == 0)
            return true;
        if (comma < 0)
            break;
        list = list.sliced(comma + 1);
    }
    return false;
}

} // namespace

void RequestParser::fail(Verdict verdict)
{
    m_state = State::Failed;
    m_verdict = verdict;
}

bool RequestParser::takeExpectContinue()
{
    return std::exchange(m_expectContinue, false);
}

std::optional<HttpRequest> RequestParser::takeRequest()
{
    return std::exchange(m_completed, std::nullopt);
}

void RequestParser::finishRequest()
{
    m_completed = std::exchange(m_current, {});
    m_state = State::Idle;
    m_line.clear();
    m_expectContinue = false;
}

void RequestParser::headComplete()
{
    QByteArrayView head(m_line);
    qsizetype lineEnd = head.indexOf('\n');
    const QByteArrayView requestLine = withoutCr(head.first(lineEnd));
    head = head.sliced(lineEnd + 1);

    const qsizetype sp1 = requestLine.indexOf(' ');
    const qsizetype sp2 = sp1 < 0 ? -1 : requestLine.indexOf(' ', sp1 + 1);
    if (sp1 <= 0 || sp2 < 0)
        return fail(Verdict::Malformed);
    const QByteArrayView method = requestLine.first(sp1);
    m_current.method = method.toByteArray();
    m_current.target = requestLine.sliced(sp1 + 1, sp2 - sp1 - 1).toByteArray();
    const QByteArrayView target = requestLine.sliced(sp1 + 1, sp2 - sp1 - 1);
    const QByteArrayView version = requestLine.sliced(sp2 + 1);
    if (!isToken(method) || method.size() > 16 || target.isEmpty() ||
        std::ranges::any_of(
            target, [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7f; }))
        return fail(Verdict::Malformed);
    if (!target.startsWith('/') && target != "*" && !target.startsWith("http://") &&
        !target.startsWith("https://"))
        return fail(Verdict::Malformed);
    if (version != "HTTP/1.1" && version != "HTTP/1.0")
        return fail(Verdict::Malformed);

    bool chunked = false;
    bool close = false;
    bool keepAliveAsked = false;
    bool expect = false;
    qint64 contentLength = -1;
    while (!head.isEmpty()) {
        lineEnd = head.indexOf('\n');
        const QByteArrayView line = withoutCr(lineEnd < 0 ? head : head.first(lineEnd));
        head = lineEnd < 0 ? QByteArrayView() : head.sliced(lineEnd + 1);
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)))
            return fail(Verdict::Malformed); // also folded lines, which start with a space
        const QByteArrayView name = line.first(colon);
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        if (!isFieldValue(value))
            return fail(Verdict::Malformed);
        if (name.compare("content-length", Qt::CaseInsensitive) == 0) {
            if (value.isEmpty() || value.size() > 15 ||
                !std::ranges::all_of(value, [](char c) { return c >= '0' && c <= '9'; }))
                return fail(Verdict::Malformed);
            const qint64 length = value.toLongLong();
            if (contentLength >= 0 && contentLength != length)
                return fail(Verdict::Malformed);
            contentLength = length;
        } else if (name.compare("transfer-encoding", Qt::CaseInsensitive) == 0) {
            if (value.compare("chunked", Qt::CaseInsensitive) != 0)
                return fail(Verdict::Malformed);
            chunked = true;
        } else if (name.compare("connection", Qt::CaseInsensitive) == 0) {
            close = close || hasToken(value, "close");
            keepAliveAsked = keepAliveAsked || hasToken(value, "keep-alive");
        } else if (name.compare("expect", Qt::CaseInsensitive) == 0) {
            expect = value.compare("100-continue", Qt::CaseInsensitive) == 0;
        } else if (name.compare("authorization", Qt::CaseInsensitive) == 0) {
            m_current.authorization = value.toByteArray();
        } else if (name.compare("if-none-match", Qt::CaseInsensitive) == 0) {
            m_current.ifNoneMatch = value.toByteArray();
        } else if (name.compare("prefer", Qt::CaseInsensitive) == 0) {
            m_current.prefer = value.toByteArray();
        }
    }
    // Both framings at once is how requests are smuggled past a proxy: refuse it.
    if (chunked && contentLength >= 0)
        return fail(Verdict::Malformed);

    m_current.keepAlive = version == "HTTP/1.0" ? keepAliveAsked && !close : !close;
    m_line.clear();
    if (chunked) {
        m_state = State::ChunkSize;
        m_expectContinue = expect;
    } else if (contentLength > m_limits.maxBodyBytes) {
        return fail(Verdict::BodyTooLarge);
    } else if (contentLength > 0) {
        m_state = State::Body;
        m_remaining = contentLength;
        m_current.body.reserve(contentLength);
        m_expectContinue = expect;
    } else {
        finishRequest();
    }
}

std::optional<bool> RequestParser::line(QByteArrayView bytes, qsizetype &at, qsizetype maxLength)
{
    const qsizetype nl = bytes.indexOf('\n', at);
    const qsizetype end = nl < 0 ? bytes.size() : nl;
    m_line.append(bytes.sliced(at, end - at));
    at = nl < 0 ? bytes.size() : nl + 1;
    if (m_line.size() > maxLength)
        return std::nullopt;
    return nl >= 0;
}

qsizetype RequestParser::feed(QByteArrayView bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && m_state != State::Failed && !m_completed) {
        switch (m_state) {
        case State::Idle:
            // Blank lines between requests are allowed and ignored.
            if (bytes[i] == '\r' || bytes[i] == '\n') {
                ++i;
                break;
            }
            m_state = State::Head;
            m_line.clear();
            m_current = {};
            break;
        case State::Head: {
            const qsizetype searchFrom = std::max<qsizetype>(0, m_line.size() - 3);
            const qsizetype taken = std::min(bytes.size() - i, m_limits.maxHeadBytes + 4);
            m_line.append(bytes.sliced(i, taken));
            qsizetype end = m_line.indexOf("\r\n\r\n", searchFrom);
            qsizetype terminator = 4;
            const qsizetype bare = m_line.indexOf("\n\n", searchFrom);
            if (bare >= 0 && (end < 0 || bare < end)) {
                end = bare;
                terminator = 2;
            }
            if (end < 0) {
                i += taken;
                if (m_line.size() > m_limits.maxHeadBytes)
                    fail(Verdict::HeadTooLarge);
                break;
            }
            const qsizetype headLength = end + terminator;
            i += taken - (m_line.size() - headLength);
            m_line.truncate(headLength);
            if (headLength > m_limits.maxHeadBytes)
                fail(Verdict::HeadTooLarge);
            else
                headComplete();
            break;
        }
        case State::Body:
        case State::ChunkData: {
            const qint64 n = std::min<qint64>(m_remaining, bytes.size() - i);
            m_current.body.append(bytes.sliced(i, n));
            i += n;
            m_remaining -= n;
            if (m_remaining == 0 && m_state == State::Body)
                finishRequest();
            else if (m_remaining == 0)
                m_state = State::ChunkDataEnd;
            break;
        }
        case State::ChunkSize: {
            const auto complete = line(bytes, i, maxChunkLine);
            if (!complete) {
                fail(Verdict::Malformed);
                break;
            }
            if (!*complete)
                break;
            QByteArrayView sizeText = withoutCr(m_line);
            if (const qsizetype semi = sizeText.indexOf(';'); semi >= 0)
                sizeText = sizeText.first(semi);
            sizeText = sizeText.trimmed();
            bool ok = sizeText.size() <= 8;
            const qint64 size = ok ? sizeText.toLongLong(&ok, 16) : -1;
            m_line.clear();
            if (!ok || size < 0)
                fail(Verdict::Malformed);
            else if (m_current.body.size() + size > m_limits.maxBodyBytes)
                fail(Verdict::BodyTooLarge);
            else {
                m_remaining = size;
                m_state = size == 0 ? State::Trailer : State::ChunkData;
            }
            break;
        }
        case State::ChunkDataEnd: {
            const auto complete = line(bytes, i, 2);
            if (!complete || (*complete && !withoutCr(m_line).isEmpty()))
                fail(Verdict::Malformed);
            else if (*complete) {
                m_line.clear();
                m_state = State::ChunkSize;
            }
            break;
        }
        case State::Trailer: {
            const auto complete = line(bytes, i, m_limits.maxHeadBytes);
            if (!complete)
                fail(Verdict::HeadTooLarge);
            else if (*complete && withoutCr(m_line).isEmpty())
                finishRequest();
            else if (*complete)
                m_line.clear();
            break;
        }
        case State::Failed:
            break;
        }
    }
    return i;
}

} // namespace korvana::api
