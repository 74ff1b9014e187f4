// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// A free seat in the waiting room, the same size as a player's card.
Rectangle {
    objectName: "emptyPlayerSlot"
    implicitHeight: content.implicitHeight + 32
    radius: 14
    color: Theme.shade(0.08, 1)
    border.width: 1
    border.color: Theme.withAlpha(Theme.white, 0.05)
    Accessible.role: Accessible.StaticText
    Accessible.name: qsTr("Wolne miejsce")

    Column {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 8

        Rectangle {
            width: 50
            height: 50
            radius: 25
            anchors.horizontalCenter: parent.horizontalCenter
            color: "transparent"
            border.width: 1.5
            border.color: Theme.withAlpha(Theme.gray, 0.6)

            SymbolIcon {
                anchors.centerIn: parent
                name: "person.fill.questionmark"
                size: 22
                color: Theme.gray
            }
        }
        Text {
            width: parent.width
            text: qsTr("Wolne miejsce")
            color: Theme.gray
            font.pixelSize: 15
            font.weight: Font.Medium
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }
        // Holds the place of a player's state line, so both cards are equally tall.
        Text {
            width: parent.width
            text: " "
            font.pixelSize: 12
            font.weight: Font.DemiBold
        }
    }
}
