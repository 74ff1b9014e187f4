// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "account.h"
#include "actions.h"
#include "apiresponse.h"
#include "deadlines.h"
#include "lobby.h"
#include "rooms/rooms.h"
#include "router.h"

#include <QFuture>

namespace korvana::store {
class Database;
}

namespace korvana::api {

class Accounts;
class Forwarder;

// What a poll of a game may ask for beyond its plain answer: an answer only when the game's tag
// moved on, after waiting for it.
struct PollConditions
{
    QByteArray ifNoneMatch;
    QByteArray prefer;
    QObject *lifetime = nullptr;
};

struct HandlerOptions
{
    bool heldPolls = true; // off: session polls are answered as plain 200s, headers ignored
    Forwarder *forwarder = nullptr; // set: requests for rooms of other servers go there
    int leaseMs = 10'000;           // how long a gone owner keeps its rooms
};

// One small function per endpoint: parsed input in, response out. Authentication and body
// reading happen in the routes before these run.
class Handlers
{
public:
    using Options = HandlerOptions;

    Handlers(Accounts &accounts, rooms::Rooms &rooms, store::Database &db, Options options = {});
    // Held polls still waiting are answered first.
    ~Handlers();

    ApiResponse health();
    QFuture<ApiResponse> registerUser(const RegisterRequest &request, const QString &client);
    QFuture<ApiResponse> login(const LoginRequest &request, const QString &client);
    ApiResponse me(const rooms::Account &account);

    ApiResponse servers(const rooms::Account &account);
    ApiResponse createSession(const rooms::Account &account, const CreateSessionRequest &request);
    // Answers at once, or later for a held poll.
    void session(const rooms::Account &account, const QString &sessionId,
                 const PollConditions &poll, const Respond &respond);
    ApiResponse join(const rooms::Account &account, const JoinGameRequest &request);
    ApiResponse rejoin(const rooms::Account &account, const RejoinRequest &request);
    ApiResponse place(const rooms::Account &account, const PlacePieceRequest &request);
    ApiResponse pass(const rooms::Account &account, const PassTurnRequest &request);
    ApiResponse vote(const rooms::Account &account, const VoteToStartRequest &request);
    ApiResponse pieces();
    ApiResponse timeOptions();
    ApiResponse activeGames(const rooms::Account &account);
    ApiResponse saveScore(const rooms::Account &account, const SaveScoreRequest &request);

    // On a shared database: the address of the server that owns the room (given by its id, or
    // by a seat's session id) when that is not this one and the request did not come from
    // another server.
    [[nodiscard]] std::optional<QString>
    ownerElsewhere(const ApiRequest &request, const QString &sessionId, const QString &roomId = {});
    // Hands the request to that owner; a held poll is held here and asks the owner on news.
    // An owner that cannot be reached may be gone: `again` runs the request anew a little later
    // (its lease runs out meanwhile and the room is taken over), for at most a lease and a bit.
    void handOn(const ApiRequest &request, const QString &owner, const Respond &respond,
                const std::function<void(ApiRequest)> &again);

private:
    Accounts &m_accounts;
    rooms::Rooms &m_rooms;
    store::Database &m_db;
    Options m_options;
    http::Deadlines m_deadlines; // the waits of held polls
};

// The status and Polish text of each refusal of a room operation.
[[nodiscard]] ApiResponse refusalResponse(rooms::RoomRefusal refusal);

} // namespace korvana::api
