// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "systemfeedback.h"

#include <QList>

#include <variant>

namespace korvana::test {

// One call that reached the feedback seam.
struct FeedbackCall
{
    std::variant<feedback::SystemSound, feedback::Haptic> what;

    friend bool operator==(const FeedbackCall &, const FeedbackCall &) = default;
};

[[nodiscard]] inline FeedbackCall sound(feedback::SystemSound s)
{
    return {s};
}
[[nodiscard]] inline FeedbackCall haptic(feedback::Haptic h)
{
    return {h};
}

// For QCOMPARE messages: "sound 1104", "haptic 1".
char *toString(const FeedbackCall &call);

// Records every sound and haptic in order and plays nothing; the audio set-up succeeds.
class RecordingFeedback final : public SystemFeedback
{
    Q_OBJECT
public:
    using SystemFeedback::SystemFeedback;

    void playSound(feedback::SystemSound s) override { m_calls.append(sound(s)); }
    void haptic(feedback::Haptic h) override { m_calls.append(test::haptic(h)); }
    std::expected<void, QString> configureAudio() override { return {}; }

    [[nodiscard]] const QList<FeedbackCall> &calls() const { return m_calls; }
    void clear() { m_calls.clear(); }

private:
    QList<FeedbackCall> m_calls;
};

} // namespace korvana::test
