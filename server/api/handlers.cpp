// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "handlers.h"

#include "accounts.h"
#include "forwarder.h"
#include "heldpoll.h"
#include "remotepoll.h"
#include "rooms/gameview.h"
#include "rooms/timeoptions.h"
#include "store/database.h"
#include "store/scores.h"
#include "texts.h"

#include <QTimer>

namespace korvana::api {
namespace {

// The health probe's body, {"status":"ok"}; not one of the client's records.
struct HealthResponse
{
    QString status;
    static auto fields() { return std::tuple{json::required("status", &HealthResponse::status)}; }
};

ApiResponse authFailure(const AuthError &error)
{
    switch (error.kind) {
    case AuthError::Kind::Invalid:
        return errorResponse(400, error.message);
    case AuthError::Kind::Taken:
        return errorResponse(409, error.message);
    case AuthError::Kind::BadCredentials:
        return errorResponse(401, error.message);
    case AuthError::Kind::TooManyFailures:
    case AuthError::Kind::Busy: {
        ApiResponse r = errorResponse(429, error.message);
        r.headers.append({"Retry-After", QByteArray::number(error.retryAfterSeconds)});
        return r;
    }
    case AuthError::Kind::Failed:
        break;
    }
    return errorResponse(500, error.message);
}

QFuture<ApiResponse> signedInResponse(QFuture<AuthResult> future, int status, QString message)
{
    return future.then([status, message](const AuthResult &result) {
        if (!result)
            return authFailure(result.error());
        return jsonResponse(status, LoginResponse{message, result->token, result->user});
    });
}

GameSessionResponse sessionResponse(const rooms::SeatView &seat)
{
    return {seat.sessionId, seat.roomId, seat.playerId, seat.playerName, seat.color, seat.state};
}

ApiResponse actionResponse(const std::expected<rooms::ActionOutcome, rooms::RoomRefusal> &outcome,
                           bool withStarted)
{
    if (!outcome)
        return refusalResponse(outcome.error());
    GameActionResponse r;
    r.success = outcome->success;
    r.gameState = outcome->state;
    if (!outcome->success)
        r.error = outcome->error;
    if (withStarted)
        r.started = outcome->started;
    return jsonResponse(200, r);
}

} // namespace

ApiResponse refusalResponse(rooms::RoomRefusal refusal)
{
    switch (refusal) {
    case rooms::RoomRefusal::NoSuchRoom:
        return errorResponse(404, texts::roomNotFound());
    case rooms::RoomRefusal::RoomFinished:
        return errorResponse(404, texts::roomFinished());
    case rooms::RoomRefusal::GameUnderWay:
        return errorResponse(400, texts::gameUnderWay());
    case rooms::RoomRefusal::RoomFull:
        return errorResponse(400, texts::roomFull());
    case rooms::RoomRefusal::SeatHeldElsewhere:
        return errorResponse(409, texts::seatHeldElsewhere());
    case rooms::RoomRefusal::RejoinFinished:
        return errorResponse(400, texts::rejoinFinished());
    case rooms::RoomRefusal::NotParticipant:
        return errorResponse(404, texts::notParticipant());
    case rooms::RoomRefusal::NoSuchSession:
        return errorResponse(404, texts::sessionNotFound());
    case rooms::RoomRefusal::NotYourSeat:
        return errorResponse(403, texts::notYourSeat());
    case rooms::RoomRefusal::BadTimeLimit:
        return errorResponse(400, texts::badTimeLimit());
    case rooms::RoomRefusal::NotFinished:
        return errorResponse(400, texts::gameNotFinished());
    case rooms::RoomRefusal::Lost:
        return errorResponse(503, texts::storeUnavailable());
    }
    return errorResponse(500, texts::serverFailure());
}

Handlers::Handlers(Accounts &accounts, rooms::Rooms &rooms, store::Database &db, Options options)
    : m_accounts(accounts)
    , m_rooms(rooms)
    , m_db(db)
    , m_options(options)
{
}

Handlers::~Handlers()
{
    m_rooms.releaseWatchers();
}

ApiResponse Handlers::health()
{
    if (!m_db.isHealthy())
        return errorResponse(503, texts::storeUnavailable());
    return jsonResponse(200, HealthResponse{QStringLiteral("ok")});
}

QFuture<ApiResponse> Handlers::registerUser(const RegisterRequest &request, const QString &client)
{
    return signedInResponse(m_accounts.registerUser(request, client), 201, texts::registered());
}

QFuture<ApiResponse> Handlers::login(const LoginRequest &request, const QString &client)
{
    return signedInResponse(m_accounts.login(request, client), 200, texts::loggedIn());
}

ApiResponse Handlers::me(const rooms::Account &account)
{
    const auto user = m_accounts.user(account.id);
    if (!user)
        return errorResponse(401, texts::tokenUnknown());
    return jsonResponse(200, UserResponse{*user});
}

ApiResponse Handlers::servers(const rooms::Account &)
{
    return jsonResponse(200, ServerListResponse{m_rooms.servers()});
}

ApiResponse Handlers::createSession(const rooms::Account &account,
                                    const CreateSessionRequest &request)
{
    const auto seat = m_rooms.create(account, request.timeLimit);
    if (!seat)
        return refusalResponse(seat.error());
    return jsonResponse(201, sessionResponse(*seat));
}

void Handlers::session(const rooms::Account &account, const QString &sessionId,
                       const PollConditions &poll, const Respond &respond)
{
    const auto snapshot = m_rooms.session(account, sessionId);
    if (!snapshot)
        return respond(refusalResponse(snapshot.error()));
    if (!m_options.heldPolls)
        return respond({200, snapshot->bytes, {}});
    const auto wait = preferredWaitSeconds(poll.prefer);
    const bool unchanged =
        !poll.ifNoneMatch.isEmpty() && matchesTag(poll.ifNoneMatch, snapshot->tag);
    if (unchanged && wait.value_or(0) > 0) {
        // Owned by its connection when there is one; else it goes once it has answered.
        new HeldPoll(m_rooms, m_deadlines, account, sessionId, snapshot->tag, *wait, respond,
                     poll.lifetime);
        return;
    }
    respond(sessionAnswer(*snapshot, unchanged, wait));
}

std::optional<QString> Handlers::ownerElsewhere(const ApiRequest &request, const QString &sessionId,
                                                const QString &roomId)
{
    if (!m_options.forwarder || request.handedOn)
        return std::nullopt;
    return roomId.isEmpty() ? m_rooms.seatOwnerElsewhere(sessionId)
                            : m_rooms.ownerElsewhere(roomId);
}

void Handlers::handOn(const ApiRequest &request, const QString &owner, const Respond &respond,
                      const std::function<void(ApiRequest)> &again)
{
    constexpr int RetryMs = 250;
    auto unreachable = [this, request, respond, again] {
        if (!again || request.ownerUnreachable * RetryMs > m_options.leaseMs + 2000)
            return respond(errorResponse(503, texts::storeUnavailable()));
        QObject *context = request.lifetime ? request.lifetime : m_options.forwarder;
        QTimer::singleShot(RetryMs, context, [request, again] {
            ApiRequest next = request;
            ++next.ownerUnreachable;
            again(next);
        });
    };
    const auto wait = preferredWaitSeconds(request.prefer);
    if (request.method == ApiRequest::Method::Get && m_options.heldPolls && wait.value_or(0) > 0 &&
        !request.ifNoneMatch.isEmpty()) {
        if (const auto roomId = m_rooms.roomOfSession(request.path.sliced(18))) {
            new RemotePoll(m_rooms, *m_options.forwarder, m_deadlines, request, owner, *roomId,
                           *wait, respond, unreachable, request.lifetime);
            return;
        }
    }
    m_options.forwarder->forward(request, owner, respond, unreachable);
}

ApiResponse Handlers::join(const rooms::Account &account, const JoinGameRequest &request)
{
    const auto seat = m_rooms.join(account, request.roomId);
    if (!seat)
        return refusalResponse(seat.error());
    return jsonResponse(200, sessionResponse(*seat));
}

ApiResponse Handlers::rejoin(const rooms::Account &account, const RejoinRequest &request)
{
    const auto seat = m_rooms.rejoin(account, request.roomId);
    if (!seat)
        return refusalResponse(seat.error());
    return jsonResponse(200, RejoinResponse{seat->sessionId, seat->roomId, seat->playerId,
                                            seat->playerName, seat->color, seat->state,
                                            texts::rejoined()});
}

ApiResponse Handlers::place(const rooms::Account &account, const PlacePieceRequest &request)
{
    return actionResponse(m_rooms.place(account, request), false);
}

ApiResponse Handlers::pass(const rooms::Account &account, const PassTurnRequest &request)
{
    return actionResponse(m_rooms.pass(account, request.sessionId), false);
}

ApiResponse Handlers::vote(const rooms::Account &account, const VoteToStartRequest &request)
{
    return actionResponse(m_rooms.vote(account, request), true);
}

// The catalogues never change: written once, then shared.
ApiResponse Handlers::pieces()
{
    static const ApiResponse answer = jsonResponse(200, PiecesResponse{rooms::pieceDefinitions()});
    return answer;
}

ApiResponse Handlers::timeOptions()
{
    static const ApiResponse answer = jsonResponse(200, TimeOptionsResponse{rooms::timeOptions()});
    return answer;
}

ApiResponse Handlers::activeGames(const rooms::Account &account)
{
    const QList<ActiveGame> games = m_rooms.activeGames(account);
    return jsonResponse(200, ActiveGamesResponse{games, games.size()});
}

ApiResponse Handlers::saveScore(const rooms::Account &account, const SaveScoreRequest &request)
{
    const auto seat = m_rooms.finishedSeat(account, request.roomId);
    if (!seat) {
        if (seat.error() == rooms::RoomRefusal::NotParticipant)
            return errorResponse(403, texts::notParticipantOfScore());
        return refusalResponse(seat.error());
    }
    if (request.score != seat->score || request.position != seat->position ||
        request.playersCount != seat->playersCount)
        return errorResponse(400, texts::scoreMismatch());
    store::ScoreStore scores(m_db);
    const auto existing = scores.find(account.id, request.roomId);
    const auto saved = existing ? existing
                                : scores.saveOnce({0, account.id, request.roomId, request.score,
                                                   request.position, request.playersCount});
    if (!saved)
        return errorResponse(503, texts::storeUnavailable());
    return jsonResponse(
        existing ? 200 : 201,
        SaveScoreResponse{existing ? texts::scoreAlreadySaved() : texts::scoreSaved(),
                          Score{saved->id, saved->userId, saved->score, saved->position}});
}

} // namespace korvana::api
