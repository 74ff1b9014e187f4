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
    if (!m_effects.isEmpty())
        return true;
    // Without an output QSoundEffect "plays" silently forever and warns on every play; stay
    // quiet instead and look again next time, in case a device appeared.
    if (!haveAudioOutput())
        return false;
    for (const SystemSound sound : allSounds) {
        auto *effect = new QSoundEffect(this);
        effect->setSource(QUrl(QLatin1String("qrc") + resourcePath(sound)));
        m_effects.insert(sound, effect);
    }
    return true;
}

void DesktopFeedback::playSound(SystemSound sound)
{
    if (!ensureLoaded())
        return;
    // Never wait for an effect to finish: without a working device it may never stop.
    if (auto *effect = m_effects.value(sound))
        effect->play();
}

void DesktopFeedback::haptic(feedback::Haptic)
{
    // A desktop has nothing to vibrate.
}

} // namespace korvana
