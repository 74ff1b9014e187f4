// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
    readonly property int status: hasState ? gameState.gameStatus : GameStatus.Unknown
    readonly property string myColor: GameManager.myColor
    // The tray's colour: mine, blue before a colour is known, white for an unknown name.
    readonly property color trayColor: BoardColors.screenColor(myColor === "" ? "blue" : myColor)
    readonly property bool isMyTurn: hasState && GameManager.myPlayerId !== ""
                                     && gameState.currentPlayerId !== undefined
                                     && String(gameState.currentPlayerId) === GameManager.myPlayerId
    property bool showPassConfirmation: false
    // The screen's logic, for tests.
    readonly property alias controller: gameController

    objectName: "gameView"

    SoundManager {
        id: screenSounds
    }

    GameController {
        id: gameController
        objectName: "gameController"
        soundManager: screenSounds
    }

    // Play aids: the living clock with its low-time warning, move hints, the tray's steady
    // slots and the alert when my turn comes while the window is in the background.
    GameClock {
        id: gameClock
        soundManager: screenSounds
    }
    MoveHints {
        id: hints
        isEnabled: PlayAidSettings.moveHints
    }
    SteadyTray {
        id: steadyTray
        pieces: gameController.trayPieces
    }
    TurnAlert {
        objectName: "turnAlert"
        window: gameView.Window.window
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
            text: qsTr("Ładowanie gry...")
            color: Theme.gray
            font.pixelSize: 16
            font.weight: Font.Medium
        }
    }

    WaitingRoomView {
        anchors.fill: parent
        visible: gameView.status === GameStatus.Waiting
        gameState: gameView.gameState
    }

    GameFace {
        id: face
        anchors.fill: parent
        visible: gameView.hasState && gameView.status !== GameStatus.Waiting
        controller: gameController
        screenItem: gameView
        sounds: screenSounds
        gameState: gameView.gameState
        status: gameView.status
        trayColor: gameView.trayColor
        isMyTurn: gameView.isMyTurn
        clock: gameClock
        moveHints: hints
        traySlots: steadyTray.traySlots
        colorMarks: PlayAidSettings.colorMarks
        myColorNumber: BoardColors.colorNumber(gameView.myColor)
        onPassRequested: gameView.showPassConfirmation = true
        onLeaveRequested: leaveDialog.open()
    }

    DraggedPieceOverlay {
        anchors.fill: parent
        visible: piece !== null && piece !== undefined
        piece: gameController.floatingPiece
        pieceRotation: GameManager.selectedRotation
        location: gameController.dragLocation
        offset: gameController.dragOffset
        myColor: gameView.myColor
        unit: face.boardUnit
        isMouseDrag: gameController.isMouseDrag
        grabOffset: gameController.grabOffset
        cellSize: face.boardCellSize
        markNumber: PlayAidSettings.colorMarks ? BoardColors.colorNumber(gameView.myColor) : 0
    }

    PassDialog {
        visible: gameView.showPassConfirmation
        onClosed: gameView.showPassConfirmation = false
        onConfirmed: GameManager.passTurn()
    }

    LeaveDialog {
        id: leaveDialog
        onConfirmed: GameManager.leaveGame()
    }

    ErrorAlert {
        message: GameManager.errorMessage
        onAcknowledged: GameManager.errorMessage = ""
    }

    Shortcut {
        sequence: "R"
        enabled: gameView.status === GameStatus.InProgress && GameManager.selectedPieceId !== ""
        onActivated: gameController.rotate()
    }
    // [ and ]: the previous or next piece of the tray, from anywhere on the screen.
    Shortcut {
        sequence: "]"
        enabled: gameView.status === GameStatus.InProgress && !gameController.isOutOfMoves
        onActivated: gameController.selectNeighbourPiece(1)
    }
    Shortcut {
        sequence: "["
        enabled: gameView.status === GameStatus.InProgress && !gameController.isOutOfMoves
        onActivated: gameController.selectNeighbourPiece(-1)
    }
    // H: the cursor visits, one by one, the cells where the selected piece fits.
    Shortcut {
        sequence: "H"
        enabled: gameView.status === GameStatus.InProgress && GameManager.selectedPieceId !== ""
                 && !gameController.isOutOfMoves
        onActivated: {
            if (!gameController.isCursorActive) {
                face.focusBoard()
                if (gameController.isPreviewValid === true)
                    return
            }
            gameController.visitNextFit()
        }
    }
    Shortcut {
        sequence: "Escape"
        enabled: gameController.draggedPieceId !== ""
        onActivated: gameController.cancelDrag()
    }
}
