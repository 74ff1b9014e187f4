// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

#include <optional>
#include <span>

namespace korvana::http {

// Whose turn a connection is in, and for how long, as the caps see it.
struct EvictionCandidate
{
    enum class Activity {
        Idle,      // between requests (its answers written, read or not)
        Receiving, // a request started and not yet complete
        Waiting,   // a request complete, its answer in the making (a held poll, a hash)
    };
    Activity activity = Activity::Idle;
    qint64 sinceMs = 0; // in this state for so long
};

// The connection that makes room for a new one: the one that has kept the server waiting for
// its client longest (idle, or with its request incomplete), else the one whose answer has been
// in the making longest. A new connection is never chosen while an older one is there.
[[nodiscard]] std::optional<qsizetype> chooseEviction(std::span<const EvictionCandidate> pool);

} // namespace korvana::http
