#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"

#include <optional>

namespace korvana {

using Board = QList<QList<qint64>>;
// One unit square as [row offset, column offset]; kept as sent, so a malformed square may hold
// fewer or more numbers. Two numbers live inline: a game state carries hundreds of squares.
using Square = QVarLengthArray<qint64, 2>;
using Squares = QList<Square>;

// Board of 20 x 20 empty cells: what a game state without a readable board shows.
Board emptyBoard();

struct BoardCell
{
    static constexpr const char *typeName = "BoardCell";
    std::optional<QString> color;
    std::optional<QString> pieceId;

    static std::expected<BoardCell, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct PiecePosition
{
    static constexpr const char *typeName = "PiecePosition";
    qint64 row = 0;
    qint64 col = 0;

    static std::expected<PiecePosition, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const PiecePosition &) const = default;
};

struct Move
{
    static constexpr const char *typeName = "Move";
    QString pieceId;
    qint64 row = 0;
    qint64 col = 0;
    qint64 rotation = 0;

    static std::expected<Move, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const Move &) const = default;
};

struct Winner
{
    static constexpr const char *typeName = "Winner";
    QString playerId;
    QString name;
    qint64 score = 0;

    static std::expected<Winner, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const Winner &) const = default;
};

struct GamePiece
{
    static constexpr const char *typeName = "GamePiece";
    QString id;
    QString name;
    qint64 size = 0;
    Squares squares;
    bool placed = false;
    std::optional<PiecePosition> position;
    qint64 rotation = 0;

    static std::expected<GamePiece, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const GamePiece &) const = default;
};

struct Player
{
    static constexpr const char *typeName = "Player";
    QString id; // the "playerId" member
    QString name;
    QString color;
    qint64 score = 0;
    QList<GamePiece> pieces;
    bool hasPassed = false;
    std::optional<Move> lastMove;

    [[nodiscard]] const QString &playerId() const { return id; }

    static std::expected<Player, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const Player &) const = default;
};

struct GameState
{
    static constexpr const char *typeName = "GameState";
    QString roomId;
    Board board = emptyBoard();
    QList<Player> players;
    QString gameStatus;
    std::optional<QString> currentPlayerId;
    qint64 turnNumber = 1;
    qint64 timeLimit = 0;
    std::optional<qint64> timeRemaining;
    qint64 consecutivePasses = 0;
    std::optional<Winner> winner;
    std::optional<QList<QString>> startVotes;
    std::optional<qint64> startVotesCount;
    std::optional<qint64> startVotesNeeded;

    static std::expected<GameState, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const GameState &) const = default;
};

struct Session
{
    static constexpr const char *typeName = "Session";
    QString sessionId;
    QString userId;
    QString playerId;
    QString roomId;
    QString color;

    static std::expected<Session, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct SessionWrapper
{
    static constexpr const char *typeName = "SessionWrapper";
    Session session;
    GameState gameState;

    static std::expected<SessionWrapper, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

// Highest score first; equal scores keep the server's order (the results and the saved rank).
[[nodiscard]] QList<Player> rankedPlayers(QList<Player> players);

} // namespace korvana
