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
    const QUrl url(base + request.path);
    const bool get = request.method != ApiRequest::Method::Post;
    // The same question asked again while the first is on its way shares its answer (polls held
    // here for one seat, woken by one change).
    const QByteArray key = get ? url.toEncoded() + '\n' + request.authorization + '\n' +
                                     request.ifNoneMatch + '\n' + request.prefer
                               : QByteArray();
    Waiter waiter{respond, std::move(unreachable), request.lifetime, request.lifetime != nullptr};
    if (get) {
        if (const auto it = m_asking.find(key); it != m_asking.end()) {
            it->append(std::move(waiter));
            return;
        }
    }
    QNetworkRequest out(url);
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
    if (get) {
        reply = m_network.get(out);
        m_asking.insert(key, {std::move(waiter)});
    } else {
        out.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        reply = m_network.post(out, request.body);
        // A move whose client went away is still made: only its answer is dropped.
        m_asking.insert(QByteArray::number(quintptr(reply)), {std::move(waiter)});
    }
    reply->setParent(this);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, key = get ? key : QByteArray::number(quintptr(reply))] {
                reply->deleteLater();
                const QList<Waiter> waiters = m_asking.take(key);
                const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
                ApiResponse answer{status.toInt(), reply->readAll(), {}};
                for (const char *name : {"ETag", "Preference-Applied", "Retry-After", "Allow"})
                    if (reply->hasRawHeader(name))
                        answer.headers.append({name, reply->rawHeader(name)});
                for (const Waiter &w : waiters) {
                    if (w.owned && !w.lifetime)
                        continue; // the client went away
                    if (status.isValid())
                        w.respond(answer);
                    else if (w.unreachable)
                        w.unreachable();
                    else
                        w.respond(errorResponse(503, texts::storeUnavailable()));
                }
            });
}

} // namespace korvana::api
