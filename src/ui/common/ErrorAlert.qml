// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// The "Błąd" alert: shown while message is not empty; "OK" (or Enter, or Escape) acknowledges it.
Popup {
    id: alert

    property string message
    signal acknowledged

    objectName: "errorAlert"
    parent: Overlay.overlay
    visible: message.length > 0
    anchors.centerIn: parent
    width: 270
    modal: true
    focus: true
    padding: 0
    closePolicy: Popup.CloseOnEscape
    onClosed: {
        if (message.length > 0)
            acknowledged()
    }
    // "OK" takes the keyboard at once: Enter, Space or Escape acknowledge the alert.
    onOpened: okButton.forceActiveFocus(Qt.TabFocusReason)

    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.4)
    }

    background: Rectangle {
        radius: 14
        color: Theme.shade(0.17, 0.98)
    }

    // The one child is the alert's content; the popup takes its size.
    Column {
        width: parent.width
        Accessible.role: Accessible.AlertMessage
        Accessible.name: qsTr("Błąd")
        Accessible.description: alert.message

        Column {
            width: parent.width
            topPadding: 19
            bottomPadding: 19
            leftPadding: 16
            rightPadding: 16
            spacing: 4

            Text {
                width: parent.width - 32
                text: qsTr("Błąd")
                color: Theme.white
                font.pixelSize: 17
                font.weight: Font.DemiBold
                horizontalAlignment: Text.AlignHCenter
            }
            Text {
                objectName: "errorAlertMessage"
                width: parent.width - 32
                text: alert.message
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
        AbstractButton {
            id: okButton
            objectName: "errorAlertOk"
            width: parent.width
            height: 44
            focusPolicy: Qt.StrongFocus
            Accessible.name: qsTr("OK")
            contentItem: Text {
                text: qsTr("OK")
                color: Theme.blue
                font.pixelSize: 17
                font.weight: Font.DemiBold
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            background: Rectangle {
                color: okButton.pressed ? Theme.shade(1, 0.08) : "transparent"
                radius: 14
                border.width: okButton.visualFocus ? 2 : 0
                border.color: Theme.withAlpha(Theme.white, 0.6)
            }
            onClicked: alert.acknowledged()
        }
    }
}
