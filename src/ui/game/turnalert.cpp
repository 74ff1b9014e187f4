// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "turnalert.h"

#include "appobjects.h"
#include "gamemanager.h"
#include "gamescreenlogic.h"

namespace korvana::ui {

TurnAlert::TurnAlert(QObject *parent)
    : TurnAlert(published().gameManager, parent)
{
}

TurnAlert::TurnAlert(GameManager *gameManager, QObject *parent)
    : QObject(parent)
    , m_game(gameManager)
{
    if (!m_game)
        return;
    // Whatever the screen first shows is the old value, as for the turn's sound.
    if (const auto &state = m_game->gameState())
        m_lastCurrentPlayerId = state->currentPlayerId;
    connect(m_game, &GameManager::gameStateChanged, this, &TurnAlert::gameStateChanged);
}

void TurnAlert::setWindow(QWindow *window)
{
    if (m_window == window)
        return;
    m_window = window;
    Q_EMIT windowChanged();
}

void TurnAlert::gameStateChanged()
{
    const auto &state = m_game->gameState();
    const std::optional<QString> current = state ? state->currentPlayerId : std::nullopt;
    const bool toMe = givesTurnSignal(m_lastCurrentPlayerId, current, m_game->myPlayerId());
    m_lastCurrentPlayerId = current;
    if (toMe && m_window && !m_window->isActive()) {
        m_window->alert(0);
        Q_EMIT alerted();
    }
}

} // namespace korvana::ui
