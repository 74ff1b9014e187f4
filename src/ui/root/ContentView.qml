// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Korvana

// Chooses the one top-level screen from three flags: the launch screen while it runs, then the
// login screen while nobody is signed in, the game screen while in a game, else the lobby.
Item {
    id: root

    // Only ever goes from true to false; the end of the launch screen is the one animated change.
    property bool showLaunch: true
    readonly property string currentScreen: showLaunch ? "launch"
                                            : !AuthManager.isAuthenticated ? "login"
                                            : GameManager.isInGame ? "game"
                                            : "lobby"

    function completeLaunch() {
        if (!showLaunch)
            return
        showLaunch = false
        launchFade.start()
    }

    objectName: "contentView"

    // The screens are loaded by address, not named here, so that start-up compiles only the
    // launch screen; the others are compiled in the background while it runs.
    readonly property var screenSources: ({
        "login": "qrc:/Korvana/login/LoginView.qml",
        "lobby": "qrc:/Korvana/lobby/LobbyView.qml",
        "game": "qrc:/Korvana/game/GameView.qml"
    })
    property var preloaded: []

    Timer {
        interval: 300
        running: true
        onTriggered: {
            const components = []
            for (const screenName of ["login", "lobby", "game"])
                components.push(Qt.createComponent(root.screenSources[screenName],
                                                   Component.Asynchronous))
            root.preloaded = components
        }
    }

    Loader {
        id: screen
        objectName: "screenLoader"
        anchors.fill: parent
        active: !root.showLaunch
        source: root.screenSources[root.currentScreen] || ""
    }

    Loader {
        id: launch
        objectName: "launchLoader"
        anchors.fill: parent
        active: true
        sourceComponent: LaunchScreenView {
            holdText: ServerManager.isStarting ? ServerManager.localStatusText : ""
        }
    }
    Connections {
        target: launch.item
        ignoreUnknownSignals: true
        function onComplete() {
            root.completeLaunch()
        }
    }

    NumberAnimation {
        id: launchFade
        target: launch
        property: "opacity"
        to: 0
        duration: 350
        easing.type: Easing.InOutQuad
        // Gone for good once faded, so nothing of it keeps costing frames.
        onFinished: launch.active = false
    }
}
