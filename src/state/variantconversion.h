// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "jsonwriter.h"

#include <QJsonDocument>
#include <QVariant>

namespace korvana {

// A record as QML sees it: maps and lists under the same member names as on the wire.
template <json::WritableRecord T> QVariant toVariant(const T &record)
{
    return QJsonDocument::fromJson(json::toJson(record)).toVariant();
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
