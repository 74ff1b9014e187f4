// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

#include <optional>

namespace korvana {
class GameManager;
} // namespace korvana

namespace korvana::ui {

// When the turn passes to me while the window is not active, the window asks for attention
// (the platform's alert: a flashing taskbar entry, a bouncing dock icon).
class TurnAlert : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QWindow *window READ window WRITE setWindow NOTIFY windowChanged)

public:
    // On the game manager the root published.
    explicit TurnAlert(QObject *parent = nullptr);
    explicit TurnAlert(GameManager *gameManager, QObject *parent = nullptr);

    [[nodiscard]] QWindow *window() const { return m_window; }
    void setWindow(QWindow *window);

Q_SIGNALS:
    void windowChanged();
    // The window was asked for attention.
    void alerted();

private:
    void gameStateChanged();

    QPointer<GameManager> m_game;
    QPointer<QWindow> m_window;
    std::optional<QString> m_lastCurrentPlayerId;
};

} // namespace korvana::ui
