// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// One seated player in the waiting room: avatar in the seat colour, name, and whether they have
// voted to start. The player's own card is outlined in their colour.
Rectangle {
    id: card

    property var player: ({})
    property bool hasVoted: false
    property bool isMe: false

    readonly property string name: player.name === undefined ? "" : String(player.name)
    readonly property color seatColor: Theme.playerColor(player.color === undefined ? ""
                                                                                     : player.color)

    objectName: "playerCard"
    implicitHeight: content.implicitHeight + 32
    radius: 14
    color: Theme.shade(0.12, 1)
    border.width: isMe ? 2 : 1
    border.color: isMe ? Theme.withAlpha(seatColor, 0.5) : Theme.withAlpha(Theme.white, 0.05)
    Accessible.role: Accessible.StaticText
    Accessible.name: name + (isMe ? qsTr(" (ty)") : "") + ", " + (hasVoted ? qsTr("Gotowy!") : qsTr("Czeka..."))

    Column {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 8

        Item {
            width: 50
            height: 50
            anchors.horizontalCenter: parent.horizontalCenter

            SoftGlow {
                anchors.fill: avatar
                color: Theme.withAlpha(card.seatColor, 0.4)
                glowRadius: 5
                cornerRadius: 25
                offsetY: 2
                layers: 3
            }
            Rectangle {
                id: avatar
                objectName: "avatar"
                anchors.fill: parent
                radius: 25
                color: card.seatColor

                Text {
                    anchors.centerIn: parent
                    text: card.name.length > 0 ? card.name.charAt(0) : ""
                    color: Theme.white
                    font.pixelSize: 20
                    font.bold: true
                }
            }
            Rectangle {
                objectName: "votedBadge"
                visible: card.hasVoted
                width: 18
                height: 18
                radius: 9
                x: parent.width - width + 2
                y: parent.height - height + 2
                color: Theme.green
                border.width: 2
                border.color: Theme.shade(0.12, 1)

                SymbolIcon {
                    anchors.centerIn: parent
                    name: "checkmark"
                    size: 10
                    font.bold: true
                }
            }
        }
        Text {
            objectName: "playerName"
            width: parent.width
            text: card.name
            color: Theme.white
            font.pixelSize: 15
            font.weight: Font.Medium
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            maximumLineCount: 1
        }
        Text {
            objectName: "playerState"
            width: parent.width
            text: card.hasVoted ? qsTr("Gotowy!") : qsTr("Czeka...")
            color: card.hasVoted ? Theme.green : Theme.gray
            font.pixelSize: 12
            font.weight: Font.DemiBold
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
