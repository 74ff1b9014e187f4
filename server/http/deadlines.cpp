// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "deadlines.h"

namespace korvana::http {

Deadlines::Deadlines(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Deadlines::fire);
}

Deadlines::Handle Deadlines::add(int ms, std::function<void()> due)
{
    const Handle handle = m_next++;
    const auto entry = m_queue.emplace(m_clock.elapsed() + ms, Entry{handle, std::move(due)});
    m_entries.insert(handle, entry);
    if (entry == m_queue.begin())
        arm();
    return handle;
}

void Deadlines::cancel(Handle &handle)
{
    if (const auto it = m_entries.find(std::exchange(handle, 0)); it != m_entries.end()) {
        m_queue.erase(*it);
        m_entries.erase(it);
    }
}

void Deadlines::arm()
{
    if (m_queue.empty())
        return m_timer.stop();
    m_timer.start(int(std::max<qint64>(0, m_queue.begin()->first - m_clock.elapsed())));
}

void Deadlines::fire()
{
    // Each due entry is taken out before it runs: it may add or cancel others.
    while (!m_queue.empty() && m_queue.begin()->first <= m_clock.elapsed()) {
        auto due = std::move(m_queue.begin()->second.due);
        m_entries.remove(m_queue.begin()->second.handle);
        m_queue.erase(m_queue.begin());
        due();
    }
    arm();
}

} // namespace korvana::http
