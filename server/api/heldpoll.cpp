// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "heldpoll.h"

#include "handlers.h"

namespace korvana::api {
namespace {
constexpr int MaxWaitSeconds = 30;
} // namespace

std::optional<int> preferredWaitSeconds(QByteArrayView prefer)
{
    for (const QByteArrayView item : prefer.toByteArray().replace(';', ',').split(',')) {
        const QByteArrayView preference = item.trimmed();
        if (!preference.startsWith("wait=") && !preference.startsWith("WAIT="))
            continue;
        bool ok = false;
        const qlonglong seconds = preference.sliced(5).trimmed().toLongLong(&ok);
        if (ok && seconds >= 0)
            return int(std::min<qlonglong>(seconds, MaxWaitSeconds));
    }
    return std::nullopt;
}

bool matchesTag(QByteArrayView ifNoneMatch, QByteArrayView tag)
{
    for (const QByteArrayView item : ifNoneMatch.toByteArray().split(',')) {
        QByteArrayView candidate = item.trimmed();
        if (candidate == "*")
            return true;
        if (candidate.startsWith("W/"))
            candidate = candidate.sliced(2);
        if (candidate == tag)
            return true;
    }
    return false;
}

ApiResponse sessionAnswer(const rooms::SessionSnapshot &snapshot, bool notModified,
                          std::optional<int> waitApplied)
{
    ApiResponse response{notModified ? 304 : 200,
                         notModified ? QByteArray() : snapshot.bytes,
                         {{"ETag", snapshot.tag}}};
    if (waitApplied)
        response.headers.append({"Preference-Applied", "wait=" + QByteArray::number(*waitApplied)});
    return response;
}

HeldPoll::HeldPoll(rooms::Rooms &rooms, http::Deadlines &deadlines, rooms::Account account,
                   QString sessionId, QByteArray tag, int waitSeconds, Respond respond,
                   QObject *parent)
    : QObject(parent)
    , m_rooms(rooms)
    , m_deadlines(deadlines)
    , m_account(std::move(account))
    , m_sessionId(std::move(sessionId))
    , m_tag(std::move(tag))
    , m_waitSeconds(waitSeconds)
    , m_respond(std::move(respond))
{
    m_timeout = m_deadlines.add(waitSeconds * 1000, [this] {
        m_timeout = 0;
        wake(true);
    });
    // A change is looked at from the event loop, never inside the rooms' own work; the
    // release at shutdown is answered at once, as no event loop follows it.
    const auto watch = m_rooms.watch(m_account, m_sessionId, [this](bool released) {
        if (released)
            wake(true);
        else
            QMetaObject::invokeMethod(
                this, [this] { wake(false); }, Qt::QueuedConnection);
    });
    if (watch)
        m_watch = *watch;
    else
        wake(true);
}

HeldPoll::~HeldPoll()
{
    m_deadlines.cancel(m_timeout);
    if (m_watch >= 0)
        m_rooms.unwatch(m_watch);
}

// Answers once the tag moved on, or at the end of the wait (released) whatever it is.
void HeldPoll::wake(bool released)
{
    if (!m_respond)
        return;
    const auto snapshot = m_rooms.session(m_account, m_sessionId);
    if (snapshot && snapshot->tag == m_tag && !released)
        return;
    const Respond respond = std::exchange(m_respond, {});
    if (m_watch >= 0)
        m_rooms.unwatch(std::exchange(m_watch, -1));
    m_deadlines.cancel(m_timeout);
    respond(snapshot ? sessionAnswer(*snapshot, snapshot->tag == m_tag, m_waitSeconds)
                     : refusalResponse(snapshot.error()));
    deleteLater();
}

} // namespace korvana::api
