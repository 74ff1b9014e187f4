// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"
#include "lobby.h"
#include "store/roomrecord.h"

namespace korvana::rooms {

// What the wire shows of a room at `nowMs` (the current player's clock keeps running).
[[nodiscard]] GameState gameStateView(const store::RoomRecord &room, qint64 nowMs);
[[nodiscard]] GameServer serverView(const store::RoomRecord &room, qint64 nowMs);
[[nodiscard]] ActiveGame activeGameView(const store::RoomRecord &room, int seat);
[[nodiscard]] Session sessionView(const store::RoomRecord &room, int seat);
// The catalogue as the wire's piece definitions, with every rotation the server accepts.
[[nodiscard]] const QList<PieceDefinition> &pieceDefinitions();

} // namespace korvana::rooms
