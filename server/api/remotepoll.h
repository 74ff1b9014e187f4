// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "deadlines.h"
#include "rooms/rooms.h"
#include "router.h"

#include <QObject>

namespace korvana::api {

class Forwarder;

// A held poll of a room another server owns, held here: it asks the owner at once, then again
// each time the owner announces a change of the room (a notification at commit), and answers
// as a held poll on the owner would, once the tag moved on or the wait ended. Lives as a child
// of its connection, like HeldPoll.
class RemotePoll : public QObject
{
    Q_OBJECT

public:
    // `unreachable` takes over the answer when the owner cannot be reached.
    RemotePoll(rooms::Rooms &rooms, Forwarder &forwarder, http::Deadlines &deadlines,
               ApiRequest request, QString owner, const QString &roomId, int waitSeconds,
               Respond respond, std::function<void()> unreachable, QObject *parent = nullptr);
    ~RemotePoll() override;

private:
    void ask();
    void answered(ApiResponse answer);
    void finish(ApiResponse answer);
    void stop();

    rooms::Rooms &m_rooms;
    Forwarder &m_forwarder;
    http::Deadlines &m_deadlines;
    ApiRequest m_request; // as the owner is asked: no wait
    QString m_owner;
    QByteArray m_applied; // Preference-Applied of the answer
    Respond m_respond;
    std::function<void()> m_unreachable;
    ApiResponse m_last; // the owner's last 304
    http::Deadlines::Handle m_timeout = 0;
    int m_watch = -1;
    bool m_asking = false;
    bool m_askAgain = false;
    bool m_lastCall = false;
};

} // namespace korvana::api
