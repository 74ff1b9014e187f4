// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// The nearest look to a blurred glow or shadow that every renderer draws (Qt 6.4 has no blur
// that works in the software renderer): translucent rounded rectangles growing outwards. Put it
// behind the item it lights, with the same geometry.
Item {
    id: glow

    property color color: "black"
    property real glowRadius: 8
    property real cornerRadius: 0
    property real offsetY: 0
    property int layers: 5

    // One entry per layer; the layers' opacities stack up to the colour's own.
    readonly property var rings: {
        const result = []
        if (glowRadius <= 0)
            return result
        const alpha = 1 - Math.pow(1 - Math.min(color.a, 0.99), 1 / layers)
        const fill = Qt.rgba(color.r, color.g, color.b, alpha)
        for (let i = 1; i <= layers; ++i) {
            const grow = glowRadius * i / layers
            result.push({ x: -grow, y: offsetY - grow, width: width + 2 * grow,
                          height: height + 2 * grow, radius: cornerRadius + grow, color: fill })
        }
        return result
    }

    Repeater {
        model: glow.rings

        Rectangle {
            required property var modelData
            x: modelData.x
            y: modelData.y
            width: modelData.width
            height: modelData.height
            radius: modelData.radius
            color: modelData.color
        }
    }
}
