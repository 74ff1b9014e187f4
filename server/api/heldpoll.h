// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "deadlines.h"
#include "rooms/rooms.h"
#include "router.h"

#include <QObject>

namespace korvana::api {

// A poll of a game held until the game's tag moves on or the wait ends: answered 200 with the
// new state and tag, or 304 when nothing changed. It lives as a child of its connection, so a
// client that goes away takes it along; the server releases every one when it stops.
class HeldPoll : public QObject
{
    Q_OBJECT

public:
    HeldPoll(rooms::Rooms &rooms, http::Deadlines &deadlines, rooms::Account account,
             QString sessionId, QByteArray tag, int waitSeconds, Respond respond,
             QObject *parent = nullptr);
    ~HeldPoll() override;

private:
    void wake(bool released);

    rooms::Rooms &m_rooms;
    http::Deadlines &m_deadlines;
    rooms::Account m_account;
    QString m_sessionId;
    QByteArray m_tag;
    int m_waitSeconds;
    Respond m_respond;
    http::Deadlines::Handle m_timeout = 0;
    int m_watch = -1;
};

// The wait a "Prefer" header asks for ("wait=N" among its preferences), at most 30 seconds;
// none when it asks for none.
[[nodiscard]] std::optional<int> preferredWaitSeconds(QByteArrayView prefer);
// Whether an "If-None-Match" list ("*", or tags, weak or strong) names `tag`.
[[nodiscard]] bool matchesTag(QByteArrayView ifNoneMatch, QByteArrayView tag);
// The answer to a session poll: the bytes with their tag, or 304 with the tag alone.
[[nodiscard]] ApiResponse sessionAnswer(const rooms::SessionSnapshot &snapshot, bool notModified,
                                        std::optional<int> waitApplied);

} // namespace korvana::api
