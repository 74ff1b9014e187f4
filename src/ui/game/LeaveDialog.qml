// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// Asked before leaving a timed game: the seat stays and its clock keeps running. "Zostań" (or
// Escape) closes it; "Opuść grę" closes it and confirms.
Popup {
    id: dialog

    signal confirmed

    objectName: "leaveDialog"
    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 290
    modal: true
    focus: true
    padding: 0
    closePolicy: Popup.CloseOnEscape
    // The safe answer has the keyboard.
    onOpened: stayButton.forceActiveFocus(Qt.TabFocusReason)

    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.4)
    }

    background: Rectangle {
        radius: 14
        color: Theme.shade(0.17, 0.98)
    }

    Column {
        width: parent.width
        Accessible.role: Accessible.Dialog
        Accessible.name: title.text
        Accessible.description: message.text
        Column {
            width: parent.width
            topPadding: 19
            bottomPadding: 19
            leftPadding: 16
            rightPadding: 16
            spacing: 4

            Text {
                id: title
                width: parent.width - 32
                text: qsTr("Opuścić grę?")
                color: Theme.white
                font.pixelSize: 17
                font.weight: Font.DemiBold
                horizontalAlignment: Text.AlignHCenter
            }
            Text {
                id: message
                objectName: "leaveDialogMessage"
                width: parent.width - 32
                text: qsTr("Twój zegar będzie biegł dalej, a gdy czas się skończy, wypadniesz z gry. Możesz wrócić do niej z lobby.")
                color: Theme.white
                font.pixelSize: 13
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
            }
        }
        Rectangle {
            width: parent.width
            height: 1
            color: Theme.shade(0.3, 0.6)
        }
        Row {
            width: parent.width
            height: 44

            DialogButton {
                id: stayButton
                objectName: "leaveStayButton"
                width: (parent.width - 1) / 2
                text: qsTr("Zostań")
                bold: true
                onClicked: dialog.close()
            }
            Rectangle {
                width: 1
                height: parent.height
                color: Theme.shade(0.3, 0.6)
            }
            DialogButton {
                objectName: "leaveConfirmButton"
                width: (parent.width - 1) / 2
                text: qsTr("Opuść grę")
                textColor: Theme.red
                onClicked: {
                    dialog.close()
                    dialog.confirmed()
                }
            }
        }
    }

    component DialogButton: AbstractButton {
        id: button
        property bool bold: false
        property color textColor: Theme.blue
        height: parent.height
        focusPolicy: Qt.StrongFocus
        Accessible.name: text
        contentItem: Text {
            text: button.text
            color: button.textColor
            font.pixelSize: 17
            font.weight: button.bold ? Font.DemiBold : Font.Normal
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            color: button.pressed ? Theme.shade(1, 0.08) : "transparent"
            border.width: button.visualFocus ? 1 : 0
            border.color: Theme.withAlpha(Theme.white, 0.5)
        }
    }
}
