// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jsonwriter.h"

namespace korvana::json {

void Writer::separate()
{
    if (m_needsComma)
        m_out += ',';
}

void Writer::beginObject()
{
    separate();
    m_out += '{';
    m_needsComma = false;
}

void Writer::endObject()
{
    m_out += '}';
    m_needsComma = true;
}

void Writer::beginArray()
{
    separate();
    m_out += '[';
    m_needsComma = false;
}

void Writer::endArray()
{
    m_out += ']';
    m_needsComma = true;
}

void Writer::key(std::string_view name)
{
    separate();
    m_out += '"';
    m_out.append(name.data(), qsizetype(name.size()));
    m_out += "\":";
    m_needsComma = false;
}

void Writer::value(qint64 number)
{
    separate();
    m_out += QByteArray::number(number);
    m_needsComma = true;
}

void Writer::value(bool flag)
{
    separate();
    m_out += flag ? "true" : "false";
    m_needsComma = true;
}

void Writer::value(const QString &text)
{
    separate();
    appendString(text);
    m_needsComma = true;
}

void Writer::appendString(const QString &text)
{
    static constexpr char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    m_out.reserve(m_out.size() + utf8.size() + 2);
    m_out += '"';
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                m_out += "\\u00";
                m_out += hex[byte >> 4];
                m_out += hex[byte & 0xf];
            } else {
                m_out += ch;
            }
        }
    }
    m_out += '"';
}

} // namespace korvana::json
