// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana
import Korvana.Board

// One piece in the tray. A tap selects it; a drag of 8 points or more lifts it out of the tray
// and carries it over the board, where letting go over a green cell places it. Selected, it
// shows the piece at the selected rotation. A slot whose piece was placed stays, empty.
Item {
    id: tile

    property var piece: ({})
    property color trayColor: Theme.white
    // The tile's square: 50 on a phone.
    property real side: 50
    property bool isSelected: false
    property int selectedRotation: 0
    // The piece fits nowhere on the board in any rotation: drawn dimmed.
    property bool isUnplayable: false
    // The colour-blind mark of the tray's colour in the tile's corner; 0 for none.
    property int markNumber: 0
    // The game screen's logic and the item whose coordinates it works in.
    property GameController controller
    property Item screenItem

    readonly property string pieceId: piece.id === undefined ? "" : String(piece.id)
    readonly property bool isDragging: touch.isDragging
    readonly property bool isEmpty: pieceId === ""

    objectName: isEmpty ? "emptyTraySlot" : "trayTile_" + pieceId
    implicitHeight: side
    // Named by shape and size, so that a screen reader can tell the pieces apart; an empty slot
    // is not there for it.
    Accessible.ignored: isEmpty
    Accessible.role: Accessible.Button
    Accessible.name: GameScreen.pieceName(piece.squares === undefined ? [] : piece.squares)
                     + (isSelected ? qsTr(", wybrany") : "")
                     + (isUnplayable ? qsTr(", nigdzie nie pasuje") : "")
    Accessible.focusable: !isEmpty
    Accessible.onPressAction: controller.selectPiece(pieceId)

    Rectangle {
        id: face
        visible: !tile.isEmpty
        anchors.centerIn: parent
        width: tile.side
        height: tile.side
        radius: 8 * tile.side / 50
        color: tile.isSelected ? Theme.withAlpha(tile.trayColor, 0.25) : Theme.shade(0.1, 1)
        border.width: tile.isSelected || tile.activeFocus ? 2 : 1
        border.color: tile.activeFocus ? Theme.white
                      : tile.isSelected ? tile.trayColor : Theme.shade(0.2, 1)
        scale: tile.isSelected ? 1.1 : 1
        opacity: tile.isDragging ? 0.4 : tile.isUnplayable ? 0.35 : 1
        Behavior on scale {
            SpringAnimation { spring: 6; damping: 0.45; epsilon: 0.002 }
        }

        PiecePreview {
            anchors.centerIn: parent
            width: 36 * tile.side / 50
            height: width
            squares: tile.piece.squares === undefined ? [] : tile.piece.squares
            // The piece's own turn (the board module's property, not the item's rotation), or
            // the turn chosen for it while selected, as the board's ghost will place it.
            rotation: tile.isSelected ? tile.selectedRotation
                                      : tile.piece.rotation === undefined ? 0 : tile.piece.rotation
            pieceColor: tile.trayColor
        }
        ColorMark {
            objectName: "trayTileMark"
            visible: tile.markNumber > 0
            x: 4 * tile.side / 50
            y: x
            width: 9 * tile.side / 50
            height: width
            colorNumber: tile.markNumber
            color: tile.trayColor
        }
    }

    MouseArea {
        id: touch

        property point pressPoint
        property bool isDragging: false

        function translationTo(mouse) {
            return Qt.point(mouse.x - pressPoint.x, mouse.y - pressPoint.y)
        }
        function screenPoint(x, y) {
            return mapToItem(tile.screenItem, x, y)
        }
        function tileCentre() {
            return face.mapToItem(tile.screenItem, face.width / 2, face.height / 2)
        }

        anchors.centerIn: parent
        width: tile.side
        height: tile.side
        enabled: !tile.isEmpty
        preventStealing: true
        Accessible.ignored: true

        onPressed: mouse => {
            pressPoint = Qt.point(mouse.x, mouse.y)
            isDragging = false
            // A mouse carries the piece where it took it; a finger gets the floating box.
            const previewSide = 36 * tile.side / 50
            const margin = (tile.side - previewSide) / 2
            if (tile.controller)
                tile.controller.pressTrayPiece(tile.pieceId, mouse.source === Qt.MouseEventNotSynthesized,
                                               Qt.point(mouse.x - margin, mouse.y - margin), previewSide)
        }
        onPositionChanged: mouse => {
            const t = translationTo(mouse)
            if (!isDragging && Math.hypot(t.x, t.y) >= GameScreen.dragStartDistance)
                isDragging = true
            if (!isDragging || !tile.controller || !tile.screenItem)
                return
            tile.controller.trayDragChanged(tile.pieceId, tileCentre(), t)
            // The finger itself drives the preview, as it would over the board.
            tile.controller.updateDragPreview(screenPoint(mouse.x, mouse.y), t)
        }
        onReleased: mouse => {
            if (!tile.controller)
                return
            if (isDragging)
                tile.controller.trayDragEnded(tile.pieceId, translationTo(mouse))
            else
                tile.controller.selectPiece(tile.pieceId)
            isDragging = false
        }
        onCanceled: {
            if (isDragging && tile.controller)
                tile.controller.abandonTrayDrag()
            isDragging = false
        }
    }

    // A tile taken away mid-drag (the tray changed) must not leave the drag hanging.
    Component.onDestruction: {
        if (touch.isDragging && controller)
            controller.abandonTrayDrag()
    }
}
