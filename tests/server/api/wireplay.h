#pragma once

#include "actions.h"
#include "gamestate.h"
#include "rules/game.h"

#include <optional>

namespace korvana::test {

// A legal placement for the player `playerId` in a game state as the wire shows it, found with
// the server's own rules (the biggest piece first), or none when the player has no move.
inline std::optional<PlacePieceRequest>
legalMoveFor(const GameState &state, const QString &playerId, const QString &sessionId)
{
    rules::Board board;
    for (int r = 0; r < rules::BoardSize && r < state.board.size(); ++r)
        for (int c = 0; c < rules::BoardSize && c < state.board[r].size(); ++c)
            board.set(r, c, int(state.board[r][c]));
    for (const Player &p : state.players) {
        if (p.id != playerId)
            continue;
        rules::PieceSet available{};
        for (const GamePiece &piece : p.pieces)
            if (const int index = rules::pieceIndex(piece.id); index >= 0)
                available[std::size_t(index)] = !piece.placed;
        const auto moves = rules::legalMoves(board, rules::colorNumber(p.color), available);
        if (moves.empty())
            return std::nullopt;
        const auto best = std::ranges::max_element(moves, {}, [](const rules::LegalMove &m) {
            return rules::pieceCatalogue()[std::size_t(m.piece)].size();
        });
        return PlacePieceRequest{sessionId, rules::pieceCatalogue()[std::size_t(best->piece)].id,
                                 best->row, best->col, best->rotation};
    }
    return std::nullopt;
}

} // namespace korvana::test
