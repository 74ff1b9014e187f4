// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// The game screen's face before the game starts: the seats, the start votes, the vote buttons
// (with or without bots) and the way out. Redrawn from every new game state.
Item {
    id: room

    property var gameState: ({})
    property string myPlayerId: GameManager.myPlayerId

    readonly property var players: gameState && gameState.players ? gameState.players : []
    readonly property int playerCount: players.length
    readonly property var startVotes: gameState ? gameState.startVotes : undefined
    readonly property bool hasVoteCounts: gameState !== undefined && gameState !== null
                                          && gameState.startVotesCount !== undefined
                                          && gameState.startVotesNeeded !== undefined
    readonly property bool haveIVoted: hasVoted(myPlayerId)

    // Absent votes mean nobody has voted.
    function hasVoted(playerId) {
        if (startVotes === undefined || startVotes === null)
            return false
        for (let i = 0; i < startVotes.length; ++i) {
            if (String(startVotes[i]) === String(playerId))
                return true
        }
        return false
    }

    // The room's name as the lobby lists it (the server list, asked for again on arrival: a room
    // made just now is not in it yet), else its id.
    readonly property string roomId: gameState && gameState.roomId !== undefined ? gameState.roomId : ""
    readonly property string roomName: {
        const room = GameManager.servers.byId[roomId]
        return room !== undefined && room.serverName !== undefined ? room.serverName : roomId
    }
    Component.onCompleted: GameManager.refreshServers()

    objectName: "waitingRoomView"

    Item {
        id: topBar
        width: parent.width
        height: badge.implicitHeight + 12

        ConnectionStatusView {
            id: badge
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
        }
    }

    Flickable {
        id: scroller
        objectName: "waitingRoomScroller"
        anchors.top: topBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        contentWidth: width
        contentHeight: content.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollIndicator.vertical: ScrollIndicator {}

        // The keyboard's focus is always in view: a control that Tab reaches scrolls in.
        function reveal(item) {
            if (!item || !room.visible)
                return
            for (let up = item.parent; up !== content; up = up.parent) {
                if (!up)
                    return
            }
            const box = item.mapToItem(content, 0, 0, item.width, item.height)
            if (box.y < contentY)
                contentY = Math.max(0, box.y - 8)
            else if (box.y + box.height > contentY + height)
                contentY = Math.min(contentHeight - height, box.y + box.height - height + 8)
        }
        Connections {
            target: room.Window.window
            function onActiveFocusItemChanged() {
                scroller.reveal(room.Window.activeFocusItem)
            }
        }

        Column {
            id: content
            // A readable column, centred in a wide window.
            width: Math.min(scroller.width - 40, 520)
            x: (scroller.width - width) / 2
            topPadding: 8
            bottomPadding: 40
            spacing: 20

            // Header: the room's symbol, title and code.
            Column {
                width: parent.width
                spacing: 12

                Item {
                    width: 80
                    height: 80
                    anchors.horizontalCenter: parent.horizontalCenter
                    // Turned by 45 degrees, the circle's vertical gradient runs corner to corner.
                    Rectangle {
                        anchors.fill: parent
                        radius: 40
                        rotation: -45
                        gradient: Gradient {
                            GradientStop { position: 0; color: Theme.withAlpha(Theme.cyan, 0.3) }
                            GradientStop { position: 1; color: Theme.withAlpha(Theme.blue, 0.2) }
                        }
                    }
                    SymbolIcon {
                        anchors.centerIn: parent
                        name: "person.3.fill"
                        size: 32
                        color: Theme.cyan
                    }
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("POCZEKALNIA")
                    color: Theme.white
                    font.pixelSize: 24
                    font.bold: true
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }
                Rectangle {
                    objectName: "roomCapsule"
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: roomRow.implicitWidth + 24
                    height: roomRow.implicitHeight + 10
                    radius: height / 2
                    color: Theme.shade(0.15, 1)
                    Accessible.role: Accessible.StaticText
                    Accessible.name: qsTr("Pokój ") + roomText.text

                    Row {
                        id: roomRow
                        anchors.centerIn: parent
                        spacing: 6
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "tag.fill"
                            size: 10
                            color: Theme.gray
                        }
                        Text {
                            id: roomText
                            objectName: "roomIdText"
                            anchors.verticalCenter: parent.verticalCenter
                            text: room.roomName
                            color: Theme.gray
                            font.pixelSize: 12
                            font.weight: Font.Medium
                            font.family: Theme.monoFamily
                        }
                        // The time each player will have, or that there is no limit.
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "timer"
                            size: 10
                            color: Theme.cyan
                        }
                        Text {
                            id: timeLimitText
                            objectName: "roomTimeLimitText"
                            anchors.verticalCenter: parent.verticalCenter
                            text: Format.timeLimit(room.gameState && room.gameState.timeLimit !== undefined
                                                   ? room.gameState.timeLimit : 0)
                            color: Theme.cyan
                            font.pixelSize: 12
                            font.weight: Font.Medium
                            Accessible.role: Accessible.StaticText
                            Accessible.name: qsTr("Limit czasu: %1").arg(text)
                        }
                    }
                }
            }

            // The four seats.
            Rectangle {
                objectName: "playersCard"
                width: parent.width
                height: playersColumn.implicitHeight + 32
                radius: 16
                color: Theme.shade(0.06, 1)

                Column {
                    id: playersColumn
                    x: 16
                    y: 16
                    width: parent.width - 32
                    spacing: 12

                    RowLayout {
                        width: parent.width
                        Text {
                            text: qsTr("GRACZE")
                            color: Theme.gray
                            font.pixelSize: 11
                            font.bold: true
                            Accessible.role: Accessible.Heading
                            Accessible.name: text
                        }
                        Item {
                            Layout.fillWidth: true
                        }
                        Text {
                            objectName: "playerCountText"
                            text: room.playerCount + "/4"
                            color: Theme.cyan
                            font.pixelSize: 13
                            font.bold: true
                            font.family: Theme.monoFamily
                            Accessible.name: qsTr("%1 z 4 graczy").arg(room.playerCount)
                        }
                    }

                    Grid {
                        id: seats
                        objectName: "seatsGrid"
                        readonly property real cellWidth: (width - columnSpacing) / 2
                        width: parent.width
                        columns: 2
                        columnSpacing: 12
                        rowSpacing: 12

                        Repeater {
                            objectName: "playerCards"
                            model: room.players
                            PlayerCard {
                                id: seat
                                required property var modelData
                                width: seats.cellWidth
                                player: seat.modelData
                                hasVoted: room.hasVoted(seat.modelData.playerId)
                                isMe: String(seat.modelData.playerId) === room.myPlayerId
                            }
                        }
                        Repeater {
                            objectName: "emptySlots"
                            model: Math.max(0, 4 - room.playerCount)
                            EmptyPlayerSlot {
                                width: seats.cellWidth
                            }
                        }
                    }
                }
            }

            VotingStatusCard {
                visible: room.hasVoteCounts
                width: parent.width
                votesCount: room.hasVoteCounts ? room.gameState.startVotesCount : 0
                votesNeeded: room.hasVoteCounts ? room.gameState.startVotesNeeded : 0
                totalPlayers: room.playerCount
            }

            VotedCard {
                visible: room.haveIVoted
                width: parent.width
            }

            Column {
                objectName: "voteButtons"
                visible: !room.haveIVoted
                width: parent.width
                spacing: 12

                AbstractButton {
                    id: startButton
                    objectName: "startGameButton"
                    width: parent.width
                    topPadding: 16
                    bottomPadding: 16
                    enabled: room.playerCount >= 2
                    opacity: enabled ? 1 : 0.5
                    focusPolicy: Qt.StrongFocus
                    Accessible.name: qsTr("Rozpocznij grę")
                    onClicked: GameManager.voteToStart(false)

                    background: Rectangle {
                        radius: 14
                        border.width: startButton.visualFocus ? 2 : 0
                        border.color: Theme.white
                        gradient: Gradient {
                            orientation: Gradient.Horizontal
                            GradientStop { position: 0; color: Theme.green }
                            GradientStop { position: 1; color: Qt.rgba(0.2, 0.65, 0.4, 1) }
                        }
                    }
                    contentItem: Item {
                        // Sized by its row; no ids inside a deferred contentItem.
                        implicitHeight: children[0].implicitHeight
                        opacity: startButton.pressed ? 0.7 : 1
                        Row {
                            anchors.centerIn: parent
                            spacing: 8
                            SymbolIcon {
                                anchors.verticalCenter: parent.verticalCenter
                                name: "play.fill"
                                size: 16
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: qsTr("Rozpocznij grę")
                                color: Theme.white
                                font.pixelSize: 17
                                font.bold: true
                            }
                        }
                    }
                }

                AbstractButton {
                    id: botsButton
                    objectName: "playWithBotsButton"
                    visible: room.playerCount >= 1 && room.playerCount <= 3
                    width: parent.width
                    topPadding: 14
                    bottomPadding: 14
                    focusPolicy: Qt.StrongFocus
                    Accessible.name: qsTr("Graj z botami")
                    onClicked: GameManager.voteToStart(true)

                    background: Rectangle {
                        radius: 14
                        color: Theme.withAlpha(Theme.blue, botsButton.pressed ? 0.6 : 0.8)
                        border.width: botsButton.visualFocus ? 2 : 0
                        border.color: Theme.white
                    }
                    contentItem: Item {
                        // Sized by its row; no ids inside a deferred contentItem.
                        implicitHeight: children[0].implicitHeight
                        Row {
                            anchors.centerIn: parent
                            spacing: 8
                            SymbolIcon {
                                anchors.verticalCenter: parent.verticalCenter
                                name: "cpu"
                                size: 14
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: qsTr("Graj z botami")
                                color: Theme.white
                                font.pixelSize: 15
                                font.weight: Font.DemiBold
                            }
                        }
                    }
                }
            }

            AbstractButton {
                id: leaveButton
                objectName: "leaveRoomButton"
                width: parent.width
                topPadding: 12
                bottomPadding: 12
                focusPolicy: Qt.StrongFocus
                Accessible.name: qsTr("Opuść pokój")
                onClicked: GameManager.leaveGame()

                background: Rectangle {
                    radius: 12
                    color: Theme.withAlpha(Theme.red, leaveButton.pressed ? 0.25 : 0.12)
                    border.width: leaveButton.visualFocus ? 2 : 1
                    border.color: Theme.withAlpha(Theme.red, 0.4)
                }
                contentItem: Item {
                    // Sized by its row; no ids inside a deferred contentItem.
                    implicitHeight: children[0].implicitHeight
                    Row {
                        anchors.centerIn: parent
                        spacing: 8
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "arrow.left.circle"
                            size: 16
                            color: Theme.red
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTr("Opuść pokój")
                            color: Theme.red
                            font.pixelSize: 15
                            font.weight: Font.DemiBold
                        }
                    }
                }
            }
        }
    }
}
