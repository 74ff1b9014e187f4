// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "account.h"
#include "httpmessage.h"
#include "jsonwriter.h"

#include <QByteArray>
#include <QList>
#include <QPair>

namespace korvana::api {

// What a handler answers: a status, a JSON body written by a wire record, and extra headers.
// HTTP framing is the transport's business, so handlers are testable without sockets.
using ApiResponse = http::HttpResponse;

template <json::WritableRecord T> ApiResponse jsonResponse(int status, const T &record)
{
    return {status, json::toJson(record), {}};
}

inline ApiResponse errorResponse(int status, const QString &text)
{
    return jsonResponse(status, ErrorResponse{text});
}

} // namespace korvana::api
