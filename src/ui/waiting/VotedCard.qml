// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// Shown instead of the vote buttons once this player has voted.
Rectangle {
    objectName: "votedCard"
    implicitHeight: row.implicitHeight + 32
    radius: 14
    color: Theme.withAlpha(Theme.green, 0.1)
    border.width: 1
    border.color: Theme.withAlpha(Theme.green, 0.3)
    Accessible.role: Accessible.StaticText
    Accessible.name: qsTr("Gotowy! Czekasz na innych graczy...")

    Row {
        id: row
        x: 16
        y: 16
        spacing: 12

        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: "checkmark.circle.fill"
            size: 22
            color: Theme.green
        }
        Column {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            Text {
                text: qsTr("Gotowy!")
                color: Theme.green
                font.pixelSize: 15
                font.bold: true
            }
            Text {
                text: qsTr("Czekasz na innych graczy...")
                color: Theme.gray
                font.pixelSize: 12
            }
        }
    }
}
