// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sharedtext.h"

#include <array>
#include <cstring>

namespace korvana::json {

// Game states repeat the same short texts many times (piece ids and names for every player,
// colours, player ids): one QString per text saves most of the allocations of a read. A small
// direct-mapped table keeps the lookup to one hash and one short comparison.
QString sharedText(std::string_view text)
{
    constexpr size_t kLongestShared = 30;
    constexpr size_t kSlots = 512;
    struct Slot
    {
        quint8 size = 0xff;
        char bytes[kLongestShared];
        QString value;
    };
    if (text.size() > kLongestShared)
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    quint32 hash = 2166136261u;
    for (const char c : text)
        hash = (hash ^ quint8(c)) * 16777619u;
    thread_local std::array<Slot, kSlots> table;
    Slot &slot = table[hash % kSlots];
    if (slot.size == text.size() && std::memcmp(slot.bytes, text.data(), text.size()) == 0)
        return slot.value;
    slot.value = QString::fromUtf8(text.data(), qsizetype(text.size()));
    slot.size = quint8(text.size());
    std::memcpy(slot.bytes, text.data(), text.size());
    return slot.value;
}

} // namespace korvana::json
