// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gameview.h"

#include "rules/game.h"

namespace korvana::rooms {
namespace {

Squares wireSquares(const std::vector<rules::SquareOffset> &squares)
{
    Squares out;
    out.reserve(qsizetype(squares.size()));
    for (const auto &s : squares)
        out.append(Square{s.row, s.col});
    return out;
}

// Each piece's catalogue part, built once; a player's piece is a copy with its own placement.
const QList<GamePiece> &pieceTemplates()
{
    static const QList<GamePiece> templates = [] {
        QList<GamePiece> list;
        for (const auto &def : rules::pieceCatalogue())
            list.append(GamePiece{def.id, def.name, def.size(), wireSquares(def.squares)});
        return list;
    }();
    return templates;
}

Player playerView(const rules::Game &game, int seat, qint64 nowMs)
{
    const rules::PlayerState &p = game.players[std::size_t(seat)];
    Player out;
    out.id = p.id;
    out.name = p.name;
    out.color = rules::colorName(p.color);
    out.score = p.score;
    out.hasPassed = p.hasPassed;
    out.pieces = pieceTemplates();
    for (int i = 0; i < rules::PieceCount; ++i) {
        const rules::PieceState &piece = p.pieces[std::size_t(i)];
        if (!piece.placed)
            continue;
        GamePiece &g = out.pieces[i];
        g.placed = true;
        g.position = PiecePosition{piece.row, piece.col};
        g.rotation = piece.rotation;
    }
    out.lastMove = p.lastMove;
    // Every seat's clock beside the current player's timeRemaining, so all of them can be shown.
    if (game.timeLimit > 0 && game.status == GameStatus::InProgress)
        out.timeRemaining = (rules::remainingClockMs(game, seat, nowMs) + 999) / 1000;
    return out;
}

int humansSeated(const store::RoomRecord &room)
{
    int humans = 0;
    for (const auto &seat : room.seats)
        humans += seat.userId != 0;
    return humans;
}

} // namespace

GameState gameStateView(const store::RoomRecord &room, qint64 nowMs)
{
    const rules::Game &game = room.game;
    GameState state;
    state.roomId = room.roomId;
    Board board;
    board.reserve(rules::BoardSize);
    for (int r = 0; r < rules::BoardSize; ++r) {
        QList<qint64> row(rules::BoardSize);
        for (int c = 0; c < rules::BoardSize; ++c)
            row[c] = game.board.at(r, c);
        board.append(std::move(row));
    }
    state.board = std::move(board);
    for (int i = 0; i < int(game.players.size()); ++i)
        state.players.append(playerView(game, i, nowMs));
    state.gameStatus = game.status;
    if (game.status == GameStatus::InProgress)
        state.currentPlayerId = game.players[std::size_t(game.currentPlayer)].id;
    state.turnNumber = game.turnNumber;
    state.timeLimit = game.timeLimit;
    if (const auto remaining = rules::timeRemainingSeconds(game, nowMs))
        state.timeRemaining = *remaining;
    state.consecutivePasses = game.consecutivePasses;
    if (game.status == GameStatus::Finished && game.winner >= 0) {
        const rules::PlayerState &w = game.players[std::size_t(game.winner)];
        state.winner = Winner{w.id, w.name, w.score};
    }
    if (game.status == GameStatus::Waiting) {
        QList<QString> votes;
        for (std::size_t i = 0; i < room.seats.size(); ++i)
            if (room.seats[i].voted)
                votes.append(game.players[i].id);
        state.startVotesCount = votes.size();
        state.startVotes = std::move(votes);
        state.startVotesNeeded = humansSeated(room);
    }
    return state;
}

GameServer serverView(const store::RoomRecord &room, qint64 nowMs)
{
    const rules::Game &game = room.game;
    GameServer server;
    server.id = room.roomId;
    server.playerCount = qint64(game.players.size());
    server.maxPlayers = rules::MaxPlayers;
    server.serverName = room.serverName;
    server.gameStatus = game.status;
    server.timeLimit = game.timeLimit;
    server.turnNumber = game.turnNumber;
    if (game.status == GameStatus::InProgress)
        server.currentPlayerId = game.players[std::size_t(game.currentPlayer)].id;
    for (std::size_t i = 0; i < game.players.size(); ++i) {
        const rules::PlayerState &p = game.players[i];
        ServerPlayer sp;
        sp.playerId = p.id;
        sp.name = p.name;
        if (!p.isBot) {
            sp.userId = QString::number(room.seats[i].userId);
            sp.username = p.name;
        }
        sp.color = rules::colorName(p.color);
        sp.score = p.score;
        if (game.timeLimit > 0)
            sp.timeRemaining = (rules::remainingClockMs(game, int(i), nowMs) + 999) / 1000;
        sp.piecesPlaced = p.placedCount();
        sp.piecesRemaining = rules::PieceCount - p.placedCount();
        sp.isCurrentPlayer = game.status == GameStatus::InProgress && game.currentPlayer == int(i);
        server.players.append(std::move(sp));
    }
    return server;
}

ActiveGame activeGameView(const store::RoomRecord &room, int seat)
{
    const rules::Game &game = room.game;
    const rules::PlayerState &p = game.players[std::size_t(seat)];
    ActiveGame a;
    a.roomId = room.roomId;
    a.sessionId = room.seats[std::size_t(seat)].sessionId;
    a.gameStatus = game.status;
    a.playerId = p.id;
    a.playerName = p.name;
    a.color = rules::colorName(p.color);
    a.currentScore = p.score;
    a.timeLimit = game.timeLimit;
    a.turnNumber = game.turnNumber;
    if (game.status == GameStatus::InProgress)
        a.currentPlayerId = game.players[std::size_t(game.currentPlayer)].id;
    a.playersCount = qint64(game.players.size());
    a.maxPlayers = rules::MaxPlayers;
    a.isMyTurn = game.status == GameStatus::InProgress && game.currentPlayer == seat;
    a.source = QStringLiteral("server");
    return a;
}

Session sessionView(const store::RoomRecord &room, int seat)
{
    const rules::PlayerState &p = room.game.players[std::size_t(seat)];
    return Session{room.seats[std::size_t(seat)].sessionId,
                   QString::number(room.seats[std::size_t(seat)].userId), p.id, room.roomId,
                   rules::colorName(p.color)};
}

const QList<PieceDefinition> &pieceDefinitions()
{
    static const QList<PieceDefinition> defs = [] {
        QList<PieceDefinition> list;
        for (const auto &def : rules::pieceCatalogue())
            list.append(PieceDefinition{
                def.id, def.name, def.size(), wireSquares(def.squares), {0, 90, 180, 270}});
        return list;
    }();
    return defs;
}

} // namespace korvana::rooms
