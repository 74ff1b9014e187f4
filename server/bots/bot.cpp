// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bot.h"

#include <array>
#include <random>

namespace korvana::bots {

using namespace korvana::rules;
// The wire records share some names with the rules; here the rules' are meant.
using rules::Game;
using rules::PlayerState;
using rules::SquareOffset;

namespace {

std::uint64_t splitmix64(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr std::array<SquareOffset, 4> Sides{{{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};
constexpr std::array<SquareOffset, 4> Diagonals{{{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}};

// What the bot knows about the board before it tries its moves.
struct Outlook
{
    PlacementMasks mine;
    BitBoard theirAnchors; // cells where some opponent still in the game could start a piece
    int placedCount = 0;
};

Outlook lookAround(const Game &game, int player)
{
    Outlook o;
    const PlayerState &me = game.players[player];
    o.mine = placementMasks(game.board, me.color);
    o.placedCount = me.placedCount();
    // The first piece goes into the colour's own corner while it is free.
    const auto [hr, hc] = homeCorner(me.color);
    if (o.mine.isFirstMove && o.mine.anchorable.test(hr, hc)) {
        o.mine.anchorable = {};
        o.mine.anchorable.set(hr, hc);
    }
    for (int i = 0; i < int(game.players.size()); ++i) {
        if (i == player || game.players[i].hasPassed)
            continue;
        const BitBoard theirs = placementMasks(game.board, game.players[i].color).anchorable;
        for (int r = 0; r < BoardSize; ++r)
            o.theirAnchors.rows[r] |= theirs.rows[r];
    }
    return o;
}

double evaluate(const Outlook &o, const std::vector<SquareOffset> &shape, int row, int col)
{
    BitBoard piece;
    for (const auto &[dr, dc] : shape)
        piece.set(row + dr, col + dc);

    int newCorners = 0;
    int cornersLost = 0;
    int blocked = 0;
    double distance = 0;
    BitBoard counted;
    for (const auto &[dr, dc] : shape) {
        const int r = row + dr;
        const int c = col + dc;
        if (o.mine.anchorable.test(r, c))
            ++cornersLost;
        if (o.theirAnchors.test(r, c))
            ++blocked;
        distance += std::abs(r - 9.5) + std::abs(c - 9.5);
        for (const auto &[sr, sc] : Sides) {
            const int nr = r + sr, nc = c + sc;
            // Own corner cells that the new piece now touches along a side are lost too.
            if (!piece.test(nr, nc) && o.mine.anchorable.test(nr, nc) && !counted.test(nr, nc)) {
                counted.set(nr, nc);
                ++cornersLost;
            }
        }
        for (const auto &[qr, qc] : Diagonals) {
            const int nr = r + qr, nc = c + qc;
            if (!o.mine.free.test(nr, nc) || piece.test(nr, nc) || o.mine.anchorable.test(nr, nc) ||
                counted.test(nr, nc))
                continue;
            bool touchesPiece = false;
            for (const auto &[sr, sc] : Sides)
                touchesPiece = touchesPiece || piece.test(nr + sr, nc + sc);
            if (!touchesPiece) {
                counted.set(nr, nc);
                ++newCorners;
            }
        }
    }

    const int size = int(shape.size());
    const bool opening = o.placedCount < 6;
    double value = size * (o.placedCount < 12 ? 12.0 : 8.0);
    value += 3.0 * newCorners - 1.5 * cornersLost + 4.0 * blocked;
    if (opening)
        value -= 1.2 * distance / size; // reach for the centre while the board is open
    return value;
}

} // namespace

std::optional<LegalMove> chooseMove(const Game &game, int player, std::uint64_t seed)
{
    if (player < 0 || player >= int(game.players.size()))
        return std::nullopt;
    const PlayerState &me = game.players[player];
    const Outlook outlook = lookAround(game, player);
    if (!outlook.mine.anchorable.any())
        return std::nullopt;

    std::mt19937_64 rng(
        splitmix64(seed ^ splitmix64(std::uint64_t(game.turnNumber) * 8 + me.seat)));
    std::uniform_real_distribution<double> noise(0.0, 2.5);

    std::optional<LegalMove> best;
    double bestValue = 0;
    for (int p = 0; p < PieceCount; ++p) {
        if (me.pieces[p].placed)
            continue;
        for (const int k : distinctRotations(p)) {
            const auto &shape = orientedSquares(p, k);
            validAnchors(outlook.mine, shape).forEach([&](int r, int c) {
                const double value = evaluate(outlook, shape, r, c) + noise(rng);
                if (!best || value > bestValue) {
                    best = LegalMove{p, Rotations[k], r, c};
                    bestValue = value;
                }
            });
        }
    }
    return best;
}

Result<std::optional<LegalMove>> playTurn(Game &game, std::uint64_t seed, qint64 nowMs)
{
    tick(game, nowMs);
    if (game.status != GameStatus::InProgress)
        return std::unexpected(
            ActionError{ActionError::Code::NotInProgress, messages::notInProgress()});
    const int player = game.currentPlayer;
    const auto move = chooseMove(game, player, seed);
    const auto done =
        move ? place(game, player, move->piece, move->row, move->col, move->rotation, nowMs)
             : pass(game, player, nowMs);
    if (!done)
        return std::unexpected(done.error());
    return move;
}

} // namespace korvana::bots
