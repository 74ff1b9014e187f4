// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "board.h"
#include "gamestate.h"
#include "gamestatus.h"
#include "legality.h"
#include "pieces.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <expected>
#include <optional>
#include <vector>

namespace korvana::rules {

inline constexpr int AllPiecesBonus = 15;
inline constexpr int MonominoLastBonus = 5; // on top of AllPiecesBonus

// One of a player's 21 pieces, by catalogue index.
struct PieceState
{
    bool placed = false;
    int row = 0; // anchor cell and rotation, meaningful once placed
    int col = 0;
    int rotation = 0;
    bool operator==(const PieceState &) const = default;
};

struct PlayerState
{
    QString id;
    QString name;
    int color = 0; // 1..4, = seat + 1
    int seat = 0;  // 0..3, turn order
    bool isBot = false;
    bool hasPassed = false; // out of the game: no legal move left, or clock ran out
    std::array<PieceState, PieceCount> pieces{};
    std::optional<korvana::Move> lastMove; // the wire's record, stored as it is shown
    int score = 0;
    // Remaining clock in ms. For the current player it is the value when their turn started
    // (Game::turnStartedMs); use remainingClockMs() for the running value.
    qint64 clockMs = 0;

    [[nodiscard]] PieceSet available() const;
    [[nodiscard]] int placedCount() const;
    bool operator==(const PlayerState &) const = default;
};

// The whole game as a plain value: copy it, compare it, serialise every field and restore it.
// Time never comes from a clock here: every operation that can spend time takes `nowMs`, a
// caller-supplied monotonic or wall time in milliseconds.
struct Game
{
    std::vector<PlayerState> players; // in seat order
    CellGrid board;
    GameStatus status = GameStatus::Waiting;
    int currentPlayer = -1;    // index into players; -1 unless in progress
    int turnNumber = 1;        // 1 at the start, +1 every time the turn passes on
    int timeLimit = 0;         // seconds on each player's clock; 0 = no clock
    qint64 turnStartedMs = 0;  // when the current player's clock started running
    int consecutivePasses = 0; // passes in a row since the last placement
    int winner = -1;           // index into players once finished

    bool operator==(const Game &) const = default;
};

// Why an action was refused; `message` is Polish and meant for the player.
struct ActionError
{
    enum class Code {
        NotWaiting, // adding players or starting after the start
        GameFull,
        DuplicatePlayer,
        NoPlayers,
        NotInProgress,
        UnknownPlayer,
        AlreadyOut, // the player had no legal move left or ran out of time
        NotYourTurn,
        UnknownPiece,
        PieceAlreadyPlaced,
        IllegalPlacement, // wrong rotation or a rule of checkPlacement
    };
    Code code;
    QString message;
    PlacementVerdict verdict = PlacementVerdict::Valid; // for IllegalPlacement from the rules
};

template <typename T = void> using Result = std::expected<T, ActionError>;

// A new game in "waiting" with no players.
[[nodiscard]] Game newGame(int timeLimitSeconds = 0);
// Seats a player in the next free seat (colour in seat order); returns the seat.
Result<int> addPlayer(Game &game, QString id, QString name, bool isBot = false);
// "waiting" -> "in_progress": clocks set to timeLimit, the first seat to move at `nowMs`.
Result<> startGame(Game &game, qint64 nowMs);

// Index of the player with this id, or -1.
[[nodiscard]] int findPlayer(const Game &game, QStringView playerId);

// Places a piece for the player (rotation in degrees, exactly 0, 90, 180 or 270; row and col of
// the anchor square). Runs tick(nowMs) first, so a player whose clock ran out is refused; a
// refused action may therefore still have changed the game (compare or save it after any call).
// On success the turn passes on: players without a legal move are put out on the way (and
// skipped from then on), and the game finishes when nobody is left in it, or when everyone
// still in has passed in a row since the last placement.
Result<> place(Game &game, int player, int piece, int row, int col, int rotation, qint64 nowMs);
Result<> place(Game &game, QStringView playerId, QStringView pieceId, int row, int col,
               int rotation, qint64 nowMs);
// The player skips this turn only; it counts in consecutivePasses until someone places a piece.
// Refused when the player is out or when it is not their turn.
Result<> pass(Game &game, int player, qint64 nowMs);
Result<> pass(Game &game, QStringView playerId, qint64 nowMs);

// Ends a game in progress with the scores as they stand (a game nobody plays any more).
void endGame(Game &game);

// Applies the clocks up to `nowMs`: each current player whose clock has run out is put out and
// the turn passes on at the moment it ran out. Returns true when the state changed. Call it
// before reading or serialising a game, and when clockDeadlineMs() is reached.
bool tick(Game &game, qint64 nowMs);
// When the current player's clock runs out, if a clock is running.
[[nodiscard]] std::optional<qint64> clockDeadlineMs(const Game &game);
// A player's clock as of `nowMs` (never below 0); timeLimit * 1000 before the start.
[[nodiscard]] qint64 remainingClockMs(const Game &game, int player, qint64 nowMs);
// The wire's timeRemaining: the current player's clock in whole seconds, rounded up; none when
// the game has no time limit or is not in progress.
[[nodiscard]] std::optional<int> timeRemainingSeconds(const Game &game, qint64 nowMs);

// Squares placed, +15 for all 21 pieces, +5 more when the last one placed was the monomino.
[[nodiscard]] int scoreOf(const PlayerState &player);
// Rank 1..n: by score, highest first, equal scores in seat order (the client's stable sort).
[[nodiscard]] int positionOf(const Game &game, int player);

[[nodiscard]] std::vector<LegalMove> legalMoves(const Game &game, int player);
[[nodiscard]] bool hasLegalMove(const Game &game, int player);

// Polish texts of the refusals.
namespace messages {
QString notYourTurn();                      // "Nie twoja tura"
QString alreadyOut();                       // "Nie masz już ruchu — jesteś poza grą"
QString notInProgress();                    // "Gra nie jest w toku"
QString illegalMove(const QString &reason); // "Nieprawidłowy ruch: " + reason
} // namespace messages

} // namespace korvana::rules
