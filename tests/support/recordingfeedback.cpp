// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "recordingfeedback.h"

#include <QTest>

namespace korvana::test {

char *toString(const FeedbackCall &call)
{
    if (const auto *s = std::get_if<feedback::SystemSound>(&call.what))
        return QTest::toString(QByteArray("sound ") + QByteArray::number(int(*s)));
    return QTest::toString(QByteArray("haptic ") +
                           QByteArray::number(int(std::get<feedback::Haptic>(call.what))));
}

} // namespace korvana::test
