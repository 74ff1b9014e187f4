// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jsonreader.h"

#include "diagnostics.h"
#include "sharedtext.h"

#include <charconv>

namespace korvana::json {

QString renderPath(const PathNode *node)
{
    QList<const PathNode *> nodes;
    for (; node; node = node->parent)
        nodes.prepend(node);
    QString text;
    for (const PathNode *step : std::as_const(nodes)) {
        if (step->index >= 0) {
            text += u'[' + QString::number(step->index) + u']';
        } else {
            if (!text.isEmpty())
                text += u'.';
            text += QString::fromUtf8(step->key.data(), qsizetype(step->key.size()));
        }
    }
    return text;
}

QString jsonTypeName(simdjson::dom::element_type type)
{
    using T = simdjson::dom::element_type;
    switch (type) {
    case T::ARRAY:
        return QStringLiteral("Array");
    case T::OBJECT:
        return QStringLiteral("Object");
    case T::INT64:
        return QStringLiteral("Int");
    case T::UINT64:
        return QStringLiteral("Int poza zakresem 64 bitów");
    case T::DOUBLE:
        return QStringLiteral("liczba niecałkowita lub poza zakresem 64 bitów");
    case T::STRING:
        return QStringLiteral("String");
    case T::BOOL:
        return QStringLiteral("Bool");
    case T::NULL_VALUE:
        return QStringLiteral("null");
    }
    return QStringLiteral("?");
}

DecodeError Value::typeMismatch(const QString &expected) const
{
    return {
        DecodeError::Kind::TypeMismatch, expected, {}, renderPath(m_path), jsonTypeName(type())};
}

DecodeError Value::valueMissing(const QString &expected) const
{
    return {DecodeError::Kind::ValueMissing, expected, {}, renderPath(m_path), {}};
}

std::optional<DecodeError> readValue(const Value &v, qint64 &out)
{
    // Only a plain integer that fits in 64 signed bits is an Int: 1.0, 1e3 and 2^63 are not.
    int64_t value = 0;
    if (v.element().get_int64().get(value) == simdjson::SUCCESS) {
        out = value;
        return std::nullopt;
    }
    return v.isNull() ? v.valueMissing(TypeName<qint64>::get())
                      : v.typeMismatch(TypeName<qint64>::get());
}

std::optional<DecodeError> readValue(const Value &v, QString &out)
{
    std::string_view text;
    if (v.element().get_string().get(text) == simdjson::SUCCESS) {
        out = sharedText(text);
        return std::nullopt;
    }
    return v.isNull() ? v.valueMissing(TypeName<QString>::get())
                      : v.typeMismatch(TypeName<QString>::get());
}

std::optional<DecodeError> readValue(const Value &v, GameStatus &out)
{
    std::string_view text;
    if (v.element().get_string().get(text) == simdjson::SUCCESS) {
        out = gameStatusNamed(QUtf8StringView(text.data(), qsizetype(text.size())));
        return std::nullopt;
    }
    return v.isNull() ? v.valueMissing(TypeName<GameStatus>::get())
                      : v.typeMismatch(TypeName<GameStatus>::get());
}

std::optional<DecodeError> readValue(const Value &v, bool &out)
{
    if (v.element().get_bool().get(out) == simdjson::SUCCESS)
        return std::nullopt;
    return v.isNull() ? v.valueMissing(TypeName<bool>::get())
                      : v.typeMismatch(TypeName<bool>::get());
}

ObjectReader::ObjectReader(const Value &value, const char *typeName)
    : m_value(value)
{
    if (value.element().get_object().get(m_object) == simdjson::SUCCESS) {
        m_cursor = m_object.begin();
        return;
    }
    const QString name = QString::fromLatin1(typeName);
    m_error = value.isNull() ? value.valueMissing(name) : value.typeMismatch(name);
}

namespace {
// Keys are short: comparing them inline beats a call to memcmp.
bool sameKey(const simdjson::dom::object::iterator &it, std::string_view key)
{
    if (it.key_length() != key.size())
        return false;
    const char *bytes = it.key_c_str();
    for (size_t i = 0; i < key.size(); ++i) {
        if (bytes[i] != key[i])
            return false;
    }
    return true;
}
} // namespace

std::optional<simdjson::dom::element> ObjectReader::find(std::string_view key) const
{
    if (!ok())
        return std::nullopt;
    const auto end = m_object.end();
    for (auto it = m_cursor; it != end; ++it) {
        if (sameKey(it, key)) {
            m_cursor = it;
            ++m_cursor;
            return it.value();
        }
    }
    for (auto it = m_object.begin(); it != m_cursor; ++it) {
        if (sameKey(it, key)) {
            m_cursor = it;
            ++m_cursor;
            return it.value();
        }
    }
    return std::nullopt;
}

DecodeError ObjectReader::keyMissing(std::string_view key) const
{
    return {DecodeError::Kind::KeyMissing,
            {},
            QString::fromUtf8(key.data(), qsizetype(key.size())),
            renderPath(path()),
            {}};
}

namespace {
bool isNumberStart(char c)
{
    return c == '-' || (c >= '0' && c <= '9');
}

// JSON's number grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(std::string_view t)
{
    size_t i = 0;
    const auto digits = [&] {
        const size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i > start;
    };
    if (i < t.size() && t[i] == '-')
        ++i;
    if (i < t.size() && t[i] == '0')
        ++i;
    else if (!digits())
        return false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == t.size();
}

bool fitsInt64(std::string_view token)
{
    if (token.find_first_of(".eE") != std::string_view::npos)
        return false;
    std::int64_t value = 0;
    const auto [end, status] = std::from_chars(token.data(), token.data() + token.size(), value);
    return status == std::errc() && end == token.data() + token.size();
}

// The parser refuses numbers it cannot hold (beyond 64 bits, or 1e400). Such a number is never
// an Int, so it is swapped for a fraction and the reader then reports the wrong type at its path.
QByteArray withUnholdableNumbersReplaced(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < bytes.size())
                out += bytes[++i];
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
            out += c;
            continue;
        }
        if (!isNumberStart(c)) {
            out += c;
            continue;
        }
        qsizetype end = i;
        while (end < bytes.size() && (isNumberStart(bytes[end]) || bytes[end] == '.' ||
                                      bytes[end] == 'e' || bytes[end] == 'E' || bytes[end] == '+'))
            ++end;
        const std::string_view token(bytes.data() + i, size_t(end - i));
        const bool holdable =
            !isJsonNumber(token) || fitsInt64(token) ||
            (token.find_first_of(".eE-") == std::string_view::npos && token.size() < 20);
        if (holdable)
            out.append(token.data(), qsizetype(token.size()));
        else
            out += "0.5";
        i = end - 1;
    }
    return out;
}
} // namespace

