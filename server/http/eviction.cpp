// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "eviction.h"

namespace korvana::http {

std::optional<qsizetype> chooseEviction(std::span<const EvictionCandidate> pool)
{
    std::optional<qsizetype> best;
    const auto rank = [](const EvictionCandidate &c) {
        return c.activity == EvictionCandidate::Activity::Waiting ? 1 : 0;
    };
    for (qsizetype i = 0; i < qsizetype(pool.size()); ++i) {
        const auto &c = pool[size_t(i)];
        if (!best)
            best = i;
        else if (const auto &b = pool[size_t(*best)];
                 rank(c) < rank(b) || (rank(c) == rank(b) && c.sinceMs > b.sinceMs))
            best = i;
    }
    return best;
}

} // namespace korvana::http
