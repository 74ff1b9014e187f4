#pragma once

namespace korvana {

class AuthManager;
class ConnectionManager;
class GameManager;
class NetworkService;

// The links between the long-lived objects that the application root makes once: a finished
// game reloads the player's statistics, a reached server retries a waiting stored sign-in, and
// any successful request ends a failing connection status at once. Without a connection
// manager only the first is made.
void linkManagers(NetworkService &network, AuthManager &auth, GameManager &game,
                  ConnectionManager *connection);

} // namespace korvana
