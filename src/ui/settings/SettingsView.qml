// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// The settings sheet: the connection with a manual re-check, the account, three stored switches,
// the language, about, and logout.
Sheet {
    id: settings

    objectName: "settingsView"
    title: qsTr("Ustawienia")
    doneColor: Theme.white

    background: DiagonalGradient {
        startColor: "black"
        endColor: Qt.rgba(0.1, 0.1, 0.1, 1)
    }

    readonly property var user: AuthManager.currentUser
    readonly property bool hasUser: user !== undefined && user !== null
    readonly property date lastUpdate: ConnectionManager.lastUpdate
    readonly property bool hasLastUpdate: !isNaN(lastUpdate.getTime())
    // The device's own short time; a machine without a locale ("C", which shows seconds) gets
    // the Polish one of the rest of the screen.
    readonly property var timeLocale: Qt.locale().name === "C" ? Qt.locale("pl_PL") : Qt.locale() // notr: a locale name

    Flickable {
        anchors.fill: parent
        contentHeight: cards.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollIndicator.vertical: ScrollIndicator {}

        Column {
            id: cards
            width: Math.min(parent.width - 32, 560)
            x: (parent.width - width) / 2
            topPadding: 8
            bottomPadding: 32
            spacing: 24

            SettingsCard {
                heading: qsTr("Status połączenia")

                RowLayout {
                    width: parent.width
                    ConnectionStatusView {}
                    Item {
                        Layout.fillWidth: true
                    }
                    IconButton {
                        objectName: "checkConnectionButton"
                        padding: 6
                        symbol: "arrow.clockwise"
                        symbolSize: 14
                        symbolColor: Theme.blue
                        Accessible.name: qsTr("Sprawdź połączenie")
                        onClicked: ConnectionManager.checkConnection()
                    }
                }
                Text {
                    objectName: "lastUpdateText"
                    visible: settings.hasLastUpdate
                    text: visible ? qsTr("Ostatnia aktualizacja: ")
                                    + settings.lastUpdate.toLocaleTimeString(settings.timeLocale,
                                                                             Locale.ShortFormat)
                                  : ""
                    color: Theme.gray
                    font.pixelSize: 12
                }
            }

            SettingsCard {
                objectName: "serverCard"
                heading: qsTr("Serwer")

                RowLayout {
                    width: parent.width
                    Text {
                        objectName: "settingsServerText"
                        Layout.fillWidth: true
                        text: qsTr("Serwer: ") + ServerManager.summary
                        color: Theme.white
                        font.pixelSize: 15
                        elide: Text.ElideMiddle
                    }
                    AbstractButton {
                        id: changeServerButton
                        objectName: "changeServerButton"
                        padding: 6
                        focusPolicy: Qt.StrongFocus
                        text: qsTr("Zmień")
                        Accessible.name: qsTr("Zmień serwer")
                        onClicked: serverSheet.open()
                        contentItem: Text {
                            text: changeServerButton.text
                            color: Theme.blue
                            font.pixelSize: 15
                            font.weight: Font.DemiBold
                            font.underline: changeServerButton.visualFocus
                        }
                    }
                }
                Text {
                    width: parent.width
                    visible: text.length > 0
                    text: ServerManager.localError.length > 0 ? ServerManager.localError
                          : ServerManager.isStarting ? ServerManager.localStatusText : ""
                    color: ServerManager.localError.length > 0 ? Theme.red : Theme.gray
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                SettingSwitch {
                    objectName: "shareOnLanSwitch"
                    text: qsTr("Udostępnij w sieci lokalnej")
                    enabled: ServerManager.usesLocalServer && ServerManager.overrideUrl.length === 0
                    opacity: enabled ? 1 : 0.5
                    checked: ServerManager.shareOnLan
                    onToggled: ServerManager.shareOnLan = checked
                }
                Text {
                    objectName: "lanHintText"
                    width: parent.width
                    visible: ServerManager.lanAddresses.length > 0
                    text: qsTr("Inni gracze w tej sieci wpisują w „Inny serwer”:")
                    color: Theme.gray
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                Repeater {
                    model: ServerManager.lanAddresses
                    delegate: TextEdit {
                        required property string modelData
                        objectName: "lanAddressText"
                        text: modelData
                        readOnly: true
                        selectByMouse: true
                        color: Theme.cyan
                        font.pixelSize: 16
                        font.family: Theme.monoFamily
                    }
                }
            }

            SettingsCard {
                objectName: "accountCard"
                visible: settings.hasUser
                heading: qsTr("Konto")

                RowLayout {
                    width: parent.width
                    Column {
                        Layout.fillWidth: true
                        spacing: 2
                        Text {
                            objectName: "usernameText"
                            width: parent.width
                            text: settings.hasUser ? settings.user.username : ""
                            color: Theme.white
                            font.pixelSize: 16
                            font.weight: Font.DemiBold
                            elide: Text.ElideRight
                        }
                        Text {
                            width: parent.width
                            text: settings.hasUser ? settings.user.email : ""
                            color: Theme.gray
                            font.pixelSize: 14
                            elide: Text.ElideRight
                        }
                    }
                    Rectangle {
                        objectName: "adminBadge"
                        visible: settings.hasUser && settings.user.role === "admin"
                        implicitWidth: adminText.implicitWidth + 16
                        implicitHeight: adminText.implicitHeight + 8
                        radius: 6
                        color: Theme.withAlpha(Theme.red, 0.7)
                        Text {
                            id: adminText
                            anchors.centerIn: parent
                            text: qsTr("ADMIN")
                            color: Theme.white
                            font.pixelSize: 10
                            font.bold: true
                        }
                    }
                }
            }

            SettingsCard {
                heading: qsTr("Ustawienia gry")
                spacing: 16

                StoredSwitch {
                    objectName: "soundSwitch"
                    text: qsTr("Dźwięki")
                    key: "soundEnabled"
                }
                StoredSwitch {
                    objectName: "notificationsSwitch"
                    text: qsTr("Powiadomienia")
                    key: "notificationsEnabled"
                }
                StoredSwitch {
                    objectName: "autoReconnectSwitch"
                    text: qsTr("Automatyczne ponowne połączenie")
                    key: "autoReconnect"
                }
                SettingSwitch {
                    objectName: "moveHintsSwitch"
                    text: qsTr("Podpowiedzi ruchów")
                    checked: PlayAidSettings.moveHints
                    onToggled: PlayAidSettings.moveHints = checked
                }
                SettingSwitch {
                    objectName: "colorMarksSwitch"
                    text: qsTr("Oznaczenia kolorów")
                    checked: PlayAidSettings.colorMarks
                    onToggled: PlayAidSettings.colorMarks = checked
                }
            }

            SettingsCard {
                objectName: "languageCard"
                heading: qsTr("Język")

                Row {
                    spacing: 8
                    // Each language is named in itself, whichever is shown.
                    LanguageButton {
                        objectName: "polishButton"
                        code: "pl"
                        text: "Polski" // notr: a language's own name
                    }
                    LanguageButton {
                        objectName: "englishButton"
                        code: "en"
                        text: "English" // notr: a language's own name
                    }
                }
            }

            SettingsCard {
                heading: qsTr("O aplikacji")

                Text {
                    text: qsTr("Korvana v1.0")
                    color: Theme.gray
                    font.pixelSize: 14
                }
                Text {
                    text: qsTr("Strategiczna gra planszowa")
                    color: Theme.gray
                    font.pixelSize: 14
                }
            }

            AbstractButton {
                id: logoutButton
                objectName: "settingsLogoutButton"
                width: parent.width
                padding: 14
                focusPolicy: Qt.StrongFocus
                Accessible.name: qsTr("Wyloguj się")
                onClicked: {
                    AuthManager.logout()
                    settings.close()
                }

                background: Rectangle {
                    radius: 10
                    color: Theme.withAlpha(Theme.red, logoutButton.pressed ? 0.5 : 0.7)
                    border.width: logoutButton.visualFocus ? 2 : 0
                    border.color: Theme.white
                }
                contentItem: RowLayout {
                    spacing: 8
                    Item {
                        Layout.fillWidth: true
                    }
                    SymbolIcon {
                        name: "rectangle.portrait.and.arrow.right"
                        size: 16
                    }
                    Text {
                        text: qsTr("Wyloguj się")
                        color: Theme.white
                        font.pixelSize: 16
                        font.weight: Font.DemiBold
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                }
            }
        }
    }

    ServerSheet {
        id: serverSheet
    }

    // A card: a bold heading, then the rows given as children, on a dark rounded rectangle.
    component SettingsCard: Rectangle {
        id: card
        property string heading
        property alias spacing: column.spacing
        default property alias rows: column.data

        width: parent ? parent.width : 0
        height: column.implicitHeight
        radius: 12
        color: Theme.shade(0.15, 1)

        Column {
            id: column
            x: 16
            width: parent.width - 32
            topPadding: 16
            bottomPadding: 16
            spacing: 12

            Text {
                text: card.heading
                color: Theme.white
                font.pixelSize: 18
                font.bold: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }
        }
    }

    // One language of the choice: a capsule, filled while it is the one in use.
    component LanguageButton: AbstractButton {
        id: languageButton
        property string code
        readonly property bool isCurrent: Language.code === code

        padding: 8
        leftPadding: 16
        rightPadding: 16
        focusPolicy: Qt.StrongFocus
        checkable: false
        Accessible.role: Accessible.RadioButton
        Accessible.name: text
        Accessible.checked: isCurrent
        onClicked: Language.code = code

        background: Rectangle {
            radius: height / 2
            color: languageButton.isCurrent ? Theme.blue : Theme.shade(0.3, 1)
            border.width: languageButton.visualFocus ? 2 : 0
            border.color: Theme.white
        }
        contentItem: Text {
            text: languageButton.text
            color: Theme.white
            font.pixelSize: 15
            font.weight: languageButton.isCurrent ? Font.DemiBold : Font.Normal
        }
    }

    // A switch kept in the key-value store under key; true until first written.
    component StoredSwitch: SettingSwitch {
        property string key

        checked: KeyValueStore.booleanOr(key, true)
        onToggled: KeyValueStore.setBoolean(key, checked)
    }

    // The switches' look: the label on the left, the track on the right.
    component SettingSwitch: Switch {
        id: storedSwitch

        width: parent.width
        padding: 0
        Accessible.name: text

        contentItem: Text {
            rightPadding: storedSwitch.indicator.width + 8
            text: storedSwitch.text
            color: Theme.white
            font.pixelSize: 17
            verticalAlignment: Text.AlignVCenter
            wrapMode: Text.Wrap
        }
        indicator: Rectangle {
            x: storedSwitch.width - width
            y: (storedSwitch.height - height) / 2
            implicitWidth: 51
            implicitHeight: 31
            radius: height / 2
            color: storedSwitch.checked ? Theme.green : Theme.shade(0.3, 1)
            border.width: storedSwitch.visualFocus ? 2 : 0
            border.color: Theme.white
            Behavior on color {
                ColorAnimation { duration: 150 }
            }
            Rectangle {
                x: storedSwitch.checked ? parent.width - width - 2 : 2
                y: 2
                width: 27
                height: 27
                radius: 13.5
                color: "white"
                Behavior on x {
                    NumberAnimation { duration: 150; easing.type: Easing.OutCubic }
                }
            }
        }
    }
}
