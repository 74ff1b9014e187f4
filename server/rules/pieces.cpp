// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pieces.h"

#include <algorithm>

namespace korvana::rules {

using namespace Qt::StringLiterals;

namespace {

struct Catalogue
{
    std::vector<PieceDefinition> pieces;
    std::array<std::array<std::vector<SquareOffset>, RotationCount>, PieceCount> oriented;
    std::array<std::vector<int>, PieceCount> distinct;
};

std::vector<SquareOffset> normalised(std::vector<SquareOffset> squares)
{
    std::ranges::sort(squares);
    const SquareOffset first = squares.front();
    for (auto &s : squares)
        s = {s.row - first.row, s.col - first.col};
    return squares;
}

Catalogue buildCatalogue()
{
    // Each shape is listed with its first square in reading order as the anchor.
    Catalogue cat;
    cat.pieces = {
        {u"I1"_s, u"Jedynka"_s, {{0, 0}}},
        {u"I2"_s, u"Dwójka"_s, {{0, 0}, {0, 1}}},
        {u"I3"_s, u"Trójka prosta"_s, {{0, 0}, {0, 1}, {0, 2}}},
        {u"V3"_s, u"Trójka kątowa"_s, {{0, 0}, {0, 1}, {1, 0}}},
        {u"I4"_s, u"Czwórka prosta"_s, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {u"L4"_s, u"Czwórka L"_s, {{0, 0}, {1, 0}, {2, 0}, {2, 1}}},
        {u"O4"_s, u"Kwadrat"_s, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
        {u"T4"_s, u"Czwórka T"_s, {{0, 0}, {0, 1}, {0, 2}, {1, 1}}},
        {u"S4"_s, u"Czwórka S"_s, {{0, 0}, {1, 0}, {1, 1}, {2, 1}}},
        {u"I5"_s, u"Piątka prosta"_s, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}},
        {u"L5"_s, u"Piątka L"_s, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}}},
        {u"Y5"_s, u"Piątka Y"_s, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 1}}},
        {u"N5"_s, u"Piątka N"_s, {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {1, 3}}},
        {u"P5"_s, u"Piątka P"_s, {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}}},
        {u"U5"_s, u"Piątka U"_s, {{0, 0}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}},
        {u"V5"_s, u"Piątka V"_s, {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}},
        {u"W5"_s, u"Schodki"_s, {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}}},
        {u"Z5"_s, u"Piątka Z"_s, {{0, 0}, {0, 1}, {1, 1}, {2, 1}, {2, 2}}},
        {u"T5"_s, u"Piątka T"_s, {{0, 0}, {0, 1}, {0, 2}, {1, 1}, {2, 1}}},
        {u"F5"_s, u"Piątka F"_s, {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 1}}},
        {u"X5"_s, u"Krzyż"_s, {{0, 0}, {1, -1}, {1, 0}, {1, 1}, {2, 0}}},
    };
    for (int p = 0; p < PieceCount; ++p) {
        std::vector<std::vector<SquareOffset>> seen;
        for (int k = 0; k < RotationCount; ++k) {
            cat.oriented[p][k] = rotatedSquares(cat.pieces[p].squares, Rotations[k]);
            auto shape = normalised(cat.oriented[p][k]);
            if (std::ranges::find(seen, shape) == seen.end()) {
                seen.push_back(std::move(shape));
                cat.distinct[p].push_back(k);
            }
        }
    }
    return cat;
}

const Catalogue &catalogue()
{
    static const Catalogue cat = buildCatalogue();
    return cat;
}

} // namespace

const std::vector<PieceDefinition> &pieceCatalogue()
{
    return catalogue().pieces;
}

int pieceIndex(QStringView id)
{
    const auto &pieces = catalogue().pieces;
    for (int i = 0; i < int(pieces.size()); ++i)
        if (pieces[i].id == id)
            return i;
    return -1;
}

std::vector<SquareOffset> rotatedSquares(std::span<const SquareOffset> squares, int rotation)
{
    int k = rotation % 360;
    if (k < 0)
        k += 360;
    std::vector<SquareOffset> out;
    out.reserve(squares.size());
    for (const auto &[r, c] : squares) {
        switch (k) {
        case 90:
            out.push_back({-c, r});
            break;
        case 180:
            out.push_back({-r, -c});
            break;
        case 270:
            out.push_back({c, -r});
            break;
        default:
            out.push_back({r, c});
            break;
        }
    }
    return out;
}

int rotationIndex(int rotation)
{
    const auto it = std::ranges::find(Rotations, rotation);
    return it == Rotations.end() ? -1 : int(it - Rotations.begin());
}

const std::vector<SquareOffset> &orientedSquares(int piece, int rotationIdx)
{
    return catalogue().oriented[piece][rotationIdx];
}

std::span<const int> distinctRotations(int piece)
{
    return catalogue().distinct[piece];
}

} // namespace korvana::rules
