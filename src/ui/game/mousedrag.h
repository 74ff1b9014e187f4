// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamestate.h"

#include <QPointF>

namespace korvana::ui {

// A mouse carries the piece itself, held by the square it was taken by: of the piece drawn in a
// tile's preview (a square of `side` points showing `squares` turned by `rotation`, as
// PiecePreview lays it out), the square nearest `point` (of equals, the earlier), as its offset
// from the anchor square in whole cells, x along the columns, y along the rows.
[[nodiscard]] QPointF grabOffsetCells(const Squares &squares, qint64 rotation, QPointF point,
                                      double side);

} // namespace korvana::ui
