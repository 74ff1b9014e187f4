// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "healthprobe.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace korvana {

QCoro::Task<HealthProbe> probeHealth(QNetworkAccessManager *network, QString baseUrl, int timeoutMs)
{
    const QUrl target(baseUrl + QStringLiteral("/api/health"), QUrl::StrictMode);
    if (!target.isValid() || target.host().isEmpty())
        co_return HealthProbe{};
    QNetworkRequest request(target);
    request.setTransferTimeout(timeoutMs);
    // Nothing is sent but the path; a redirect elsewhere is not this server answering.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = network->get(request);
    co_await reply;
    reply->deleteLater();

    HealthProbe probe;
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        probe.outcome = HealthProbe::Outcome::TimedOut;
        co_return probe;
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        probe.transportError = reply->errorString();
        co_return probe;
    }
    probe.status = status.toInt();
    const QJsonObject body = QJsonDocument::fromJson(reply->read(4096)).object();
    if (probe.status == 200 && body.value(QStringLiteral("status")).toString() == u"ok")
        probe.outcome = HealthProbe::Outcome::Korvana;
    else if (probe.status == 503 && body.contains(QStringLiteral("error")))
        probe.outcome = HealthProbe::Outcome::StoreDown;
    else
        probe.outcome = HealthProbe::Outcome::SomethingElse;
    co_return probe;
}

QString describeProbe(const HealthProbe &probe, int timeoutMs)
{
    switch (probe.outcome) {
    case HealthProbe::Outcome::Korvana:
        return QCoreApplication::translate("HealthProbe", "Serwer Korvana odpowiada. Można grać.");
    case HealthProbe::Outcome::StoreDown:
        return QCoreApplication::translate(
            "HealthProbe", "Serwer Korvana odpowiada, ale jego baza danych jest niedostępna.");
    case HealthProbe::Outcome::SomethingElse:
        return QCoreApplication::translate(
                   "HealthProbe",
                   "Pod tym adresem odpowiada coś innego niż serwer Korvana (HTTP %1).")
            .arg(probe.status);
    case HealthProbe::Outcome::TimedOut:
        return QCoreApplication::translate("HealthProbe", "Serwer nie odpowiedział w ciągu %1 s.")
            .arg(timeoutMs / 1000);
    case HealthProbe::Outcome::NoAnswer:
        break;
    }
    return probe.transportError.isEmpty()
               ? QCoreApplication::translate("HealthProbe", "Brak odpowiedzi serwera.")
               : QCoreApplication::translate("HealthProbe", "Brak odpowiedzi serwera: %1.")
                     .arg(probe.transportError);
}

} // namespace korvana
