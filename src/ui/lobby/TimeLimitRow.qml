// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// One row of the time-limit sheet: its label and, when it is the stored choice, a check mark.
AbstractButton {
    id: timeRow

    property string label
    property var seconds: null
    property bool isSelected: false

    width: parent ? parent.width : 0
    leftPadding: 16
    rightPadding: 16
    topPadding: 14
    bottomPadding: 14
    focusPolicy: Qt.StrongFocus
    Accessible.name: label
    Accessible.checkable: true
    Accessible.checked: isSelected
    // Up and down go from row to row, as in a list.
    Keys.onUpPressed: step(false)
    Keys.onDownPressed: step(true)

    function step(forward) {
        const next = nextItemInFocusChain(forward)
        if (next && (next.objectName === "timeOptionRow" || next.objectName === "noLimitRow"))
            next.forceActiveFocus(Qt.TabFocusReason)
    }

    background: Rectangle {
        radius: 12
        color: timeRow.isSelected ? Theme.withAlpha(Theme.green, 0.15)
                                  : Theme.shade(timeRow.pressed ? 0.14 : 0.1, 1)
        // A clear ring for the keyboard's row.
        border.width: timeRow.visualFocus ? 2 : 0
        border.color: Theme.white
    }
    contentItem: RowLayout {
        Text {
            Layout.fillWidth: true
            text: timeRow.label
            color: Theme.white
            font.pixelSize: 16
            font.weight: Font.Medium
        }
        SymbolIcon {
            visible: timeRow.isSelected
            name: "checkmark.circle.fill"
            size: 20
            color: Theme.green
        }
    }
}
