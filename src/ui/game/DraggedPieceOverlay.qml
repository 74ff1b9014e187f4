// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Shapes
import Korvana
import Korvana.Board

// The piece under the finger while it is dragged: a box floating 95 points above the finger so
// the finger never hides it, kept inside the screen, tied to the finger by a dashed line. It is
// drawn above everything and never takes a touch.
Item {
    id: overlay

    // {id, squares} of the dragged piece.
    property var piece: null
    property int pieceRotation: 0
    // The finger and the drag's movement, in this item's coordinates.
    property point location
    property point offset
    property color pieceColor: Qt.rgba(0.3, 0.7, 0.9, 1)
    property string myColor: ""
    // The board's scale: 1 for the phone's 320-point board; every length below grows with it.
    property real unit: 1
    // The colour-blind mark on each square; 0 for none.
    property int markNumber: 0
    // A mouse drags the piece itself at the board's cell size, the square it holds (`grabOffset`
    // cells from the anchor) under the pointer; the ghost on the board shows where it lands. No
    // box then.
    property bool isMouseDrag: false
    property point grabOffset
    property real cellSize: 16
    // The box goes below the finger where there is no room for it above.
    readonly property bool boxBelow: boxCentre.y > location.y

    readonly property color tint: BoardColors.colorNumber(myColor) > 0
                                  ? BoardColors.playerColor(myColor) : pieceColor
    readonly property point boxCentre: GameScreen.floatingBoxCentre(location,
                                                                    Qt.size(width, height), unit)

    objectName: "draggedPieceOverlay"
    enabled: false
    z: 9999

    Shape {
        objectName: "dragLine"
        visible: !overlay.isMouseDrag
        anchors.fill: parent
        ShapePath {
            strokeColor: Theme.withAlpha(overlay.tint, 0.6)
            strokeWidth: 2 * overlay.unit
            strokeStyle: ShapePath.DashLine
            // In stroke widths: 4 points on, 4 off.
            dashPattern: [2, 2]
            fillColor: "transparent"
            startX: overlay.boxCentre.x
            startY: overlay.boxCentre.y + (overlay.boxBelow ? -35 : 35) * overlay.unit
            PathLine { x: overlay.location.x; y: overlay.location.y }
        }
    }

    Rectangle {
        objectName: "fingerDot"
        visible: !overlay.isMouseDrag
        x: overlay.location.x - width / 2
        y: overlay.location.y - height / 2
        width: 10 * overlay.unit
        height: width
        radius: width / 2
        color: overlay.tint
    }

    // The soft halo behind the box: a disc of 100 whose edge fades out over 15 points.
    Shape {
        visible: !overlay.isMouseDrag
        x: overlay.boxCentre.x - 65 * overlay.unit
        y: overlay.boxCentre.y - 65 * overlay.unit
        width: 130
        height: 130
        scale: overlay.unit
        transformOrigin: Item.TopLeft
        ShapePath {
            strokeColor: "transparent"
            fillGradient: RadialGradient {
                centerX: 65
                centerY: 65
                centerRadius: 65
                focalX: 65
                focalY: 65
                GradientStop { position: 0; color: Theme.withAlpha(overlay.tint, 0.15) }
                GradientStop { position: 0.65; color: Theme.withAlpha(overlay.tint, 0.12) }
                GradientStop { position: 1; color: Theme.withAlpha(overlay.tint, 0) }
            }
            startX: 0
            startY: 65
            PathArc { x: 130; y: 65; radiusX: 65; radiusY: 65 }
            PathArc { x: 0; y: 65; radiusX: 65; radiusY: 65 }
        }
    }

    // The box is centred on boxCentre, which keeps it 35 points inside the edges; the arrow hangs
    // below it.
    Item {
        objectName: "floatingBox"
        visible: !overlay.isMouseDrag
        x: overlay.boxCentre.x - width / 2
        y: overlay.boxCentre.y - height / 2
        width: 70 * overlay.unit
        height: width

        SoftGlow {
            anchors.fill: parent
            color: Qt.rgba(0, 0, 0, 0.6)
            glowRadius: 12 * overlay.unit
            cornerRadius: 10 * overlay.unit
            offsetY: 6 * overlay.unit
        }
        // A 70 x 70 square with corners of radius 10, scaled with the board.
        Shape {
            width: 70
            height: 70
            scale: overlay.unit
            transformOrigin: Item.TopLeft
            ShapePath {
                strokeColor: overlay.tint
                strokeWidth: 2
                fillGradient: LinearGradient {
                    x1: 0
                    y1: 0
                    x2: 70
                    y2: 70
                    GradientStop { position: 0; color: Theme.shade(0.28, 1) }
                    GradientStop { position: 1; color: Theme.shade(0.15, 1) }
                }
                startX: 10
                startY: 0
                PathLine { x: 60; y: 0 }
                PathArc { x: 70; y: 10; radiusX: 10; radiusY: 10 }
                PathLine { x: 70; y: 60 }
                PathArc { x: 60; y: 70; radiusX: 10; radiusY: 10 }
                PathLine { x: 10; y: 70 }
                PathArc { x: 0; y: 60; radiusX: 10; radiusY: 10 }
                PathLine { x: 0; y: 10 }
                PathArc { x: 10; y: 0; radiusX: 10; radiusY: 10 }
            }
        }
        PiecePreview {
            objectName: "floatingPiece"
            anchors.centerIn: parent
            width: 60 * overlay.unit
            height: width
            squares: overlay.piece && overlay.piece.squares !== undefined ? overlay.piece.squares : []
            rotation: overlay.pieceRotation
            pieceColor: overlay.tint
            markNumber: overlay.markNumber
        }
        // Towards the finger: below the box, or above it when the box had to go under the finger.
        SymbolIcon {
            objectName: "floatingArrow"
            anchors.horizontalCenter: parent.horizontalCenter
            y: overlay.boxBelow ? -height - 4 * overlay.unit : parent.height + 4 * overlay.unit
            name: overlay.boxBelow ? "arrow.up.circle.fill" : "arrow.down.circle.fill"
            size: 14 * overlay.unit
            color: overlay.tint
        }
    }

    // The mouse's piece: its squares at the board's size, the pointer where it took hold of it.
    Item {
        objectName: "heldPiece"
        visible: overlay.isMouseDrag
        x: overlay.location.x - (overlay.grabOffset.x + 0.5) * overlay.cellSize
        y: overlay.location.y - (overlay.grabOffset.y + 0.5) * overlay.cellSize
        // See-through, so that the green or red ghost under it shows.
        opacity: 0.6
        Repeater {
            model: overlay.piece && overlay.piece.turned !== undefined ? overlay.piece.turned : []
            Rectangle {
                required property var modelData
                x: modelData[1] * overlay.cellSize + 1
                y: modelData[0] * overlay.cellSize + 1
                width: overlay.cellSize - 2
                height: width
                radius: 3
                color: overlay.tint
                border.width: 1
                border.color: Theme.withAlpha(Theme.white, 0.5)
            }
        }
    }
}
