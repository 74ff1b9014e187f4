#include "lobby.h"

namespace korvana {
namespace {
// A seated player's user id may come as a number or as text; anything else leaves it absent.
std::optional<QString> readUserId(const json::ObjectReader &r)
{
    const auto element = r.find("userId");
    if (!element)
        return std::nullopt;
    std::string_view text;
    if (element->get_string().get(text) == simdjson::SUCCESS)
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (element->type() == simdjson::dom::element_type::INT64)
        return QString::number(element->get_int64().value_unsafe());
    if (element->type() == simdjson::dom::element_type::UINT64)
        return QString::number(element->get_uint64().value_unsafe());
    return std::nullopt;
}
} // namespace

std::expected<ServerPlayer, DecodeError> ServerPlayer::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    ServerPlayer p;
    r.required("playerId", p.playerId);
    if (r.ok())
        p.userId = readUserId(r);
    r.required("name", p.name);
    r.lenient("username", p.username);
    r.required("color", p.color);
    r.lenient("score", p.score);
    r.lenient("timeRemaining", p.timeRemaining);
    r.lenient("piecesPlaced", p.piecesPlaced);
    r.lenient("piecesRemaining", p.piecesRemaining);
    r.lenient("isCurrentPlayer", p.isCurrentPlayer);
    return r.finish(std::move(p));
}

void ServerPlayer::write(json::Writer &w) const
{
    w.beginObject();
    w.field("playerId", playerId);
    w.field("userId", userId);
    w.field("name", name);
    w.field("username", username);
    w.field("color", color);
    w.field("score", score);
    w.field("timeRemaining", timeRemaining);
    w.field("piecesPlaced", piecesPlaced);
    w.field("piecesRemaining", piecesRemaining);
    w.field("isCurrentPlayer", isCurrentPlayer);
    w.endObject();
}

std::expected<GameServer, DecodeError> GameServer::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    GameServer s;
    r.required("roomId", s.id);
    r.withDefault("playerCount", s.playerCount, qint64(0));
    r.withDefault("maxPlayers", s.maxPlayers, qint64(4));
    r.withDefault("players", s.players, {});
    r.lenient("serverName", s.serverName);
    r.lenient("gameStatus", s.gameStatus);
    r.lenient("type", s.type);
    r.lenient("timeLimit", s.timeLimit);
    r.lenient("turnNumber", s.turnNumber);
    r.lenient("currentPlayerId", s.currentPlayerId);
    return r.finish(std::move(s));
}

void GameServer::write(json::Writer &w) const
{
    w.beginObject();
    w.field("roomId", id);
    w.field("playerCount", playerCount);
    w.field("maxPlayers", maxPlayers);
    w.field("players", players);
    w.field("serverName", serverName);
    w.field("gameStatus", gameStatus);
    w.field("type", type);
    w.field("timeLimit", timeLimit);
    w.field("turnNumber", turnNumber);
    w.field("currentPlayerId", currentPlayerId);
    w.endObject();
}

std::expected<ServerListResponse, DecodeError> ServerListResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    ServerListResponse s;
    r.required("servers", s.servers);
    return r.finish(std::move(s));
}

void ServerListResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("servers", servers);
    w.endObject();
}

std::expected<ActiveGame, DecodeError> ActiveGame::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    ActiveGame g;
    r.required("roomId", g.roomId);
    r.lenient("sessionId", g.sessionId);
    r.required("gameStatus", g.gameStatus);
    r.required("playerId", g.playerId);
    r.required("playerName", g.playerName);
    r.required("color", g.color);
    r.required("currentScore", g.currentScore);
    r.lenient("timeLimit", g.timeLimit);
    r.lenient("turnNumber", g.turnNumber);
    r.lenient("currentPlayerId", g.currentPlayerId);
    r.required("playersCount", g.playersCount);
    r.required("maxPlayers", g.maxPlayers);
    r.lenient("isMyTurn", g.isMyTurn);
    r.required("source", g.source);
    return r.finish(std::move(g));
}

void ActiveGame::write(json::Writer &w) const
{
    w.beginObject();
    w.field("roomId", roomId);
    w.field("sessionId", sessionId);
    w.field("gameStatus", gameStatus);
    w.field("playerId", playerId);
    w.field("playerName", playerName);
    w.field("color", color);
    w.field("currentScore", currentScore);
    w.field("timeLimit", timeLimit);
    w.field("turnNumber", turnNumber);
    w.field("currentPlayerId", currentPlayerId);
    w.field("playersCount", playersCount);
    w.field("maxPlayers", maxPlayers);
    w.field("isMyTurn", isMyTurn);
    w.field("source", source);
    w.endObject();
}

std::expected<ActiveGamesResponse, DecodeError> ActiveGamesResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    ActiveGamesResponse a;
    r.required("activeGames", a.activeGames);
    r.required("count", a.count);
    return r.finish(std::move(a));
}

void ActiveGamesResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("activeGames", activeGames);
    w.field("count", count);
    w.endObject();
}

std::expected<TimeOption, DecodeError> TimeOption::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    TimeOption t;
    r.required("value", t.id);
    r.required("label", t.label);
    r.required("seconds", t.seconds);
    return r.finish(std::move(t));
}

void TimeOption::write(json::Writer &w) const
{
    w.beginObject();
    w.field("value", id);
    w.field("label", label);
    w.field("seconds", seconds);
    w.endObject();
}

std::expected<TimeOptionsResponse, DecodeError> TimeOptionsResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    TimeOptionsResponse t;
    r.withDefault("options", t.options, {});
    return r.finish(std::move(t));
}

void TimeOptionsResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("options", options);
    w.endObject();
}

std::expected<PieceDefinition, DecodeError> PieceDefinition::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    PieceDefinition p;
    r.required("id", p.id);
    r.required("name", p.name);
    r.required("size", p.size);
    r.required("squares", p.squares);
    r.withDefault("rotations", p.rotations, {0, 90, 180, 270});
    return r.finish(std::move(p));
}

void PieceDefinition::write(json::Writer &w) const
{
    w.beginObject();
    w.field("id", id);
    w.field("name", name);
    w.field("size", size);
    w.field("squares", squares);
    w.field("rotations", rotations);
    w.endObject();
}

std::expected<PiecesResponse, DecodeError> PiecesResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    PiecesResponse p;
    r.required("pieces", p.pieces);
    return r.finish(std::move(p));
}

void PiecesResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("pieces", pieces);
    w.endObject();
}

std::expected<SaveScoreRequest, DecodeError> SaveScoreRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    SaveScoreRequest s;
    r.required("roomId", s.roomId);
    r.required("score", s.score);
    r.required("position", s.position);
    r.required("playersCount", s.playersCount);
    return r.finish(std::move(s));
}

void SaveScoreRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("roomId", roomId);
    w.field("score", score);
    w.field("position", position);
    w.field("playersCount", playersCount);
    w.endObject();
}

std::expected<Score, DecodeError> Score::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    Score s;
    r.required("id", s.id);
    r.required("userId", s.userId);
    r.required("score", s.score);
    r.required("position", s.position);
    return r.finish(std::move(s));
}

void Score::write(json::Writer &w) const
{
    w.beginObject();
    w.field("id", id);
    w.field("userId", userId);
    w.field("score", score);
    w.field("position", position);
    w.endObject();
}

std::expected<SaveScoreResponse, DecodeError> SaveScoreResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    SaveScoreResponse s;
    r.required("message", s.message);
    r.required("score", s.score);
    return r.finish(std::move(s));
}

void SaveScoreResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("message", message);
    w.field("score", score);
    w.endObject();
}

} // namespace korvana
