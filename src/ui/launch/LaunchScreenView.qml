// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// The first screen: six timed loading steps with a progress bar, then complete() at 2.5 s. It
// loads nothing; only while holdText is set (the server on this computer is still coming up)
// does its last step wait, showing that text, until holdText is cleared.
Item {
    id: launch

    signal complete

    property real progress: 0
    property string statusText: qsTr("Inicjalizacja...")
    property bool isComplete: false
    property string holdText
    // The last step came while holdText was set.
    property bool isHeld: false

    onHoldTextChanged: {
        if (!isHeld)
            return
        if (holdText.length > 0) {
            statusText = holdText
        } else {
            isHeld = false
            applyStep(steps.length - 1)
        }
    }

    readonly property var steps: [
        { progress: 0.1, text: qsTr("Ładowanie zasobów...") },
        { progress: 0.3, text: qsTr("Sprawdzanie połączenia...") },
        { progress: 0.5, text: qsTr("Inicjalizacja gry...") },
        { progress: 0.7, text: qsTr("Ładowanie danych...") },
        { progress: 0.9, text: qsTr("Prawie gotowe...") },
        { progress: 1.0, text: qsTr("Gotowe!") }
    ]

    function applyStep(index: int) {
        const step = steps[index]
        if (step.progress >= 1.0 && holdText.length > 0) {
            isHeld = true
            statusText = holdText
            return
        }
        progress = step.progress
        statusText = step.text
        if (step.progress >= 1.0)
            finishTimer.start()
    }

    objectName: "launchScreen"

    // Every step has its own time from the moment the screen is shown (0.0, 0.4, ... 2.0 s);
    // one timer walks through them, each time aiming at the next step's own time, and nothing
    // cancels it.
    readonly property double shownAt: Date.now()
    Timer {
        id: stepTimer
        property int next: 0
        interval: 0
        running: true
        onTriggered: {
            launch.applyStep(stepTimer.next)
            stepTimer.next += 1
            if (stepTimer.next < launch.steps.length) {
                stepTimer.interval = Math.max(0, launch.shownAt + stepTimer.next * 400 - Date.now())
                stepTimer.start()
            }
        }
    }
    Timer {
        id: finishTimer
        interval: 300
        onTriggered: {
            launch.isComplete = true
            completeTimer.start()
        }
    }
    Timer {
        id: completeTimer
        interval: 200
        onTriggered: launch.complete()
    }

    DiagonalGradient {
        anchors.fill: parent
        startColor: "black"
        middleColor: Qt.rgba(0.05, 0.1, 0.2, 1)
        endColor: Qt.rgba(0.1, 0.15, 0.25, 1)
    }

    Column {
        id: content
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        padding: 40
        spacing: 24
        scale: launch.isComplete ? 0.95 : 1.0

        Behavior on scale {
            NumberAnimation { duration: 300; easing.type: Easing.InOutQuad }
        }

        Item {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 120
            height: 120

            SoftGlow {
                anchors.fill: parent
                color: Theme.withAlpha(Theme.blue, 0.5)
                glowRadius: 20
                cornerRadius: 30
                layers: 8
            }
            Rectangle {
                anchors.fill: parent
                radius: 30
                gradient: Gradient {
                    GradientStop { position: 0; color: Theme.withAlpha(Theme.blue, 0.8) }
                    GradientStop { position: 1; color: Theme.withAlpha(Theme.cyan, 0.6) }
                }
            }
            SymbolIcon {
                anchors.centerIn: parent
                name: "gamecontroller.fill"
                size: 60
            }
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("KORVANA")
            color: Theme.white
            font.pixelSize: 48
            font.bold: true
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Strategiczna gra planszowa")
            color: Theme.gray
            font.pixelSize: 16
            font.weight: Font.Medium
        }

        // A progress bar to assistive technology too: role, value and range.
        ProgressBar {
            objectName: "launchProgress"
            width: content.width - content.leftPadding - content.rightPadding
            height: 8
            from: 0
            to: 1
            value: launch.progress
            Accessible.name: qsTr("Ładowanie")

            background: Rectangle {
                implicitHeight: 8
                radius: 4
                color: Theme.shade(0.2, 1)
            }
            contentItem: Item {
                Rectangle {
                    objectName: "progressFill"
                    height: 8
                    radius: 4
                    width: parent.width * launch.progress
                    gradient: Gradient {
                        orientation: Gradient.Horizontal
                        GradientStop { position: 0; color: Theme.blue }
                        GradientStop { position: 1; color: Theme.cyan }
                    }
                    Behavior on width {
                        NumberAnimation { duration: 300; easing.type: Easing.Linear }
                    }
                }
            }
        }

        Text {
            objectName: "statusText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: launch.statusText
            color: Theme.withAlpha(Theme.white, 0.8)
            font.pixelSize: 14
        }
        Text {
            objectName: "percentText"
            anchors.horizontalCenter: parent.horizontalCenter
            // The step values are binary fractions (0.7 * 100 is 69.99...), so round to the
            // nearest millionth before taking the whole percent.
            text: Math.floor(Math.round(launch.progress * 1e6) / 1e4) + "%"
            color: Theme.gray
            font.pixelSize: 12
            font.weight: Font.DemiBold
        }
    }
}
