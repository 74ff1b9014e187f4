// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestatus.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVarLengthArray>

#include <optional>
#include <string_view>

namespace korvana::json {

class Writer;

// A record written by its field list (see jsonfields.h).
template <class T>
concept WritableRecord = requires
{
    T::fields();
};

template <WritableRecord T> void writeRecord(Writer &w, const T &record);

// Compact JSON with members in the order they are written (QJsonObject would sort them).
class Writer
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);

    void value(qint64 number);
    void value(int number) { value(qint64(number)); }
    void value(bool flag);
    void value(const QString &text);
    void value(GameStatus status) { value(wireName(status)); }
    template <WritableRecord T> void value(const T &record) { writeRecord(*this, record); }
    template <class T> void value(const QList<T> &list) { array(list); }
    template <class T, qsizetype N> void value(const QVarLengthArray<T, N> &list) { array(list); }
    template <class List> void array(const List &list)
    {
        beginArray();
        for (const auto &item : list)
            value(item);
        endArray();
    }

    template <class T> void field(std::string_view name, const T &v)
    {
        key(name);
        value(v);
    }
    // An absent optional is left out, never written as null.
    template <class T> void field(std::string_view name, const std::optional<T> &v)
    {
        if (v)
            field(name, *v);
    }

    [[nodiscard]] QByteArray take() { return std::move(m_out); }
    [[nodiscard]] const QByteArray &bytes() const { return m_out; }

private:
    void separate();
    void appendString(const QString &text);

    QByteArray m_out;
    bool m_needsComma = false;
};

template <WritableRecord T> QByteArray toJson(const T &record)
{
    Writer writer;
    writeRecord(writer, record);
    return writer.take();
}

} // namespace korvana::json
