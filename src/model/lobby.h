// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

namespace korvana {

struct ServerPlayer
{
    static constexpr const char *typeName = "ServerPlayer";
    QString playerId;
    std::optional<QString> userId; // a number on the wire is taken as its decimal text
    QString name;
    std::optional<QString> username;
    QString color;
    std::optional<qint64> score;
    std::optional<qint64> timeRemaining;
    std::optional<qint64> piecesPlaced;
    std::optional<qint64> piecesRemaining;
    std::optional<bool> isCurrentPlayer;

    static auto fields()
    {
        return std::tuple{json::required("playerId", &ServerPlayer::playerId),
                          json::derived("userId", &ServerPlayer::userId, &readUserId),
                          json::required("name", &ServerPlayer::name),
                          json::lenient("username", &ServerPlayer::username),
                          json::required("color", &ServerPlayer::color),
                          json::lenient("score", &ServerPlayer::score),
                          json::lenient("timeRemaining", &ServerPlayer::timeRemaining),
                          json::lenient("piecesPlaced", &ServerPlayer::piecesPlaced),
                          json::lenient("piecesRemaining", &ServerPlayer::piecesRemaining),
                          json::lenient("isCurrentPlayer", &ServerPlayer::isCurrentPlayer)};
    }
    // A number on the wire is taken as its decimal text; anything else leaves it absent.
    static std::optional<QString> readUserId(json::ObjectReader &r, const ServerPlayer &);
    bool operator==(const ServerPlayer &) const = default;
};

struct GameServer
{
    static constexpr const char *typeName = "GameServer";
    QString id; // the "roomId" member
    qint64 playerCount = 0;
    qint64 maxPlayers = 4;
    QList<ServerPlayer> players;
    std::optional<QString> serverName;
    std::optional<GameStatus> gameStatus;
    std::optional<QString> type;
    std::optional<qint64> timeLimit;
    std::optional<qint64> turnNumber;
    std::optional<QString> currentPlayerId;

    [[nodiscard]] const QString &roomId() const { return id; }

    static auto fields()
    {
        return std::tuple{json::required("roomId", &GameServer::id),
                          json::withDefault("playerCount", &GameServer::playerCount, qint64(0)),
                          json::withDefault("maxPlayers", &GameServer::maxPlayers, qint64(4)),
                          json::withDefault("players", &GameServer::players, {}),
                          json::lenient("serverName", &GameServer::serverName),
                          json::lenient("gameStatus", &GameServer::gameStatus),
                          json::lenient("type", &GameServer::type),
                          json::lenient("timeLimit", &GameServer::timeLimit),
                          json::lenient("turnNumber", &GameServer::turnNumber),
                          json::lenient("currentPlayerId", &GameServer::currentPlayerId)};
    }
    bool operator==(const GameServer &) const = default;
};

struct ServerListResponse
{
    static constexpr const char *typeName = "ServerListResponse";
    QList<GameServer> servers;

    static auto fields()
    {
        return std::tuple{json::required("servers", &ServerListResponse::servers)};
    }
};

struct ActiveGame
{
    static constexpr const char *typeName = "ActiveGame";
    QString roomId;
    std::optional<QString> sessionId;
    GameStatus gameStatus = GameStatus::Unknown;
    QString playerId;
    QString playerName;
    QString color;
    qint64 currentScore = 0;
    std::optional<qint64> timeLimit;
    std::optional<qint64> turnNumber;
    std::optional<QString> currentPlayerId;
    qint64 playersCount = 0;
    qint64 maxPlayers = 0;
    std::optional<bool> isMyTurn;
    QString source;

    [[nodiscard]] const QString &id() const { return roomId; }

