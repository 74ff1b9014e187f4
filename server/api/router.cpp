// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "router.h"

#include "accounts.h"
#include "handlers.h"
#include "requestlimits.h"
#include "texts.h"

#include <QUrl>

#include <optional>

namespace korvana::api {
namespace {

using Method = ApiRequest::Method;

ApiResponse methodNotAllowed(const QByteArray &allowed)
{
    ApiResponse r = errorResponse(405, texts::wrongMethod());
    r.headers.append({"Allow", allowed});
    return r;
}

template <typename T> std::optional<T> readBody(const ApiRequest &request, const Respond &respond)
{
    auto decoded = json::decode<T>(request.body);
    if (!decoded) {
        respond(errorResponse(400, texts::badRequest(decoded.error().description())));
        return std::nullopt;
    }
    return std::move(*decoded);
}

std::optional<rooms::Account> signedIn(Accounts &accounts, const ApiRequest &request,
                                       const Respond &respond)
{
    const auto account = accounts.authenticate(request.authorization);
    if (account)
        return *account;
    switch (account.error()) {
    case Accounts::TokenProblem::Missing:
        respond(errorResponse(401, texts::tokenMissing()));
        break;
    case Accounts::TokenProblem::Unknown:
        respond(errorResponse(401, texts::tokenUnknown()));
        break;
    case Accounts::TokenProblem::Expired:
        respond(errorResponse(401, texts::tokenExpired()));
        break;
    }
    return std::nullopt;
}

Method methodOf(const QByteArray &method)
{
    if (method == "GET")
        return Method::Get;
    if (method == "POST")
        return Method::Post;
    return Method::Other;
}

// The path of a request target: "/a/b?x" or "http://host/a/b" gives "/a/b".
QString pathOf(const QByteArray &target)
{
    if (target.startsWith('/') && !target.contains('%') && !target.contains('?') &&
        !target.contains('#'))
        return QString::fromLatin1(target);
    return QUrl::fromEncoded(target).path();
}

} // namespace

void Router::handle(http::HttpRequest request, const QString &client, QObject *lifetime,
                    const Respond &respond) const
{
    ApiRequest api;
    api.method = methodOf(request.method);
    api.path = pathOf(request.target);
    api.authorization = std::move(request.authorization);
    api.body = std::move(request.body);
    api.client = client;
    api.ifNoneMatch = std::move(request.ifNoneMatch);
    api.prefer = std::move(request.prefer);
    api.lifetime = lifetime;
    api.handedOn = request.handedOn;
    dispatch(api, respond);
}

ApiResponse Router::refusal(int status) const
{
    switch (status) {
    case 413:
        return errorResponse(413, texts::bodyTooLarge());
    case 431:
        return errorResponse(431, texts::headTooLarge());
    default:
        return errorResponse(400, texts::malformedHttp());
    }
}

void Router::add(Method method, const QString &path, Route route)
{
    Entry &entry = m_exact[path];
    (method == Method::Get ? entry.get : entry.post) = std::move(route);
}

void Router::addPrefix(Method method, const QString &prefix, Route route)
{
    for (auto &[p, entry] : m_prefixes)
        if (p == prefix) {
            (method == Method::Get ? entry.get : entry.post) = std::move(route);
            return;
        }
    Entry entry;
    (method == Method::Get ? entry.get : entry.post) = std::move(route);
    m_prefixes.append({prefix, std::move(entry)});
}

QByteArray Router::allowedMethods(const Entry &entry)
{
    return entry.get && entry.post ? "GET, POST" : entry.get ? "GET" : "POST";
}

void Router::dispatch(const ApiRequest &request, const Respond &respond) const
{
    const Entry *entry = nullptr;
    if (auto it = m_exact.constFind(request.path); it != m_exact.cend()) {
        entry = &*it;
    } else {
        for (const auto &[prefix, e] : m_prefixes)
            if (request.path.size() > prefix.size() && request.path.startsWith(prefix)) {
                entry = &e;
                break;
            }
    }
    // A method we do not serve may be a HEAD, whose answer must not carry a body: a client
    // would read the body as the start of its next answer.
    if (request.method == Method::Other) {
        ApiResponse r = entry ? methodNotAllowed(allowedMethods(*entry)) : ApiResponse{404, {}, {}};
        r.body.clear();
        return respond(r);
    }
    if (!entry)
        return respond(errorResponse(404, texts::unknownPath()));
    const Route &route = request.method == Method::Get    ? entry->get
                         : request.method == Method::Post ? entry->post
                                                          : Route();
    if (!route)
        return respond(methodNotAllowed(allowedMethods(*entry)));
    if (request.body.size() > http::RequestLimits{}.maxBodyBytes)
        return respond(errorResponse(413, texts::bodyTooLarge()));
    route(request, respond);
}

void wireRoutes(Router &router, Handlers &h, Accounts &accounts)
{
    // Public: no token needed.
    router.add(Method::Get, QStringLiteral("/api/health"),
               [&h](const ApiRequest &, const Respond &respond) { respond(h.health()); });
    router.add(Method::Get, QStringLiteral("/api/game/time-options"),
               [&h](const ApiRequest &, const Respond &respond) { respond(h.timeOptions()); });
    router.add(Method::Get, QStringLiteral("/api/game/pieces"),
               [&h](const ApiRequest &, const Respond &respond) { respond(h.pieces()); });

    // Sign-in hashes passwords off the event loop; the answer comes back on this thread.
    router.add(Method::Post, QStringLiteral("/api/auth/register"),
               [&h, &accounts](const ApiRequest &request, const Respond &respond) {
                   if (const auto body = readBody<RegisterRequest>(request, respond))
                       h.registerUser(*body, request.client).then(&accounts, respond);
               });
    router.add(Method::Post, QStringLiteral("/api/auth/login"),
               [&h, &accounts](const ApiRequest &request, const Respond &respond) {
                   // A client over its limit is refused before its body is even read.
                   if (const auto wait = accounts.clientMustWait(request.client)) {
                       ApiResponse r = errorResponse(429, texts::tooManyLogins(*wait));
                       r.headers.append({"Retry-After", QByteArray::number(*wait)});
                       return respond(r);
                   }
                   if (const auto body = readBody<LoginRequest>(request, respond))
                       h.login(*body, request.client).then(&accounts, respond);
               });

    // Signed in, no body.
    const auto get = [&](const QString &path,
                         ApiResponse (Handlers::*handler)(const rooms::Account &)) {
        router.add(Method::Get, path,
                   [&h, &accounts, handler](const ApiRequest &request, const Respond &respond) {
                       if (const auto account = signedIn(accounts, request, respond))
                           respond((h.*handler)(*account));
                   });
    };
    get(QStringLiteral("/api/auth/me"), &Handlers::me);
    get(QStringLiteral("/api/game/servers"), &Handlers::servers);
    get(QStringLiteral("/api/game/active-games"), &Handlers::activeGames);
    // Runs a request anew, when the owner of its room could not be reached.
    const auto again = [&router](const Respond &respond) {
        return [&router, respond](const ApiRequest &request) { router.dispatch(request, respond); };
    };
    router.addPrefix(Method::Get, QStringLiteral("/api/game/session/"),
                     [&h, &accounts, again](const ApiRequest &request, const Respond &respond) {
                         const auto account = signedIn(accounts, request, respond);
                         if (!account)
                             return;
                         const QString sessionId = request.path.sliced(18);
                         if (const auto owner = h.ownerElsewhere(request, sessionId))
                             return h.handOn(request, *owner, respond, again(respond));
                         h.session(*account, sessionId,
                                   {request.ifNoneMatch, request.prefer, request.lifetime},
                                   respond);
                     });

    // Signed in, with a body read by the wire records.
    const auto post = [&]<typename T>(const QString &path, ApiResponse (Handlers::*handler)(
                                                               const rooms::Account &, const T &)) {
        router.add(
            Method::Post, path,
            [&h, &accounts, handler, again](const ApiRequest &request, const Respond &respond) {
                const auto account = signedIn(accounts, request, respond);
                if (!account)
                    return;
                const auto body = readBody<T>(request, respond);
                if (!body)
                    return;
                // A room of another server is changed there.
                std::optional<QString> owner;
                if constexpr (requires { body->sessionId; })
                    owner = h.ownerElsewhere(request, body->sessionId);
                else if constexpr (requires { body->roomId; })
                    owner = h.ownerElsewhere(request, {}, body->roomId);
                if (owner)
                    return h.handOn(request, *owner, respond, again(respond));
                respond((h.*handler)(*account, *body));
            });
    };
    post(QStringLiteral("/api/game/session"), &Handlers::createSession);
    post(QStringLiteral("/api/game/join"), &Handlers::join);
    post(QStringLiteral("/api/game/rejoin"), &Handlers::rejoin);
    post(QStringLiteral("/api/game/place"), &Handlers::place);
    post(QStringLiteral("/api/game/pass"), &Handlers::pass);
    post(QStringLiteral("/api/game/vote-to-start"), &Handlers::vote);
    post(QStringLiteral("/api/scores"), &Handlers::saveScore);
}

} // namespace korvana::api
