// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// A symbol by its phone name ("gearshape.fill"), drawn from the bundled Material Icons font.
Text {
    property string name
    property real size: 14

    text: Symbols.glyph(name)
    font.family: Theme.symbolFamily
    font.pixelSize: size
    color: Theme.white
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    // The control around a symbol carries the accessible name.
    Accessible.ignored: true
}
