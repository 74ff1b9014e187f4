// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana
import Korvana.Board

// The game itself: the header, the board with the dragged piece's preview and the tray while it
// runs, the results once it is over. In a tall window the board takes the width the height allows
// above the tray; in a wide one it sits at the left as large as the height allows, with header,
// tray and controls in a column at its right.
Item {
    id: face

    // The game screen's logic, the item its coordinates are in, and its sounds.
    property GameController controller
    property Item screenItem
    property SoundManager sounds
    property var gameState: ({})
    property int status: GameStatus.Unknown
    property color trayColor: Theme.white
    property bool isMyTurn: false
    // Play aids: the living clock, the move hints, the tray's steady slots and the colour-blind
    // marks of my colour (0: none known).
    property GameClock clock
    property MoveHints moveHints
    property var traySlots: []
    property bool colorMarks: false
    property int myColorNumber: 0
    signal passRequested
    signal leaveRequested

    readonly property bool isConnected: ConnectionManager.connectionStatus === ConnectionStatus.Connected
    readonly property bool isOutOfMoves: controller ? controller.isOutOfMoves : false
    readonly property bool isPlaying: status === GameStatus.InProgress
    // The final position stays in view under or beside the results.
    readonly property bool isFinished: status === GameStatus.Finished
    readonly property bool showsBoard: isPlaying || isFinished
    readonly property bool isWide: showsBoard && width > height
    readonly property real margin: 10
    // Wide: the column's width, what is left beside a board as tall as the window, within limits.
    readonly property real columnWidth: isWide ? Math.max(300, Math.min(560, width - height - 2 * margin))
                                               : width
    // Tall: a phone keeps its 320-point board; a wider window lets it grow with the width, as far
    // as the header above and a tray of three rows below allow.
    readonly property real boardSide: {
        if (isWide)
            return Math.max(0, Math.min(height - 2 * margin, width - columnWidth - 3 * margin))
        const phoneCap = 320 + Math.max(0, width - 430)
        const below = height - headerColumn.height - 2 * margin - tray.minimumHeight
        return Math.max(0, Math.min(width - 2 * margin, phoneCap, Math.max(0.45 * height, below)))
    }
    // The board's scale against the phone's: whatever is drawn in board units grows by it.
    readonly property real boardUnit: boardSide / 320
    readonly property real boardCellSize: board.cellSize
    // Wide: board and column side by side, centred together.
    readonly property real groupLeft: isWide ? Math.max(0, (width - boardSide - columnWidth - 3 * margin) / 2) : 0
    readonly property real columnLeft: isWide ? groupLeft + boardSide + 2 * margin : 0

    function updateBoardFrame() {
        if (board.visible && controller && screenItem)
            controller.boardFrame = board.mapToItem(screenItem, board.boardRect)
    }
    // The keyboard's way back to the tray and on to the board.
    function focusTray() {
        tray.focusTiles()
    }
    function focusBoard() {
        boardKeys.forceActiveFocus(Qt.TabFocusReason)
    }

    objectName: "gameFace"
    onWidthChanged: updateBoardFrame()
    onHeightChanged: updateBoardFrame()

    // Header and outage banner: across the top, or at the top of the column.
    Column {
        id: headerColumn
        // Tall: as wide as the board or the results below it, whichever is wider.
        x: face.isWide ? face.columnLeft + 12 : (face.width - width) / 2
        y: 4
        width: face.isWide ? face.columnWidth - 24
                           : Math.min(face.width - 24, Math.max(560, face.boardSide))
        spacing: 6
        onHeightChanged: face.updateBoardFrame()

        GameHeaderCard {
            id: header
            width: parent.width
            gameState: face.gameState
            myPlayerId: GameManager.myPlayerId
            timeRemaining: face.clock ? face.clock.secondsLeft : 0
            playerClocks: face.clock ? face.clock.playerClocks : ({})
            // Without the server the clock cannot be trusted: it shows as stopped.
            isClockPaused: face.clock ? face.clock.isPaused : !face.isConnected
            colorMarks: face.colorMarks
            isSoundEnabled: face.sounds ? face.sounds.isSoundEnabled : false
            onToggleSound: {
                if (face.sounds)
                    face.sounds.toggleSound()
            }
        }
        // While the server cannot be reached nothing on the board moves: say so, in the monitor's
        // words.
        OutageBanner {
            width: parent.width
            visible: !face.isConnected && face.status !== GameStatus.Finished
            isSendingMove: face.controller ? face.controller.isPlacing : false
        }
    }

    GameBoard {
        id: board
        objectName: "gameBoard"
        visible: face.showsBoard
        x: face.isWide ? face.groupLeft + face.margin : (face.width - width) / 2
        y: face.isWide ? (face.height - height) / 2 : headerColumn.y + headerColumn.height + 6 + 5
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
        moveHints: face.moveHints ? face.moveHints.cells : undefined
        lastMoveCells: face.controller ? face.controller.lastMoveCells : undefined
        lastMoveColor: face.controller ? face.controller.lastMoveColor : 0
        colorMarks: face.colorMarks
        myColorNumber: face.myColorNumber
        Accessible.ignored: true
        onCellTapped: (row, col) => face.controller.cellTapped(row, col)
        onBoardRectChanged: face.updateBoardFrame()
        onXChanged: face.updateBoardFrame()
        onYChanged: face.updateBoardFrame()
        onVisibleChanged: face.updateBoardFrame()
        Component.onCompleted: face.updateBoardFrame()

        // The board from the keyboard: Tab reaches it; the arrows move a cursor that shows the
        // selected piece green or red as a drag does, R turns it, Enter or Space places it and
        // Escape goes back to the tray.
        Item {
            id: boardKeys
            objectName: "boardKeys"
            anchors.fill: parent
            activeFocusOnTab: face.isPlaying
            Accessible.role: Accessible.Table
            Accessible.name: qsTr("Plansza") + (face.controller && face.controller.isCursorActive
                                          ? ". " + face.controller.cursorDescription : "")
            onActiveFocusChanged: {
                if (!face.controller)
                    return
                if (activeFocus)
                    face.controller.startCursor()
                else
                    face.controller.stopCursor()
            }
            Keys.onPressed: event => {
                switch (event.key) {
                case Qt.Key_Left:
                    face.controller.moveCursor(0, -1)
                    break
                case Qt.Key_Right:
                    face.controller.moveCursor(0, 1)
                    break
                case Qt.Key_Up:
                    face.controller.moveCursor(-1, 0)
                    break
                case Qt.Key_Down:
                    face.controller.moveCursor(1, 0)
                    break
                case Qt.Key_Return:
                case Qt.Key_Enter:
                case Qt.Key_Space:
                    if (face.controller.placeAtCursor())
                        face.focusTray()
                    break
                case Qt.Key_Escape:
                    face.focusTray()
                    break
                default:
                    return
                }
                event.accepted = true
            }

            Rectangle {
                anchors.fill: parent
                anchors.margins: -3
                visible: boardKeys.activeFocus
                color: "transparent"
                radius: 10 * face.boardUnit
                border.width: 2
                border.color: Theme.withAlpha(Theme.white, 0.7)
            }
        }
    }

    // What the others did when it leaves no piece behind: a pass or a seat that went out. It
    // shows for a few seconds over the board's top edge and is read out by screen readers.
    Rectangle {
        id: turnNotice
        objectName: "turnNotice"
        property string text: ""
        visible: text !== "" && face.isPlaying
        x: board.x + (board.width - width) / 2
        y: board.y + 8
        z: 2
        width: Math.min(board.width - 16, noticeText.implicitWidth + 24)
        height: noticeText.implicitHeight + 12
        radius: height / 2
        color: Theme.shade(0.12, 0.92)
        border.width: 1
        border.color: Theme.withAlpha(Theme.white, 0.2)
        Accessible.role: Accessible.AlertMessage
        Accessible.name: text

        Text {
            id: noticeText
            objectName: "turnNoticeText"
            anchors.centerIn: parent
            width: Math.min(implicitWidth, turnNotice.width - 24)
            text: turnNotice.text
            color: Theme.white
            font.pixelSize: 13
            font.bold: true
            elide: Text.ElideRight
        }
        Timer {
            id: noticeTimer
            interval: 3500
            onTriggered: turnNotice.text = ""
        }
        Connections {
            target: face.controller
            function onTurnNoticed() {
                turnNotice.text = face.controller.turnNotice
                noticeTimer.restart()
            }
        }
    }

    // Tall: the results over the final board, dimmed so that the cards read.
    Rectangle {
        objectName: "finalBoardDim"
        visible: face.isFinished && !face.isWide
        anchors.top: headerColumn.bottom
        anchors.topMargin: 6
        anchors.bottom: parent.bottom
        width: parent.width
        color: Qt.rgba(0, 0, 0, 0.78)
    }

    ResultsView {
        visible: face.status === GameStatus.Finished
        anchors.top: headerColumn.bottom
        anchors.topMargin: 6
        anchors.bottom: parent.bottom
        // Wide: in the column beside the board.
        x: face.isWide ? face.columnLeft : 0
        width: face.isWide ? face.columnWidth : parent.width
        gameState: face.gameState
        rankedPlayers: face.controller ? face.controller.rankedPlayers : []
    }

    TrayPanel {
        id: tray
        visible: face.isPlaying
        // Under the header's width, so that its buttons stay in reach in a broad window.
        x: headerColumn.x - 12
        y: face.isWide ? headerColumn.y + headerColumn.height : board.y + board.height + 5
        width: headerColumn.width + 24
        height: face.height - y
        controller: face.controller
        screenItem: face.screenItem
        trayColor: face.trayColor
        isMyTurn: face.isMyTurn
        isOutOfMoves: face.isOutOfMoves
        outOfGameNotice: face.controller ? face.controller.outOfGameNotice : ""
        // Tiles grow a little in a big window, up to half as large again.
        tileSide: Math.round(50 * Math.min(1.5, Math.max(1, (face.isWide ? face.height : face.width) / 600)))
        traySlots: face.traySlots
        unplayablePieceIds: face.moveHints ? face.moveHints.unplayablePieceIds : []
        markNumber: face.colorMarks ? face.myColorNumber : 0
        onPassRequested: face.passRequested()
        asksBeforeLeaving: face.isPlaying && !face.isOutOfMoves
                           && (face.gameState ? face.gameState.timeLimit > 0 : false)
        onLeaveRequested: face.leaveRequested()
        onPieceChosen: face.focusBoard()
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
