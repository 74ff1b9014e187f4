// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Rooms: moves, bots, clocks and timers.
#include "rooms.h"

#include "bots/bot.h"
#include "diagnostics.h"
#include "room.h"

#include <algorithm>
#include <limits>

namespace korvana::rooms {
namespace {

// Coordinates far outside the board stay outside instead of wrapping into it.
int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, -100'000, 100'000));
}

} // namespace

std::expected<ActionOutcome, RoomRefusal> Rooms::act(const Account &account,
                                                     const QString &sessionId, const Action &action)
{
    const auto found = seatOf(account, sessionId);
    if (!found)
        return std::unexpected(found.error());
    auto [room, seat] = *found;
    // A lease not renewed for a while is renewed first: a server that stood still may have lost
    // the room meanwhile.
    if (m_archive.isShared() && m_wall.nowMs() - m_renewedAtMs > m_options.leaseMs / 2)
        renewLeases();
    if (room->lost)
        return std::unexpected(RoomRefusal::Lost);
    rules::Game &game = room->rec.game;
    const auto before = game.status;
    const auto snapshot = game;
    const qint64 now = m_clock.nowMs();
    room->rec.lastActionMs = now; // kept with the next save
    const auto result = action(game, seat, now);
    // Even a refused move may have run a clock out, so compare rather than trust the result.
    if (!(game == snapshot) && !changed(*room, before))
        return std::unexpected(RoomRefusal::Lost);
    return ActionOutcome{result.has_value(), result ? QString() : result.error().message, false,
                         room->view(now)};
}

std::expected<ActionOutcome, RoomRefusal> Rooms::place(const Account &account,
                                                       const PlacePieceRequest &request)
{
    const int piece = rules::pieceIndex(request.pieceId);
    const int row = clampToInt(request.row);
    const int col = clampToInt(request.col);
    const int rotation = clampToInt(request.rotation);
    return act(account, request.sessionId, [&](rules::Game &game, int seat, qint64 now) {
        return rules::place(game, seat, piece, row, col, rotation, now);
    });
}

std::expected<ActionOutcome, RoomRefusal> Rooms::pass(const Account &account,
                                                      const QString &sessionId)
{
    return act(account, sessionId, [](rules::Game &game, int seat, qint64 now) {
        return rules::pass(game, seat, now);
    });
}

// Brings the clocks up to now before anything is read or done.
void Rooms::refresh(Room &room)
{
    const auto before = room.status();
    if (rules::tick(room.rec.game, m_clock.nowMs()))
        changed(room, before);
    else
        armTimers(room);
}

bool Rooms::changed(Room &room, GameStatus before, bool seatsChanged)
{
    if (room.lost)
        return false;
    ++room.version;
    const bool finishedNow =
        before != GameStatus::Finished && room.status() == GameStatus::Finished;
    if (finishedNow)
        room.finishedAtMs = m_clock.nowMs();
    if (m_archive.save(room.rec, finishedNow, m_clock.nowMs(), lease(), seatsChanged) ==
        store::GameStore::Saved::NotOwner) {
        drop(room);
        return false;
    }
    armTimers(room);
    wakeWatchers(room);
    return true;
}

void Rooms::armTimers(Room &room)
{
    if (room.lost) {
        room.botTimer.stop();
        room.clockTimer.stop();
        room.tickTimer.stop();
        return;
    }
    const rules::Game &game = room.rec.game;
    const bool running = game.status == GameStatus::InProgress;
    if (running && game.players[std::size_t(game.currentPlayer)].isBot) {
        if (!room.botTimer.isActive())
            room.botTimer.start(m_options.botDelayMs);
    } else {
        room.botTimer.stop();
    }
    const auto deadline = rules::clockDeadlineMs(game);
    if (deadline) {
        if (!m_heartbeat.isActive()) {
            m_clock.watch(true);
            m_heartbeat.start();
        }
        const qint64 wait =
            std::clamp<qint64>(*deadline - m_clock.nowMs() + 1, 0, std::numeric_limits<int>::max());
        room.clockTimer.start(int(wait));
    } else {
        room.clockTimer.stop();
    }
    // The shown seconds of a running clock are news to whoever watches: wake them at the next.
    if (deadline && !room.watchers.isEmpty()) {
        const qint64 left = std::max<qint64>(1, *deadline - m_clock.nowMs());
        room.tickTimer.start(int((left - 1) % 1000 + 1));
    } else {
        room.tickTimer.stop();
    }
}

void Rooms::botTurn(Room &room)
{
    rules::Game &game = room.rec.game;
    const auto before = game.status;
    const auto snapshot = game;
    const qint64 now = m_clock.nowMs();
    rules::tick(game, now);
    if (game.status == GameStatus::InProgress &&
        game.players[std::size_t(game.currentPlayer)].isBot)
        (void)bots::playTurn(game, room.rec.botSeed, now);
    if (game == snapshot) {
        diag(QStringLiteral("⚠️ Bot w grze %1 nie wykonał ruchu").arg(room.rec.roomId));
        return;
    }
    changed(room, before);
}

} // namespace korvana::rooms
