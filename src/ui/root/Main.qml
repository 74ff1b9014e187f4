// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// The client's one window: phone-sized, resizable, always dark, whatever the desktop's theme.
ApplicationWindow {
    id: window

    width: 390
    height: 844
    minimumWidth: 320
    minimumHeight: 480
    visible: true
    title: qsTr("Korvana")
    color: "black"

    palette.window: "black"
    palette.windowText: Theme.white
    palette.base: Theme.shade(0.15, 1)
    palette.alternateBase: Theme.shade(0.1, 1)
    palette.text: Theme.white
    palette.button: Theme.shade(0.2, 1)
    palette.buttonText: Theme.white
    palette.brightText: Theme.white
    palette.highlight: Theme.blue
    palette.highlightedText: Theme.white
    palette.placeholderText: Theme.gray
    palette.mid: Theme.shade(0.3, 1)
    palette.dark: Theme.shade(0.1, 1)
    palette.light: Theme.shade(0.35, 1)
    palette.shadow: "black"
    palette.toolTipBase: Theme.shade(0.2, 1)
    palette.toolTipText: Theme.white

    // The window opens where and as large as it was left: "x,y,width,height".
    Component.onCompleted: {
        const saved = KeyValueStore.stringOr("windowGeometry", "").split(",").map(Number)
        if (saved.length !== 4 || saved.some(isNaN) || saved[2] < minimumWidth || saved[3] < minimumHeight)
            return
        const screenArea = screen.desktopAvailableWidth > 0
                ? Qt.rect(screen.virtualX, screen.virtualY, screen.desktopAvailableWidth, screen.desktopAvailableHeight)
                : Qt.rect(saved[0], saved[1], saved[2], saved[3])
        width = Math.min(saved[2], screenArea.width)
        height = Math.min(saved[3], screenArea.height)
        // Only a place still on the desktop: a screen may have gone since.
        if (saved[0] >= screenArea.x && saved[1] >= screenArea.y
                && saved[0] + 40 <= screenArea.x + screenArea.width
                && saved[1] + 40 <= screenArea.y + screenArea.height) {
            x = saved[0]
            y = saved[1]
        }
    }
    onClosing: KeyValueStore.setString("windowGeometry", x + "," + y + "," + width + "," + height)

    ContentView {
        anchors.fill: parent
    }
}
