// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace korvana {
class GameManager;
class RecordListModel;
} // namespace korvana

namespace korvana::ui {

// The lobby's own work beside its QML: the appearance sequence, the player's active games and
// the decision whether a tapped room can be joined. One lives inside each lobby and dies with
// it, which is what cancels a pending appearance.
class LobbyController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    // The player's own games, listed while the lobby is shown.
    Q_PROPERTY(korvana::RecordListModel *activeGames READ activeGames CONSTANT)
    Q_PROPERTY(
        bool isLoadingActiveGames READ isLoadingActiveGames NOTIFY isLoadingActiveGamesChanged)

public:
    // On the game manager the root published.
    explicit LobbyController(QObject *parent = nullptr);
    explicit LobbyController(GameManager *gameManager, QObject *parent = nullptr);

    [[nodiscard]] RecordListModel *activeGames() const;
    [[nodiscard]] bool isLoadingActiveGames() const { return m_isLoadingActiveGames; }

    // The lobby was shown: servers, time options, active games, then the server list timer.
    Q_INVOKABLE void appear() { appearTask(); }
    // The lobby is going away: the timer stops and a pending appearance never starts it.
    Q_INVOKABLE void disappear();
    Q_INVOKABLE void reloadActiveGames() { reloadActiveGamesTask(); }
    // A tap on a listed room: joins it unless it is finished or full.
    Q_INVOKABLE void joinServer(const QString &roomId);
    // Neither finished nor full.
    Q_INVOKABLE static bool isJoinable(const QVariantMap &server);

    QCoro::Task<> appearTask();
    QCoro::Task<> reloadActiveGamesTask();

Q_SIGNALS:
    void isLoadingActiveGamesChanged();

private:
    void setLoadingActiveGames(bool value);

    QPointer<GameManager> m_game;
    bool m_isShown = false;
    bool m_isLoadingActiveGames = false;
};

} // namespace korvana::ui
