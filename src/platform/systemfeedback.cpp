// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "systemfeedback.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace korvana {
namespace {

using feedback::SystemSound;

constexpr SystemSound allSounds[] = {
    SystemSound::Refused,  SystemSound::Placed,  SystemSound::MyTurn, SystemSound::GameFinished,
    SystemSound::Selected, SystemSound::Rotated, SystemSound::LowTime};

QPointer<SystemFeedback> &installed()
{
    static QPointer<SystemFeedback> feedback;
    return feedback;
}

bool haveAudioOutput()
{
    return !QMediaDevices::defaultAudioOutput().isNull();
}

class EffectVoice final : public SoundVoice
{
public:
    explicit EffectVoice(const QUrl &source)
    {
        // The sample cache keeps the decoded sound: a fresh effect loads at once.
        m_effect.setSource(source);
    }

    bool isPlaying() const override { return m_effect.isPlaying(); }
    void play() override { m_effect.play(); }

private:
    QSoundEffect m_effect;
};

} // namespace

void SystemFeedback::play(feedback::Event event)
{
    const auto recipe = feedback::recipe(event);
    playSound(recipe.sound);
    if (recipe.haptic)
        haptic(*recipe.haptic);
}

SystemFeedback &SystemFeedback::shared()
{
    if (auto *feedback = installed().data())
        return *feedback;
    // Owned by the application so its sound effects go before the multimedia backend does.
    static QPointer<DesktopFeedback> desktop;
    if (!desktop)
        desktop = new DesktopFeedback(QCoreApplication::instance());
    return *desktop;
}

void SystemFeedback::setShared(SystemFeedback *feedback)
{
    installed() = feedback;
}

VoicePool::VoicePool(std::function<std::unique_ptr<SoundVoice>()> makeVoice, std::size_t maxVoices)
    : m_makeVoice(std::move(makeVoice))
    , m_maxVoices(std::max<std::size_t>(maxVoices, 1))
{
}

void VoicePool::play()
{
    // A voice that finished cleanly plays again until it has started startsPerVoice times;
    // then, or when none is free, a fresh one takes the play.
    const auto reusable = std::find_if(m_voices.begin(), m_voices.end(), [](const Voice &v) {
        return !v.voice->isPlaying() && v.starts < startsPerVoice;
    });
    if (reusable != m_voices.end()) {
        Voice voice = std::move(*reusable);
        m_voices.erase(reusable);
        ++voice.starts;
        voice.voice->play();
        m_voices.push_back(std::move(voice));
        return;
    }
    std::erase_if(m_voices, [](const Voice &v) { return !v.voice->isPlaying(); });
    while (m_voices.size() >= m_maxVoices)
        m_voices.pop_front();
    auto fresh = m_makeVoice();
    if (!fresh)
        return;
    fresh->play();
    m_voices.push_back({std::move(fresh), 1});
}

DesktopFeedback::DesktopFeedback(QObject *parent)
    : SystemFeedback(parent)
{
}

DesktopFeedback::~DesktopFeedback() = default;

QString DesktopFeedback::resourcePath(SystemSound sound)
{
    switch (sound) {
    case SystemSound::Refused:
        return QStringLiteral(":/korvana/sounds/refused.wav");
    case SystemSound::Placed:
        return QStringLiteral(":/korvana/sounds/placed.wav");
    case SystemSound::MyTurn:
        return QStringLiteral(":/korvana/sounds/turn.wav");
    case SystemSound::GameFinished:
        return QStringLiteral(":/korvana/sounds/finished.wav");
    case SystemSound::Selected:
        return QStringLiteral(":/korvana/sounds/select.wav");
    case SystemSound::Rotated:
        return QStringLiteral(":/korvana/sounds/rotate.wav");
    case SystemSound::LowTime:
        return QStringLiteral(":/korvana/sounds/lowtime.wav");
    }
    return {};
}

std::expected<void, QString> DesktopFeedback::configureAudio()
{
    if (!haveAudioOutput())
        return std::unexpected(QStringLiteral("no audio output device"));
    return {};
}

bool DesktopFeedback::ensureLoaded()
{
    if (!m_pools.empty())
        return true;
    // Without an output QSoundEffect "plays" silently forever and warns on every play; stay
    // quiet instead and look again next time, in case a device appeared.
    if (!haveAudioOutput())
        return false;
    for (const SystemSound sound : allSounds) {
        const QUrl source(QLatin1String("qrc") + resourcePath(sound));
        m_samples.push_back(std::make_unique<QSoundEffect>());
        m_samples.back()->setSource(source);
        m_pools.emplace(sound, VoicePool([source] { return std::make_unique<EffectVoice>(source); },
                                         voicesPerSound));
    }
    return true;
}

void DesktopFeedback::playSound(SystemSound sound)
{
    if (!ensureLoaded())
        return;
    // Never wait for an effect to finish: without a working device it may never stop.
    if (const auto pool = m_pools.find(sound); pool != m_pools.end())
        pool->second.play();
}

void DesktopFeedback::haptic(feedback::Haptic)
{
    // A desktop has nothing to vibrate.
}

} // namespace korvana
