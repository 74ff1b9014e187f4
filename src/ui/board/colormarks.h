// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPainterPath>
#include <QRectF>

namespace korvana::board {

// The shape that tells a player's colour without its hue, for colour-blind players: blue a small
// dot, yellow a triangle, red a square, green a cross, each centred in `box`. Empty for any other
// colour number.
[[nodiscard]] QPainterPath colorMarkPath(int colorNumber, const QRectF &box);

} // namespace korvana::board
