// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

pragma Singleton
import QtQuick

// Colours and fonts shared by every screen: the phone's dark system colours and the symbol font.
QtObject {
    readonly property color blue: "#0a84ff"
    readonly property color cyan: "#64d2ff"
    readonly property color green: "#30d158"
    readonly property color red: "#ff453a"
    readonly property color yellow: "#ffd60a"
    readonly property color orange: "#ff9f0a"
    readonly property color gray: "#8e8e93"
    readonly property color white: "#ffffff"

    // The four seat colours of the board, by colour name.
    readonly property var seatColors: ({
        "blue": Qt.rgba(0.2, 0.6, 0.9, 1),
        "yellow": Qt.rgba(0.95, 0.75, 0.2, 1),
        "red": Qt.rgba(0.9, 0.25, 0.3, 1),
        "green": Qt.rgba(0.25, 0.75, 0.5, 1)
    })

    readonly property FontLoader symbolFont: FontLoader {
        source: "qrc:/Korvana/fonts/KorvanaSymbols.ttf"
    }
    readonly property string symbolFamily: symbolFont.name
    readonly property string monoFamily: "monospace"

    // A grey level, like a phone's Color(white: level) at an opacity.
    function shade(level: real, alpha: real): color {
        return Qt.rgba(level, level, level, alpha)
    }

    function withAlpha(base: color, alpha: real): color {
        return Qt.rgba(base.r, base.g, base.b, alpha)
    }

    // Seat colour of a player's colour name, in any letter case; gray for anything else.
    function playerColor(name: string): color {
        const seat = seatColors[String(name).toLowerCase()]
        return seat === undefined ? gray : seat
    }
}
