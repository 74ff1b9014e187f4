// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "movehints.h"

#include "appobjects.h"
#include "gamemanager.h"
#include "playaidlogic.h"

namespace korvana::ui {

MoveHints::MoveHints(QObject *parent)
    : MoveHints(published().gameManager, parent)
{
}

MoveHints::MoveHints(GameManager *gameManager, QObject *parent)
    : QObject(parent)
    , m_game(gameManager)
{
    if (!m_game)
        return;
    connect(m_game, &GameManager::gameStateChanged, this, [this] {
        updateCells();
        updateUnplayable();
    });
    for (const auto changed : {&GameManager::selectedPieceIdChanged,
                               &GameManager::selectedRotationChanged, &GameManager::myColorChanged})
        connect(m_game, changed, this, &MoveHints::updateCells);
    connect(m_game, &GameManager::myPlayerIdChanged, this, [this] {
        updateCells();
        updateUnplayable();
    });
    updateCells();
    updateUnplayable();
}

void MoveHints::setEnabled(bool enabled)
{
    if (enabled == m_isEnabled)
        return;
    m_isEnabled = enabled;
    Q_EMIT isEnabledChanged();
    updateCells();
    updateUnplayable();
}

void MoveHints::updateCells()
{
    QList<board::Cell> cells;
    if (m_isEnabled && m_game) {
        cells = moveHints({m_game->gameState(), m_game->myPlayerId(), m_game->myColor(),
                           m_game->selectedPieceId(), m_game->selectedRotation()});
    }
    if (cells == m_cells)
        return;
    m_cells = std::move(cells);
    Q_EMIT cellsChanged();
}

void MoveHints::updateUnplayable()
{
    QStringList ids;
    const auto *state = m_game && m_game->gameState() ? &*m_game->gameState() : nullptr;
    if (m_isEnabled && state && state->gameStatus == GameStatus::InProgress)
        ids = ui::unplayablePieceIds(*state, m_game->myPlayerId(), m_game->myColor());
    if (ids == m_unplayable)
        return;
    m_unplayable = std::move(ids);
    Q_EMIT unplayablePieceIdsChanged();
}

} // namespace korvana::ui
