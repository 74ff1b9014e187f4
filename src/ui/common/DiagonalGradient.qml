// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// A rectangle painted with a linear gradient from its top-left to its bottom-right corner,
// through an optional middle colour (by default the plain blend of the two ends). A square as
// wide as the diagonal, turned so that its top-to-bottom gradient runs along the diagonal, gives
// exactly the corner-to-corner gradient; plain items draw it in every renderer. The square
// reaches past the item's corners: meant for backgrounds of the whole window, or inside a parent
// that clips (a clip here would cost the launch screen a tenth of its start-up).
Item {
    id: area

    property color startColor: "black"
    property color middleColor: Qt.rgba((startColor.r + endColor.r) / 2,
                                        (startColor.g + endColor.g) / 2,
                                        (startColor.b + endColor.b) / 2,
                                        (startColor.a + endColor.a) / 2)
    property color endColor: "black"

    readonly property real diagonal: Math.sqrt(width * width + height * height)

    Rectangle {
        width: area.diagonal
        height: area.diagonal
        anchors.centerIn: parent
        rotation: -Math.atan2(area.width, area.height) * 180 / Math.PI
        gradient: Gradient {
            GradientStop { position: 0; color: area.startColor }
            GradientStop { position: 0.5; color: area.middleColor }
            GradientStop { position: 1; color: area.endColor }
        }
    }
}
