// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// "Pomijasz turę?": "Anuluj" (or Escape) closes it, "Tak, pomijam" closes it and confirms.
Popup {
    id: dialog

    signal confirmed

    objectName: "passDialog"
    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 270
    modal: true
    focus: true
    padding: 0
    closePolicy: Popup.CloseOnEscape
    // The safe answer has the keyboard: Enter right away keeps the turn.
    onOpened: cancelButton.forceActiveFocus(Qt.TabFocusReason)

    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.4)
    }

    background: Rectangle {
        radius: 14
        color: Theme.shade(0.17, 0.98)
    }

    // The one child is the dialog's content; the popup takes its size.
    Column {
        width: parent.width
        Accessible.role: Accessible.Dialog
        Accessible.name: qsTr("Pomijasz turę?")
        Column {
            width: parent.width
            topPadding: 19
            bottomPadding: 19
            leftPadding: 16
            rightPadding: 16
            spacing: 4

            Text {
                width: parent.width - 32
                text: qsTr("Pomijasz turę?")
                color: Theme.white
                font.pixelSize: 17
                font.weight: Font.DemiBold
                horizontalAlignment: Text.AlignHCenter
            }
            Text {
                width: parent.width - 32
                text: qsTr("Czy na pewno chcesz pominąć swoją turę?")
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
                id: cancelButton
                objectName: "passCancelButton"
                width: (parent.width - 1) / 2
                text: qsTr("Anuluj")
                bold: true
                onClicked: dialog.close()
            }
            Rectangle {
                width: 1
                height: parent.height
                color: Theme.shade(0.3, 0.6)
            }
            DialogButton {
                objectName: "passConfirmButton"
                width: (parent.width - 1) / 2
                text: qsTr("Tak, pomijam")
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
        height: parent.height
        focusPolicy: Qt.StrongFocus
        Accessible.name: text
        contentItem: Text {
            text: button.text
            color: Theme.blue
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
