// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "decodeerror.h"
#include "gamestatus.h"
#include "quickreader.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVarLengthArray>

#include <simdjson.h>

#include <concepts>
#include <expected>
#include <optional>
#include <string_view>
#include <type_traits>

namespace korvana::json {

// One step of the path from the root to a value; lives on the stack while the value is read,
// so the path is only turned into text when an error is reported.
struct PathNode
{
    const PathNode *parent = nullptr;
    std::string_view key;
    qsizetype index = -1;
};

QString renderPath(const PathNode *node);
QString jsonTypeName(simdjson::dom::element_type type);

// A parsed JSON value together with where it sits in the message.
class Value
{
public:
    Value(simdjson::dom::element element, const PathNode *path)
        : m_element(element)
        , m_path(path)
    {
    }

    [[nodiscard]] simdjson::dom::element element() const { return m_element; }
    [[nodiscard]] const PathNode *path() const { return m_path; }
    [[nodiscard]] simdjson::dom::element_type type() const { return m_element.type(); }
    [[nodiscard]] bool isNull() const { return m_element.is_null(); }

    [[nodiscard]] DecodeError typeMismatch(const QString &expected) const;
    [[nodiscard]] DecodeError valueMissing(const QString &expected) const;

private:
    simdjson::dom::element m_element;
    const PathNode *m_path;
};

// A wire record: a type name for errors and one list of its fields (see jsonfields.h).
template <class T>
concept Record = requires
{
    {
        T::typeName
        } -> std::convertible_to<const char *>;
    T::fields();
};

template <class T> struct TypeName;
template <> struct TypeName<qint64>
{
    static QString get() { return QStringLiteral("Int"); }
};
template <> struct TypeName<QString>
{
    static QString get() { return QStringLiteral("String"); }
};
template <> struct TypeName<bool>
{
    static QString get() { return QStringLiteral("Bool"); }
};
template <> struct TypeName<GameStatus>
{
    static QString get() { return QStringLiteral("String"); }
};
template <class T> struct TypeName<QList<T>>
{
    static QString get() { return QStringLiteral("Array<") + TypeName<T>::get() + u'>'; }
};
template <class T, qsizetype N> struct TypeName<QVarLengthArray<T, N>>
{
    static QString get() { return TypeName<QList<T>>::get(); }
};
template <Record T> struct TypeName<T>
{
    static QString get() { return QString::fromLatin1(T::typeName); }
};

// Reads one value of type T; an error is returned, never thrown.
std::optional<DecodeError> readValue(const Value &v, qint64 &out);
std::optional<DecodeError> readValue(const Value &v, QString &out);
std::optional<DecodeError> readValue(const Value &v, bool &out);
// Any string: a name this client does not know reads as GameStatus::Unknown.
std::optional<DecodeError> readValue(const Value &v, GameStatus &out);

// Reads a record by its field list; defined in jsonfields.h.
template <Record T> std::optional<DecodeError> readValue(const Value &v, T &out);

template <class List> std::optional<DecodeError> readList(const Value &v, List &out)
{
    if (v.isNull())
        return v.valueMissing(TypeName<List>::get());
    simdjson::dom::array array;
    if (v.element().get_array().get(array) != simdjson::SUCCESS)
        return v.typeMismatch(TypeName<List>::get());
    // Lists arrive empty and are read hundreds of times per game state: skip needless work.
    if (!out.isEmpty())
        out.clear();
    if (const auto size = qsizetype(array.size()); out.capacity() < size)
        out.reserve(size);
    qsizetype index = 0;
    for (simdjson::dom::element item : array) {
        if constexpr (std::is_same_v<typename List::value_type, qint64>) {
            int64_t number = 0;
            if (item.get_int64().get(number) == simdjson::SUCCESS) {
                out.append(number);
                ++index;
                continue;
            }
        }
        const PathNode node{v.path(), {}, index++};
        if (auto error = readValue(Value(item, &node), out.emplace_back()))
            return error;
    }
    return std::nullopt;
}

template <class T> std::optional<DecodeError> readValue(const Value &v, QList<T> &out)
{
    return readList(v, out);
}

template <class T, qsizetype N>
std::optional<DecodeError> readValue(const Value &v, QVarLengthArray<T, N> &out)
{
    return readList(v, out);
}

// Reads the members of one JSON object under the reading rules. The first failure is kept and
// every later call does nothing, so a record's read function is a plain list of its fields.
class ObjectReader
{
public:
    ObjectReader(const Value &value, const char *typeName);

    [[nodiscard]] bool ok() const { return !m_error.has_value(); }

    // Looks a member up; nullopt when the object has no such key.
    [[nodiscard]] std::optional<simdjson::dom::element> find(std::string_view key) const;
    [[nodiscard]] const PathNode *path() const { return m_value.path(); }

    template <class T> void required(std::string_view key, T &out)
    {
        if (!ok())
            return;
        const auto element = find(key);
        if (!element) {
            fail(keyMissing(key));
            return;
        }
        const PathNode node{path(), key, -1};
        if (auto error = readValue(Value(*element, &node), out))
            fail(std::move(*error));
    }

    template <class T> void optional(std::string_view key, std::optional<T> &out)
    {
        out.reset();
        if (!ok())
            return;
        const auto element = find(key);
        if (!element || element->is_null())
            return;
        const PathNode node{path(), key, -1};
        T value{};
        if (auto error = readValue(Value(*element, &node), value))
            fail(std::move(*error));
        else
            out = std::move(value);
    }

    template <class T> void withDefault(std::string_view key, T &out, T fallback)
    {
        std::optional<T> value;
        optional(key, value);
        out = value ? std::move(*value) : std::move(fallback);
    }

    template <class T> void lenient(std::string_view key, std::optional<T> &out)
    {
        out.reset();
        if (!ok())
            return;
        const auto element = find(key);
        if (!element || element->is_null())
            return;
        const PathNode node{path(), key, -1};
        T value{};
        if (!readValue(Value(*element, &node), value))
            out = std::move(value);
    }

    void fail(DecodeError error)
    {
        if (ok())
            m_error = std::move(error);
    }

    [[nodiscard]] std::optional<DecodeError> takeError() { return std::move(m_error); }

private:
    [[nodiscard]] DecodeError keyMissing(std::string_view key) const;

    Value m_value;
    simdjson::dom::object m_object;
    // Records read their members in the order they are usually written, so each lookup starts
    // where the last one ended and wraps around: one key comparison per member in the usual case.
    mutable simdjson::dom::object::iterator m_cursor;
    std::optional<DecodeError> m_error;
};

// Parses bytes and reads them as T: quickly when the message is in the usual shape, else by the
// reading rules. The parser is reused per thread; the result owns no part of it.
using QuickCallback = bool (*)(quick::Cursor &, void *);
using ParseCallback = std::optional<DecodeError> (*)(const Value &, void *);
std::optional<DecodeError> parseAndRead(QByteArrayView bytes, QuickCallback quick,
                                        ParseCallback read, void *context);

template <Record T> std::expected<T, DecodeError> decode(QByteArrayView bytes)
{
    T record{};
    auto error = parseAndRead(
        bytes,
        [](quick::Cursor &c, void *context) { return quick::read(c, *static_cast<T *>(context)); },
        [](const Value &v, void *context) {
            // Starts afresh after a quick reading that gave up half way.
            auto &out = *static_cast<T *>(context);
            out = T{};
            return readValue(v, out);
        },
        &record);
    if (error)
        return std::unexpected(std::move(*error));
    return record;
}

} // namespace korvana::json
