#pragma once

#include <QAbstractHttpServer>

namespace korvana::api {

class Router;

// Qt HttpServer parses; this hands each request to the router and writes the answer through
// the connection's watch, which keeps answers in order and applies the limits.
class HttpServer : public QAbstractHttpServer
{
    Q_OBJECT

public:
    explicit HttpServer(const Router &router, QObject *parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    const Router &m_router;
};

} // namespace korvana::api
