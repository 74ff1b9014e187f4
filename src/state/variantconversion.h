// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestatus.h"
#include "jsonwriter.h"

#include <QJsonDocument>
#include <QVariant>

#include <type_traits>

namespace korvana {

// A record as QML sees it: maps and lists under the same member names as on the wire, except
// that a game's status is its GameStatus number, compared in QML as GameStatus.InProgress.
template <json::WritableRecord T> QVariant toVariant(const T &record)
{
    QVariant value = QJsonDocument::fromJson(json::toJson(record)).toVariant();
    if constexpr (requires { record.gameStatus; }) {
        QVariantMap map = value.toMap();
        const auto &status = record.gameStatus;
        if constexpr (std::is_same_v<std::decay_t<decltype(status)>, GameStatus>)
            map.insert(QStringLiteral("gameStatus"), int(status));
        else if (status)
            map.insert(QStringLiteral("gameStatus"), int(*status));
        value = map;
    }
    return value;
}

template <json::WritableRecord T> QVariantList toVariantList(const QList<T> &records)
{
    QVariantList list;
    list.reserve(records.size());
    for (const T &record : records)
        list.append(toVariant(record));
    return list;
}

} // namespace korvana
