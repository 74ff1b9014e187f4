// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "pathmonitor.h"

namespace korvana::test {

// A path monitor whose reports the test makes: report(true) or report(false) emits pathChanged
// at once. Reports made while stopped are dropped, as a stopped monitor reports nothing.
class FakePathMonitor final : public PathMonitor
{
    Q_OBJECT
public:
    using PathMonitor::PathMonitor;

    void start() override { m_running = true; }
    void stop() override { m_running = false; }
    void report(bool usable)
    {
        if (m_running)
            Q_EMIT pathChanged(usable);
    }
    [[nodiscard]] bool isRunning() const { return m_running; }

private:
    bool m_running = false;
};

} // namespace korvana::test
