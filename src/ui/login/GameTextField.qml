// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// The look of the login form's fields: white text on a dark rounded box with a thin outline.
TextField {
    id: field

    padding: 16
    color: Theme.white
    placeholderTextColor: Theme.gray
    selectionColor: Theme.blue
    selectedTextColor: Theme.white
    font.pixelSize: 17
    Accessible.name: placeholderText

    background: Rectangle {
        radius: 12
        color: Theme.shade(0.15, 1)
        border.width: field.activeFocus ? 2 : 1
        border.color: field.activeFocus ? Theme.withAlpha(Theme.blue, 0.8) : Theme.shade(0.3, 1)
    }
}