    static auto fields()
    {
        return std::tuple{json::required("roomId", &ActiveGame::roomId),
                          json::lenient("sessionId", &ActiveGame::sessionId),
                          json::required("gameStatus", &ActiveGame::gameStatus),
                          json::required("playerId", &ActiveGame::playerId),
                          json::required("playerName", &ActiveGame::playerName),
                          json::required("color", &ActiveGame::color),
                          json::required("currentScore", &ActiveGame::currentScore),
                          json::lenient("timeLimit", &ActiveGame::timeLimit),
                          json::lenient("turnNumber", &ActiveGame::turnNumber),
                          json::lenient("currentPlayerId", &ActiveGame::currentPlayerId),
                          json::required("playersCount", &ActiveGame::playersCount),
                          json::required("maxPlayers", &ActiveGame::maxPlayers),
                          json::lenient("isMyTurn", &ActiveGame::isMyTurn),
                          json::required("source", &ActiveGame::source)};
    }
    bool operator==(const ActiveGame &) const = default;
};

struct ActiveGamesResponse
{
    static constexpr const char *typeName = "ActiveGamesResponse";
    QList<ActiveGame> activeGames;
    qint64 count = 0;

    static auto fields()
    {
        return std::tuple{json::required("activeGames", &ActiveGamesResponse::activeGames),
                          json::required("count", &ActiveGamesResponse::count)};
    }
};

struct TimeOption
{
    static constexpr const char *typeName = "TimeOption";
    qint64 id = 0; // the "value" member
    QString label;
    qint64 seconds = 0;

    static auto fields()
    {
        return std::tuple{json::required("value", &TimeOption::id),
                          json::required("label", &TimeOption::label),
                          json::required("seconds", &TimeOption::seconds)};
    }
    bool operator==(const TimeOption &) const = default;
};

struct TimeOptionsResponse
{
    static constexpr const char *typeName = "TimeOptionsResponse";
    QList<TimeOption> options;

    static auto fields()
    {
        return std::tuple{json::withDefault("options", &TimeOptionsResponse::options, {})};
    }
};

struct PieceDefinition
{
    static constexpr const char *typeName = "PieceDefinition";
    QString id;
    QString name;
    qint64 size = 0;
    Squares squares;
    QList<qint64> rotations{0, 90, 180, 270};

    static auto fields()
    {
        return std::tuple{
            json::required("id", &PieceDefinition::id),
            json::required("name", &PieceDefinition::name),
            json::required("size", &PieceDefinition::size),
            json::required("squares", &PieceDefinition::squares),
            json::withDefault("rotations", &PieceDefinition::rotations, {0, 90, 180, 270})};
    }
    bool operator==(const PieceDefinition &) const = default;
};

struct PiecesResponse
{
    static constexpr const char *typeName = "PiecesResponse";
    QList<PieceDefinition> pieces;

    static auto fields() { return std::tuple{json::required("pieces", &PiecesResponse::pieces)}; }
};

struct SaveScoreRequest
{
    static constexpr const char *typeName = "SaveScoreRequest";
    QString roomId;
    qint64 score = 0;
    qint64 position = 0;
    qint64 playersCount = 0;

    static auto fields()
    {
        return std::tuple{json::required("roomId", &SaveScoreRequest::roomId),
                          json::required("score", &SaveScoreRequest::score),
                          json::required("position", &SaveScoreRequest::position),
                          json::required("playersCount", &SaveScoreRequest::playersCount)};
    }
};

struct Score
{
    static constexpr const char *typeName = "Score";
    qint64 id = 0;
    qint64 userId = 0;
    qint64 score = 0;
    qint64 position = 0;

    static auto fields()
    {
        return std::tuple{
            json::required("id", &Score::id), json::required("userId", &Score::userId),
            json::required("score", &Score::score), json::required("position", &Score::position)};
    }
};

struct SaveScoreResponse
{
    static constexpr const char *typeName = "SaveScoreResponse";
    QString message;
    Score score;

    static auto fields()
    {
        return std::tuple{json::required("message", &SaveScoreResponse::message),
                          json::required("score", &SaveScoreResponse::score)};
    }
};

} // namespace korvana
