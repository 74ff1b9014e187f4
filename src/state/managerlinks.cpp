// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "managerlinks.h"

#include "authmanager.h"
#include "connectionmanager.h"
#include "gamemanager.h"

namespace korvana {

void linkManagers(NetworkService &network, AuthManager &auth, GameManager &game,
                  ConnectionManager *connection)
{
    QObject::connect(&game, &GameManager::gameFinished, &auth, &AuthManager::refreshCurrentUser);
    if (!connection)
        return;
    QObject::connect(connection, &ConnectionManager::serverReached, &auth,
                     &AuthManager::retryRestore);
    QObject::connect(&network, &NetworkService::serverAnswered, connection,
                     &ConnectionManager::noteServerAnswered);
    QObject::connect(&network, &NetworkService::serverUnreachable, connection,
                     &ConnectionManager::noteServerUnreachable);
    // Back from an outage: alerts about its failures go, and the game is asked for at once.
    QObject::connect(connection, &ConnectionManager::isConnectedChanged, &game,
                     [connection, &game] {
                         if (connection->isConnected())
                             game.connectionRestored();
                     });
}

} // namespace korvana
