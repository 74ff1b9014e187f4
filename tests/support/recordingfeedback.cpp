#include "recordingfeedback.h"

#include <QTest>

namespace korvana::test {

char *toString(const FeedbackCall &call)
{
    if (const auto *s = std::get_if<feedback::SystemSound>(&call.what))
        return QTest::toString(QByteArray("sound ") + QByteArray::number(int(*s)));
    const char *name = "?";
    switch (std::get<feedback::Haptic>(call.what)) {
    case feedback::Haptic::LightImpact:
        name = "LightImpact";
        break;
    case feedback::Haptic::MediumImpact:
        name = "MediumImpact";
        break;
    case feedback::Haptic::SuccessNotification:
        name = "SuccessNotification";
        break;
    case feedback::Haptic::ErrorNotification:
        name = "ErrorNotification";
        break;
    }
    return QTest::toString(QByteArray("haptic ") + name);
}

std::expected<void, QString> RecordingFeedback::configureAudio()
{
    ++m_configureCount;
    if (m_audioError)
        return std::unexpected(*m_audioError);
    return {};
}

} // namespace korvana::test
