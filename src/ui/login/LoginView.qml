// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// Sign-in and registration in one form. It only collects what the player typed and hands it to
// the auth manager unchanged; the manager's busy state and error text are shown here.
Item {
    id: login

    property bool isLoginMode: true
    property alias email: emailField.text
    property alias password: passwordField.text
    property alias username: usernameField.text

    function submit() {
        if (AuthManager.isLoading)
            return
        if (isLoginMode)
            AuthManager.login(email, password)
        else
            AuthManager.registerUser(username, email, password)
    }

    objectName: "loginView"

    Component.onCompleted: emailField.forceActiveFocus()

    DiagonalGradient {
        anchors.fill: parent
        startColor: "black"
        endColor: Qt.rgba(0.1, 0.1, 0.1, 1)
    }

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        ScrollIndicator.vertical: ScrollIndicator {}

        Column {
            id: column
            // A readable form, centred in a wide window.
            width: Math.min(parent.width - 40, 480)
            x: (parent.width - width) / 2
            spacing: 24

            Column {
                width: parent.width
                topPadding: 60
                bottomPadding: 40
                spacing: 8

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "🎮"
                    font.pixelSize: 64
                    Accessible.ignored: true
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("Korvana")
                    color: Theme.white
                    font.pixelSize: 36
                    font.bold: true
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }
            }

            Column {
                id: form
                x: 32
                width: parent.width - 64
                spacing: 20

                Item {
                    width: parent.width
                    height: loginModeButton.implicitHeight

                    Rectangle {
                        anchors.fill: parent
                        radius: 10
                        color: Theme.shade(0.15, 1)
                    }
                    // The active half: rounded on the outer side only, like a clipped segment.
                    Rectangle {
                        x: login.isLoginMode ? 0 : parent.width / 2
                        width: parent.width / 2
                        height: parent.height
                        radius: 10
                        color: Theme.blue
                        Rectangle {
                            x: login.isLoginMode ? parent.width - width : 0
                            width: 10
                            height: parent.height
                            color: Theme.blue
                        }
                    }
                    Row {
                        anchors.fill: parent

                        ModeButton {
                            id: loginModeButton
                            objectName: "loginModeButton"
                            text: qsTr("Logowanie")
                            isActive: login.isLoginMode
                            onClicked: login.isLoginMode = true
                        }
                        ModeButton {
                            objectName: "registerModeButton"
                            text: qsTr("Rejestracja")
                            isActive: !login.isLoginMode
                            onClicked: login.isLoginMode = false
                        }
                    }
                }

                GameTextField {
                    id: usernameField
                    objectName: "usernameField"
                    width: parent.width
                    visible: !login.isLoginMode
                    placeholderText: qsTr("Nazwa użytkownika")
                    inputMethodHints: Qt.ImhNoPredictiveText
                    onAccepted: login.submit()
                }
                GameTextField {
                    id: emailField
                    objectName: "emailField"
                    width: parent.width
                    placeholderText: qsTr("Email")
                    inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase
                    onAccepted: login.submit()
                }
                GameTextField {
                    id: passwordField
                    objectName: "passwordField"
                    width: parent.width
                    placeholderText: qsTr("Hasło")
                    echoMode: TextInput.Password
                    inputMethodHints: Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
                    onAccepted: login.submit()
                }

                // A stored sign-in waits for the server; it is retried when the server answers.
                Text {
                    objectName: "restoreText"
                    width: parent.width
                    visible: AuthManager.restoreMessage.length > 0
                    leftPadding: 16
                    rightPadding: 16
                    text: AuthManager.restoreMessage
                    color: Theme.yellow
                    font.pixelSize: 14
                    wrapMode: Text.Wrap
                }

                Text {
                    objectName: "errorText"
                    width: parent.width
                    visible: AuthManager.errorMessage.length > 0
                    leftPadding: 16
                    rightPadding: 16
                    text: AuthManager.errorMessage
                    color: Theme.red
                    font.pixelSize: 14
                    wrapMode: Text.Wrap
                }

                AbstractButton {
                    id: submitButton
                    objectName: "submitButton"
                    width: parent.width
                    enabled: !AuthManager.isLoading
                    topPadding: 16
                    bottomPadding: 16
                    text: login.isLoginMode ? qsTr("Zaloguj się") : qsTr("Zarejestruj się")
                    Accessible.name: text
                    onClicked: login.submit()
                    Keys.onReturnPressed: login.submit()
                    Keys.onEnterPressed: login.submit()

                    contentItem: Text {
                        text: submitButton.text
                        color: Theme.white
                        font.pixelSize: 18
                        font.weight: Font.DemiBold
                        horizontalAlignment: Text.AlignHCenter
                        opacity: submitButton.pressed ? 0.7 : 1
                    }
                    background: Rectangle {
                        objectName: "submitBackground"
                        radius: 12
                        color: AuthManager.isLoading ? Theme.gray : Theme.blue
                        border.width: submitButton.visualFocus ? 2 : 0
                        border.color: Theme.white
                    }
                }

                // Which server the form talks to; a tap opens the choice.
                AbstractButton {
                    id: serverRow
                    objectName: "serverRow"
                    width: parent.width
                    topPadding: 6
                    bottomPadding: 6
                    focusPolicy: Qt.StrongFocus
                    text: qsTr("Serwer: ") + ServerManager.summary
                    Accessible.name: text
                    onClicked: serverSheet.open()

                    contentItem: Row {
                        spacing: 6
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "server.rack"
                            size: 16
                            color: Theme.gray
                        }
                        Text {
                            objectName: "serverSummaryText"
                            width: Math.min(implicitWidth, serverRow.availableWidth - 44)
                            anchors.verticalCenter: parent.verticalCenter
                            text: serverRow.text
                            color: Theme.gray
                            font.pixelSize: 14
                            font.underline: serverRow.visualFocus
                            elide: Text.ElideMiddle
                        }
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "chevron.right"
                            size: 16
                            color: Theme.blue
                        }
                    }
                }
                // The server on this computer is coming up, or could not.
                Text {
                    objectName: "serverStatusText"
                    width: parent.width
                    visible: text.length > 0
                    text: ServerManager.localError.length > 0 ? ServerManager.localError
                          : ServerManager.isStarting ? ServerManager.localStatusText : ""
                    color: ServerManager.localError.length > 0 ? Theme.red : Theme.gray
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                AbstractButton {
                    id: retryButton
                    objectName: "retryServerButton"
                    visible: ServerManager.localError.length > 0
                    padding: 8
                    focusPolicy: Qt.StrongFocus
                    text: qsTr("Spróbuj ponownie")
                    Accessible.name: text
                    onClicked: ServerManager.retryLocalServer()
                    contentItem: Text {
                        text: retryButton.text
                        color: Theme.blue
                        font.pixelSize: 15
                        font.weight: Font.DemiBold
                        font.underline: retryButton.visualFocus
                    }
                }
            }
        }
    }

    ServerSheet {
        id: serverSheet
    }

    component ModeButton: AbstractButton {
        id: modeButton
        property bool isActive: false
        width: parent.width / 2
        topPadding: 12
        bottomPadding: 12
        Accessible.name: text
        Accessible.checkable: true
        Accessible.checked: isActive
        contentItem: Text {
            text: modeButton.text
            color: modeButton.isActive ? Theme.white : Theme.gray
            font.pixelSize: 16
            font.weight: Font.DemiBold
            font.underline: modeButton.visualFocus
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
