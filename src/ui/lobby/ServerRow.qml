// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// One open game in the lobby's list: status, name, seated players and whether it can be joined.
AbstractButton {
    id: row

    property var server: ({})

    readonly property int status: server.gameStatus === undefined ? GameStatus.Unknown : server.gameStatus
    readonly property bool isFinished: status === GameStatus.Finished
    readonly property bool isFull: server.playerCount >= server.maxPlayers
    readonly property bool isJoinable: !isFinished && !isFull
    readonly property color statusColor: isFinished ? Theme.gray
                                         : status === GameStatus.InProgress ? Theme.green
                                         : Theme.yellow
    readonly property string name: server.serverName === undefined ? server.roomId
                                                                    : server.serverName
    readonly property var players: server.players === undefined ? [] : server.players

    objectName: "serverRow"
    opacity: isJoinable ? 1 : 0.6
    padding: 12
    focusPolicy: Qt.StrongFocus
    Accessible.name: name + ", " + qsTr("%1 z %2 graczy").arg(server.playerCount).arg(server.maxPlayers)
                     + (isFinished ? qsTr(", zakończona") : isFull ? qsTr(", pełny") : "")
                     + (hasTimeLimit ? qsTr(", limit czasu %1").arg(Format.timeLimit(server.timeLimit)) : "")
    readonly property bool hasTimeLimit: server.timeLimit !== undefined && server.timeLimit > 0

    background: Rectangle {
        radius: 12
        color: row.pressed ? Theme.shade(0.12, 1) : Theme.shade(0.08, 1)
        border.width: 1
        border.color: row.visualFocus ? Theme.withAlpha(Theme.cyan, 0.6)
                                      : Theme.withAlpha(Theme.white, 0.05)
    }

    // Declared apart and handed over, so that the ids inside need no deferred assignment.
    contentItem: rowContent

    RowLayout {
        id: rowContent
        spacing: 12

        Column {
            Layout.preferredWidth: 40
            spacing: 4

            Item {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 10
                height: 10
                SoftGlow {
                    anchors.fill: parent
                    color: Theme.withAlpha(row.statusColor, 0.5)
                    glowRadius: 4
                    cornerRadius: 5
                    layers: 3
                }
                Rectangle {
                    objectName: "statusDot"
                    anchors.fill: parent
                    radius: 5
                    color: row.statusColor
                }
            }
            Text {
                objectName: "playerCountText"
                anchors.horizontalCenter: parent.horizontalCenter
                text: row.server.playerCount + "/" + row.server.maxPlayers
                color: Theme.gray
                font.pixelSize: 9
                font.bold: true
            }
        }

        Column {
            Layout.fillWidth: true
            spacing: 4

            RowLayout {
                width: parent.width
                spacing: 6

                // Its own width when there is room; it gives way to the badge when not.
                Text {
                    objectName: "nameText"
                    Layout.maximumWidth: parent.width
                                         - (inGameBadge.visible ? inGameBadge.implicitWidth + 6 : 0)
                                         - (timeLimitBadge.visible ? timeLimitBadge.implicitWidth + 6 : 0)
                    text: row.name
                    color: Theme.white
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }
                CapsuleLabel {
                    id: inGameBadge
                    objectName: "inGameBadge"
                    visible: row.status === GameStatus.InProgress
                    text: qsTr("W GRE")
                    textColor: Theme.green
                    pixelSize: 8
                    horizontalPadding: 6
                    verticalPadding: 2
                }
                // The room's time limit, when it has one.
                CapsuleLabel {
                    id: timeLimitBadge
                    objectName: "timeLimitBadge"
                    visible: row.hasTimeLimit
                    text: row.hasTimeLimit ? Format.timeLimit(row.server.timeLimit) : ""
                    textColor: Theme.cyan
                    pixelSize: 8
                    horizontalPadding: 6
                    verticalPadding: 2
                }
                Item {
                    Layout.fillWidth: true
                }
            }

            RowLayout {
                width: parent.width
                visible: row.players.length > 0
                spacing: 4

                Repeater {
                    objectName: "playerDots"
                    model: row.players.slice(0, 4)
                    Rectangle {
                        required property var modelData
                        width: 8
                        height: 8
                        radius: 4
                        color: Theme.playerColor(modelData.color)
                    }
                }
                Text {
                    objectName: "playerNamesText"
                    Layout.fillWidth: true
                    Layout.leftMargin: 2
                    // A full room names everyone at its table.
                    text: row.players.slice(0, row.isFull ? 4 : 2).map(player => player.name).join(", ")
                    color: Theme.gray
                    font.pixelSize: 10
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }
            }
        }

        SymbolIcon {
            objectName: "joinChevron"
            visible: row.isJoinable
            name: "chevron.right"
            size: 12
            font.weight: Font.DemiBold
            color: Theme.cyan
        }
        CapsuleLabel {
            objectName: "stateBadge"
            visible: !row.isJoinable
            text: row.isFinished ? qsTr("ZAKOŃCZONA") : qsTr("PEŁNY")
            textColor: row.isFinished ? Theme.gray : Theme.red
        }
    }
}
