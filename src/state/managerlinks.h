// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace korvana {

class AuthManager;
class ConnectionManager;
class GameManager;
class NetworkService;

// The links between the long-lived objects that the application root makes once: a finished
// game reloads the player's statistics, a reached server retries a waiting stored sign-in, and
// any successful request ends a failing connection status at once while a failed one starts a
// check at once, and the end of an outage closes its alerts and asks for the game. Without a
// connection manager only the first is made.
void linkManagers(NetworkService &network, AuthManager &auth, GameManager &game,
                  ConnectionManager *connection);

} // namespace korvana
