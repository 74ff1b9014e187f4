#pragma once

#include "gamestate.h"

namespace korvana {

struct CreateSessionRequest
{
    static constexpr const char *typeName = "CreateSessionRequest";
    std::optional<qint64> timeLimit;

    static std::expected<CreateSessionRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct JoinGameRequest
{
    static constexpr const char *typeName = "JoinGameRequest";
    QString roomId;

    static std::expected<JoinGameRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct RejoinRequest
{
    static constexpr const char *typeName = "RejoinRequest";
    QString roomId;

    static std::expected<RejoinRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct PlacePieceRequest
{
    static constexpr const char *typeName = "PlacePieceRequest";
    QString sessionId;
    QString pieceId;
    qint64 row = 0;
    qint64 col = 0;
    qint64 rotation = 0;

    static std::expected<PlacePieceRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct PassTurnRequest
{
    static constexpr const char *typeName = "PassTurnRequest";
    QString sessionId;

    static std::expected<PassTurnRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct VoteToStartRequest
{
    static constexpr const char *typeName = "VoteToStartRequest";
    QString sessionId;
    std::optional<bool> enableBots;

    static std::expected<VoteToStartRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
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

    static std::expected<GameSessionResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
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

    static std::expected<RejoinResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct GameActionResponse
{
    static constexpr const char *typeName = "GameActionResponse";
    bool success = false;
    std::optional<GameState> gameState;
    std::optional<QString> error;
    std::optional<bool> started;

    static std::expected<GameActionResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

} // namespace korvana
