// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "room.h"

#include "gameview.h"
#include "jsonwriter.h"

#include <algorithm>

namespace korvana::rooms {

Room::Room(store::RoomRecord record)
    : rec(std::move(record))
{
    botTimer.setSingleShot(true);
    clockTimer.setSingleShot(true);
    tickTimer.setSingleShot(true);
    tickTimer.setTimerType(Qt::PreciseTimer);
}

QByteArray Room::tag(const QByteArray &epoch, qint64 nowMs) const
{
    const auto remaining = rules::timeRemainingSeconds(rec.game, nowMs);
    return '"' + epoch + '-' + QByteArray::number(version) + '-' +
           (remaining ? QByteArray::number(*remaining) : QByteArray()) + '"';
}

const GameState &Room::view(qint64 nowMs)
{
    const auto remaining = rules::timeRemainingSeconds(rec.game, nowMs);
    if (m_viewVersion != version || m_viewRemaining != remaining) {
        m_view = gameStateView(rec, nowMs);
        m_viewVersion = version;
        m_viewRemaining = remaining;
        for (auto &bytes : m_seatBytes)
            bytes.clear();
    }
    return m_view;
}

const QByteArray &Room::seatBytes(int seat, qint64 nowMs)
{
    const GameState &state = view(nowMs);
    QByteArray &bytes = m_seatBytes[std::size_t(seat)];
    if (bytes.isEmpty())
        bytes = json::toJson(SessionWrapper{sessionView(rec, seat), state});
    return bytes;
}

int Room::seatOfUser(qint64 userId) const
{
    const auto it = std::ranges::find(rec.seats, userId, &store::SeatRecord::userId);
    return it == rec.seats.end() ? -1 : int(it - rec.seats.begin());
}

int Room::humans() const
{
    return int(std::ranges::count_if(rec.seats, [](const auto &s) { return s.userId != 0; }));
}

} // namespace korvana::rooms
