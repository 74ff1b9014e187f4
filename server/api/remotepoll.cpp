// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "remotepoll.h"

#include "forwarder.h"

#include <QPointer>

namespace korvana::api {

RemotePoll::RemotePoll(rooms::Rooms &rooms, Forwarder &forwarder, http::Deadlines &deadlines,
                       ApiRequest request, QString owner, const QString &roomId, int waitSeconds,
                       Respond respond, std::function<void()> unreachable, QObject *parent)
    : QObject(parent)
    , m_rooms(rooms)
    , m_forwarder(forwarder)
    , m_deadlines(deadlines)
    , m_request(std::move(request))
    , m_owner(std::move(owner))
    , m_applied("wait=" + QByteArray::number(waitSeconds))
    , m_respond(std::move(respond))
    , m_unreachable(std::move(unreachable))
{
    m_request.prefer = "wait=0";
    m_request.lifetime = this;
    m_timeout = m_deadlines.add(waitSeconds * 1000, [this] {
        m_timeout = 0;
        m_lastCall = true;
        ask();
    });
    m_watch = m_rooms.watchElsewhere(roomId, [this](bool released) {
        if (!released)
            return ask();
        // The server stops: answered at once, with what the owner said last.
        m_lastCall = true;
        finish(m_last);
    });
    ask();
}

RemotePoll::~RemotePoll()
{
    m_deadlines.cancel(m_timeout);
    if (m_watch >= 0)
        m_rooms.unwatch(m_watch);
}

void RemotePoll::ask()
{
    if (!m_respond)
        return;
    if (m_asking) {
        m_askAgain = true;
        return;
    }
    m_asking = true;
    QPointer self(this);
    m_forwarder.forward(
        m_request, m_owner,
        [this, self](ApiResponse answer) {
            if (self)
                answered(std::move(answer));
        },
        [this, self] {
            // The owner may be gone: the request is routed anew.
            if (!self || !m_respond)
                return;
            m_respond = {};
            stop();
            m_unreachable();
        });
}

void RemotePoll::answered(ApiResponse answer)
{
    m_asking = false;
    if (answer.status != 304 || m_lastCall)
        return finish(std::move(answer));
    m_last = std::move(answer);
    if (std::exchange(m_askAgain, false))
        ask();
}

void RemotePoll::finish(ApiResponse answer)
{
    if (!m_respond)
        return;
    if (answer.status == 0)
        answer.status = 304; // released before the owner answered at all
    for (auto &[name, value] : answer.headers)
        if (name == "Preference-Applied")
            value = m_applied;
    const Respond respond = std::exchange(m_respond, {});
    stop();
    respond(answer);
}

void RemotePoll::stop()
{
    if (m_watch >= 0)
        m_rooms.unwatch(std::exchange(m_watch, -1));
    m_deadlines.cancel(m_timeout);
    deleteLater();
}

} // namespace korvana::api
