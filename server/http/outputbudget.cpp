// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "outputbudget.h"

namespace korvana::http {

OutputBudget::OutputBudget(qint64 budgetBytes, std::function<void(Key)> wake,
                           std::function<void()> kernelHoldStarted)
    : m_budget(budgetBytes)
    , m_wake(std::move(wake))
    , m_kernelHoldStarted(std::move(kernelHoldStarted))
{
}

void OutputBudget::holdForKernel(Key key)
{
    const bool first = m_kernelHeld.isEmpty();
    m_kernelHeld.insert(key);
    if (first && m_kernelHoldStarted)
        m_kernelHoldStarted();
}

void OutputBudget::wakeKernelHeld()
{
    const QSet<Key> held = std::exchange(m_kernelHeld, {});
    for (Key k : held)
        if (m_wake)
            m_wake(k);
}

void OutputBudget::update(Key key, qint64 unsentBytes)
{
    const bool wasOver = m_total > m_budget;
    auto it = m_unsent.find(key);
    const qint64 before = it == m_unsent.end() ? 0 : *it;
    m_total += unsentBytes - before;
    if (unsentBytes > 0 && it == m_unsent.end())
        m_unsent.insert(key, unsentBytes);
    else if (unsentBytes > 0)
        *it = unsentBytes;
    else if (it != m_unsent.end())
        m_unsent.erase(it);
    if (wasOver && m_total <= m_budget && !m_held.isEmpty()) {
        const QSet<Key> held = std::exchange(m_held, {});
        for (Key k : held)
            if (m_wake)
                m_wake(k);
    }
}

void OutputBudget::remove(Key key)
{
    m_held.remove(key);
    m_kernelHeld.remove(key);
    update(key, 0);
}

bool OutputBudget::mayRead(Key key)
{
    if (m_total <= m_budget)
        return true;
    const qint64 share = m_budget / std::max<qsizetype>(1, m_unsent.size());
    if (m_unsent.value(key) <= share)
        return true;
    m_held.insert(key);
    return false;
}

} // namespace korvana::http
