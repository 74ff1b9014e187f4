// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

namespace korvana::http {

// Many timeouts on one timer. Thousands of connections and held polls each with a QTimer of
// their own make every start and stop a walk through Qt's list of timers; here adding and
// cancelling cost a logarithm, and the timer moves only for a new earliest deadline.
class Deadlines : public QObject
{
    Q_OBJECT

public:
    // Names an entry; 0 for none.
    using Handle = quint64;

    explicit Deadlines(QObject *parent = nullptr);

    // Calls `due` on this thread `ms` from now, unless cancelled first.
    [[nodiscard]] Handle add(int ms, std::function<void()> due);
    // Takes the entry out, if it is still there, and clears the handle.
    void cancel(Handle &handle);

private:
    struct Entry
    {
        Handle handle;
        std::function<void()> due;
    };
    using Queue = std::multimap<qint64, Entry>;

    void fire();
    void arm();

    Queue m_queue;
    QHash<Handle, Queue::iterator> m_entries;
    Handle m_next = 1;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace korvana::http
