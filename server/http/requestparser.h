// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "httpmessage.h"
#include "requestlimits.h"

#include <QByteArrayView>

#include <memory>
#include <optional>

namespace korvana::http {

// Reads the requests of one connection as their bytes arrive, in any pieces, and enforces the
// limits while it reads: the head's size and header count, the body's size (known from
// Content-Length before the body is sent, or counted over the chunks), and RFC 9112's framing
// rules without the leniencies that let a request mean two things (bare line feeds, folded
// lines, two framings, chunk sizes other than hex digits, a missing or repeated Host).
class RequestParser
{
public:
    using Limits = RequestLimits;
    enum class Verdict { Ok, HeadTooLarge, BodyTooLarge, Malformed };

    explicit RequestParser(Limits limits = {});
    ~RequestParser();
    RequestParser(const RequestParser &) = delete;
    RequestParser &operator=(const RequestParser &) = delete;

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
    enum class State { Idle, Head, Body, Failed };
    struct Beast;

    qsizetype readHead(QByteArrayView bytes);
    qsizetype readBody(QByteArrayView bytes);
    // Feeds Beast; the bytes it took, with the verdict and state moved on.
    qsizetype put(QByteArrayView bytes);
    void headComplete();
    void fail(Verdict verdict);

    Limits m_limits;
    State m_state = State::Idle;
    Verdict m_verdict = Verdict::Ok;
    std::unique_ptr<Beast> m_beast;
    QByteArray m_pending;    // bytes Beast needs again with more: an unfinished head or chunk line
    qsizetype m_scanned = 0; // where the head's unfinished line starts in m_pending
    int m_lines = 0;         // the head's lines so far
    bool m_expectContinue = false;
    HttpRequest m_current;
    std::optional<HttpRequest> m_completed;
};

} // namespace korvana::http
