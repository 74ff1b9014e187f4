// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace korvana::rules {

namespace messages {
QString notYourTurn()
{
    return u"Nie twoja tura"_s;
}
QString alreadyOut()
{
    return u"Nie masz już ruchu — jesteś poza grą"_s;
}
QString notInProgress()
{
    return u"Gra nie jest w toku"_s;
}
QString illegalMove(const QString &reason)
{
    return u"Nieprawidłowy ruch: "_s + reason;
}
} // namespace messages

namespace {

std::unexpected<ActionError> refuse(ActionError::Code code, QString message,
                                    PlacementVerdict verdict = PlacementVerdict::Valid)
{
    return std::unexpected(ActionError{code, std::move(message), verdict});
}

void finish(Game &game)
{
    game.status = GameStatus::Finished;
    game.currentPlayer = -1;
    game.winner = -1;
    for (int i = 0; i < int(game.players.size()); ++i)
        if (game.winner < 0 || game.players[i].score > game.players[game.winner].score)
            game.winner = i;
}

// Hands the turn to the next player in seat order after `game.currentPlayer` who is still in,
// putting out on the way everyone who has no legal move. Ends the game when nobody is left in
// it, or when everyone still in has passed since the last placement.
void selectNext(Game &game, qint64 atMs)
{
    const int n = int(game.players.size());
    for (int i = 1; i <= n; ++i) {
        const auto stillIn = std::ranges::count(game.players, false, &PlayerState::hasPassed);
        if (stillIn == 0 || game.consecutivePasses >= stillIn)
            break;
        const int candidate = ((game.currentPlayer + i) % n + n) % n;
        PlayerState &p = game.players[candidate];
        if (p.hasPassed)
            continue;
        if (!hasLegalMove(game, candidate)) {
            p.hasPassed = true;
            continue;
        }
        game.currentPlayer = candidate;
        game.turnStartedMs = atMs;
        return;
    }
    finish(game);
}

void advanceTurn(Game &game, qint64 atMs)
{
    ++game.turnNumber;
    selectNext(game, atMs);
}

// Charges the current player's clock with the time of the turn that ends now.
void stopClock(Game &game, qint64 nowMs)
{
    if (game.timeLimit <= 0)
        return;
    PlayerState &p = game.players[game.currentPlayer];
    p.clockMs = std::max<qint64>(0, p.clockMs - std::max<qint64>(0, nowMs - game.turnStartedMs));
}

// The checks shared by place and pass, after the clocks are brought up to date.
Result<> checkTurn(Game &game, int player, qint64 nowMs)
{
    tick(game, nowMs);
    if (game.status != GameStatus::InProgress)
        return refuse(ActionError::Code::NotInProgress, messages::notInProgress());
    if (player < 0 || player >= int(game.players.size()))
        return refuse(ActionError::Code::UnknownPlayer, u"Nie ma takiego gracza w tej grze"_s);
    if (game.players[player].hasPassed)
        return refuse(ActionError::Code::AlreadyOut, messages::alreadyOut());
    if (game.currentPlayer != player)
        return refuse(ActionError::Code::NotYourTurn, messages::notYourTurn());
    return {};
}

} // namespace

PieceSet PlayerState::available() const
{
    PieceSet set{};
    for (int i = 0; i < PieceCount; ++i)
        set[i] = !pieces[i].placed;
    return set;
}

int PlayerState::placedCount() const
{
    return int(std::ranges::count_if(pieces, &PieceState::placed));
}

Game newGame(int timeLimitSeconds)
{
    Game game;
    game.timeLimit = std::max(0, timeLimitSeconds);
    return game;
}

Result<int> addPlayer(Game &game, QString id, QString name, bool isBot)
{
    if (game.status != GameStatus::Waiting)
        return refuse(ActionError::Code::NotWaiting, u"Gra już się rozpoczęła"_s);
    if (int(game.players.size()) >= MaxPlayers)
        return refuse(ActionError::Code::GameFull, u"Gra jest pełna"_s);
    if (findPlayer(game, id) >= 0)
        return refuse(ActionError::Code::DuplicatePlayer, u"Ten gracz już siedzi przy stole"_s);
    PlayerState p;
    p.id = std::move(id);
    p.name = std::move(name);
    p.seat = int(game.players.size());
    p.color = p.seat + 1;
    p.isBot = isBot;
    p.clockMs = qint64(game.timeLimit) * 1000;
    game.players.push_back(std::move(p));
    return int(game.players.size()) - 1;
}

Result<> startGame(Game &game, qint64 nowMs)
{
    if (game.status != GameStatus::Waiting)
        return refuse(ActionError::Code::NotWaiting, u"Gra już się rozpoczęła"_s);
    if (game.players.empty())
        return refuse(ActionError::Code::NoPlayers, u"Brak graczy przy stole"_s);
    for (auto &p : game.players)
        p.clockMs = qint64(game.timeLimit) * 1000;
    game.status = GameStatus::InProgress;
    game.turnNumber = 1;
    game.consecutivePasses = 0;
    game.winner = -1;
    game.currentPlayer = -1;
    selectNext(game, nowMs);
    return {};
}

