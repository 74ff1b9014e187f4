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

    static std::expected<ServerPlayer, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
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
    std::optional<QString> gameStatus;
    std::optional<QString> type;
    std::optional<qint64> timeLimit;
    std::optional<qint64> turnNumber;
    std::optional<QString> currentPlayerId;

    [[nodiscard]] const QString &roomId() const { return id; }

    static std::expected<GameServer, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const GameServer &) const = default;
};

struct ServerListResponse
{
    static constexpr const char *typeName = "ServerListResponse";
    QList<GameServer> servers;

    static std::expected<ServerListResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct ActiveGame
{
    static constexpr const char *typeName = "ActiveGame";
    QString roomId;
    std::optional<QString> sessionId;
    QString gameStatus;
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

    static std::expected<ActiveGame, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const ActiveGame &) const = default;
};

struct ActiveGamesResponse
{
    static constexpr const char *typeName = "ActiveGamesResponse";
    QList<ActiveGame> activeGames;
    qint64 count = 0;

    static std::expected<ActiveGamesResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct TimeOption
{
    static constexpr const char *typeName = "TimeOption";
    qint64 id = 0; // the "value" member
    QString label;
    qint64 seconds = 0;

    static std::expected<TimeOption, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const TimeOption &) const = default;
};

struct TimeOptionsResponse
{
    static constexpr const char *typeName = "TimeOptionsResponse";
    QList<TimeOption> options;

    static std::expected<TimeOptionsResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct PieceDefinition
{
    static constexpr const char *typeName = "PieceDefinition";
    QString id;
    QString name;
    qint64 size = 0;
    Squares squares;
    QList<qint64> rotations{0, 90, 180, 270};

    static std::expected<PieceDefinition, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const PieceDefinition &) const = default;
};

struct PiecesResponse
{
    static constexpr const char *typeName = "PiecesResponse";
    QList<PieceDefinition> pieces;

    static std::expected<PiecesResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct SaveScoreRequest
{
    static constexpr const char *typeName = "SaveScoreRequest";
    QString roomId;
    qint64 score = 0;
    qint64 position = 0;
    qint64 playersCount = 0;

    static std::expected<SaveScoreRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct Score
{
    static constexpr const char *typeName = "Score";
    qint64 id = 0;
    qint64 userId = 0;
    qint64 score = 0;
    qint64 position = 0;

    static std::expected<Score, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct SaveScoreResponse
{
    static constexpr const char *typeName = "SaveScoreResponse";
    QString message;
    Score score;

    static std::expected<SaveScoreResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

} // namespace korvana
