// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// A strip under the game's header while the connection is not "connected": the monitor's status
// text, and why the board stands still.
Rectangle {
    id: banner

    // A move dropped during the outage is still on its way: say so instead.
    property bool isSendingMove: false
    readonly property string detail: isSendingMove ? qsTr("Wysyłam ruch… Czeka na połączenie z serwerem.")
                                                   : qsTr("Gra czeka na połączenie z serwerem.")
    readonly property color tone: ConnectionManager.statusColor === ConnectionStatus.Yellow
                                  ? Theme.yellow : Theme.red

    objectName: "outageBanner"
    implicitHeight: row.implicitHeight + 16
    radius: 10
    color: Theme.withAlpha(tone, 0.15)
    border.width: 1
    border.color: Theme.withAlpha(tone, 0.5)
    Accessible.role: Accessible.AlertMessage
    // "Łączenie..." already ends its sentence: no fourth dot.
    Accessible.name: ConnectionManager.statusText
                     + (ConnectionManager.statusText.endsWith(".") ? " " : ". ") + detail

    Row {
        id: row
        x: 12
        y: 8
        width: parent.width - 24
        spacing: 10

        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: "wifi.slash"
            size: 18
            color: banner.tone
        }
        Column {
            width: parent.width - 28
            spacing: 1
            Text {
                objectName: "outageStatusText"
                text: ConnectionManager.statusText
                color: banner.tone
                font.pixelSize: 13
                font.bold: true
            }
            Text {
                objectName: "outageDetailText"
                width: parent.width
                text: banner.detail
                color: Theme.white
                font.pixelSize: 11
                wrapMode: Text.Wrap
            }
        }
    }
}
