// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoroTask>
#include <QString>

class QNetworkAccessManager;

namespace korvana {

// What answered at a server's /api/health.
struct HealthProbe
{
    enum class Outcome {
        Korvana,       // 200 with {"status":"ok"}
        StoreDown,     // 503: a server that reports its database unavailable
        SomethingElse, // an HTTP answer that is not ours
        NoAnswer,      // refused, unreachable, TLS failure, or no HTTP at all
        TimedOut,
    };
    Outcome outcome = Outcome::NoAnswer;
    int status = 0;
    QString transportError; // Qt's (Polish) text for NoAnswer
};

// One GET of baseUrl + "/api/health", ended after timeoutMs. The network manager must outlive
// the probe.
QCoro::Task<HealthProbe> probeHealth(QNetworkAccessManager *network, QString baseUrl,
                                     int timeoutMs);

// The probe's result as the server sheet says it.
[[nodiscard]] QString describeProbe(const HealthProbe &probe, int timeoutMs);

} // namespace korvana
