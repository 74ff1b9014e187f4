// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// A symbol as a button, optionally on a filled circle.
AbstractButton {
    id: button

    property string symbol
    property real symbolSize: 14
    property color symbolColor: Theme.white
    property color fill: "transparent"

    padding: 0
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.5
    implicitWidth: Math.max(leftPadding + rightPadding + implicitContentWidth, implicitHeight)
    implicitHeight: topPadding + bottomPadding + implicitContentHeight

    contentItem: SymbolIcon {
        name: button.symbol
        size: button.symbolSize
        color: button.symbolColor
        opacity: button.pressed ? 0.5 : 1
    }
    background: Rectangle {
        radius: height / 2
        color: button.fill
        border.width: button.visualFocus ? 1 : 0
        border.color: Theme.withAlpha(Theme.white, 0.6)
    }
}