int findPlayer(const Game &game, QStringView playerId)
{
    for (int i = 0; i < int(game.players.size()); ++i)
        if (game.players[i].id == playerId)
            return i;
    return -1;
}

Result<> place(Game &game, int player, int piece, int row, int col, int rotation, qint64 nowMs)
{
    if (auto ok = checkTurn(game, player, nowMs); !ok)
        return ok;
    PlayerState &p = game.players[player];
    if (piece < 0 || piece >= PieceCount)
        return refuse(ActionError::Code::UnknownPiece, u"Nie ma takiego klocka"_s);
    if (p.pieces[piece].placed)
        return refuse(ActionError::Code::PieceAlreadyPlaced, u"Ten klocek został już położony"_s);
    const int k = rotationIndex(rotation);
    if (k < 0)
        return refuse(ActionError::Code::IllegalPlacement,
                      messages::illegalMove(u"obrót musi wynosić 0, 90, 180 lub 270 stopni"_s));
    const auto verdict =
        checkPlacement(game.board, pieceCatalogue()[piece].squares, rotation, row, col, p.color);
    if (verdict != PlacementVerdict::Valid)
        return refuse(ActionError::Code::IllegalPlacement,
                      messages::illegalMove(verdictText(verdict)), verdict);

    for (const auto &[dr, dc] : orientedSquares(piece, k))
        game.board.set(row + dr, col + dc, p.color);
    p.pieces[piece] = {true, row, col, rotation};
    p.lastMove = korvana::Move{pieceCatalogue()[piece].id, row, col, rotation};
    p.score = scoreOf(p);
    game.consecutivePasses = 0;
    stopClock(game, nowMs);
    advanceTurn(game, nowMs);
    return {};
}

Result<> place(Game &game, QStringView playerId, QStringView pieceId, int row, int col,
               int rotation, qint64 nowMs)
{
    // An unknown id becomes index -1, refused after the turn checks.
    return place(game, findPlayer(game, playerId), pieceIndex(pieceId), row, col, rotation, nowMs);
}

Result<> pass(Game &game, int player, qint64 nowMs)
{
    if (auto ok = checkTurn(game, player, nowMs); !ok)
        return ok;
    stopClock(game, nowMs);
    ++game.consecutivePasses;
    advanceTurn(game, nowMs);
    return {};
}

Result<> pass(Game &game, QStringView playerId, qint64 nowMs)
{
    return pass(game, findPlayer(game, playerId), nowMs);
}

void endGame(Game &game)
{
    if (game.status == GameStatus::InProgress)
        finish(game);
}

bool tick(Game &game, qint64 nowMs)
{
    bool changed = false;
    while (game.status == GameStatus::InProgress && game.timeLimit > 0) {
        PlayerState &p = game.players[game.currentPlayer];
        const qint64 deadline = game.turnStartedMs + p.clockMs;
        if (nowMs < deadline)
            break;
        p.clockMs = 0;
        p.hasPassed = true;
        advanceTurn(game, deadline);
        changed = true;
    }
    return changed;
}

std::optional<qint64> clockDeadlineMs(const Game &game)
{
    if (game.status != GameStatus::InProgress || game.timeLimit <= 0)
        return std::nullopt;
    return game.turnStartedMs + game.players[game.currentPlayer].clockMs;
}

qint64 remainingClockMs(const Game &game, int player, qint64 nowMs)
{
    if (game.status == GameStatus::Waiting)
        return qint64(game.timeLimit) * 1000;
    const qint64 clock = game.players[player].clockMs;
    if (game.status != GameStatus::InProgress || game.timeLimit <= 0 ||
        player != game.currentPlayer)
        return clock;
    return std::max<qint64>(0, clock - std::max<qint64>(0, nowMs - game.turnStartedMs));
}

std::optional<int> timeRemainingSeconds(const Game &game, qint64 nowMs)
{
    if (game.status != GameStatus::InProgress || game.timeLimit <= 0)
        return std::nullopt;
    return int((remainingClockMs(game, game.currentPlayer, nowMs) + 999) / 1000);
}

int scoreOf(const PlayerState &player)
{
    const auto &catalogue = pieceCatalogue();
    int score = 0;
    for (int i = 0; i < PieceCount; ++i)
        if (player.pieces[i].placed)
            score += catalogue[i].size();
    if (player.placedCount() == PieceCount) {
        score += AllPiecesBonus;
        if (player.lastMove && player.lastMove->pieceId == catalogue[MonominoIndex].id)
            score += MonominoLastBonus;
    }
    return score;
}

int positionOf(const Game &game, int player)
{
    const int mine = game.players[player].score;
    int position = 1;
    for (int i = 0; i < int(game.players.size()); ++i) {
        const int other = game.players[i].score;
        if (other > mine || (other == mine && i < player))
            ++position;
    }
    return position;
}

std::vector<LegalMove> legalMoves(const Game &game, int player)
{
    const PlayerState &p = game.players[player];
    return legalMoves(game.board, p.color, p.available());
}

bool hasLegalMove(const Game &game, int player)
{
    const PlayerState &p = game.players[player];
    return hasLegalMove(game.board, p.color, p.available());
}

} // namespace korvana::rules
