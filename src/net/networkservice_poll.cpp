// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Polling the current game, plainly on the timer or held until the game changes.
#include "networkservice.h"

namespace korvana {

QCoro::Task<Result<SessionPoll>> NetworkService::pollSession(QString sessionId)
{
    return sessionPoll(std::move(sessionId), std::nullopt);
}

QCoro::Task<Result<SessionPoll>> NetworkService::holdSessionPoll(QString sessionId, QByteArray etag)
{
    return sessionPoll(std::move(sessionId), std::move(etag));
}

void NetworkService::cancelHeldPolls()
{
    const auto held = std::exchange(m_heldPolls, {});
    for (const QPointer<QNetworkReply> &reply : held) {
        if (!reply || reply->isFinished())
            continue;
        reply->setProperty(cancelledProperty, true);
        reply->abort();
    }
}

QCoro::Task<Result<SessionPoll>> NetworkService::sessionPoll(QString sessionId,
                                                             std::optional<QByteArray> etag)
{
    // Every poll offers to wait, so that a server that holds polls can say so; only a poll that
    // names the state it has (If-None-Match) can be held.
    ExchangeOptions options;
    options.headers.append({"Prefer", "wait=" + QByteArray::number(m_heldPollWaitSeconds)});
    if (etag) {
        // A game's first held poll has no tag yet: it is answered at once, with one.
        if (!etag->isEmpty())
            options.headers.append({"If-None-Match", *etag});
        options.notModifiedIsAnswer = true;
        options.cancellable = true;
        // Nothing flows while the server holds the poll; silence well past the wait it was
        // asked for means a stalled server, and the poll fails as timed out.
        options.timeoutMs = m_heldPollWaitSeconds * 1000 + m_heldPollGraceMs;
    }
    // The id is appended as it is: one that is not valid in a URL fails as invalidURL.
    auto exchanged =
        exchange(url(QStringLiteral("/api/game/session/")) + sessionId, "GET", {}, options);
    const RawReply raw = co_await std::move(exchanged);
    if (raw.error)
        co_return std::unexpected(*raw.error);
    SessionPoll poll{std::nullopt, raw.etag, raw.preferenceApplied};
    if (raw.status == 304)
        co_return poll;
    auto decoded = json::decode<SessionWrapper>(raw.body);
    if (!decoded) {
        reportUnreadable(raw.body, decoded.error());
        co_return std::unexpected(RequestError(NetworkError::decodingError()));
    }
    SessionWrapper &wrapper = *decoded;
    poll.session = GameSessionResponse{wrapper.session.sessionId, wrapper.session.roomId,
                                       wrapper.session.playerId,  QString(),
                                       wrapper.session.color,     std::move(wrapper.gameState)};
    co_return poll;
}

} // namespace korvana
