#include "actions.h"

namespace korvana {
namespace {
// Create, join and rejoin answers share the seat and the game state.
template <class T> void readSeat(json::ObjectReader &r, T &s)
{
    r.required("sessionId", s.sessionId);
    r.required("roomId", s.roomId);
    r.required("playerId", s.playerId);
    r.required("playerName", s.playerName);
    r.required("color", s.color);
    r.required("gameState", s.gameState);
}

template <class T> void writeSeat(json::Writer &w, const T &s)
{
    w.field("sessionId", s.sessionId);
    w.field("roomId", s.roomId);
    w.field("playerId", s.playerId);
    w.field("playerName", s.playerName);
    w.field("color", s.color);
    w.field("gameState", s.gameState);
}
} // namespace

std::expected<CreateSessionRequest, DecodeError> CreateSessionRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    CreateSessionRequest c;
    r.optional("timeLimit", c.timeLimit);
    return r.finish(std::move(c));
}

void CreateSessionRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("timeLimit", timeLimit);
    w.endObject();
}

std::expected<JoinGameRequest, DecodeError> JoinGameRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    JoinGameRequest j;
    r.required("roomId", j.roomId);
    return r.finish(std::move(j));
}

void JoinGameRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("roomId", roomId);
    w.endObject();
}

std::expected<RejoinRequest, DecodeError> RejoinRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    RejoinRequest j;
    r.required("roomId", j.roomId);
    return r.finish(std::move(j));
}

void RejoinRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("roomId", roomId);
    w.endObject();
}

std::expected<PlacePieceRequest, DecodeError> PlacePieceRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    PlacePieceRequest p;
    r.required("sessionId", p.sessionId);
    r.required("pieceId", p.pieceId);
    r.required("row", p.row);
    r.required("col", p.col);
    r.required("rotation", p.rotation);
    return r.finish(std::move(p));
}

void PlacePieceRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("sessionId", sessionId);
    w.field("pieceId", pieceId);
    w.field("row", row);
    w.field("col", col);
    w.field("rotation", rotation);
    w.endObject();
}

std::expected<PassTurnRequest, DecodeError> PassTurnRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    PassTurnRequest p;
    r.required("sessionId", p.sessionId);
    return r.finish(std::move(p));
}

void PassTurnRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("sessionId", sessionId);
    w.endObject();
}

std::expected<VoteToStartRequest, DecodeError> VoteToStartRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    VoteToStartRequest q;
    r.required("sessionId", q.sessionId);
    r.optional("enableBots", q.enableBots);
    return r.finish(std::move(q));
}

void VoteToStartRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("sessionId", sessionId);
    w.field("enableBots", enableBots);
    w.endObject();
}

std::expected<GameSessionResponse, DecodeError> GameSessionResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    GameSessionResponse s;
    readSeat(r, s);
    return r.finish(std::move(s));
}

void GameSessionResponse::write(json::Writer &w) const
{
    w.beginObject();
    writeSeat(w, *this);
    w.endObject();
}

std::expected<RejoinResponse, DecodeError> RejoinResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    RejoinResponse s;
    readSeat(r, s);
    r.required("message", s.message);
    return r.finish(std::move(s));
}

void RejoinResponse::write(json::Writer &w) const
{
    w.beginObject();
    writeSeat(w, *this);
    w.field("message", message);
    w.endObject();
}

std::expected<GameActionResponse, DecodeError> GameActionResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    GameActionResponse a;
    r.required("success", a.success);
    r.optional("gameState", a.gameState);
    r.optional("error", a.error);
    r.optional("started", a.started);
    return r.finish(std::move(a));
}

void GameActionResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("success", success);
    w.field("gameState", gameState);
    w.field("error", error);
    w.field("started", started);
    w.endObject();
}

} // namespace korvana
