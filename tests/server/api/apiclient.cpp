#include "apiclient.h"

#include "account.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QTimer>

#include <memory>

namespace korvana::test {

QString HttpResult::error() const
{
    const auto e = as<ErrorResponse>();
    return e ? e->error : QString();
}

HttpResult ApiClient::send(const QByteArray &method, const QString &path, const QByteArray &body,
                           const QString &token)
{
    QNetworkRequest request(m_base.resolved(QUrl(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setTransferTimeout(10'000);
    if (!token.isNull())
        request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    std::unique_ptr<QNetworkReply> reply(
        m_manager.sendCustomRequest(request, method, method == "GET" ? QByteArray() : body));
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(15'000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!reply->isFinished())
        reply->abort();
    HttpResult result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.retryAfter = reply->rawHeader("Retry-After");
    return result;
}

HttpResult ApiClient::get(const QString &path, const QString &token)
{
    return send("GET", path, {}, token);
}

HttpResult ApiClient::post(const QString &path, const QByteArray &body, const QString &token)
{
    return send("POST", path, body, token);
}

QString ApiClient::registerUser(const QString &name)
{
    const auto reply = post(QStringLiteral("/api/auth/register"),
                            RegisterRequest{name, name.toLower() + QStringLiteral("@example.com"),
                                            QStringLiteral("haslo123")});
    const auto login = reply.as<LoginResponse>();
    return login ? login->token : QString();
}

} // namespace korvana::test
