// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace korvana::http {

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
    bool http10 = false;   // an HTTP/1.0 client is told when its connection stays open
    bool handedOn = false; // another korvana-server handed it on (X-Korvana-Hop)
};

// An answer: a status, a JSON body and extra headers; the connection adds the framing.
struct HttpResponse
{
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
};

} // namespace korvana::http
