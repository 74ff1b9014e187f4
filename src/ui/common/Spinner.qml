// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// A small activity indicator of eight fading bars, a busy indicator to assistive technology. It
// turns only while visible, so a hidden one costs no frames.
BusyIndicator {
    id: spinner

    property color color: Theme.white

    readonly property var bars: {
        const result = []
        const barWidth = Math.max(2, width * 0.11)
        for (let i = 0; i < 8; ++i)
            result.push({ x: (width - barWidth) / 2, width: barWidth, height: height * 0.28,
                          angle: -i * 45, opacity: 1 - i * 0.1, centre: height / 2,
                          color: color })
        return result
    }

    implicitWidth: 20
    implicitHeight: 20
    padding: 0
    Accessible.name: qsTr("Ładowanie")

    // Declared apart and handed over, so that the ids inside need no deferred assignment.
    contentItem: barLayer

    Item {
        id: barLayer

        Repeater {
            model: spinner.bars
            Rectangle {
                id: bar
                required property var modelData
                x: modelData.x
                width: modelData.width
                height: modelData.height
                radius: bar.modelData.width / 2
                color: modelData.color
                opacity: modelData.opacity
                transform: Rotation {
                    origin.x: bar.modelData.width / 2
                    origin.y: bar.modelData.centre
                    angle: bar.modelData.angle
                }
            }
        }

        RotationAnimation on rotation {
            running: spinner.running && spinner.visible
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
        }
    }
}
