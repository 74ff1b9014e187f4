import QtQuick
import Korvana
import Korvana.Board

// The game itself: the header, the board with the dragged piece's preview and the tray while it
// runs, the results once it is over.
Item {
    id: face

    // The game screen's logic, the item its coordinates are in, and its sounds.
    property GameController controller
    property Item screenItem
    property SoundManager sounds
    property var gameState: ({})
    property string status: ""
    property color trayColor: Theme.white
    property bool isMyTurn: false
    signal passRequested

    readonly property real boardSide: Math.max(0, Math.min(width - 20, 0.45 * height, 320))

    function updateBoardFrame() {
        if (board.visible && controller && screenItem)
            controller.boardFrame = board.mapToItem(screenItem, board.boardRect)
    }

    objectName: "gameFace"
    onWidthChanged: updateBoardFrame()
    onHeightChanged: updateBoardFrame()

    GameHeaderCard {
        id: header
        x: 12
        y: 4
        width: parent.width - 24
        gameState: face.gameState
        myPlayerId: GameManager.myPlayerId
        isSoundEnabled: face.sounds ? face.sounds.isSoundEnabled : false
        onToggleSound: {
            if (face.sounds)
                face.sounds.toggleSound()
        }
        onHeightChanged: face.updateBoardFrame()
    }

    Item {
        id: boardBox
        objectName: "boardBox"
        visible: face.status === "in_progress"
        anchors.top: header.bottom
        anchors.topMargin: 6
        width: parent.width
        height: visible ? face.boardSide + 10 : 0

        GameBoard {
            id: board
            objectName: "gameBoard"
            anchors.centerIn: parent
            width: face.boardSide
            height: face.boardSide
            boardSize: 20
            // The manager's C++ state itself: no maps to convert on each poll.
            gameState: face.controller ? face.controller.boardState : undefined
            selectedRow: face.controller ? face.controller.selectedRow : -1
            selectedCol: face.controller ? face.controller.selectedCol : -1
            selectedPieceId: GameManager.selectedPieceId
            selectedRotation: GameManager.selectedRotation
            previewRow: face.controller ? face.controller.previewRow : -1
            previewCol: face.controller ? face.controller.previewCol : -1
            isPreviewValid: face.controller ? face.controller.isPreviewValid : null
            showTargetCrosshair: face.controller ? face.controller.showsTargetCrosshair : false
            Accessible.role: Accessible.Table
            Accessible.name: "Plansza"
            onCellTapped: (row, col) => face.controller.cellTapped(row, col)
            onBoardRectChanged: face.updateBoardFrame()
            onXChanged: face.updateBoardFrame()
            onYChanged: face.updateBoardFrame()
            onVisibleChanged: face.updateBoardFrame()
            Component.onCompleted: face.updateBoardFrame()
        }
    }

    ResultsView {
        visible: face.status === "finished"
        anchors.top: header.bottom
        anchors.topMargin: 6
        anchors.bottom: parent.bottom
        width: parent.width
        gameState: face.gameState
        rankedPlayers: face.controller ? face.controller.rankedPlayers : []
    }

    TrayPanel {
        visible: face.status === "in_progress"
        anchors.top: boardBox.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        controller: face.controller
        screenItem: face.screenItem
        trayColor: face.trayColor
        isMyTurn: face.isMyTurn
        onPassRequested: face.passRequested()
    }

    // Layout can move the board (the header grows with its chips); a drag always measures the
    // board where it is now.
    Connections {
        target: face.controller
        function onDragChanged() {
            if (face.controller.draggedPieceId !== "")
                face.updateBoardFrame()
        }
    }
}
