// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

namespace korvana {

// Create, join and rejoin answers share the seat and the game state.
template <class T> auto seatFields()
{
    return std::tuple{
        json::required("sessionId", &T::sessionId), json::required("roomId", &T::roomId),
        json::required("playerId", &T::playerId),   json::required("playerName", &T::playerName),
        json::required("color", &T::color),         json::required("gameState", &T::gameState)};
}

struct CreateSessionRequest
{
    static constexpr const char *typeName = "CreateSessionRequest";
    std::optional<qint64> timeLimit;

    static auto fields()
    {
        return std::tuple{json::optional("timeLimit", &CreateSessionRequest::timeLimit)};
    }
};

// The body of a join and of a rejoin: which room.
struct RoomRequest
{
    static constexpr const char *typeName = "RoomRequest";
    QString roomId;

    static auto fields() { return std::tuple{json::required("roomId", &RoomRequest::roomId)}; }
};
using JoinGameRequest = RoomRequest;
using RejoinRequest = RoomRequest;

struct PlacePieceRequest
{
    static constexpr const char *typeName = "PlacePieceRequest";
    QString sessionId;
    QString pieceId;
    qint64 row = 0;
    qint64 col = 0;
    qint64 rotation = 0;

    static auto fields()
    {
        return std::tuple{json::required("sessionId", &PlacePieceRequest::sessionId),
                          json::required("pieceId", &PlacePieceRequest::pieceId),
                          json::required("row", &PlacePieceRequest::row),
                          json::required("col", &PlacePieceRequest::col),
                          json::required("rotation", &PlacePieceRequest::rotation)};
    }
};

struct PassTurnRequest
{
    static constexpr const char *typeName = "PassTurnRequest";
    QString sessionId;

    static auto fields()
    {
        return std::tuple{json::required("sessionId", &PassTurnRequest::sessionId)};
    }
};

struct VoteToStartRequest
{
    static constexpr const char *typeName = "VoteToStartRequest";
    QString sessionId;
    std::optional<bool> enableBots;

    static auto fields()
    {
        return std::tuple{json::required("sessionId", &VoteToStartRequest::sessionId),
                          json::optional("enableBots", &VoteToStartRequest::enableBots)};
    }
};

struct GameSessionResponse
{
    static constexpr const char *typeName = "GameSessionResponse";
    QString sessionId;
    QString roomId;
    QString playerId;
    QString playerName;
    QString color;
    GameState gameState;

    static auto fields() { return seatFields<GameSessionResponse>(); }
};

struct RejoinResponse
{
    static constexpr const char *typeName = "RejoinResponse";
    QString sessionId;
    QString roomId;
    QString playerId;
    QString playerName;
    QString color;
    GameState gameState;
    QString message;

    static auto fields()
    {
        return std::tuple_cat(seatFields<RejoinResponse>(),
                              std::tuple{json::required("message", &RejoinResponse::message)});
    }
};

struct GameActionResponse
{
    static constexpr const char *typeName = "GameActionResponse";
    bool success = false;
    std::optional<GameState> gameState;
    std::optional<QString> error;
    std::optional<bool> started;

    static auto fields()
    {
        return std::tuple{json::required("success", &GameActionResponse::success),
                          json::optional("gameState", &GameActionResponse::gameState),
                          json::optional("error", &GameActionResponse::error),
                          json::optional("started", &GameActionResponse::started)};
    }
};

} // namespace korvana
