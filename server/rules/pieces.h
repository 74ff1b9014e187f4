// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <compare>
#include <span>
#include <vector>

namespace korvana::rules {

// One unit square of a piece: offsets from the anchor square, rows growing downwards.
struct SquareOffset
{
    int row = 0;
    int col = 0;
    auto operator<=>(const SquareOffset &) const = default;
};

inline constexpr int PieceCount = 21;
inline constexpr int RotationCount = 4;
// The only rotations the server accepts, in degrees; a rotation index is a position in this list.
inline constexpr std::array<int, RotationCount> Rotations{0, 90, 180, 270};

// One shape of the catalogue. Its first square is the anchor [0, 0].
struct PieceDefinition
{
    QString id;   // stable, e.g. "I1", "V3", "X5"
    QString name; // Polish display name
    std::vector<SquareOffset> squares;

    [[nodiscard]] int size() const { return int(squares.size()); }
};

// The 21 free polyominoes of sizes 1 to 5, smallest first; indices are stable.
[[nodiscard]] const std::vector<PieceDefinition> &pieceCatalogue();
// Index into pieceCatalogue() of the piece with this id, or -1.
[[nodiscard]] int pieceIndex(QStringView id);
inline constexpr int MonominoIndex = 0;

// The client's rotation rule: k = rotation mod 360 made non-negative;
// 90: [r,c] -> [-c,r]; 180: [-r,-c]; 270: [c,-r]; any other k unchanged. Order kept, no
// normalisation, so the anchor stays at [0, 0].
[[nodiscard]] std::vector<SquareOffset> rotatedSquares(std::span<const SquareOffset> squares,
                                                       int rotation);

// 0..3 for exactly 0, 90, 180, 270 degrees; -1 for anything else (the server refuses it).
[[nodiscard]] int rotationIndex(int rotation);

// rotatedSquares(catalogue[piece].squares, Rotations[rotationIdx]), computed once.
[[nodiscard]] const std::vector<SquareOffset> &orientedSquares(int piece, int rotationIdx);

// Rotation indices of a piece whose shapes differ up to translation (one for O4 and X5, two for
// I2..I5, S4, Z5, four for the rest). Every placement is some placement of one of these.
[[nodiscard]] std::span<const int> distinctRotations(int piece);

} // namespace korvana::rules
