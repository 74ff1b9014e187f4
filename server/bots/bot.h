// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/game.h"

#include <cstdint>
#include <optional>

namespace korvana::bots {

// Chooses the move of `player` by a one-ply heuristic: the first piece in the colour's own
// corner (homeCorner) while it is free, big pieces first, toward the centre early, new corners of
// its own kept open, opponents' corners taken. A pure function: the same state,
// player and seed give the same move (its random tie-breaks come from a std::mt19937_64 seeded
// from `seed`, the turn number and the seat; no global RNG, no time). None when no move is legal.
[[nodiscard]] std::optional<rules::LegalMove> chooseMove(const rules::Game &game, int player,
                                                         std::uint64_t seed);

// Plays the current player's turn at `nowMs` (clocks applied first): the chosen placement, or a
// pass only when nothing is legal. Returns the move made, or none for a pass.
rules::Result<std::optional<rules::LegalMove>> playTurn(rules::Game &game, std::uint64_t seed,
                                                        qint64 nowMs);

} // namespace korvana::bots
