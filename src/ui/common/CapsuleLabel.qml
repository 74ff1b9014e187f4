// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// A short bold text on a capsule of its own colour, e.g. the "PEŁNY" badge.
Rectangle {
    id: capsule

    property alias text: label.text
    property color textColor: Theme.white
    property real fillOpacity: 0.2
    property real pixelSize: 9
    property real horizontalPadding: 8
    property real verticalPadding: 4

    implicitWidth: label.implicitWidth + 2 * horizontalPadding
    implicitHeight: label.implicitHeight + 2 * verticalPadding
    radius: height / 2
    color: Theme.withAlpha(textColor, fillOpacity)

    Text {
        id: label
        anchors.centerIn: parent
        color: capsule.textColor
        font.pixelSize: capsule.pixelSize
        font.bold: true
    }
}
