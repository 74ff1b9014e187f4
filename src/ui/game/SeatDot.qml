// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana.Board

// A player's colour as a dot, or, with colour-blind marks on, as that colour's mark shape (a
// little larger, so the shape reads), in the game screen's colour of the seat.
Item {
    id: seatDot

    property real size: 8
    property string colorName: ""
    property bool showsMark: false

    readonly property int colorNumber: BoardColors.colorNumber(colorName)
    readonly property color seatColor: BoardColors.screenColor(colorName)
    readonly property bool marked: showsMark && colorNumber > 0

    implicitWidth: marked ? size + 4 : size
    implicitHeight: implicitWidth

    Rectangle {
        visible: !seatDot.marked
        anchors.centerIn: parent
        width: seatDot.size
        height: seatDot.size
        radius: seatDot.size / 2
        color: seatDot.seatColor
    }
    ColorMark {
        objectName: "seatMark"
        visible: seatDot.marked
        anchors.fill: parent
        colorNumber: seatDot.colorNumber
        color: seatDot.seatColor
    }
}
