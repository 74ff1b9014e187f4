// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestatus.h"

#include <QList>
#include <QString>
#include <QVarLengthArray>

#include <simdjson.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace korvana::json {

template <class T>
concept QuickRecord = requires
{
    T::fields();
};

// The quick reading of a parsed message in the shape our own writer gives it: one walk over the
// parser's tape, members in the order of the record's field list, every value of its own type, no
// null and no unknown key. Anything else gives up (false) and the message is read by ObjectReader,
// which alone knows the reading rules, their fallbacks and the errors.
namespace quick {

// One value on the tape of a parsed document (see simdjson's tape format): a type letter in the
// top byte of each word; a string's word points into the string buffer at its length and bytes;
// an Int is followed by a word holding it; an array or object word holds the index past its end.
class Tape
{
public:
    explicit Tape(const simdjson::dom::document &document)
        : m_words(document.tape.get())
        , m_strings(document.string_buf.get())
    {
    }

    [[nodiscard]] char type(size_t at) const { return char(m_words[at] >> 56); }
    [[nodiscard]] size_t endOf(size_t container) const { return uint32_t(m_words[container]); }
    [[nodiscard]] int64_t number(size_t at) const { return int64_t(m_words[at + 1]); }
    // Where the value after the one at `at` starts.
    [[nodiscard]] size_t after(size_t at) const
    {
        switch (type(at)) {
        case '[':
        case '{':
            return endOf(at);
        case 'l':
        case 'u':
        case 'd':
            return at + 2;
        default:
            return at + 1;
        }
    }
    [[nodiscard]] std::string_view text(size_t at) const
    {
        const uint8_t *entry = m_strings + (m_words[at] & simdjson::internal::JSON_VALUE_MASK);
        uint32_t size = 0;
        std::memcpy(&size, entry, sizeof size);
        return {reinterpret_cast<const char *>(entry) + sizeof size, size};
    }

private:
    const uint64_t *m_words;
    const uint8_t *m_strings;
};

// A position on the tape; reading a value moves it past that value.
struct Cursor
{
    const Tape &tape;
    size_t at;
};

template <class T> bool read(Cursor &c, std::optional<T> &out);
template <class T> bool read(Cursor &c, QList<T> &out);
template <class T, qsizetype N> bool read(Cursor &c, QVarLengthArray<T, N> &out);
template <QuickRecord T> bool read(Cursor &c, T &out);

inline bool read(Cursor &c, qint64 &out)
{
    if (c.tape.type(c.at) != 'l')
        return false;
    out = c.tape.number(c.at);
    c.at += 2;
    return true;
}

inline bool read(Cursor &c, bool &out)
{
    const char type = c.tape.type(c.at);
    if (type != 't' && type != 'f')
        return false;
    out = type == 't';
    ++c.at;
    return true;
}

bool read(Cursor &c, QString &out);
bool read(Cursor &c, GameStatus &out);

template <class T> bool read(Cursor &c, std::optional<T> &out)
{
    T item{};
    if (!read(c, item))
        return false;
    out = std::move(item);
    return true;
}

template <class List> bool readList(Cursor &c, List &out)
{
    if (c.tape.type(c.at) != '[')
        return false;
    const size_t end = c.tape.endOf(c.at) - 1;
    ++c.at;
    // A record may start with a list filled (the empty board): what is read replaces it.
    if (!out.isEmpty())
        out.clear();
    if constexpr (std::is_same_v<typename List::value_type, qint64>) {
        // Board rows and squares: two words per Int.
        out.reserve(qsizetype(end - c.at) / 2);
        for (; c.at < end; c.at += 2) {
            if (c.tape.type(c.at) != 'l')
                return false;
            out.append(c.tape.number(c.at));
        }
        ++c.at;
        return true;
    }
    // Counting hops from item to item, then filling items made at once: cheaper than growing.
    qsizetype size = 0;
    for (size_t at = c.at; at < end; at = c.tape.after(at))
        ++size;
    out.resize(size);
    auto *item = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        if (!read(c, item[i]))
            return false;
    }
    ++c.at;
    return true;
}

template <class T> bool read(Cursor &c, QList<T> &out)
{
    return readList(c, out);
}

template <class T, qsizetype N> bool read(Cursor &c, QVarLengthArray<T, N> &out)
{
    return readList(c, out);
}

// The members of one object, taken in order: a member whose key is not the one asked for stays
// where it is, for the next field.
class Members
{
public:
    // The cursor must be at an object.
    explicit Members(Cursor &c)
        : m_cursor(c)
        , m_end(c.tape.endOf(c.at) - 1)
    {
        ++m_cursor.at;
    }

    // True with the cursor at the member's value, or false when the next member is another.
    bool next(std::string_view key)
    {
        if (m_cursor.at == m_end)
            return false;
        // Keys are short: comparing them inline beats a call to memcmp.
        const std::string_view text = m_cursor.tape.text(m_cursor.at);
        if (text.size() != key.size())
            return false;
        for (size_t i = 0; i < key.size(); ++i) {
            if (text[i] != key[i])
                return false;
        }
        ++m_cursor.at;
        return true;
    }

    // Every member was taken: move past the object.
    bool finish()
    {
        if (m_cursor.at != m_end)
            return false;
        ++m_cursor.at;
        return true;
    }

    Cursor &cursor() { return m_cursor; }

private:
    Cursor &m_cursor;
    size_t m_end;
};

template <QuickRecord T> bool read(Cursor &c, T &out)
{
    if (c.tape.type(c.at) != '{')
        return false;
    Members members(c);
    const bool read = std::apply(
        [&](const auto &...field) { return (field.readQuick(members, out) && ...); }, T::fields());
    if (!read || !members.finish())
        return false;
    if constexpr (requires { T::afterRead(out); })
        T::afterRead(out);
    return true;
}

} // namespace quick
} // namespace korvana::json
