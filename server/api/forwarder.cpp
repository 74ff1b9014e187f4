// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "forwarder.h"

#include "texts.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>

namespace korvana::api {
namespace {
// Long enough for a held poll (30 s) to end at its owner.
constexpr int TimeoutMs = 40'000;
} // namespace

Forwarder::Forwarder(QObject *parent)
    : QObject(parent)
{
    // Loopback or a private network between the servers: never a proxy of the environment.
    m_network.setProxy(QNetworkProxy::NoProxy);
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

void Forwarder::forward(const ApiRequest &request, const QString &base, const Respond &respond,
                        std::function<void()> unreachable)
{
    QNetworkRequest out(QUrl(base + request.path));
    out.setTransferTimeout(TimeoutMs);
    out.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    out.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    out.setRawHeader(HopHeader, "1");
    if (!request.authorization.isEmpty())
        out.setRawHeader("Authorization", request.authorization);
    if (!request.ifNoneMatch.isEmpty())
        out.setRawHeader("If-None-Match", request.ifNoneMatch);
    if (!request.prefer.isEmpty())
        out.setRawHeader("Prefer", request.prefer);
    QNetworkReply *reply = nullptr;
    if (request.method == ApiRequest::Method::Post) {
        out.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        reply = m_network.post(out, request.body);
    } else {
        reply = m_network.get(out);
    }
    reply->setParent(this);
    QPointer<QObject> lifetime(request.lifetime);
    if (request.lifetime)
        connect(request.lifetime, &QObject::destroyed, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this,
            [reply, respond, unreachable, lifetime, owned = bool(lifetime)] {
                reply->deleteLater();
                if (owned && !lifetime)
                    return; // the client went away
                const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
                if (!status.isValid())
                    return respond(errorResponse(503, texts::storeUnavailable()));
                ApiResponse answer{status.toInt(), reply->readAll(), {}};
                for (const char *name : {"ETag", "Preference-Applied", "Retry-After", "Allow"})
                    if (reply->hasRawHeader(name))
                        answer.headers.append({name, reply->rawHeader(name)});
                respond(answer);
            });
}

} // namespace korvana::api
