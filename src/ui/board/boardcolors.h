// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QStringView>

namespace korvana::board {

// Colour numbers as the server writes them into cells: 0 empty, then the seats' colours.
enum ColorNumber : int { NoColor = 0, Blue = 1, Yellow = 2, Red = 3, Green = 4 };

// The four players' display colours (sRGB): blue, yellow, red, green for 1..4.
[[nodiscard]] QColor displayColor(int number);

// The platform's standard colours in the dark scheme.
[[nodiscard]] QColor systemGray();
[[nodiscard]] QColor systemGreen();
[[nodiscard]] QColor systemRed();
[[nodiscard]] QColor systemYellow();

// 1..4 for "blue", "yellow", "red", "green" in any letter case; 0 for anything else.
[[nodiscard]] int colorNumber(QStringView name);
// A player's colour by name in any letter case; gray for an unknown name.
[[nodiscard]] QColor playerColor(QStringView name);
// The same, but white for an unknown name: the game screen's chips, dots and tray.
[[nodiscard]] QColor screenColor(QStringView name);
// A cell's colour: 1..4 as above, anything else fully transparent.
[[nodiscard]] QColor cellColor(qint64 value);

} // namespace korvana::board
