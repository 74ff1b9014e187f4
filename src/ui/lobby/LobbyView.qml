// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// The home screen of a signed-in player outside a game: greeting, connection badge, settings,
// a new game with an optional time limit, the player's own games and the open rooms.
Item {
    id: lobby

    // Seconds for the next new game, or null for no limit.
    property var selectedTimeLimit: null
    property bool showTimePicker: false
    property bool showSettings: false

    readonly property var user: AuthManager.currentUser
    readonly property bool hasUser: user !== undefined && user !== null
    readonly property var servers: GameManager.servers
    readonly property var fallbackTimeOptions: [
        { value: 0, label: qsTr("Bez limitu"), seconds: 0 },
        { value: 1, label: qsTr("5 minut"), seconds: 300 },
        { value: 2, label: qsTr("10 minut"), seconds: 600 },
        { value: 3, label: qsTr("15 minut"), seconds: 900 },
        { value: 4, label: qsTr("30 minut"), seconds: 1800 }
    ]
    readonly property var pickerOptions: GameManager.timeOptions.length > 0
                                         ? GameManager.timeOptions : fallbackTimeOptions
    readonly property alias activeGames: controller.activeGames
    readonly property string timeLimitLabel: selectedTimeLimit === null
                                             ? qsTr("Bez limitu czasu")
                                             : Format.timeLimit(selectedTimeLimit)

    objectName: "lobbyView"

    LobbyController {
        id: controller
        objectName: "lobbyController"
    }

    Component.onCompleted: {
        // The time limit chosen last, kept across sessions ("" for none).
        const lastLimit = KeyValueStore.stringOr("lastTimeLimit", "")
        if (lastLimit !== "" && !isNaN(Number(lastLimit)))
            selectedTimeLimit = Number(lastLimit)
        controller.appear()
        // The statistics may have changed since the sign-in (a game just ended).
        AuthManager.refreshCurrentUser()
    }
    Component.onDestruction: controller.disappear()

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0.03, 0.03, 0.08, 1) }
            GradientStop { position: 1; color: Qt.rgba(0.08, 0.06, 0.12, 1) }
        }
    }

    Flickable {
        id: scroller
        objectName: "lobbyScroller"
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        ScrollIndicator.vertical: ScrollIndicator {}

        Column {
            id: content
            // A readable column, centred in a wide window.
            width: Math.min(scroller.width - 32, 560)
            x: (scroller.width - width) / 2
            topPadding: 12
            bottomPadding: 40
            spacing: 20

            // Header: the player, the connection badge, settings and logout.
            RowLayout {
                width: parent.width
                spacing: 10

                // Takes the free width and shrinks (the texts elide) rather than push the
                // controls off a narrow screen.
                RowLayout {
                    visible: lobby.hasUser
                    Layout.fillWidth: true
                    // Room for the greeting's name; the badge's details give way first.
                    Layout.minimumWidth: 150
                    spacing: 12

                    Item {
                        Layout.preferredWidth: 40
                        Layout.preferredHeight: 40
                        // A circle turned by 45 degrees carries its top-to-bottom gradient
                        // from the top-left to the bottom-right.
                        Rectangle {
                            anchors.fill: parent
                            radius: 20
                            rotation: -45
                            gradient: Gradient {
                                GradientStop { position: 0; color: Theme.cyan }
                                GradientStop { position: 1; color: Theme.blue }
                            }
                        }
                        Text {
                            anchors.centerIn: parent
                            text: lobby.hasUser ? String(lobby.user.username).charAt(0).toUpperCase()
                                                : ""
                            color: Theme.white
                            font.pixelSize: 18
                            font.bold: true
                        }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2
                        // On a narrow header the name goes to a second line, and shrinks a little
                        // before it would ever be cut.
                        Text {
                            objectName: "greetingText"
                            Layout.fillWidth: true
                            text: lobby.hasUser ? qsTr("Witaj, %1!").arg(lobby.user.username) : ""
                            color: Theme.white
                            font.pixelSize: 18
                            font.bold: true
                            wrapMode: Text.Wrap
                            maximumLineCount: 2
                            fontSizeMode: Text.HorizontalFit
                            minimumPixelSize: 13
                            elide: Text.ElideRight
                        }
                        Text {
                            objectName: "statsText"
                            Layout.fillWidth: true
                            visible: lobby.hasUser && lobby.user.stats !== undefined
                            text: visible ? qsTr("%n gier", "", lobby.user.stats.gamesPlayed) + " • "
                                            + qsTr("%n wygranych", "", lobby.user.stats.gamesWon) : ""
                            color: Theme.gray
                            font.pixelSize: 11
                            elide: Text.ElideRight
                        }
                    }
                }
                Text {
                    visible: !lobby.hasUser
                    Layout.fillWidth: true
                    text: qsTr("Korvana")
                    color: Theme.white
                    font.pixelSize: 24
                    font.bold: true
                }
                ConnectionStatusView {
                    Layout.minimumWidth: implicitWidth
                    detailsMaximumWidth: lobby.width < 500 ? 70 : 240
                }
                IconButton {
                    objectName: "settingsButton"
                    padding: 10
                    symbol: "gearshape.fill"
                    symbolColor: Theme.gray
                    fill: Theme.shade(0.12, 1)
                    Accessible.name: qsTr("Ustawienia")
                    onClicked: lobby.showSettings = true
                }
                IconButton {
                    objectName: "logoutButton"
                    padding: 10
                    symbol: "rectangle.portrait.and.arrow.right"
                    symbolColor: Theme.withAlpha(Theme.red, 0.8)
                    fill: Theme.withAlpha(Theme.red, 0.15)
                    Accessible.name: qsTr("Wyloguj się")
                    onClicked: AuthManager.logout()
                }
            }

            // New game: the time limit and the start button.
            Card {
                radius: 18
                border.width: 1
                border.color: Theme.withAlpha(Theme.white, 0.05)
                spacing: 14

                AbstractButton {
                    id: timeRow
                    objectName: "timeLimitButton"
                    width: parent.width
                    leftPadding: 16
                    rightPadding: 16
                    topPadding: 12
                    bottomPadding: 12
                    focusPolicy: Qt.StrongFocus
                    Accessible.name: qsTr("Limit czasu: ") + lobby.timeLimitLabel
                    onClicked: lobby.showTimePicker = true

                    background: Rectangle {
                        radius: 12
                        color: Theme.shade(timeRow.pressed ? 0.14 : 0.1, 1)
                        border.width: 1
                        border.color: timeRow.visualFocus ? Theme.withAlpha(Theme.cyan, 0.6)
                                                          : Theme.withAlpha(Theme.white, 0.08)
                    }
                    contentItem: RowLayout {
                        spacing: 8
                        SymbolIcon {
                            name: "timer"
                            size: 14
                            color: Theme.cyan
                        }
                        Text {
                            objectName: "timeLimitText"
                            Layout.fillWidth: true
                            text: lobby.timeLimitLabel
                            color: Theme.white
                            font.pixelSize: 14
                            font.weight: Font.Medium
                        }
                        SymbolIcon {
                            name: "chevron.down"
                            size: 12
                            color: Theme.gray
                        }
                    }
                }

                Item {
                    width: parent.width
                    height: newGameButton.implicitHeight

                    SoftGlow {
                        anchors.fill: parent
                        color: Theme.withAlpha(Theme.green, 0.3)
                        glowRadius: 8
                        cornerRadius: 14
                        offsetY: 4
                    }
                    AbstractButton {
                        id: newGameButton
                        objectName: "newGameButton"
                        width: parent.width
                        topPadding: 16
                        bottomPadding: 16
                        enabled: !GameManager.isLoading
                        focusPolicy: Qt.StrongFocus
                        Accessible.name: qsTr("Nowa gra")
                        onClicked: GameManager.createSession(lobby.selectedTimeLimit)

                        background: Rectangle {
                            radius: 14
                            border.width: newGameButton.visualFocus ? 2 : 0
                            border.color: Theme.white
                            gradient: Gradient {
                                orientation: Gradient.Horizontal
                                GradientStop { position: 0; color: Theme.green }
                                GradientStop { position: 1; color: Qt.rgba(0.2, 0.65, 0.4, 1) }
                            }
                        }
                        contentItem: RowLayout {
                            spacing: 8
                            opacity: newGameButton.pressed ? 0.7 : 1
                            Item {
                                Layout.fillWidth: true
                            }
                            Spinner {
                                visible: GameManager.isLoading
                                Layout.preferredWidth: 16
                                Layout.preferredHeight: 16
                            }
                            SymbolIcon {
                                visible: !GameManager.isLoading
                                name: "play.fill"
                                size: 16
                            }
                            Text {
                                text: qsTr("Nowa gra")
                                color: Theme.white
                                font.pixelSize: 17
                                font.bold: true
                            }
                            Item {
                                Layout.fillWidth: true
                            }
                        }
                    }
                }
            }

            // The player's own games, only when there are some.
            Card {
                objectName: "activeGamesCard"
                visible: lobby.activeGames.count > 0

                CardHeader {
                    symbol: "gamecontroller.fill"
                    symbolColor: Theme.orange
                    title: qsTr("TWOJE GRY")
                    IconButton {
                        objectName: "refreshActiveGamesButton"
                        symbol: "arrow.clockwise"
                        symbolSize: 12
                        symbolColor: Theme.cyan
                        padding: 4
                        Accessible.name: qsTr("Odśwież twoje gry")
                        onClicked: controller.reloadActiveGames()
                    }
                }
                Repeater {
                    model: lobby.activeGames
                    ActiveGameRow {
                        required property var model
                        width: parent.width
                        game: model
                        onClicked: GameManager.rejoinGame(game.roomId)
                    }
                }
            }

            // The open rooms on the server.
            Card {
                objectName: "serversCard"

                CardHeader {
                    symbol: "server.rack"
                    symbolColor: Theme.cyan
                    title: qsTr("SERWERY")
                    CapsuleLabel {
                        objectName: "serverCountBadge"
                        text: lobby.servers.count
                        textColor: Theme.cyan
                        fillOpacity: 0.15
                        pixelSize: 11
                        horizontalPadding: 8
                        verticalPadding: 3
                    }
                    IconButton {
                        objectName: "refreshServersButton"
                        symbol: "arrow.clockwise"
                        symbolSize: 12
                        symbolColor: Theme.cyan
                        padding: 4
                        Accessible.name: qsTr("Odśwież serwery")
                        onClicked: GameManager.loadServers()
                    }
                }

                Row {
                    objectName: "serversLoading"
                    visible: GameManager.isLoading && lobby.servers.count === 0
                    anchors.horizontalCenter: parent.horizontalCenter
                    topPadding: 8
                    bottomPadding: 8
                    spacing: 8
                    Spinner {
                        color: Theme.cyan
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: qsTr("Ładowanie...")
                        color: Theme.gray
                        font.pixelSize: 13
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }

                Column {
                    objectName: "serversEmpty"
                    visible: !GameManager.isLoading && lobby.servers.count === 0
                    width: parent.width
                    topPadding: 12
                    bottomPadding: 12
                    spacing: 6
                    // While the list cannot be loaded, the card says so instead of advising a
                    // new game on a server that cannot be reached.
                    readonly property bool unavailable: GameManager.isServerListUnavailable
                    SymbolIcon {
                        anchors.horizontalCenter: parent.horizontalCenter
                        name: parent.unavailable ? "wifi.slash" : "tray"
                        size: 32
                        color: Theme.withAlpha(Theme.gray, 0.5)
                    }
                    Text {
                        objectName: "serversEmptyTitle"
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: parent.unavailable ? qsTr("Nie można pobrać listy gier")
                                                 : qsTr("Brak dostępnych serwerów")
                        color: Theme.gray
                        font.pixelSize: 14
                    }
                    Text {
                        objectName: "serversEmptyHint"
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: Math.min(implicitWidth, parent.width - 24)
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                        text: parent.unavailable
                              ? qsTr("Serwer nie odpowiada. Lista wróci sama, gdy połączenie zostanie przywrócone.")
                              : qsTr("Utwórz nową grę lub odśwież listę")
                        color: Theme.withAlpha(Theme.gray, 0.7)
                        font.pixelSize: 12
                    }
                }

                Repeater {
                    objectName: "serverRows"
                    model: lobby.servers
                    // Taps reach the lobby's controller from here, outside the delegate.
                    onItemAdded: (index, item) => {
                        const row = item as ServerRow
                        row.clicked.connect(() => controller.joinServer(row.server.roomId))
                    }
                    ServerRow {
                        required property var model
                        width: parent.width
                        server: model
                    }
                }
            }
        }
    }

    TimeLimitPickerView {
        visible: lobby.showTimePicker
        timeOptions: lobby.pickerOptions
        selectedTimeLimit: lobby.selectedTimeLimit
        onPicked: seconds => {
            lobby.selectedTimeLimit = seconds
            KeyValueStore.setString("lastTimeLimit", seconds === null ? "" : String(seconds))
        }
        onClosed: lobby.showTimePicker = false
    }

    SettingsView {
        visible: lobby.showSettings
        onClosed: lobby.showSettings = false
    }

    ErrorAlert {
        message: GameManager.errorMessage
        onAcknowledged: GameManager.errorMessage = ""
    }

    // A card of the lobby: a padded column on a dark rounded rectangle.
    component Card: Rectangle {
        default property alias rows: column.data
        property alias spacing: column.spacing

        width: parent ? parent.width : 0
        height: column.implicitHeight
        radius: 16
        color: Theme.shade(0.06, 1)

        Column {
            id: column
            x: 16
            width: parent.width - 32
            topPadding: 16
            bottomPadding: 16
            spacing: 12
        }
    }

    // A card's title line: symbol, title, a gap, then the controls given as children.
    component CardHeader: RowLayout {
        id: header
        property string symbol
        property color symbolColor
        property string title
        default property alias controls: trailing.data

        width: parent.width
        spacing: 6

        SymbolIcon {
            name: header.symbol
            size: 12
            color: header.symbolColor
        }
        Text {
            text: header.title
            color: Theme.gray
            font.pixelSize: 12
            font.bold: true
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }
        Item {
            Layout.fillWidth: true
        }
        Row {
            id: trailing
            spacing: 8
        }
    }
}
