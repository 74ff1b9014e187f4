// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QSet>

#include <functional>

namespace korvana::http {

// The bound on the whole server's unsent output. Each connection reports what it holds; while
// the sum is over the budget, the connections holding more than an even share of it are not
// read (so nothing more is made for them), and are woken when the sum falls back under it.
// Connections held back by what the kernel holds for their clients are woken together, on one
// timer, rather than each on its own.
class OutputBudget
{
public:
    using Key = const void *;

    explicit OutputBudget(qint64 budgetBytes, std::function<void(Key)> wake = {},
                          std::function<void()> kernelHoldStarted = {});

    void update(Key key, qint64 unsentBytes);
    void remove(Key key);
    // Whether `key` may read its next request now; if not it is woken later.
    [[nodiscard]] bool mayRead(Key key);
    [[nodiscard]] qint64 total() const { return m_total; }
    // `key` waits for its client to take what the kernel holds; woken by wakeKernelHeld.
    void holdForKernel(Key key);
    void wakeKernelHeld();

private:
    qint64 m_budget;
    std::function<void(Key)> m_wake;
    std::function<void()> m_kernelHoldStarted;
    QSet<Key> m_kernelHeld;
    QHash<Key, qint64> m_unsent; // only those holding bytes
    QSet<Key> m_held;
    qint64 m_total = 0;
};

} // namespace korvana::http
