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

    Loader {
        id: screen
        objectName: "screenLoader"
        anchors.fill: parent
        active: !root.showLaunch
        sourceComponent: {
            switch (root.currentScreen) {
            case "login":
                return loginScreen
            case "game":
                return gameScreen
            case "lobby":
                return lobbyScreen
            default:
                return null
            }
        }
    }

    Loader {
        id: launch
        objectName: "launchLoader"
        anchors.fill: parent
        active: true
        sourceComponent: LaunchScreenView {}
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

    Component {
        id: loginScreen
        LoginView {}
    }
    Component {
        id: lobbyScreen
        LobbyView {}
    }
    Component {
        id: gameScreen
        GameView {}
    }
}
