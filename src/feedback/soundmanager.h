// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "systemfeedback.h"

#include <QObject>

namespace korvana {

class KeyValueStore;

// The one switch that gates every sound and haptic of the game screen, kept in the key-value
// store under "soundEnabled", and the player of the game's feedback events.
class SoundManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isSoundEnabled READ isSoundEnabled NOTIFY isSoundEnabledChanged)
public:
    // On the process-wide store and feedback.
    explicit SoundManager(QObject *parent = nullptr);
    SoundManager(KeyValueStore &store, SystemFeedback &feedback, QObject *parent = nullptr);

    [[nodiscard]] bool isSoundEnabled() const { return m_isSoundEnabled; }

    Q_INVOKABLE void toggleSound();
    // Sound 1104 and a medium impact, only while sound is on.
    Q_INVOKABLE void playPlacementSound();
    // Any feedback event's sound and haptic, only while sound is on.
    Q_INVOKABLE void play(korvana::feedback::Event event);

Q_SIGNALS:
    void isSoundEnabledChanged();

private:
    KeyValueStore &m_store;
    SystemFeedback &m_feedback;
    bool m_isSoundEnabled = true;
};

} // namespace korvana