std::optional<DecodeError> parseAndRead(QByteArrayView bytes, QuickCallback quick,
                                        ParseCallback read, void *context)
{
    thread_local simdjson::dom::parser parser;
    simdjson::dom::element root;
    // realloc_if_needed copies the bytes into a padded buffer: QByteArray gives no padding promise.
    // An empty body may come without any buffer; simdjson would copy from that null pointer.
    const char *data = bytes.isEmpty() ? "" : bytes.data();
    auto status = parser.parse(data, size_t(bytes.size()), true).get(root);
    QByteArray rewritten;
    if (status == simdjson::NUMBER_ERROR) {
        rewritten = withUnholdableNumbersReplaced(bytes);
        status = parser.parse(rewritten.constData(), size_t(rewritten.size()), true).get(root);
    }
    if (status != simdjson::SUCCESS)
        return DecodeError{DecodeError::Kind::DataCorrupted,
                           {},
                           {},
                           {},
                           QString::fromUtf8(simdjson::error_message(status))};
    {
        // Lines about pieces are written only by the reading that is kept.
        HeldDiagnostics held;
        const quick::Tape tape(parser.doc);
        quick::Cursor cursor{tape, 1}; // the root value follows the tape's root word
        if (quick(cursor, context)) {
            held.release();
            return std::nullopt;
        }
    }
    return read(Value(root, nullptr), context);
}

} // namespace korvana::json
