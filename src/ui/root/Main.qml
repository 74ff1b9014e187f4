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

    ContentView {
        anchors.fill: parent
    }
}
