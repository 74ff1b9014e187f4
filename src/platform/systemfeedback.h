// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <expected>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QSoundEffect;

namespace korvana {

namespace feedback {
Q_NAMESPACE

// The system sounds by their platform numbers. (Not a Q_ENUM: QML sees the enumerators of a
// namespace unscoped, and these names would clash with Event's.)
enum class SystemSound {
    LowTime = 1005,
    Refused = 1073,
    Placed = 1104,
    MyTurn = 1315,
    GameFinished = 1335,
    Selected = 1519,
    Rotated = 1520,
};

enum class Haptic {
    LightImpact,
    MediumImpact,
    SuccessNotification,
    ErrorNotification,
    WarningNotification,
};

// The game's feedback events, each one sound and at most one haptic. Registered for QML with
// the namespace (e.g. as "Feedback": soundManager.play(Feedback.Rotated)).
enum class Event {
    Placed,
    Refused,
    Selected,
    SelectedShortDrag,
    Rotated,
    GameFinished,
    MyTurn,
    LowTime,
};
Q_ENUM_NS(Event)

struct Recipe
{
    SystemSound sound;
    std::optional<Haptic> haptic;
};

[[nodiscard]] constexpr Recipe recipe(Event event)
{
    switch (event) {
    case Event::Placed:
        return {SystemSound::Placed, Haptic::MediumImpact};
    case Event::Refused:
        return {SystemSound::Refused, Haptic::ErrorNotification};
    case Event::Selected:
        return {SystemSound::Selected, Haptic::LightImpact};
    case Event::SelectedShortDrag:
        return {SystemSound::Selected, std::nullopt};
    case Event::Rotated:
        return {SystemSound::Rotated, Haptic::LightImpact};
    case Event::GameFinished:
        return {SystemSound::GameFinished, Haptic::SuccessNotification};
    case Event::MyTurn:
        return {SystemSound::MyTurn, Haptic::MediumImpact};
    case Event::LowTime:
        return {SystemSound::LowTime, Haptic::WarningNotification};
    }
    return {SystemSound::Selected, std::nullopt};
}

} // namespace feedback

// Plays system sounds and haptics. Calls never fail and never block; without an audio output
// the sounds are simply not heard.
class SystemFeedback : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void playSound(feedback::SystemSound sound) = 0;
    virtual void haptic(feedback::Haptic haptic) = 0;
    // Checks that sounds can be heard; the error says why not.
    virtual std::expected<void, QString> configureAudio() = 0;

    // The event's sound, then its haptic if it has one.
    void play(feedback::Event event);

    // The process-wide feedback: a DesktopFeedback unless a test installed another.
    static SystemFeedback &shared();
    // Installs a replacement for shared() (not owned); nullptr goes back to the desktop one.
    static void setShared(SystemFeedback *feedback);
};

// One playable copy of a sound: a QSoundEffect on a desktop, a fake in tests.
class SoundVoice
{
public:
    virtual ~SoundVoice() = default;
    [[nodiscard]] virtual bool isPlaying() const = 0;
    virtual void play() = 0;
};

// The voices of one sound. On PulseAudio a QSoundEffect started five to eight times stops
// reaching the output while it goes on claiming to play, and stop() and play() do not bring it
// back. So a voice plays again only after it finished cleanly and at most startsPerVoice times;
// otherwise a fresh one takes the play. At most `maxVoices` are kept: a voice that never says it
// finished (as without an audio device) goes when the cap is reached.
class VoicePool
{
public:
    VoicePool(std::function<std::unique_ptr<SoundVoice>()> makeVoice, std::size_t maxVoices);
    void play();
    [[nodiscard]] std::size_t size() const { return m_voices.size(); }
    // Starts of one voice before a fresh one takes over: the stall came at the fifth to eighth.
    static constexpr int startsPerVoice = 3;

private:
    std::function<std::unique_ptr<SoundVoice>()> m_makeVoice;
    std::size_t m_maxVoices;
    struct Voice
    {
        std::unique_ptr<SoundVoice> voice;
        int starts = 0;
    };
    std::deque<Voice> m_voices; // least recently started first
};

// Short bundled WAV sounds through QSoundEffect; haptics do nothing on a desktop.
class DesktopFeedback final : public SystemFeedback
{
    Q_OBJECT
public:
    explicit DesktopFeedback(QObject *parent = nullptr);
    ~DesktopFeedback() override;

    void playSound(feedback::SystemSound sound) override;
    void haptic(feedback::Haptic haptic) override;
    std::expected<void, QString> configureAudio() override;

    // The bundled sound of a system sound number.
    [[nodiscard]] static QString resourcePath(feedback::SystemSound sound);

    // Voices per sound: a sound may overlap itself three times before the oldest is cut short.
    static constexpr std::size_t voicesPerSound = 4;

private:
    bool ensureLoaded();

    std::map<feedback::SystemSound, VoicePool> m_pools;
    // One idle effect per sound keeps its decoded sample in the cache for the fresh voices.
    std::vector<std::unique_ptr<QSoundEffect>> m_samples;
};

} // namespace korvana
