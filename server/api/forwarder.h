// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "router.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>

#include <functional>

namespace korvana::api {

// Hands a request for a room another server owns to that server (one hop: the request says it
// was handed on, and is never handed on again) and answers with its answer, unchanged.
class Forwarder : public QObject
{
    Q_OBJECT

public:
    explicit Forwarder(QObject *parent = nullptr);

    // `base`: the owner's address, http://host:port. When it cannot be reached, `unreachable`
    // runs instead (none: the answer is a 503).
    void forward(const ApiRequest &request, const QString &base, const Respond &respond,
                 std::function<void()> unreachable = {});

    // The header that marks a handed-on request.
    static constexpr const char *HopHeader = "X-Korvana-Hop";

private:
    struct Waiter
    {
        Respond respond;
        std::function<void()> unreachable;
        QPointer<QObject> lifetime;
        bool owned = false; // had a lifetime: gone means nobody waits any more
    };

    QNetworkAccessManager m_network;
    QHash<QByteArray, QList<Waiter>> m_asking; // answers on their way, by question
};

} // namespace korvana::api
