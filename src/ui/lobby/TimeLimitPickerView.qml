// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvana

// The time-limit sheet: "Bez limitu" (no limit), then one row per offered option. Choosing a row
// reports it through picked() and closes the sheet; "Gotowe" closes it without a change.
Sheet {
    id: picker

    property var timeOptions: []
    // Seconds, or null for no limit.
    property var selectedTimeLimit: null
    signal picked(var seconds)

    // The offered rows with their selection, worked out here so that the rows need nothing
    // from outside themselves.
    readonly property var optionRows: timeOptions.map(option => ({
        label: option.label,
        seconds: option.seconds,
        isSelected: selectedTimeLimit === option.seconds
    }))

    function choose(seconds) {
        picked(seconds)
        close()
    }

    objectName: "timeLimitPicker"
    title: qsTr("Limit czasu")
    doneColor: Theme.cyan

    background: Rectangle {
        color: Qt.rgba(0.05, 0.05, 0.08, 1)
    }

    Flickable {
        anchors.fill: parent
        contentHeight: rows.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollIndicator.vertical: ScrollIndicator {}

        Column {
            id: rows
            width: Math.min(parent.width - 32, 560)
            x: (parent.width - width) / 2
            topPadding: 8
            bottomPadding: 24
            spacing: 8

            TimeLimitRow {
                objectName: "noLimitRow"
                label: qsTr("Bez limitu")
                isSelected: picker.selectedTimeLimit === null
                onClicked: picker.choose(null)
            }
            Repeater {
                model: picker.optionRows
                onItemAdded: (index, item) => {
                    const row = item as TimeLimitRow
                    row.clicked.connect(() => picker.choose(row.seconds))
                }
                TimeLimitRow {
                    required property var modelData
                    objectName: "timeOptionRow"
                    label: modelData.label
                    seconds: modelData.seconds
                    isSelected: modelData.isSelected
                }
            }
        }
    }
}
