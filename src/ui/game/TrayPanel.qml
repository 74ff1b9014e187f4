pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// The pieces still to play, in a scrolling grid, with the rotate, pass and leave buttons.
Item {
    id: panel

    property GameController controller
    property Item screenItem
    property color trayColor: Theme.white
    property bool isMyTurn: false
    // The tray's steady slots (a piece, or an empty map where a placed piece was), the pieces
    // that fit nowhere (drawn dimmed) and the colour-blind mark of my colour (0: none).
    property var traySlots: []
    property var unplayablePieceIds: []
    property int markNumber: 0
    signal passRequested

    readonly property var pieces: controller ? controller.trayPieces : []
    readonly property string selectedPieceId: GameManager.selectedPieceId
    readonly property int columns: GameScreen.trayColumns(width)

    objectName: "trayPanel"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        Row {
            spacing: 8
            Text {
                objectName: "trayTitle"
                text: "KLOCKI (" + panel.pieces.length + ")"
                color: Theme.white
                font.pixelSize: 12
                font.bold: true
            }
            Row {
                visible: panel.selectedPieceId !== ""
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "arrow.clockwise"
                    size: 10
                    color: Theme.cyan
                }
                Text {
                    objectName: "rotationText"
                    anchors.verticalCenter: parent.verticalCenter
                    text: GameManager.selectedRotation + "°"
                    color: Theme.cyan
                    font.pixelSize: 12
                    font.weight: Font.Medium
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 12
            color: Theme.shade(0.06, 0.8)

            Flickable {
                id: trayScroller
                objectName: "trayScroller"
                anchors.fill: parent
                contentWidth: width
                contentHeight: grid.implicitHeight + 28
                boundsBehavior: Flickable.StopAtBounds
                clip: true
                ScrollIndicator.vertical: ScrollIndicator {}

                Grid {
                    id: grid
                    objectName: "trayGrid"
                    readonly property real cellWidth: Math.max(10, (width - (columns - 1) * columnSpacing)
                                                                   / columns)
                    x: 14
                    y: 14
                    width: trayScroller.width - 28
                    columns: panel.columns
                    columnSpacing: 6
                    rowSpacing: 6

                    Repeater {
                        model: panel.traySlots
                        TrayTile {
                            id: trayTile
                            required property var modelData
                            width: grid.cellWidth
                            height: 50
                            piece: trayTile.modelData
                            trayColor: panel.trayColor
                            isSelected: panel.selectedPieceId !== ""
                                        && panel.selectedPieceId === trayTile.pieceId
                            selectedRotation: GameManager.selectedRotation
                            isUnplayable: panel.unplayablePieceIds.indexOf(trayTile.pieceId) >= 0
                            markNumber: panel.markNumber
                            controller: panel.controller
                            screenItem: panel.screenItem
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            AbstractButton {
                id: rotateButton
                objectName: "rotateButton"
                Layout.preferredWidth: 64
                Layout.preferredHeight: 38
                enabled: panel.selectedPieceId !== ""
                opacity: enabled ? 1 : 0.5
                focusPolicy: Qt.StrongFocus
                Accessible.name: "Obróć klocek"
                onClicked: panel.controller.rotate()
                background: Rectangle {
                    radius: 10
                    color: Theme.withAlpha(Theme.blue, rotateButton.pressed ? 0.6 : 0.85)
                    border.width: rotateButton.visualFocus ? 2 : 0
                    border.color: Theme.white
                }
                contentItem: SymbolIcon {
                    name: "arrow.clockwise"
                    size: 18
                }
            }

            AbstractButton {
                id: passButton
                objectName: "passButton"
                Layout.fillWidth: true
                Layout.preferredHeight: 38
                enabled: panel.isMyTurn
                opacity: enabled ? 1 : 0.5
                focusPolicy: Qt.StrongFocus
                Accessible.name: "Pass"
                Accessible.description: "Pomiń turę"
                onClicked: panel.passRequested()
                background: Rectangle {
                    radius: 10
                    color: Theme.withAlpha(Theme.orange, passButton.pressed ? 0.6 : 0.85)
                    border.width: passButton.visualFocus ? 2 : 0
                    border.color: Theme.white
                }
                contentItem: Item {
                    Row {
                        anchors.centerIn: parent
                        spacing: 6
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "forward.fill"
                            size: 16
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "Pass"
                            color: Theme.white
                            font.pixelSize: 15
                            font.bold: true
                        }
                    }
                }
            }

            AbstractButton {
                id: leaveButton
                objectName: "leaveGameButton"
                Layout.preferredWidth: 38
                Layout.preferredHeight: 38
                focusPolicy: Qt.StrongFocus
                Accessible.name: "Opuść grę"
                onClicked: GameManager.leaveGame()
                background: Rectangle {
                    radius: 10
                    color: Theme.withAlpha(Theme.red, leaveButton.pressed ? 0.3 : 0.15)
                    border.width: leaveButton.visualFocus ? 2 : 0
                    border.color: Theme.white
                }
                contentItem: SymbolIcon {
                    name: "xmark"
                    size: 18
                    color: Theme.red
                }
            }
        }
    }
}
