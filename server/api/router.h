// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apiresponse.h"
#include "requesthandler.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

namespace korvana::api {

class Accounts;
class Handlers;

// A request as the routes see it: no sockets, no framing.
struct ApiRequest
{
    enum class Method { Get, Post, Other };
    Method method = Method::Get;
    QString path;
    QByteArray authorization;
    QByteArray body;
    QString client; // the peer's address
    QByteArray ifNoneMatch;
    QByteArray prefer;
    QObject *lifetime = nullptr; // an answer still in the making goes when this does
    bool handedOn = false;       // from another server, which found this one the room's owner
    int ownerUnreachable = 0;    // times the room's owner could not be reached for it
};

using Respond = http::Reply;
using Route = std::function<void(const ApiRequest &, const Respond &)>;

// Paths to handlers, by method; a path with a trailing "{id}" matches by prefix. It is what the
// transport hands its requests to.
class Router : public http::RequestHandler
{
public:
    void handle(http::HttpRequest request, const QString &client, QObject *lifetime,
                const Respond &respond) const override;
    [[nodiscard]] ApiResponse refusal(int status) const override;

    void add(ApiRequest::Method method, const QString &path, Route route);
    void addPrefix(ApiRequest::Method method, const QString &prefix, Route route);
    // Answers through `respond`, at once or later; unknown paths 404, other methods 405.
    void dispatch(const ApiRequest &request, const Respond &respond) const;

private:
    struct Entry
    {
        Route get;
        Route post;
    };
    static QByteArray allowedMethods(const Entry &entry);
    QHash<QString, Entry> m_exact;
    QList<QPair<QString, Entry>> m_prefixes;
};

// Every endpoint of the server, wired in one place.
void wireRoutes(Router &router, Handlers &handlers, Accounts &accounts);

} // namespace korvana::api
