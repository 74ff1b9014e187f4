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

} // namespace korvana::rooms
