// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "soundmanager.h"

#include "diagnostics.h"
#include "keyvaluestore.h"

namespace korvana {

SoundManager::SoundManager(QObject *parent)
    : SoundManager(KeyValueStore::shared(), SystemFeedback::shared(), parent)
{
}

SoundManager::SoundManager(KeyValueStore &store, SystemFeedback &feedback, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_feedback(feedback)
    , m_isSoundEnabled(store.boolean(storekeys::soundEnabled).value_or(true))
{
    // Without audio the manager stays usable; the sounds are just not heard.
    if (const auto configured = m_feedback.configureAudio(); !configured)
        diag(QStringLiteral("⚠️ Failed to configure audio session: ") + configured.error());
}

void SoundManager::toggleSound()
{
    m_isSoundEnabled = !m_isSoundEnabled;
    m_store.setBoolean(storekeys::soundEnabled, m_isSoundEnabled);
    Q_EMIT isSoundEnabledChanged();
}

void SoundManager::playPlacementSound()
{
    play(feedback::Event::Placed);
}

void SoundManager::play(feedback::Event event)
{
    if (m_isSoundEnabled)
        m_feedback.play(event);
}

} // namespace korvana
