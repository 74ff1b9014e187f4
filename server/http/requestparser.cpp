// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "requestparser.h"

#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <algorithm>
#include <cstring>

namespace korvana::http {

namespace beast = boost::beast;

struct RequestParser::Beast
{
    // Beast's parser reads one message; a new one is made for each request.
    std::optional<beast::http::request_parser<beast::http::string_body>> parser;
};

namespace {

constexpr qsizetype maxMethodLength = 16;

QByteArrayView view(beast::string_view text)
{
    return {text.data(), qsizetype(text.size())};
}

bool isFieldValue(beast::string_view text)
{
    return std::ranges::none_of(text, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7f;
    });
}

// Where a head's lines stand: complete at `length`, refused, or still coming (scan again from
// `lineStart`, the start of the line not yet ended).
struct HeadScan
{
    enum class Result { Complete, Incomplete, Bare, Folded } result = Result::Incomplete;
    qsizetype length = 0;
    qsizetype lineStart = 0;
    int lines = 0;
};

// Checks the lines of a head from `from` (a line's start): each must end in CR LF, and none but
// the first may start with a space or tab (an obsolete folded line). A blank line ends the head.
HeadScan scanHead(QByteArrayView bytes, qsizetype from, int lines)
{
    HeadScan scan{HeadScan::Result::Incomplete, 0, from, lines};
    const char *data = bytes.data();
    while (scan.lineStart < bytes.size()) {
        if (scan.lines > 0 && (data[scan.lineStart] == ' ' || data[scan.lineStart] == '\t'))
            return {HeadScan::Result::Folded};
        const void *lf =
            std::memchr(data + scan.lineStart, '\n', size_t(bytes.size() - scan.lineStart));
        if (!lf)
            return scan;
        const qsizetype at = static_cast<const char *>(lf) - data;
        if (at == 0 || data[at - 1] != '\r')
            return {HeadScan::Result::Bare};
        const bool blank = at == scan.lineStart + 1;
        scan.lineStart = at + 1;
        if (blank)
            return {HeadScan::Result::Complete, at + 1, 0, scan.lines};
        ++scan.lines;
    }
    return scan;
}

bool hasBareLineFeed(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype at = bytes.indexOf('\n', from); at >= 0; at = bytes.indexOf('\n', at + 1))
        if (at == 0 || bytes[at - 1] != '\r')
            return true;
    return false;
}

} // namespace

RequestParser::RequestParser(Limits limits)
    : m_limits(limits)
    , m_beast(std::make_unique<Beast>())
{
}

RequestParser::~RequestParser() = default;

void RequestParser::fail(Verdict verdict)
{
    m_state = State::Failed;
    m_verdict = verdict;
    m_pending.clear();
}

bool RequestParser::takeExpectContinue()
{
    return std::exchange(m_expectContinue, false);
}

std::optional<HttpRequest> RequestParser::takeRequest()
{
    return std::exchange(m_completed, std::nullopt);
}

qsizetype RequestParser::put(QByteArrayView bytes)
{
    beast::error_code ec;
    const auto taken = qsizetype(
        m_beast->parser->put(boost::asio::const_buffer(bytes.data(), size_t(bytes.size())), ec));
    if (ec == beast::http::error::need_more)
        return taken;
    if (ec == beast::http::error::body_limit)
        fail(Verdict::BodyTooLarge);
    else if (ec == beast::http::error::header_limit)
        fail(Verdict::HeadTooLarge);
    else if (ec)
        fail(Verdict::Malformed);
    else if (m_state == State::Head && m_beast->parser->is_header_done())
        headComplete();
    if (m_state == State::Body && m_beast->parser->is_done()) {
        auto &message = m_beast->parser->get();
        m_current.body = QByteArray(message.body().data(), qsizetype(message.body().size()));
        m_completed = std::exchange(m_current, {});
        m_state = State::Idle;
        m_expectContinue = false;
        m_beast->parser.reset();
    }
    return taken;
}

