// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// A sheet: a page that slides up over the whole screen, with an inline title and a "Gotowe"
// button at the top right. "Gotowe", Escape and a tap on the dimmed strip above it close it.
Popup {
    id: sheet

    property string title
    property color doneColor: Theme.white
    // The sheet's page, below the title bar.
    default property alias content: body.data
    readonly property real topGap: 10

    parent: Overlay.overlay
    x: 0
    y: topGap
    width: parent ? parent.width : 0
    height: parent ? parent.height - topGap : 0
    modal: true
    focus: true
    padding: 0
    // Its page may paint past its edges (the diagonal background does).
    clip: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.5)
    }

    enter: Transition {
        NumberAnimation {
            property: "y"
            from: sheet.parent ? sheet.parent.height : 800
            to: sheet.topGap
            duration: 300
            easing.type: Easing.OutCubic
        }
    }
    exit: Transition {
        NumberAnimation {
            property: "y"
            to: sheet.parent ? sheet.parent.height : 800
            duration: 250
            easing.type: Easing.InCubic
        }
    }

    // The one child is the sheet's page: a title bar above the body.
    Item {
        anchors.fill: parent

        // Over the page's readable column in a wide window, so that "Gotowe" stays near it.
        Item {
            id: titleBar
            width: Math.min(parent.width, 600)
            x: (parent.width - width) / 2
            height: 52

            Text {
                anchors.centerIn: parent
                text: sheet.title
                color: Theme.white
                font.pixelSize: 17
                font.weight: Font.DemiBold
                Accessible.role: Accessible.TitleBar
                Accessible.name: sheet.title
            }
            AbstractButton {
                id: doneButton
                objectName: "doneButton"
                anchors.right: parent.right
                anchors.rightMargin: 16
                anchors.verticalCenter: parent.verticalCenter
                padding: 6
                focusPolicy: Qt.StrongFocus
                Accessible.name: qsTr("Gotowe")
                background: Rectangle {
                    radius: 8
                    color: "transparent"
                    border.width: doneButton.visualFocus ? 2 : 0
                    border.color: Theme.withAlpha(Theme.white, 0.7)
                }
                contentItem: Text {
                    text: qsTr("Gotowe")
                    color: sheet.doneColor
                    opacity: doneButton.pressed ? 0.5 : 1
                    font.pixelSize: 17
                    font.weight: Font.DemiBold
                }
                onClicked: sheet.close()
            }
        }
        Item {
            id: body
            anchors.top: titleBar.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
        }
    }
}
