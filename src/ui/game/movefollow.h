// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"
#include "gamestate.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvana::ui {

// How the others' turns are followed from the states the client receives: the last placement to
// outline on the board and a short notice for a pass or a seat that went out.

// The most recent placement: its player's colour number and the cells it covers.
struct LastMoveMark
{
    QString playerId;
    int colorNumber = 0;
    QList<board::Cell> cells;
    bool operator==(const LastMoveMark &) const = default;
};

// The placement made last. Players whose lastMove changed since `previous` (every player with one
// when there is no previous state) are the candidates; of those, the one seated nearest before the
// player to move now moved last. None while no candidate's piece can be drawn.
[[nodiscard]] std::optional<LastMoveMark> lastMoveMark(const GameState *previous,
                                                       const GameState &state);

// What happened on the turns between two states, for the others' seats: "Bot 1 pasuje" for a
// turn that went by without a placement, "Bot 2 nie ma już ruchów" for a seat that went out. The
// turns are walked in seat order from the previous current player up to the new one.
[[nodiscard]] QStringList turnNotices(const GameState &previous, const GameState &state,
                                      const std::optional<QString> &myPlayerId);

// The end-of-game bonus as far as the pieces tell it: all of them placed gives 15, and 5 more when
// the last one was the single square. "" when none, or when the pieces are not known.
[[nodiscard]] QString endBonusNote(const Player &player);

} // namespace korvana::ui
