// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lobbycontroller.h"

#include "appobjects.h"
#include "gamemanager.h"
#include "gamestatus.h"

namespace korvana::ui {

LobbyController::LobbyController(QObject *parent)
    : LobbyController(published().gameManager, parent)
{
}

LobbyController::LobbyController(GameManager *gameManager, QObject *parent)
    : QObject(parent)
    , m_game(gameManager)
{
}

QCoro::Task<> LobbyController::appearTask()
{
    QPointer self(this);
    QPointer game = m_game;
    m_isShown = true;
    if (!game)
        co_return;
    auto servers = game->loadServersTask();
    co_await std::move(servers);
    if (!self || !game)
        co_return;
    auto timeOptions = game->loadTimeOptionsTask();
    co_await std::move(timeOptions);
    if (!self || !game)
        co_return;
    auto activeGames = reloadActiveGamesTask();
    co_await std::move(activeGames);
    // A lobby that went away meanwhile must not leave the timer running behind it.
    if (!self || !m_isShown || !game)
        co_return;
    game->startServerListTimer();
}

RecordListModel *LobbyController::activeGames() const
{
    return m_game ? m_game->lobby().ownGames() : nullptr;
}

void LobbyController::disappear()
{
    m_isShown = false;
    if (!m_game)
        return;
    m_game->stopServerListTimer();
    // The next lobby lists them afresh.
    m_game->lobby().clearOwnGames();
}

QCoro::Task<> LobbyController::reloadActiveGamesTask()
{
    QPointer self(this);
    QPointer game = m_game;
    if (!game)
        co_return;
    setLoadingActiveGames(true);
    auto task = game->lobby().reloadOwnGames();
    co_await std::move(task);
    if (self)
        setLoadingActiveGames(false);
}

bool LobbyController::isJoinable(const QVariantMap &server)
{
    if (server.value(QStringLiteral("gameStatus")).toInt() == int(GameStatus::Finished))
        return false;
    return server.value(QStringLiteral("playerCount")).toLongLong() <
           server.value(QStringLiteral("maxPlayers"), 4).toLongLong();
}

void LobbyController::joinServer(const QString &roomId)
{
    if (m_game && isJoinable(m_game->serversModel()->byId().value(roomId).toMap()))
        m_game->joinGame(roomId);
}

void LobbyController::setLoadingActiveGames(bool value)
{
    if (m_isLoadingActiveGames == value)
        return;
    m_isLoadingActiveGames = value;
    Q_EMIT isLoadingActiveGamesChanged();
}

} // namespace korvana::ui
