// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
    // My seat is out while the others play: the tray and Pass are off and a line says why.
    property bool isOutOfMoves: false
    property string outOfGameNotice: ""

    // The tray's steady slots (a piece, or an empty map where a placed piece was), the pieces
    // that fit nowhere (drawn dimmed) and the colour-blind mark of my colour (0: none).
    property var traySlots: []
    property var unplayablePieceIds: []
    property int markNumber: 0
    signal passRequested
    // Leaving asks first while my clock would go on running without me.
    property bool asksBeforeLeaving: false
    signal leaveRequested
    // A piece was chosen from the keyboard: the board's cursor takes over.
    signal pieceChosen

    property int tileSide: 50
    // Title, three rows of tiles and the buttons: what the board above should leave free.
    readonly property real minimumHeight: 24 + 18 + 8 + 3 * (tileSide + 6) + 28 + 8 + 38

    readonly property var pieces: controller ? controller.trayPieces : []
    readonly property string selectedPieceId: GameManager.selectedPieceId
    readonly property int columns: GameScreen.trayColumns(width, tileSide)

    // Keyboard focus to the tiles: the selected piece's, or the first.
    function focusTiles() {
        let target = 0
        for (let i = 0; i < tiles.count; ++i) {
            if ((tiles.itemAt(i) as TrayTile).isSelected)
                target = i
        }
        focusTile(target)
    }
    // The tile the keyboard is on, -1 when it is elsewhere. The tiles are built anew whenever the
    // tray changes (a piece was placed); the keyboard then goes on from the same place.
    property int keyboardIndex: -1
    onPiecesChanged: {
        if (keyboardIndex >= 0)
            refocus.restart()
    }
    Timer {
        id: refocus
        interval: 0
        onTriggered: panel.focusTile(Math.min(panel.keyboardIndex, tiles.count - 1))
    }
    Connections {
        target: panel.Window.window
        function onActiveFocusItemChanged() {
            // A tile's destruction hands the focus up to an enclosing scope: that is no choice
            // of the player's, the keyboard stays with the tray.
            const item = panel.Window.activeFocusItem
            let above = false
            for (let scope = panel.parent; scope !== null && !above; scope = scope.parent)
                above = scope === item
            if (item !== null && !above && !String(item.objectName).startsWith("trayTile_"))
                panel.keyboardIndex = -1
        }
    }

    // The slot with a piece nearest to `index` going by `direction` (1 or -1), or -1.
    function pieceSlotFrom(index: int, direction: int): int {
        for (let i = index; i >= 0 && i < tiles.count; i += direction) {
            if (!(tiles.itemAt(i) as TrayTile).isEmpty)
                return i
        }
        return -1
    }
    readonly property int firstPieceSlot: {
        for (let i = 0; i < traySlots.length; ++i) {
            if (traySlots[i].id !== undefined)
                return i
        }
        return -1
    }

    // Focus to the slot `index`, or to the nearest one that still holds a piece.
    function focusTile(index: int) {
        let target = pieceSlotFrom(index, 1)
        if (target < 0)
            target = pieceSlotFrom(index, -1)
        const tile = tiles.itemAt(target) as TrayTile
        if (tile === null)
            return
        tile.forceActiveFocus(Qt.TabFocusReason)
        trayScroller.ensureVisible(tile)
    }

    objectName: "trayPanel"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        Row {
            spacing: 8
            Text {
                objectName: "trayTitle"
                text: qsTr("KLOCKI (") + panel.pieces.length + ")"
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

        Text {
            objectName: "outOfMovesText"
            visible: panel.isOutOfMoves
            Layout.fillWidth: true
            text: panel.outOfGameNotice
            color: Theme.orange
            font.pixelSize: 13
            font.weight: Font.DemiBold
            wrapMode: Text.Wrap
            Accessible.role: Accessible.AlertMessage
            Accessible.name: text
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 12
            color: Theme.shade(0.06, 0.8)
            enabled: !panel.isOutOfMoves
            opacity: enabled ? 1 : 0.5

            Flickable {
                id: trayScroller
                objectName: "trayScroller"
                anchors.fill: parent
                contentWidth: width
                contentHeight: grid.implicitHeight + 28
                boundsBehavior: Flickable.StopAtBounds
                clip: true
                ScrollIndicator.vertical: ScrollIndicator {}

                function ensureVisible(item: Item) {
                    const y = item.mapToItem(contentItem, 0, 0).y
                    if (y < contentY)
                        contentY = Math.max(0, y - 14)
                    else if (y + item.height > contentY + height)
                        contentY = Math.min(contentHeight - height, y + item.height + 14 - height)
                }

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
                        id: tiles
                        model: panel.traySlots
                        TrayTile {
                            id: trayTile
                            required property var modelData
                            required property int index
                            width: grid.cellWidth
                            height: panel.tileSide
                            side: panel.tileSide
                            piece: trayTile.modelData
                            trayColor: panel.trayColor
                            isSelected: panel.selectedPieceId !== ""
                                        && panel.selectedPieceId === trayTile.pieceId
                            selectedRotation: GameManager.selectedRotation
                            isUnplayable: panel.unplayablePieceIds.indexOf(trayTile.pieceId) >= 0
                            markNumber: panel.markNumber
                            controller: panel.controller
                            screenItem: panel.screenItem
                            // The first tile is where Tab enters the tray.
                            activeFocusOnTab: trayTile.index === panel.firstPieceSlot
                            onActiveFocusChanged: {
                                if (activeFocus)
                                    panel.keyboardIndex = trayTile.index
                            }
                            // Arrow keys between the tiles, in reading order; Enter or Space
                            // chooses one and hands over to the board.
                            Keys.onPressed: event => {
                                const row = grid.columns
                                switch (event.key) {
                                case Qt.Key_Left:
                                case Qt.Key_Right:
                                case Qt.Key_Up:
                                case Qt.Key_Down: {
                                    const step = event.key === Qt.Key_Left ? -1
                                               : event.key === Qt.Key_Right ? 1
                                               : event.key === Qt.Key_Up ? -row : row
                                    const target = panel.pieceSlotFrom(trayTile.index + step,
                                                                       step > 0 ? 1 : -1)
                                    if (target >= 0)
                                        panel.focusTile(target)
                                    break
                                }
                                case Qt.Key_Return:
                                case Qt.Key_Enter:
                                case Qt.Key_Space:
                                    panel.controller.selectPiece(trayTile.pieceId)
                                    panel.pieceChosen()
                                    break
                                default:
                                    return
                                }
                                event.accepted = true
                            }
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
                enabled: panel.selectedPieceId !== "" && !panel.isOutOfMoves
                opacity: enabled ? 1 : 0.5
                focusPolicy: Qt.StrongFocus
                Accessible.name: qsTr("Obróć klocek")
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
                enabled: panel.isMyTurn && !panel.isOutOfMoves
                opacity: enabled ? 1 : 0.5
                focusPolicy: Qt.StrongFocus
                Accessible.name: qsTr("Pass")
                Accessible.description: qsTr("Pomiń turę")
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
                            text: qsTr("Pass")
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
                Accessible.name: qsTr("Opuść grę")
                onClicked: {
                    if (panel.asksBeforeLeaving)
                        panel.leaveRequested()
                    else
                        GameManager.leaveGame()
                }
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
