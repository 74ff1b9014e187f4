// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace korvana {
class AuthManager;
class GameManager;
class ConnectionManager;
class KeyValueStore;
class ServerManager;
} // namespace korvana

namespace korvana::ui {

// The long-lived objects the application root made, one of each, handed to every screen as QML
// singletons. The root publishes them before it loads any QML and keeps them alive longer than
// every engine that uses them.
struct AppObjects
{
    AuthManager *authManager = nullptr;
    GameManager *gameManager = nullptr;
    ConnectionManager *connectionManager = nullptr;
    KeyValueStore *store = nullptr;
    ServerManager *serverManager = nullptr;
};

void publish(const AppObjects &objects);
[[nodiscard]] const AppObjects &published();

// Qt Quick Controls style and settings of the client; call before loading any QML.
void useAppStyle();

} // namespace korvana::ui
