// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// Where the game server is: the one on this computer, or another one by its address, checked
// as it is typed and probed on demand. Opened from the login screen and from the settings.
Sheet {
    id: sheet

    // Which choice is marked; "Inny serwer" takes effect only with "Użyj tego serwera".
    property bool otherMarked: !ServerManager.usesLocalServer
    readonly property string typedProblem: ServerManager.addressProblem(addressField.text)
    readonly property bool isOverridden: ServerManager.overrideUrl.length > 0

    objectName: "serverSheet"
    title: qsTr("Serwer gry")

    onAboutToShow: {
        otherMarked = !ServerManager.usesLocalServer
        addressField.text = ServerManager.otherServerUrl
    }

    background: DiagonalGradient {
        startColor: "black"
        endColor: Qt.rgba(0.1, 0.1, 0.1, 1)
    }

    Flickable {
        anchors.fill: parent
        contentHeight: column.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollIndicator.vertical: ScrollIndicator {}

        Column {
            id: column
            width: Math.min(parent.width - 32, 560)
            x: (parent.width - width) / 2
            topPadding: 8
            bottomPadding: 32
            spacing: 16

            Text {
                objectName: "overrideNote"
                width: parent.width
                visible: sheet.isOverridden
                text: qsTr("Na czas tego uruchomienia adres serwera ustawia zmienna KORVANA_SERVER_URL: "
                           + "%1. Wybór poniżej zadziała przy następnym uruchomieniu bez tej zmiennej.")
                      .arg(ServerManager.overrideUrl)
                color: Theme.yellow
                font.pixelSize: 14
                wrapMode: Text.Wrap
            }

            ChoiceCard {
                objectName: "localChoice"
                title: qsTr("Na tym komputerze")
                detail: qsTr("Korvana sama uruchamia serwer i dba o niego. Gra z botami i ze "
                             + "znajomymi w tej samej sieci.")
                marked: !sheet.otherMarked
                onPicked: {
                    sheet.otherMarked = false
                    ServerManager.chooseLocalServer()
                }

                Text {
                    objectName: "localStatusText"
                    width: parent.width
                    visible: !sheet.isOverridden && ServerManager.usesLocalServer
                             && text.length > 0
                    text: ServerManager.localError.length > 0 ? ServerManager.localError
                          : ServerManager.isStarting ? ServerManager.localStatusText
                          : ServerManager.activeUrl.length > 0
                            ? qsTr("Działa pod adresem ") + ServerManager.activeUrl : ""
                    color: ServerManager.localError.length > 0 ? Theme.red : Theme.gray
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                SheetButton {
                    objectName: "retryLocalButton"
                    visible: !sheet.isOverridden && ServerManager.localError.length > 0
                    text: qsTr("Spróbuj ponownie")
                    onClicked: ServerManager.retryLocalServer()
                }
            }

            ChoiceCard {
                objectName: "otherChoice"
                title: qsTr("Inny serwer")
                detail: qsTr("Serwer znajomego w sieci lokalnej albo w internecie.")
                marked: sheet.otherMarked
                onPicked: {
                    sheet.otherMarked = true
                    addressField.forceActiveFocus()
                }

                GameTextField {
                    id: addressField
                    objectName: "serverAddressField"
                    width: parent.width
                    enabled: sheet.otherMarked
                    placeholderText: "http://192.168.1.20:8765"
                    Accessible.name: qsTr("Adres serwera")
                    inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoAutoUppercase
                                      | Qt.ImhNoPredictiveText
                    onAccepted: useButton.clicked()
                }
                Text {
                    objectName: "addressProblemText"
                    width: parent.width
                    visible: sheet.otherMarked && addressField.text.length > 0
                             && sheet.typedProblem.length > 0
                    text: sheet.typedProblem
                    color: Theme.red
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                Row {
                    spacing: 12
                    visible: sheet.otherMarked

                    SheetButton {
                        objectName: "probeButton"
                        text: qsTr("Sprawdź")
                        enabled: sheet.typedProblem.length === 0 && !ServerManager.isProbing
                        onClicked: ServerManager.probe(addressField.text)
                    }
                    SheetButton {
                        id: useButton
                        objectName: "useServerButton"
                        text: qsTr("Użyj tego serwera")
                        isPrimary: true
                        enabled: sheet.typedProblem.length === 0
                        onClicked: {
                            if (ServerManager.chooseOtherServer(addressField.text))
                                sheet.close()
                        }
                    }
                }
                Text {
                    objectName: "probeText"
                    width: parent.width
                    visible: sheet.otherMarked && text.length > 0
                    text: ServerManager.probeMessage
                    color: ServerManager.isProbing ? Theme.gray
                           : ServerManager.probeSucceeded ? Theme.green : Theme.orange
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
            }
        }
    }

    // One of the two choices: a round mark, a title and a line about it, then its own rows.
    component ChoiceCard: Rectangle {
        id: card
        property string title
        property string detail
        property bool marked: false
        default property alias rows: extra.data
        signal picked

        width: parent ? parent.width : 0
        height: content.implicitHeight
        radius: 12
        color: Theme.shade(0.15, 1)
        border.width: marked ? 2 : 0
        border.color: Theme.blue

        Column {
            id: content
            x: 16
            width: parent.width - 32
            topPadding: 14
            bottomPadding: 14
            spacing: 10

            AbstractButton {
                id: pick
                width: parent.width
                focusPolicy: Qt.StrongFocus
                Accessible.role: Accessible.RadioButton
                Accessible.name: card.title
                Accessible.checkable: true
                Accessible.checked: card.marked
                onClicked: card.picked()

                contentItem: Row {
                    spacing: 12
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 22
                        height: 22
                        radius: 11
                        color: "transparent"
                        border.width: 2
                        border.color: card.marked ? Theme.blue : Theme.gray
                        Rectangle {
                            anchors.centerIn: parent
                            width: 12
                            height: 12
                            radius: 6
                            visible: card.marked
                            color: Theme.blue
                        }
                    }
                    Column {
                        width: pick.width - 34
                        spacing: 2
                        Text {
                            text: card.title
                            color: Theme.white
                            font.pixelSize: 17
                            font.weight: Font.DemiBold
                            font.underline: pick.visualFocus
                        }
                        Text {
                            width: parent.width
                            text: card.detail
                            color: Theme.gray
                            font.pixelSize: 13
                            wrapMode: Text.Wrap
                        }
                    }
                }
            }
            Column {
                id: extra
                width: parent.width
                spacing: 10
            }
        }
    }

    component SheetButton: AbstractButton {
        id: button
        property bool isPrimary: false
        focusPolicy: Qt.StrongFocus
        leftPadding: 16
        rightPadding: 16
        topPadding: 10
        bottomPadding: 10
        opacity: enabled ? 1 : 0.4
        Accessible.name: text
        contentItem: Text {
            text: button.text
            color: Theme.white
            font.pixelSize: 15
            font.weight: Font.DemiBold
        }
        background: Rectangle {
            radius: 10
            color: button.isPrimary ? Theme.withAlpha(Theme.blue, button.pressed ? 0.6 : 1)
                                    : Theme.shade(button.pressed ? 0.35 : 0.25, 1)
            border.width: button.visualFocus ? 2 : 0
            border.color: Theme.white
        }
    }
}
