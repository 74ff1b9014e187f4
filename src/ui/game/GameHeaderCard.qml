// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Layouts
import Korvana
import Korvana.Board

// The game's header: turn number and whose turn it is, the clock, the connection mark, the sound
// switch, and one chip per player with their score. Outlined in green on this player's turn.
Rectangle {
    id: header

    property var gameState: ({})
    property string myPlayerId: ""
    property bool isSoundEnabled: true
    // The clock's value (by default the state's own) and whether it stands still while the
    // connection is down: then it shows as stopped.
    property int timeRemaining: showsTimer ? gameState.timeRemaining : 0
    property bool isClockPaused: false
    // {playerId: seconds} of every seat's clock, when the server sends them; each chip shows its own.
    property var playerClocks: ({})
    // Each player's colour-blind mark beside their colour.
    property bool colorMarks: false
    signal toggleSound

    readonly property var players: gameState && gameState.players ? gameState.players : []
    readonly property string currentPlayerId: gameState && gameState.currentPlayerId !== undefined
                                              ? String(gameState.currentPlayerId) : ""
    readonly property bool isMyTurn: myPlayerId !== "" && currentPlayerId !== ""
                                     && myPlayerId === currentPlayerId
    readonly property var currentPlayer: {
        for (let i = 0; i < players.length; ++i) {
            if (currentPlayerId !== "" && String(players[i].playerId) === currentPlayerId)
                return players[i]
        }
        return null
    }
    readonly property bool showsTimer: gameState !== undefined && gameState !== null
                                       && gameState.timeRemaining !== undefined
                                       && gameState.timeLimit > 0
    readonly property string timerTone: GameScreen.timerTone(timeRemaining)

    objectName: "gameHeaderCard"
    implicitHeight: content.implicitHeight + 16
    radius: 12
    color: Theme.shade(0.1, 0.9)
    border.width: 2
    border.color: isMyTurn ? Theme.withAlpha(Theme.green, 0.5) : "transparent"

    ColumnLayout {
        id: content
        x: 12
        y: 8
        width: parent.width - 24
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            // Turn block.
            Column {
                Layout.fillWidth: true
                spacing: 2

                Text {
                    objectName: "turnNumberText"
                    text: qsTr("TURA ") + (header.gameState && header.gameState.turnNumber !== undefined
                                     ? header.gameState.turnNumber : "")
                    color: Theme.gray
                    font.pixelSize: 10
                    font.bold: true
                }
                Row {
                    visible: header.currentPlayer !== null
                    spacing: 6
                    SeatDot {
                        anchors.verticalCenter: parent.verticalCenter
                        size: 10
                        colorName: header.currentPlayer ? header.currentPlayer.color : ""
                        showsMark: header.colorMarks
                    }
                    Text {
                        objectName: "currentTurnText"
                        anchors.verticalCenter: parent.verticalCenter
                        text: header.isMyTurn ? qsTr("TWOJA TURA!")
                                              : header.currentPlayer ? header.currentPlayer.name : ""
                        color: header.isMyTurn ? Theme.green : Theme.white
                        font.pixelSize: 13
                        font.bold: true
                    }
                }
            }

            // The clock, on a capsule that turns red in the last ten seconds.
            Rectangle {
                id: timer
                objectName: "timerCapsule"
                visible: header.showsTimer
                readonly property color tone: header.timerTone === "red" ? Theme.red
                                              : header.timerTone === "orange" ? Theme.orange
                                              : Theme.white
                implicitWidth: timerRow.implicitWidth + 20
                implicitHeight: timerRow.implicitHeight + 12
                radius: height / 2
                color: header.timerTone === "red" ? Theme.withAlpha(Theme.red, 0.2)
                                                  : Theme.shade(0.15, 1)
                border.width: header.timerTone === "red" ? 1 : 0
                border.color: Theme.red
                // Paused: dimmed, with a pause sign instead of the clock face.
                opacity: header.isClockPaused ? 0.55 : 1
                Accessible.role: Accessible.StaticText
                Accessible.name: (header.isClockPaused ? qsTr("Zegar wstrzymany: ") : qsTr("Pozostały czas: "))
                                 + timerText.text

                Row {
                    id: timerRow
                    anchors.centerIn: parent
                    spacing: 4
                    SymbolIcon {
                        objectName: "timerIcon"
                        anchors.verticalCenter: parent.verticalCenter
                        name: header.isClockPaused ? "pause.fill" : "timer"
                        size: 11
                        color: timer.tone
                    }
                    Text {
                        id: timerText
                        objectName: "timerText"
                        anchors.verticalCenter: parent.verticalCenter
                        text: GameScreen.formatTime(header.timeRemaining)
                        color: timer.tone
                        font.pixelSize: 13
                        font.bold: true
                        font.family: Theme.monoFamily
                    }
                }
            }

            // Connection mark: a dot, with "!" after it when the server answers with errors.
            Row {
                objectName: "connectionMark"
                spacing: 2
                Accessible.role: Accessible.StaticText
                Accessible.name: qsTr("Połączenie: ") + ConnectionManager.statusText
                Rectangle {
                    objectName: "connectionDot"
                    anchors.verticalCenter: parent.verticalCenter
                    width: 8
                    height: 8
                    radius: 4
                    color: ConnectionManager.statusColor === ConnectionStatus.Green ? Theme.green
                           : ConnectionManager.statusColor === ConnectionStatus.Yellow ? Theme.yellow
                           : Theme.red
                }
                Text {
                    visible: ConnectionManager.connectionStatus === ConnectionStatus.Error
                    anchors.verticalCenter: parent.verticalCenter
                    text: "!"
                    color: Theme.red
                    font.pixelSize: 11
                    font.bold: true
                }
            }

            IconButton {
                objectName: "soundToggle"
                padding: 4
                symbol: header.isSoundEnabled ? "speaker.wave.2.fill" : "speaker.slash.fill"
                symbolSize: 12
                symbolColor: header.isSoundEnabled ? Theme.cyan : Theme.gray
                Accessible.name: header.isSoundEnabled ? qsTr("Wycisz dźwięki") : qsTr("Włącz dźwięki")
                onClicked: header.toggleSound()
            }
        }

        // Player chips; a row that scrolls sideways when four long names do not fit.
        Flickable {
            Layout.fillWidth: true
            implicitHeight: chips.implicitHeight
            contentWidth: chips.implicitWidth
            contentHeight: chips.implicitHeight
            flickableDirection: Flickable.HorizontalFlick
            boundsBehavior: Flickable.StopAtBounds
            interactive: contentWidth > width
            clip: true

            Row {
                id: chips
                objectName: "playerChips"
                spacing: 6

                Repeater {
                    model: header.players
                    Rectangle {
                        id: chip
                        required property var modelData
                        readonly property bool isCurrent: header.currentPlayerId !== ""
                                                          && String(chip.modelData.playerId) === header.currentPlayerId
                        readonly property bool isMe: header.myPlayerId !== ""
                                                     && String(chip.modelData.playerId) === header.myPlayerId
                        readonly property color seatColor: BoardColors.screenColor(chip.modelData.color)
                        // A player with no move left sits the rest of the game out.
                        readonly property bool isOut: chip.modelData.hasPassed === true
                                                      && header.gameState.gameStatus === GameStatus.InProgress

                        objectName: "playerChip"
                        // The seat's clock, when shown, goes under the row: four chips still fit.
                        implicitWidth: Math.max(chipRow.implicitWidth, chipClock.visible ? chipClock.implicitWidth : 0) + 16
                        implicitHeight: chipRow.implicitHeight + (chipClock.visible ? chipClock.implicitHeight : 0) + 10
                        radius: height / 2
                        color: Theme.shade(isCurrent ? 0.2 : 0.12, 1)
                        opacity: isOut ? 0.5 : 1
                        Accessible.role: Accessible.StaticText
                        Accessible.name: (isMe ? qsTr("Ty") : String(chip.modelData.name)) + ", "
                                         + qsTr("%1 pkt").arg(chip.modelData.score)
                                         + (isOut ? qsTr(", bez ruchów") : "")
                                         + (hasClock ? ", " + qsTr("zegar %1").arg(chipClock.text) : "")
                        readonly property bool hasClock: header.showsTimer
                                                         && header.playerClocks[String(chip.modelData.playerId)] !== undefined

                        Row {
                            id: chipRow
                            anchors.horizontalCenter: parent.horizontalCenter
                            y: 5
                            spacing: 4
                            SeatDot {
                                anchors.verticalCenter: parent.verticalCenter
                                size: 8
                                colorName: String(chip.modelData.color)
                                showsMark: header.colorMarks
                            }
                            Text {
                                objectName: "chipLabel"
                                anchors.verticalCenter: parent.verticalCenter
                                text: GameScreen.chipLabel(String(chip.modelData.name), chip.isMe)
                                color: chip.isCurrent ? Theme.white : Theme.gray
                                font.pixelSize: 10
                                font.weight: chip.isCurrent ? Font.Bold : Font.Medium
                                font.strikeout: chip.isOut
                            }
                            Text {
                                objectName: "chipScore"
                                anchors.verticalCenter: parent.verticalCenter
                                text: chip.modelData.score
                                color: chip.seatColor
                                font.pixelSize: 10
                                font.bold: true
                                font.family: Theme.monoFamily
                            }
                        }
                        // The seat's own clock, red in its last ten seconds.
                        Text {
                            id: chipClock
                            objectName: "chipClock"
                            readonly property int seconds: chip.hasClock
                                                           ? header.playerClocks[String(chip.modelData.playerId)] : 0
                            visible: chip.hasClock
                            anchors.horizontalCenter: parent.horizontalCenter
                            anchors.top: chipRow.bottom
                            text: GameScreen.formatTime(seconds)
                            color: GameScreen.timerTone(seconds) === "red" ? Theme.red
                                   : chip.isCurrent ? Theme.white : Theme.gray
                            font.pixelSize: 10
                            font.family: Theme.monoFamily
                        }
                    }
                }
            }
        }
    }
}
