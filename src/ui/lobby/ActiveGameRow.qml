// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// One of the player's own unfinished games: its status, seats, whose turn and the score so far.
AbstractButton {
    id: row

    property var game: ({})

    readonly property bool isMyTurn: game.isMyTurn === true
    readonly property color statusColor: game.gameStatus === GameStatus.InProgress ? Theme.green
                                         : game.gameStatus === GameStatus.Waiting ? Theme.yellow
                                         : Theme.gray

    objectName: "activeGameRow"
    padding: 12
    focusPolicy: Qt.StrongFocus
    Accessible.name: qsTr("Wróć do gry %1").arg(game.roomId) + (isMyTurn ? qsTr(", twoja tura") : "")

    background: Rectangle {
        radius: 12
        color: row.pressed ? Theme.shade(0.14, 1) : Theme.shade(0.1, 1)
        border.width: 1
        border.color: row.visualFocus ? Theme.withAlpha(Theme.cyan, 0.6)
                      : row.isMyTurn ? Theme.withAlpha(Theme.green, 0.3) : "transparent"
    }

    contentItem: RowLayout {
        spacing: 14

        Rectangle {
            Layout.preferredWidth: 36
            Layout.preferredHeight: 36
            radius: 18
            color: Theme.withAlpha(row.statusColor, 0.2)
            Rectangle {
                anchors.centerIn: parent
                width: 10
                height: 10
                radius: 5
                color: row.statusColor
            }
        }

        Column {
            Layout.fillWidth: true
            spacing: 4

            Text {
                width: parent.width
                // The name the room has in the list of rooms, where it is there.
                text: {
                    const room = GameManager.servers.byId[row.game.roomId]
                    return room !== undefined && room.serverName !== undefined ? room.serverName
                                                                               : row.game.roomId
                }
                color: Theme.white
                font.pixelSize: 14
                font.weight: Font.DemiBold
                elide: Text.ElideRight
                maximumLineCount: 1
            }
            Row {
                spacing: 10

                Row {
                    spacing: 3
                    SymbolIcon {
                        name: "person.fill"
                        size: 11
                        color: Theme.gray
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: row.game.playersCount + "/" + row.game.maxPlayers
                        color: Theme.gray
                        font.pixelSize: 11
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                Row {
                    objectName: "activeTimeLimit"
                    visible: row.game.timeLimit !== undefined && row.game.timeLimit > 0
                    spacing: 3
                    SymbolIcon {
                        name: "timer"
                        size: 11
                        color: Theme.gray
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: parent.visible ? Format.timeLimit(row.game.timeLimit) : ""
                        color: Theme.gray
                        font.pixelSize: 11
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                Row {
                    objectName: "myTurnLabel"
                    visible: row.isMyTurn
                    spacing: 4
                    Rectangle {
                        width: 6
                        height: 6
                        radius: 3
                        color: Theme.green
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: qsTr("Twoja tura")
                        color: Theme.green
                        font.pixelSize: 10
                        font.weight: Font.DemiBold
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
            }
        }

        Column {
            Text {
                anchors.right: parent.right
                text: row.game.currentScore
                color: Theme.yellow
                font.pixelSize: 16
                font.bold: true
            }
            Text {
                anchors.right: parent.right
                text: qsTr("pkt")
                color: Theme.gray
                font.pixelSize: 9
            }
        }

        SymbolIcon {
            name: "arrow.right.circle.fill"
            size: 20
            color: Theme.withAlpha(Theme.cyan, 0.7)
        }
    }
}
