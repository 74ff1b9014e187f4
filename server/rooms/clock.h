// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace korvana::rooms {

// Milliseconds since the epoch for the game clocks; tests substitute a clock they move by hand.
class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual qint64 nowMs() const = 0;
};

// Wall time read once at start and carried on by a monotonic timer, so a clock change of the
// machine never jumps a game clock while the server runs.
class SystemClock final : public Clock
{
public:
    SystemClock()
        : m_startMs(QDateTime::currentMSecsSinceEpoch())
    {
        m_elapsed.start();
    }
    [[nodiscard]] qint64 nowMs() const override { return m_startMs + m_elapsed.elapsed(); }

private:
    qint64 m_startMs;
    QElapsedTimer m_elapsed;
};

class ManualClock final : public Clock
{
public:
    explicit ManualClock(qint64 nowMs = 1'700'000'000'000)
        : m_now(nowMs)
    {
    }
    [[nodiscard]] qint64 nowMs() const override { return m_now; }
    void set(qint64 nowMs) { m_now = nowMs; }
    void advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now;
};

// The time of the rooms: `base` less every stall of the server itself. While watched (a game
// clock runs and a heartbeat looks every second), two readings more than StallMs apart mean the
// process stood still (stopped, frozen, starved); that gap is charged to nobody, as the time a
// server is down between two runs is not. Every reading checks, so whatever runs first after a
// stall (a request, a clock's timer) already sees the time without it.
class StallFreeClock final : public Clock
{
public:
    static constexpr qint64 StallMs = 2000;

    explicit StallFreeClock(const Clock &base)
        : m_base(base)
    {
    }
    [[nodiscard]] qint64 nowMs() const override
    {
        const qint64 now = m_base.nowMs();
        if (m_watched && now - m_lastMs > StallMs)
            m_skippedMs += now - m_lastMs;
        m_lastMs = now;
        return now - m_skippedMs;
    }
    void watch(bool on)
    {
        if (on && !m_watched)
            m_lastMs = m_base.nowMs();
        m_watched = on;
    }
    [[nodiscard]] qint64 skippedMs() const { return m_skippedMs; }

private:
    const Clock &m_base;
    bool m_watched = false;
    mutable qint64 m_lastMs = 0;
    mutable qint64 m_skippedMs = 0;
};

} // namespace korvana::rooms
