// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headlessplayer.h"

#include "managerlinks.h"

#include <QCoroTask>

namespace korvana::test {

HeadlessPlayer::HeadlessPlayer(const QString &baseUrl, const QString &storeFile)
    : network(baseUrl)
    , store(storeFile)
    , auth(network, store)
    , game(network)
{
    linkManagers(network, auth, game, nullptr);
}

bool HeadlessPlayer::registerAs(const QString &name)
{
    QCoro::waitFor(
        auth.registerTask(name, name + QStringLiteral("@example.pl"), QStringLiteral("haslo123")));
    return auth.isAuthenticated();
}

bool HeadlessPlayer::isMyTurn() const
{
    const auto &state = game.gameState();
    return state && state->gameStatus == GameStatus::InProgress && state->currentPlayerId &&
           game.myPlayerId() == state->currentPlayerId;
}

QString HeadlessPlayer::status() const
{
    return game.gameState() ? wireName(game.gameState()->gameStatus) : QString();
}

} // namespace korvana::test
