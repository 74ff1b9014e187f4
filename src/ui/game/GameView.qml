import QtQuick
import Korvana
import Korvana.Board

// The screen of a game: a loading face until the first state, the waiting room before the start,
// then the header, the board with the dragged piece's preview, the tray and its buttons, and the
// results once the game is over.
Item {
    id: gameView

    readonly property var gameState: GameManager.gameState
    readonly property bool hasState: gameState !== undefined && gameState !== null
    readonly property string status: hasState ? String(gameState.gameStatus) : ""
    readonly property string myColor: GameManager.myColor
    // The tray's colour: mine, blue before a colour is known, white for an unknown name.
    readonly property color trayColor: BoardRules.screenColor(myColor === "" ? "blue" : myColor)
    readonly property bool isMyTurn: hasState && GameManager.myPlayerId !== ""
                                     && gameState.currentPlayerId !== undefined
                                     && String(gameState.currentPlayerId) === GameManager.myPlayerId
    property bool showPassConfirmation: false
    // The screen's logic, for tests.
    readonly property alias controller: gameController

    objectName: "gameView"

    SoundManager {
        id: sounds
    }

    GameController {
        id: gameController
        objectName: "gameController"
        soundManager: sounds
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0.03, 0.03, 0.08, 1) }
            GradientStop { position: 1; color: Qt.rgba(0.08, 0.06, 0.12, 1) }
        }
    }

    Column {
        objectName: "loadingFace"
        visible: GameManager.isLoading && !gameView.hasState
        anchors.centerIn: parent
        spacing: 20

        Spinner {
            anchors.horizontalCenter: parent.horizontalCenter
            color: Theme.cyan
            scale: 1.5
            running: parent.visible
        }
        Text {
            text: "Ładowanie gry..."
            color: Theme.gray
            font.pixelSize: 16
            font.weight: Font.Medium
        }
    }

    Loader {
        objectName: "waitingRoomLoader"
        anchors.fill: parent
        active: gameView.status === "waiting"
        sourceComponent: WaitingRoomView {
            gameState: gameView.gameState
        }
    }

    Loader {
        objectName: "gameFaceLoader"
        anchors.fill: parent
        active: gameView.hasState && gameView.status !== "waiting"
        sourceComponent: gameFace
    }

    Component {
        id: gameFace

        Item {
            id: face

            readonly property real boardSide: Math.max(0, Math.min(width - 20, 0.45 * height, 320))

            function updateBoardFrame() {
                if (board.visible)
                    gameController.boardFrame = board.mapToItem(gameView, board.boardRect)
            }

            onWidthChanged: updateBoardFrame()
            onHeightChanged: updateBoardFrame()

            GameHeaderCard {
                id: header
                x: 12
                y: 4
                width: parent.width - 24
                gameState: gameView.gameState
                myPlayerId: GameManager.myPlayerId
                isSoundEnabled: sounds.isSoundEnabled
                onToggleSound: sounds.toggleSound()
                onHeightChanged: face.updateBoardFrame()
            }

            Item {
                id: boardBox
                objectName: "boardBox"
                visible: gameView.status === "in_progress"
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
                    // Straight from the manager's C++ state: no maps to convert on each poll.
                    gameManager: GameManager
                    selectedRow: gameController.selectedRow
                    selectedCol: gameController.selectedCol
                    selectedPieceId: GameManager.selectedPieceId
                    selectedRotation: GameManager.selectedRotation
                    previewRow: gameController.previewRow
                    previewCol: gameController.previewCol
                    isPreviewValid: gameController.isPreviewValid
                    showTargetCrosshair: gameController.showsTargetCrosshair
                    Accessible.role: Accessible.Table
                    Accessible.name: "Plansza"
                    onCellTapped: (row, col) => gameController.cellTapped(row, col)
                    onBoardRectChanged: face.updateBoardFrame()
                    onXChanged: face.updateBoardFrame()
                    onYChanged: face.updateBoardFrame()
                    Component.onCompleted: face.updateBoardFrame()
                }
            }

            ResultsView {
                objectName: "resultsView"
                visible: gameView.status === "finished"
                anchors.top: header.bottom
                anchors.topMargin: 6
                anchors.bottom: parent.bottom
                width: parent.width
                gameState: gameView.gameState
                rankedPlayers: gameController.rankedPlayers
            }

            TrayPanel {
                visible: gameView.status === "in_progress"
                anchors.top: boardBox.bottom
                anchors.bottom: parent.bottom
                width: parent.width
                controller: gameController
                screenItem: gameView
                trayColor: gameView.trayColor
                isMyTurn: gameView.isMyTurn
                onPassRequested: gameView.showPassConfirmation = true
            }

            // Layout can move the board (the header grows with its chips); a drag always measures
            // the board where it is now.
            Connections {
                target: gameController
                function onDragChanged() {
                    if (gameController.draggedPieceId !== "")
                        face.updateBoardFrame()
                }
            }
        }
    }

    DraggedPieceOverlay {
        anchors.fill: parent
        visible: piece !== null && piece !== undefined
        piece: gameController.floatingPiece
        pieceRotation: GameManager.selectedRotation
        location: gameController.dragLocation
        offset: gameController.dragOffset
        myColor: gameView.myColor
    }

    PassDialog {
        visible: gameView.showPassConfirmation
        onClosed: gameView.showPassConfirmation = false
        onConfirmed: GameManager.passTurn()
    }

    ErrorAlert {
        message: GameManager.errorMessage
        onAcknowledged: GameManager.errorMessage = ""
    }

    Shortcut {
        sequence: "R"
        enabled: gameView.status === "in_progress" && GameManager.selectedPieceId !== ""
        onActivated: gameController.rotate()
    }
    Shortcut {
        sequence: "Escape"
        enabled: gameController.draggedPieceId !== ""
        onActivated: gameController.cancelDrag()
    }
}
