// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gameclock.h"

#include "appobjects.h"
#include "connectionmanager.h"
#include "gamemanager.h"
#include "gamescreenlogic.h"
#include "soundmanager.h"

namespace korvana::ui {

GameClock::GameClock(QObject *parent)
    : GameClock(published().gameManager, published().connectionManager, parent)
{
}

GameClock::GameClock(GameManager *gameManager, ConnectionManager *connectionManager,
                     QObject *parent)
    : QObject(parent)
    , m_game(gameManager)
    , m_connection(connectionManager)
{
    m_elapsed.start();
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &GameClock::refresh);
    if (m_game) {
        connect(m_game, &GameManager::gameStateChanged, this, &GameClock::sync);
        connect(m_game, &GameManager::gameStateAnswered, this, &GameClock::answered);
    }
    if (m_connection) {
        connect(m_connection, &ConnectionManager::connectionStatusChanged, this,
                &GameClock::connectionChanged);
    }
    m_awaitingServer = m_connection && !isConnected();
    sync();
}

void GameClock::setSoundManager(SoundManager *sound)
{
    if (m_sound == sound)
        return;
    m_sound = sound;
    Q_EMIT soundManagerChanged();
    refresh();
}

bool GameClock::isConnected() const
{
    return m_connection &&
           m_connection->connectionStatus() == connection::ConnectionStatus::Connected;
}

void GameClock::sync()
{
    const auto *state = m_game && m_game->gameState() ? &*m_game->gameState() : nullptr;
    m_hasClock = state && state->timeLimit > 0 && state->timeRemaining.has_value();
    m_clock.sync(m_hasClock ? state->timeRemaining : std::nullopt, m_elapsed.elapsed());
    updateRunning();
}

void GameClock::answered()
{
    // An answer that came while the monitor still reports the outage is shown, but only one
    // after the connection is back restarts the count.
    if (!m_awaitingServer || !isConnected())
        return;
    m_awaitingServer = false;
    sync();
}

void GameClock::connectionChanged()
{
    if (!isConnected())
        m_awaitingServer = true;
    updateRunning();
}

void GameClock::updateRunning()
{
    const auto *state = m_game && m_game->gameState() ? &*m_game->gameState() : nullptr;
    const bool inProgress = state && state->gameStatus == GameStatus::InProgress;
    m_isPaused = !isConnected() || m_awaitingServer;
    m_clock.setRunning(inProgress && !m_isPaused, m_elapsed.elapsed());
    refresh();
}

void GameClock::refresh()
{
    const qint64 now = m_elapsed.elapsed();
    const int seconds = int(m_clock.secondsLeft(now).value_or(0));
    const auto *state = m_game && m_game->gameState() ? &*m_game->gameState() : nullptr;
    QVariantMap clocks;
    if (m_hasClock) {
        for (const Player &player : state->players) {
            if (!player.timeRemaining)
                continue;
            const bool current = player.id == state->currentPlayerId;
            clocks.insert(player.id, current ? seconds : int(*player.timeRemaining));
        }
    }
    const Shown shown{m_hasClock, seconds, m_isPaused, std::move(clocks)};
    m_secondsLeft = seconds;
    if (shown != m_shown) {
        m_shown = shown;
        Q_EMIT clockChanged();
    }

    const bool mine = m_hasClock && state && state->gameStatus == GameStatus::InProgress &&
                      isMyTurn(*state, m_game->myPlayerId());
    // Without a sound manager yet (QML sets it after construction) the warning waits for it.
    if (m_sound && m_warning.update(mine ? std::optional<qint64>(seconds) : std::nullopt,
                                    state ? state->timeLimit : 0))
        m_sound->play(feedback::Event::LowTime);

    if (const auto next = m_clock.msUntilNextTick(now))
        m_tick.start(int(*next));
    else
        m_tick.stop();
}

} // namespace korvana::ui
