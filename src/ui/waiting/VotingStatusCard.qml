// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Layouts
import Korvana

// How many of the needed start votes are in, as a counter and a bar.
Rectangle {
    id: card

    property int votesCount: 0
    property int votesNeeded: 0
    property int totalPlayers: 0

    readonly property bool isComplete: votesCount >= votesNeeded
    // A room that needs no votes still draws a sensible bar; more votes than needed fill it.
    readonly property real fraction: Math.max(0, Math.min(1, votesCount / Math.max(votesNeeded, 1)))

    objectName: "votingStatusCard"
    implicitHeight: content.implicitHeight + 32
    radius: 14
    color: Theme.shade(0.08, 1)
    border.width: 1
    border.color: Theme.withAlpha(Theme.cyan, 0.2)
    Accessible.role: Accessible.ProgressBar
    Accessible.name: qsTr("Głosowanie: %1 z %2").arg(votesCount).arg(votesNeeded)

    Column {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12

        RowLayout {
            width: parent.width
            spacing: 6

            SymbolIcon {
                name: "hand.raised.fill"
                size: 13
                color: Theme.cyan
            }
            Text {
                text: qsTr("GŁOSOWANIE")
                color: Theme.gray
                font.pixelSize: 11
                font.bold: true
            }
            Item {
                Layout.fillWidth: true
            }
            Text {
                objectName: "votesText"
                text: card.votesCount + "/" + card.votesNeeded
                color: card.isComplete ? Theme.green : Theme.cyan
                font.pixelSize: 16
                font.bold: true
                font.family: Theme.monoFamily
            }
        }
        Rectangle {
            objectName: "votesTrack"
            width: parent.width
            height: 6
            radius: 3
            color: Theme.shade(0.2, 1)

            Rectangle {
                objectName: "votesBar"
                width: parent.width * card.fraction
                height: parent.height
                radius: 3
                gradient: Gradient {
                    orientation: Gradient.Horizontal
                    GradientStop { position: 0; color: Theme.cyan }
                    GradientStop { position: 1; color: Theme.green }
                }
                Behavior on width {
                    NumberAnimation { duration: 250; easing.type: Easing.OutCubic }
                }
            }
        }
    }
}
