// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/game.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <vector>

namespace korvana::store {

// Who sits in a seat besides the rules' player: the account and its session (none for a bot).
struct SeatRecord
{
    QString sessionId;
    qint64 userId = 0; // 0 for a bot
    bool voted = false;
    bool operator==(const SeatRecord &) const = default;
};

// A room as it is saved: the rules' game plus the seats and what the lobby shows.
struct RoomRecord
{
    QString roomId;
    QString serverName;
    qint64 createdMs = 0;
    qint64 lastActionMs = 0; // a person's last move or vote; 0 when not known
    quint64 botSeed = 0;
    int nextPlayerNumber = 1; // player ids p1, p2, ... are never reused within a room
    rules::Game game;
    std::vector<SeatRecord> seats; // parallel to game.players
    bool operator==(const RoomRecord &) const = default;
};

// Our own compact JSON form; decode checks every field so a damaged row is refused, not trusted.
[[nodiscard]] QByteArray encodeRoom(const RoomRecord &room);
[[nodiscard]] std::expected<RoomRecord, QString> decodeRoom(QByteArrayView bytes);

} // namespace korvana::store
