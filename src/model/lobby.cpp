// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lobby.h"

namespace korvana {

std::optional<QString> ServerPlayer::readUserId(json::ObjectReader &r, const ServerPlayer &)
{
    const auto element = r.find("userId");
    if (!element)
        return std::nullopt;
    std::string_view text;
    if (element->get_string().get(text) == simdjson::SUCCESS)
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (element->type() == simdjson::dom::element_type::INT64)
        return QString::number(element->get_int64().value_unsafe());
    if (element->type() == simdjson::dom::element_type::UINT64)
        return QString::number(element->get_uint64().value_unsafe());
    return std::nullopt;
}

} // namespace korvana
