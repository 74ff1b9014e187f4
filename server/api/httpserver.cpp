#include "httpserver.h"

#include "connectionguard.h"
#include "router.h"

#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpSocket>

namespace korvana::api {

HttpServer::HttpServer(const Router &router, QObject *parent)
    : QAbstractHttpServer(parent)
    , m_router(router)
{
}

bool HttpServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    ConnectionWatch *watch = ConnectionWatch::of(socket);
    // A connection being refused or closed gets nothing more.
    if (!watch || watch->isRefused())
        return true;
    const RequestScanner::Request framing = watch->takeRequest();
    const int id = watch->beginResponse();

    ApiRequest api;
    switch (request.method()) {
    case QHttpServerRequest::Method::Get:
        api.method = ApiRequest::Method::Get;
        break;
    case QHttpServerRequest::Method::Post:
        api.method = ApiRequest::Method::Post;
        break;
    default:
        api.method = ApiRequest::Method::Other;
        break;
    }
    api.path = request.url().path();
    api.authorization = request.value("authorization");
    api.body = request.body();
    api.client = socket->peerAddress().toString();

    QPointer<ConnectionWatch> target(watch);
    const bool close = !framing.keepAlive;
    m_router.dispatch(api, [target, id, close](const ApiResponse &response) {
        if (target)
            target->finishResponse(id, response, close);
    });
    return true;
}

void HttpServer::missingHandler(const QHttpServerRequest &, QTcpSocket *)
{
    // handleRequest answers everything.
}

} // namespace korvana::api
