// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

#include <QVariant>

#include <optional>

namespace korvana::board {

// Readers for what QML hands over (JS arrays and objects, or the maps a manager publishes). They
// never trust the shape: a wrong type gives "malformed", never a crash.

// A JS value unwrapped, so that lists and maps can be read.
[[nodiscard]] QVariant plainVariant(const QVariant &value);
[[nodiscard]] std::optional<QVariantList> variantList(const QVariant &value);
// A whole number (JS numbers arrive as doubles); none for anything else.
[[nodiscard]] std::optional<qint64> variantInteger(const QVariant &value);

// [[dr, dc], ...]; a square that is not a list of at least two numbers becomes an empty square,
// which the placement check refuses. Not a list: no squares.
[[nodiscard]] Squares squaresFromVariant(const QVariant &value);
// Rows of numbers; none when any row or cell is not one.
[[nodiscard]] std::optional<Board> boardFromVariant(const QVariant &value);
// Squares back to JS: [[dr, dc], ...].
[[nodiscard]] QVariantList squaresToVariant(const Squares &squares);

} // namespace korvana::board
