// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "playaidlogic.h"
#include "soundmanager.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

namespace korvana {
class ConnectionManager;
class GameManager;
} // namespace korvana

namespace korvana::ui {

// The game screen's living clock: the current player's time counted down every second from the
// last state the game manager received, stopped (and shown as paused) while the connection is
// not "connected" and after it until the server answers again with its own value: an outage is
// never charged by the client. It also gives the low-time warning when my own time runs short.
class GameClock : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    // The warning plays through it, so the sound switch gates it; none plays nothing.
    Q_PROPERTY(korvana::SoundManager *soundManager READ soundManager WRITE setSoundManager NOTIFY
                   soundManagerChanged)
    // A running game with a time limit and a time from the server.
    Q_PROPERTY(bool hasClock READ hasClock NOTIFY clockChanged)
    Q_PROPERTY(int secondsLeft READ secondsLeft NOTIFY clockChanged)
    Q_PROPERTY(bool isPaused READ isPaused NOTIFY clockChanged)
    // {playerId: seconds} of every seat whose own clock the server sends, the current player's
    // counting down with secondsLeft; empty from a server that sends only the current one.
    Q_PROPERTY(QVariantMap playerClocks READ playerClocks NOTIFY clockChanged)

public:
    // On the managers the root published.
    explicit GameClock(QObject *parent = nullptr);
    GameClock(GameManager *gameManager, ConnectionManager *connectionManager,
              QObject *parent = nullptr);

    [[nodiscard]] SoundManager *soundManager() const { return m_sound; }
    void setSoundManager(SoundManager *sound);
    [[nodiscard]] bool hasClock() const { return m_hasClock; }
    [[nodiscard]] int secondsLeft() const { return m_secondsLeft; }
    [[nodiscard]] bool isPaused() const { return m_isPaused; }
    [[nodiscard]] QVariantMap playerClocks() const { return m_shown.clocks; }

Q_SIGNALS:
    void soundManagerChanged();
    void clockChanged();

private:
    void sync();
    void answered();
    void connectionChanged();
    void updateRunning();
    void refresh();
    [[nodiscard]] bool isConnected() const;

    QPointer<GameManager> m_game;
    QPointer<ConnectionManager> m_connection;
    QPointer<SoundManager> m_sound;
    QElapsedTimer m_elapsed;
    QTimer m_tick;
    TurnClock m_clock;
    LowTimeWarning m_warning;
    bool m_hasClock = false;
    int m_secondsLeft = 0;
    bool m_isPaused = false;
    bool m_awaitingServer = false; // the connection went: the next answer sets the clock
    struct Shown
    {
        bool hasClock = false;
        int seconds = 0;
        bool paused = false;
        QVariantMap clocks;
        bool operator==(const Shown &) const = default;
    };
    Shown m_shown; // as last announced
};

} // namespace korvana::ui
