// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Korvana

// The connection badge: a coloured dot that pulses while connecting; a tap expands it to the
// status text, the ping and the current problem, and asks for a fresh check when the server is
// unreachable.
AbstractButton {
    id: badge

    property bool isExpanded: false
    // The details' widest line; longer lines are cut with an ellipsis.
    property real detailsMaximumWidth: 1000
    readonly property int status: ConnectionManager.connectionStatus
    readonly property bool isPulsing: status === ConnectionStatus.Connecting
                                      || status === ConnectionStatus.Retrying
    readonly property color statusColor: {
        switch (ConnectionManager.statusColor) {
        case ConnectionStatus.Green:
            return Theme.green
        case ConnectionStatus.Yellow:
            return Theme.yellow
        default:
            return Theme.red
        }
    }
    readonly property var ping: ConnectionManager.ping
    readonly property bool hasPing: ping !== undefined && ping !== null
    readonly property string problem: ConnectionManager.errorMessage

    objectName: "connectionStatusView"
    hoverEnabled: false
    focusPolicy: Qt.TabFocus
    Accessible.role: Accessible.Button
    Accessible.name: qsTr("Status połączenia: ") + ConnectionManager.statusText
    Accessible.description: problem

    leftPadding: isExpanded ? 14 : 8
    rightPadding: leftPadding
    topPadding: 8
    bottomPadding: 8
    implicitWidth: leftPadding + rightPadding + implicitContentWidth
    implicitHeight: topPadding + bottomPadding + implicitContentHeight

    Behavior on leftPadding {
        NumberAnimation { duration: 300; easing.type: Easing.OutCubic }
    }

    onClicked: {
        isExpanded = !isExpanded
        if (status === ConnectionStatus.Error || status === ConnectionStatus.Disconnected)
            ConnectionManager.retryConnection()
    }

    Connections {
        target: ConnectionManager
        function onConnectionStatusChanged() {
            // Open while a problem is being worked on, closed again once the server answers.
            if (badge.isPulsing)
                badge.isExpanded = true
            else if (badge.status === ConnectionStatus.Connected)
                badge.isExpanded = false
        }
    }

    background: Rectangle {
        radius: height / 2
        color: Theme.shade(0.12, 0.9)
        border.width: badge.visualFocus ? 2 : 1
        border.color: badge.visualFocus ? Theme.white : Theme.withAlpha(badge.statusColor, 0.3)
    }

    // Declared apart and handed over, so that the ids inside need no deferred assignment.
    contentItem: badgeContent

    Row {
        id: badgeContent
        spacing: badge.isExpanded ? 8 : 0

        Item {
            id: dot
            objectName: "statusDot"
            width: 16
            height: 16
            anchors.verticalCenter: parent.verticalCenter

            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: Theme.withAlpha(badge.statusColor, 0.3)
            }
            SoftGlow {
                anchors.fill: core
                color: Theme.withAlpha(badge.statusColor, 0.6)
                glowRadius: 4
                cornerRadius: width / 2
                layers: 3
            }
            Rectangle {
                id: core
                width: 8
                height: 8
                radius: 4
                anchors.centerIn: parent
                color: badge.statusColor
            }
            Rectangle {
                id: ring
                objectName: "pulseRing"
                width: 14
                height: 14
                radius: 7
                anchors.centerIn: parent
                color: "transparent"
                border.width: 2
                border.color: Theme.withAlpha(badge.statusColor, 0.5)
                opacity: 0.8
            }
            ParallelAnimation {
                id: pulse
                objectName: "pulseAnimation"
                // Runs only while connecting or retrying: a connected badge costs no frames.
                running: badge.isPulsing && badge.visible
                loops: Animation.Infinite
                onRunningChanged: {
                    if (!running) {
                        ring.scale = 1
                        ring.opacity = 0.8
                    }
                }
                NumberAnimation {
                    target: ring
                    property: "scale"
                    from: 1
                    to: 1.5
                    duration: 1000
                    easing.type: Easing.InOutQuad
                }
                NumberAnimation {
                    target: ring
                    property: "opacity"
                    from: 0.8
                    to: 0
                    duration: 1000
                    easing.type: Easing.InOutQuad
                }
            }
        }

        Item {
            id: detailsClip
            clip: true
            anchors.verticalCenter: parent.verticalCenter
            width: badge.isExpanded ? Math.min(details.implicitWidth, badge.detailsMaximumWidth) : 0
            height: details.implicitHeight
            visible: width > 0

            Behavior on width {
                NumberAnimation { duration: 300; easing.type: Easing.OutCubic }
            }

            Column {
                id: details
                objectName: "statusDetails"
                spacing: 1
                x: badge.isExpanded ? 0 : -implicitWidth
                opacity: badge.isExpanded ? 1 : 0
                Behavior on x {
                    NumberAnimation { duration: 300; easing.type: Easing.OutCubic }
                }
                Behavior on opacity {
                    NumberAnimation { duration: 300; easing.type: Easing.OutCubic }
                }

                Text {
                    objectName: "connectionStatusText"
                    width: Math.min(implicitWidth, badge.detailsMaximumWidth)
                    elide: Text.ElideRight
                    text: ConnectionManager.statusText
                    color: Theme.white
                    font.pixelSize: 12
                    font.weight: Font.Medium
                }
                Text {
                    objectName: "pingText"
                    width: Math.min(implicitWidth, badge.detailsMaximumWidth)
                    elide: Text.ElideRight
                    visible: badge.hasPing
                    // Follows the ping only while shown: a collapsed badge must not redraw the
                    // screen at every check.
                    text: badge.hasPing && detailsClip.visible ? badge.ping + qsTr("ms") : ""
                    color: Theme.gray
                    font.pixelSize: 10
                    font.family: Theme.monoFamily
                }
                Text {
                    objectName: "problemText"
                    width: Math.min(implicitWidth, badge.detailsMaximumWidth)
                    elide: Text.ElideRight
                    visible: badge.problem.length > 0
                    text: detailsClip.visible ? badge.problem : ""
                    color: Theme.orange
                    font.pixelSize: 9
                    font.family: Theme.monoFamily
                }
            }
        }
    }
}
