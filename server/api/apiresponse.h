#pragma once

#include "account.h"
#include "jsonwriter.h"

#include <QByteArray>
#include <QList>
#include <QPair>

namespace korvana::api {

// What a handler answers: a status, a JSON body written by a wire record, and extra headers.
// HTTP framing is the server's business, so handlers are testable without sockets.
struct ApiResponse
{
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
};

template <json::WritableRecord T> ApiResponse jsonResponse(int status, const T &record)
{
    return {status, json::toJson(record), {}};
}

inline ApiResponse errorResponse(int status, const QString &text)
{
    return jsonResponse(status, ErrorResponse{text});
}

} // namespace korvana::api
