// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana
import Korvana.Board

// The end of a game: the winner, every player's place and score, and the way back to the lobby.
Flickable {
    id: results

    property var gameState: ({})
    // [{place, playerId, name, color, score}], best first.
    property var rankedPlayers: []

    readonly property var winner: gameState && gameState.winner !== undefined ? gameState.winner
                                                                              : null
    // Equal top scores: the server gave the game to the earlier seat, listed first.
    readonly property bool isTie: winner !== null && rankedPlayers.length > 1
                                  && rankedPlayers[0].score === rankedPlayers[1].score
    // Over a dimmed board (tall window): the column sits on a card of its own.
    property bool overBoard: false

    objectName: "resultsView"
    contentWidth: width
    contentHeight: content.implicitHeight
    boundsBehavior: Flickable.StopAtBounds
    clip: true
    ScrollIndicator.vertical: ScrollIndicator {}

    Column {
        id: content
        // A readable column, centred in a wide window.
        width: Math.min(results.width - 32, 560)
        x: (results.width - width) / 2
        topPadding: 16
        bottomPadding: 32
        spacing: 20

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("🏆 GRA ZAKOŃCZONA")
            color: Theme.white
            font.pixelSize: 24
            font.bold: true
            Accessible.role: Accessible.Heading
            Accessible.name: qsTr("Gra zakończona")
        }

        Rectangle {
            objectName: "winnerCard"
            visible: results.winner !== null
            width: parent.width
            height: winnerColumn.implicitHeight + 40
            radius: 16
            color: Theme.withAlpha(Theme.yellow, 0.15)
            border.width: 2
            border.color: Theme.withAlpha(Theme.yellow, 0.3)
            Accessible.role: Accessible.StaticText
            Accessible.name: results.winner ? qsTr("Zwycięzca: %1, %2 pkt").arg(results.winner.name)
                                                                               .arg(results.winner.score)
                                            : ""

            Column {
                id: winnerColumn
                anchors.centerIn: parent
                spacing: 6
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("ZWYCIĘZCA")
                    color: Theme.gray
                    font.pixelSize: 12
                    font.bold: true
                }
                Text {
                    objectName: "winnerName"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: results.winner ? results.winner.name : ""
                    color: Theme.yellow
                    font.pixelSize: 22
                    font.bold: true
                }
                Text {
                    objectName: "winnerScore"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: results.winner ? qsTr("%1 pkt").arg(results.winner.score) : ""
                    color: Theme.white
                    font.pixelSize: 18
                    font.weight: Font.DemiBold
                }
                Text {
                    objectName: "tieNote"
                    visible: results.isTie
                    width: Math.min(implicitWidth, content.width - 40)
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("Remis punktowy: wygrywa gracz, który siedział wcześniej przy stole.")
                    color: Theme.gray
                    font.pixelSize: 12
                    wrapMode: Text.Wrap
                    horizontalAlignment: Text.AlignHCenter
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                }
            }
        }

        Column {
            width: parent.width
            spacing: 8

            Text {
                text: qsTr("WYNIKI KOŃCOWE")
                color: Theme.gray
                font.pixelSize: 13
                font.bold: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }
            Repeater {
                objectName: "resultRows"
                model: results.rankedPlayers
                Rectangle {
                    id: resultRow
                    required property var modelData
                    objectName: "resultRow"
                    width: parent.width
                    height: Math.max(48, resultLine.implicitHeight + 16)
                    radius: 12
                    color: Theme.shade(0.1, 1)
                    Accessible.role: Accessible.StaticText
                    Accessible.name: qsTr("Miejsce %1: %2, %3 pkt").arg(resultRow.modelData.place)
                                     .arg(resultRow.modelData.name).arg(resultRow.modelData.score)
                                     + (hasBonus ? ", " + resultRow.modelData.bonus : "")
                    readonly property bool hasBonus: resultRow.modelData.bonus !== undefined
                                                     && resultRow.modelData.bonus !== ""

                    RowLayout {
                        id: resultLine
                        anchors.fill: parent
                        anchors.leftMargin: 12
                        anchors.rightMargin: 16
                        spacing: 10
                        Text {
                            objectName: "placeText"
                            Layout.preferredWidth: 30
                            text: "#" + resultRow.modelData.place
                            color: Theme.gray
                            font.pixelSize: 14
                            font.bold: true
                        }
                        Rectangle {
                            width: 14
                            height: 14
                            radius: 7
                            color: BoardColors.screenColor(resultRow.modelData.color)
                        }
                        Column {
                            Layout.fillWidth: true
                            Text {
                                objectName: "nameText"
                                width: parent.width
                                text: resultRow.modelData.name
                                color: Theme.white
                                font.pixelSize: 15
                                font.weight: Font.Medium
                                elide: Text.ElideRight
                            }
                            // The bonus inside the score, when the pieces show it.
                            Text {
                                objectName: "bonusText"
                                visible: resultRow.hasBonus
                                width: parent.width
                                text: resultRow.hasBonus ? resultRow.modelData.bonus : ""
                                color: Theme.yellow
                                font.pixelSize: 11
                                wrapMode: Text.Wrap
                            }
                        }
                        Text {
                            objectName: "scoreText"
                            text: qsTr("%1 pkt").arg(resultRow.modelData.score)
                            color: Theme.white
                            font.pixelSize: 15
                            font.weight: Font.DemiBold
                            font.family: Theme.monoFamily
                        }
                    }
                }
            }
        }

        // A new room with the same time limit, straight to its waiting room.
        AbstractButton {
            id: againButton
            objectName: "playAgainButton"
            width: parent.width
            padding: 16
            focusPolicy: Qt.StrongFocus
            Accessible.name: qsTr("Zagraj ponownie")
            onClicked: GameManager.createSession(results.gameState && results.gameState.timeLimit > 0
                                                 ? results.gameState.timeLimit : null)
            background: Rectangle {
                radius: 12
                color: Theme.withAlpha(Theme.cyan, againButton.pressed ? 0.3 : 0.45)
                border.width: againButton.visualFocus ? 2 : 0
                border.color: Theme.white
            }
            contentItem: Item {
                implicitHeight: children[0].implicitHeight
                Row {
                    anchors.centerIn: parent
                    spacing: 8
                    SymbolIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        name: "arrow.clockwise"
                        size: 16
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Zagraj ponownie")
                        color: Theme.white
                        font.pixelSize: 16
                        font.weight: Font.DemiBold
                    }
                }
            }
        }

        AbstractButton {
            id: backButton
            objectName: "backToLobbyButton"
            width: parent.width
            padding: 16
            focusPolicy: Qt.StrongFocus
            Accessible.name: qsTr("Powrót do lobby")
            onClicked: GameManager.leaveGame()
            background: Rectangle {
                radius: 12
                color: Theme.withAlpha(Theme.green, backButton.pressed ? 0.45 : 0.6)
                border.width: backButton.visualFocus ? 2 : 0
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
                        name: "arrow.left"
                        size: 16
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Powrót do lobby")
                        color: Theme.white
                        font.pixelSize: 16
                        font.weight: Font.DemiBold
                    }
                }
            }
        }
    }
}
