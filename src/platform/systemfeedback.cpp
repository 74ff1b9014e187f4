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
    EffectVoice(const QUrl &source, QObject *parent)
        : m_effect(new QSoundEffect(parent))
    {
        m_effect->setSource(source);
    }

    bool isPlaying() const override { return m_effect->isPlaying(); }
    void play() override { m_effect->play(); }
    void stop() override { m_effect->stop(); }

private:
    QSoundEffect *m_effect; // owned by the feedback object, with the backend's lifetime
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

VoicePool::VoicePool(std::vector<std::unique_ptr<SoundVoice>> voices)
    : m_voices(std::move(voices))
{
}

void VoicePool::play()
{
    if (m_voices.empty())
        return;
    const std::size_t count = m_voices.size();
    std::size_t chosen = m_next;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t index = (m_next + i) % count;
        if (!m_voices[index]->isPlaying()) {
            chosen = index;
            break;
        }
    }
    SoundVoice &voice = *m_voices[chosen];
    // A voice that still claims to play starts nothing on play(); stop() first makes it start.
    if (voice.isPlaying())
        voice.stop();
    voice.play();
    m_next = (chosen + 1) % count;
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
        std::vector<std::unique_ptr<SoundVoice>> voices;
        for (int i = 0; i < voicesPerSound; ++i)
            voices.push_back(std::make_unique<EffectVoice>(source, this));
        m_pools.emplace(sound, VoicePool(std::move(voices)));
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
