// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "httpmessage.h"

#include <QString>

#include <functional>

class QObject;

namespace korvana::http {

using Reply = std::function<void(HttpResponse)>;

// What the transport hands its requests to. The transport knows no routes; the handler knows no
// sockets.
class RequestHandler
{
public:
    virtual ~RequestHandler() = default;
    // Answers through `reply`, at once or later; an answer still in the making is dropped when
    // `lifetime` goes. `client` is the peer's address.
    virtual void handle(HttpRequest request, const QString &client, QObject *lifetime,
                        const Reply &reply) const = 0;
    // The answer to a request refused below the handlers: 400, 413 or 431.
    [[nodiscard]] virtual HttpResponse refusal(int status) const = 0;
};

} // namespace korvana::http
