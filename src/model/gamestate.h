// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "jsonfields.h"

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

    static auto fields()
    {
        return std::tuple{json::optional("color", &BoardCell::color),
                          json::optional("pieceId", &BoardCell::pieceId)};
    }
};

struct PiecePosition
{
    static constexpr const char *typeName = "PiecePosition";
    qint64 row = 0;
    qint64 col = 0;

    static auto fields()
    {
        return std::tuple{json::required("row", &PiecePosition::row),
                          json::required("col", &PiecePosition::col)};
    }
    bool operator==(const PiecePosition &) const = default;
};

struct Move
{
    static constexpr const char *typeName = "Move";
    QString pieceId;
    qint64 row = 0;
    qint64 col = 0;
    qint64 rotation = 0;

    static auto fields()
    {
        return std::tuple{json::required("pieceId", &Move::pieceId),
                          json::required("row", &Move::row), json::required("col", &Move::col),
                          json::required("rotation", &Move::rotation)};
    }
    bool operator==(const Move &) const = default;
};

struct Winner
{
    static constexpr const char *typeName = "Winner";
    QString playerId;
    QString name;
    qint64 score = 0;

    static auto fields()
    {
        return std::tuple{json::required("playerId", &Winner::playerId),
                          json::required("name", &Winner::name),
                          json::required("score", &Winner::score)};
    }
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

    static auto fields()
    {
        return std::tuple{json::required("id", &GamePiece::id),
                          json::required("name", &GamePiece::name),
                          json::withDefault("size", &GamePiece::size, 0),
                          json::derived("squares", &GamePiece::squares, &readSquares),
                          json::withDefault("placed", &GamePiece::placed, false),
                          json::lenient("position", &GamePiece::position),
                          json::withDefault("rotation", &GamePiece::rotation, 0)};
    }
    // Unreadable squares are read as none; a piece with none but a size is reported.
    static Squares readSquares(json::ObjectReader &r, const GamePiece &piece);
    static void afterRead(const GamePiece &piece);
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
    // This player's clock in a timed game; sent by our own server only, absent elsewhere.
    std::optional<qint64> timeRemaining;

    [[nodiscard]] const QString &playerId() const { return id; }

    static auto fields()
    {
        return std::tuple{json::required("playerId", &Player::id),
                          json::required("name", &Player::name),
                          json::required("color", &Player::color),
                          json::withDefault("score", &Player::score, qint64(0)),
                          json::withDefault("pieces", &Player::pieces, {}),
                          json::withDefault("hasPassed", &Player::hasPassed, false),
                          json::lenient("lastMove", &Player::lastMove),
                          json::lenient("timeRemaining", &Player::timeRemaining)};
    }
    bool operator==(const Player &) const = default;
};

struct GameState
{
    static constexpr const char *typeName = "GameState";
    QString roomId;
    Board board = emptyBoard();
    QList<Player> players;
    GameStatus gameStatus = GameStatus::Unknown;
    std::optional<QString> currentPlayerId;
    qint64 turnNumber = 1;
    qint64 timeLimit = 0;
    std::optional<qint64> timeRemaining;
    qint64 consecutivePasses = 0;
    std::optional<Winner> winner;
    std::optional<QList<QString>> startVotes;
    std::optional<qint64> startVotesCount;
    std::optional<qint64> startVotesNeeded;

    static auto fields()
    {
        return std::tuple{json::required("roomId", &GameState::roomId),
                          json::derived("board", &GameState::board, &readBoard),
                          json::withDefault("players", &GameState::players, {}),
                          json::required("gameStatus", &GameState::gameStatus),
                          json::lenient("currentPlayerId", &GameState::currentPlayerId),
                          json::withDefault("turnNumber", &GameState::turnNumber, 1),
                          json::withDefault("timeLimit", &GameState::timeLimit, 0),
                          json::lenient("timeRemaining", &GameState::timeRemaining),
                          json::withDefault("consecutivePasses", &GameState::consecutivePasses, 0),
                          json::lenient("winner", &GameState::winner),
                          json::lenient("startVotes", &GameState::startVotes),
                          json::lenient("startVotesCount", &GameState::startVotesCount),
                          json::lenient("startVotesNeeded", &GameState::startVotesNeeded)};
    }
    // Numbers, else cell objects, else an empty board: the board never makes a state unreadable.
    static Board readBoard(json::ObjectReader &r, const GameState &state);
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

    static auto fields()
    {
        return std::tuple{json::required("sessionId", &Session::sessionId),
                          json::required("userId", &Session::userId),
                          json::required("playerId", &Session::playerId),
                          json::required("roomId", &Session::roomId),
                          json::required("color", &Session::color)};
    }
};

struct SessionWrapper
{
    static constexpr const char *typeName = "SessionWrapper";
    Session session;
    GameState gameState;

    static auto fields()
    {
        return std::tuple{json::required("session", &SessionWrapper::session),
                          json::required("gameState", &SessionWrapper::gameState)};
    }
};

// Highest score first; equal scores keep the server's order (the results and the saved rank).
[[nodiscard]] QList<Player> rankedPlayers(QList<Player> players);

} // namespace korvana
