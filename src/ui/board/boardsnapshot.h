// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

#include <QVariant>

namespace korvana::board {

// The part of a game state that the board draws: cells, how many seats are taken, and every
// player's pieces for the ghost. Taken over once per state change, read on every frame.
struct BoardSnapshot
{
    struct Piece
    {
        QString id;
        Squares squares;
    };

    Board board; // as received; may be smaller than 20 x 20
    qsizetype playerCount = 0;
    QList<Piece> pieces; // player by player, piece by piece

    // The first piece with this id, or nullptr.
    [[nodiscard]] const Piece *findPiece(QStringView id) const;

    [[nodiscard]] static BoardSnapshot fromGameState(const GameState &state);
    // A game state as QML holds it (maps and lists under the wire's names), or a GameState
    // wrapped in a QVariant. Missing or malformed members leave their part empty.
    [[nodiscard]] static BoardSnapshot fromVariant(const QVariant &value);
};

} // namespace korvana::board
