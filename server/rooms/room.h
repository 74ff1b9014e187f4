// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"
#include "store/roomrecord.h"

#include <QTimer>

#include <array>
#include <optional>

namespace korvana::rooms {

// One room in memory: its saved record and what lives only while the server runs: a version
// bumped by every change, the wire views cached for that version, and its timers.
class Room
{
public:
    explicit Room(store::RoomRecord record);
    Room(const Room &) = delete;
    Room &operator=(const Room &) = delete;

    store::RoomRecord rec;
    qint64 version = 0;
    qint64 lastPresenceMs = 0;          // a person's last request about this room
    std::optional<qint64> finishedAtMs; // when it ended, or was read back after its end
    QTimer botTimer;                    // the current bot's move
    QTimer clockTimer;                  // the current player's clock running out
    QTimer tickTimer; // the shown second of a running clock, while someone watches
    QList<int> watchers;
    bool lost = false; // another server took it over: it leaves memory, nothing more is saved

    // The game as the wire shows it at `nowMs`, built again only when the version or the shown
    // second of the running clock changed.
    const GameState &view(qint64 nowMs);
    // The SessionWrapper JSON of a seat, from the same cache.
    const QByteArray &seatBytes(int seat, qint64 nowMs);
    // Names what view() shows at `nowMs`: `epoch` tells this run of the server from others.
    [[nodiscard]] QByteArray tag(const QByteArray &epoch, qint64 nowMs) const;

    [[nodiscard]] int seatOfUser(qint64 userId) const;
    [[nodiscard]] int humans() const;
    [[nodiscard]] GameStatus status() const { return rec.game.status; }

private:
    qint64 m_viewVersion = -1;
    std::optional<int> m_viewRemaining;
    GameState m_view;
    std::array<QByteArray, rules::MaxPlayers> m_seatBytes;
};

} // namespace korvana::rooms
