// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "movefollow.h"

#include "boardcolors.h"

#include <QCoreApplication>

namespace korvana::ui {

namespace {

qsizetype seatOf(const GameState &state, const std::optional<QString> &playerId)
{
    if (!playerId)
        return -1;
    for (qsizetype i = 0; i < state.players.size(); ++i) {
        if (state.players[i].id == *playerId)
            return i;
    }
    return -1;
}

const Player *playerById(const GameState &state, const QString &id)
{
    const qsizetype seat = seatOf(state, id);
    return seat >= 0 ? &state.players[seat] : nullptr;
}

QList<board::Cell> moveCells(const Player &player)
{
    QList<board::Cell> cells;
    const Move &move = *player.lastMove;
    for (const GamePiece &piece : player.pieces) {
        if (piece.id != move.pieceId)
            continue;
        for (const Square &square : board::rotatedSquares(piece.squares, move.rotation)) {
            if (const auto cell = board::squareCell(move.row, move.col, square))
                cells.append(*cell);
        }
        break;
    }
    return cells;
}

} // namespace

std::optional<LastMoveMark> lastMoveMark(const GameState *previous, const GameState &state)
{
    const qsizetype n = state.players.size();
    if (n == 0)
        return std::nullopt;
    // Walking back from the seat to move now, the first candidate is the latest placement. A
    // finished game has no one to move: the walk starts after the last seat.
    const qsizetype current = seatOf(state, state.currentPlayerId);
    const qsizetype start = current >= 0 ? current : 0;
    for (qsizetype step = 1; step <= n; ++step) {
        const Player &player = state.players[((start - step) % n + n) % n];
        if (!player.lastMove)
            continue;
        if (previous) {
            const Player *before = playerById(*previous, player.id);
            if (before && before->lastMove == player.lastMove)
                continue;
        }
        QList<board::Cell> cells = moveCells(player);
        if (cells.isEmpty())
            continue;
        return LastMoveMark{player.id, board::colorNumber(player.color), std::move(cells)};
    }
    return std::nullopt;
}

QStringList turnNotices(const GameState &previous, const GameState &state,
                        const std::optional<QString> &myPlayerId)
{
    QStringList notices;
    const qsizetype n = state.players.size();
    const qsizetype from = seatOf(previous, previous.currentPlayerId);
    if (n == 0 || from < 0 || previous.players.size() != n ||
        previous.gameStatus != GameStatus::InProgress)
        return notices;
    const bool finished = state.gameStatus == GameStatus::Finished;
    const qsizetype to = seatOf(state, state.currentPlayerId);
    // No turn went by, or the answer is older than the state before it (a poll overtaken by a
    // move's reply).
    if (!finished && (to < 0 || state.turnNumber <= previous.turnNumber))
        return notices;
    // Seat by seat from the one whose turn it was, up to (not including) the one to move now; a
    // finished game goes once round the table.
    const qsizetype steps = finished ? n : ((to - from) % n + n) % n;
    for (qsizetype step = 0; step < (steps == 0 ? n : steps); ++step) {
        const qsizetype seat = (from + step) % n;
        const Player &before = previous.players[seat];
        const Player &now = state.players[seat];
        if (before.id != now.id || before.hasPassed || now.id == myPlayerId)
            continue;
        if (now.hasPassed) {
            notices.append(
                QCoreApplication::translate("GameScreen", "%1 nie ma już ruchów").arg(now.name));
        } else if (now.lastMove == before.lastMove && !finished) {
            notices.append(QCoreApplication::translate("GameScreen", "%1 pasuje").arg(now.name));
        }
    }
    return notices;
}

QString endBonusNote(const Player &player)
{
    if (player.pieces.isEmpty())
        return {};
    for (const GamePiece &piece : player.pieces) {
        if (!piece.placed)
            return {};
    }
    bool singleLast = false;
    if (player.lastMove) {
        for (const GamePiece &piece : player.pieces) {
            if (piece.id == player.lastMove->pieceId)
                singleLast = piece.squares.size() == 1;
        }
    }
    return singleLast
               ? QCoreApplication::translate("GameScreen", "premia +20: komplet, jedynka na koniec")
               : QCoreApplication::translate("GameScreen", "premia +15: komplet klocków");
}

} // namespace korvana::ui
