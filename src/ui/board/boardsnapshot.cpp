// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardsnapshot.h"

#include "variantinput.h"

namespace korvana::board {

const BoardSnapshot::Piece *BoardSnapshot::findPiece(QStringView id) const
{
    for (const Piece &piece : pieces) {
        if (piece.id == id)
            return &piece;
    }
    return nullptr;
}

BoardSnapshot BoardSnapshot::fromGameState(const GameState &state)
{
    BoardSnapshot snapshot;
    snapshot.board = state.board;
    snapshot.playerCount = state.players.size();
    for (const Player &player : state.players) {
        for (const GamePiece &piece : player.pieces)
            snapshot.pieces.append({piece.id, piece.squares});
    }
    return snapshot;
}

namespace {

QVariantMap variantMap(const QVariant &value)
{
    const QVariant plain = plainVariant(value);
    if (plain.metaType() == QMetaType::fromType<QVariantMap>())
        return plain.toMap();
    if (plain.metaType() == QMetaType::fromType<QVariantHash>()) {
        QVariantMap map;
        const QVariantHash hash = plain.toHash();
        for (auto it = hash.begin(); it != hash.end(); ++it)
            map.insert(it.key(), it.value());
        return map;
    }
    return {};
}

} // namespace

BoardSnapshot BoardSnapshot::fromVariant(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<GameState>())
        return fromGameState(value.value<GameState>());

    BoardSnapshot snapshot;
    const QVariantMap state = variantMap(value);
    if (state.isEmpty())
        return snapshot;
    snapshot.board = boardFromVariant(state.value(QStringLiteral("board"))).value_or(Board{});
    const auto players = variantList(state.value(QStringLiteral("players")));
    if (!players)
        return snapshot;
    snapshot.playerCount = players->size();
    for (const QVariant &playerValue : *players) {
        const auto pieces = variantList(variantMap(playerValue).value(QStringLiteral("pieces")));
        if (!pieces)
            continue;
        for (const QVariant &pieceValue : *pieces) {
            const QVariantMap piece = variantMap(pieceValue);
            snapshot.pieces.append({piece.value(QStringLiteral("id")).toString(),
                                    squaresFromVariant(piece.value(QStringLiteral("squares")))});
        }
    }
    return snapshot;
}

} // namespace korvana::board
