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
}

} // namespace korvana