void RequestParser::headComplete()
{
    const auto &message = m_beast->parser->get();
    const unsigned version = message.version();
    const QByteArrayView method = view(message.method_string());
    const QByteArrayView target = view(message.target());
    if (version != 10 && version != 11)
        return fail(Verdict::Malformed);
    if (method.size() > maxMethodLength || target.isEmpty())
        return fail(Verdict::Malformed);
    if (!target.startsWith('/') && target != "*" && !target.startsWith("http://") &&
        !target.startsWith("https://"))
        return fail(Verdict::Malformed);
    // HTTP/1.1 names its host exactly once; HTTP/1.0 at most once.
    const auto hosts = message.count(beast::http::field::host);
    if (hosts > 1 || (version == 11 && hosts == 0))
        return fail(Verdict::Malformed);
    // Only "chunked", once, and only from an HTTP/1.1 client: anything else is framing this
    // server cannot read the way a proxy in front of it might.
    const auto encodings = message.count(beast::http::field::transfer_encoding);
    if (encodings > 1 ||
        (encodings == 1 &&
         (version == 10 || !m_beast->parser->chunked() ||
          !beast::iequals(message[beast::http::field::transfer_encoding], "chunked"))))
        return fail(Verdict::Malformed);
    for (const auto &field : message)
        if (!isFieldValue(field.value()))
            return fail(Verdict::Malformed);

    HttpRequest request;
    request.method = method.toByteArray();
    request.target = target.toByteArray();
    request.authorization = view(message[beast::http::field::authorization]).toByteArray();
    request.ifNoneMatch = view(message[beast::http::field::if_none_match]).toByteArray();
    request.prefer = view(message["Prefer"]).toByteArray();
    request.handedOn = message.find("X-Korvana-Hop") != message.end();
    request.keepAlive = m_beast->parser->keep_alive();
    request.http10 = version == 10;
    m_expectContinue = beast::iequals(message[beast::http::field::expect], "100-continue");
    m_current = std::move(request);
    // The body, if any, is read on; until it ends the request is not handed out.
    m_state = State::Body;
    m_beast->parser->eager(true);
}

qsizetype RequestParser::readHead(QByteArrayView bytes)
{
    const qsizetype before = m_pending.size();
    const qsizetype room = m_limits.maxHeadBytes + 1 - before;
    if (before > 0)
        m_pending.append(bytes.first(std::min(bytes.size(), room)));
    const QByteArrayView head =
        before > 0 ? QByteArrayView(m_pending) : bytes.first(std::min(bytes.size(), room));
    const HeadScan scan = scanHead(head, m_scanned, m_lines);
    if (scan.result == HeadScan::Result::Bare || scan.result == HeadScan::Result::Folded) {
        fail(Verdict::Malformed);
        return head.size() - before;
    }
    if (scan.lines > m_limits.maxHeaderCount + 1) {
        fail(Verdict::HeadTooLarge);
        return head.size() - before;
    }
    if (scan.result == HeadScan::Result::Incomplete) {
        if (head.size() > m_limits.maxHeadBytes) {
            fail(Verdict::HeadTooLarge);
        } else {
            if (before == 0)
                m_pending = head.toByteArray();
            m_scanned = scan.lineStart;
            m_lines = scan.lines;
        }
        return head.size() - before;
    }
    if (scan.length > m_limits.maxHeadBytes) {
        fail(Verdict::HeadTooLarge);
        return head.size() - before;
    }
    m_beast->parser.emplace();
    m_beast->parser->header_limit(std::uint32_t(m_limits.maxHeadBytes + 4));
    m_beast->parser->body_limit(std::uint64_t(m_limits.maxBodyBytes));
    put(head.first(scan.length));
    if (m_state == State::Head && m_verdict == Verdict::Ok) // Beast wants more than a whole head
        fail(Verdict::Malformed);
    m_pending.clear();
    m_scanned = 0;
    m_lines = 0;
    return scan.length - before;
}

qsizetype RequestParser::readBody(QByteArrayView bytes)
{
    if (m_pending.isEmpty()) {
        const qsizetype taken = put(bytes);
        if (m_state == State::Body && taken < bytes.size()) {
            // A chunk line or the trailers, cut short: kept until the rest comes.
            m_pending = bytes.sliced(taken).toByteArray();
            if (hasBareLineFeed(m_pending, 0))
                fail(Verdict::Malformed);
        }
        return m_state == State::Idle ? taken : bytes.size();
    }
    const qsizetype before = m_pending.size();
    m_pending.append(bytes);
    if (hasBareLineFeed(m_pending, before - 1)) {
        fail(Verdict::Malformed);
        return bytes.size();
    }
    const qsizetype taken = put(m_pending);
    if (m_state == State::Idle) {
        const qsizetype left = m_pending.size() - taken;
        m_pending.clear();
        return bytes.size() - left;
    }
    m_pending.remove(0, taken);
    if (m_pending.size() > m_limits.maxHeadBytes)
        fail(Verdict::HeadTooLarge);
    return bytes.size();
}

qsizetype RequestParser::feed(QByteArrayView bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && m_verdict == Verdict::Ok && !m_completed) {
        switch (m_state) {
        case State::Idle:
            // Blank lines between requests are allowed and ignored.
            if (bytes[i] == '\r' || bytes[i] == '\n') {
                ++i;
                break;
            }
            m_state = State::Head;
            break;
        case State::Head:
            i += readHead(bytes.sliced(i));
            break;
        case State::Body:
            i += readBody(bytes.sliced(i));
            break;
        case State::Failed:
            return i;
        }
    }
    return i;
}

} // namespace korvana::http
