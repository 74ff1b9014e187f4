// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "authmanager.h"
#include "connectionmanager.h"
#include "gamemanager.h"
#include "networkservice.h"
#include "servermanager.h"

#include <QQmlApplicationEngine>
#include <QString>

#include <memory>
#include <optional>

class QQuickWindow;

namespace korvana {

class KeyValueStore;
class PathMonitor;

// The application root: the one NetworkService, then AuthManager, GameManager and
// ConnectionManager created once each in that order, the ServerManager that points them at the
// chosen server, all published to every screen, and the window.
class KorvanaApp
{
public:
    // serverUrl non-empty: that server for this run; empty: the player's stored choice (the
    // server on this computer by default, started in the background). A given path monitor
    // stays the caller's; without one the connection manager uses the desktop's.
    // localOptions: where and how the server on this computer is started (tests, screenshots);
    // by default the korvana-server beside the client, or from PATH.
    KorvanaApp(const QString &serverUrl, KeyValueStore &store, PathMonitor *monitor = nullptr,
               std::optional<LocalServer::Options> localOptions = std::nullopt);
    ~KorvanaApp();
    KorvanaApp(const KorvanaApp &) = delete;
    KorvanaApp &operator=(const KorvanaApp &) = delete;

    // Opens the window; false when its QML could not be loaded.
    bool load();

    [[nodiscard]] QQuickWindow *window() const;
    [[nodiscard]] QQmlApplicationEngine &engine() { return *m_engine; }
    [[nodiscard]] NetworkService &network() { return m_network; }
    [[nodiscard]] AuthManager &authManager() { return *m_authManager; }
    [[nodiscard]] GameManager &gameManager() { return *m_gameManager; }
    [[nodiscard]] ConnectionManager &connectionManager() { return *m_connectionManager; }
    [[nodiscard]] ServerManager &serverManager() { return *m_serverManager; }

private:
    NetworkService m_network;
    std::unique_ptr<AuthManager> m_authManager;
    std::unique_ptr<GameManager> m_gameManager;
    std::unique_ptr<ConnectionManager> m_connectionManager;
    std::unique_ptr<ServerManager> m_serverManager;
    // Declared last so it goes first: no binding outlives the managers it reads.
    std::unique_ptr<QQmlApplicationEngine> m_engine;
};

} // namespace korvana
