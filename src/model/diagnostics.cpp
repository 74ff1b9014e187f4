// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagnostics.h"

#include <cstdio>

namespace korvana {
namespace {
DiagnosticSink &currentSink()
{
    static DiagnosticSink sink;
    return sink;
}

thread_local HeldDiagnostics *t_held = nullptr;
} // namespace

void diag(const QString &line)
{
    if (t_held) {
        t_held->keep(line);
        return;
    }
    if (const auto &sink = currentSink()) {
        sink(line);
        return;
    }
    // One write per line so lines from different sources never interleave mid-line.
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

DiagnosticSink setDiagnosticSink(DiagnosticSink sink)
{
    return std::exchange(currentSink(), std::move(sink));
}

HeldDiagnostics::HeldDiagnostics()
    : m_outer(std::exchange(t_held, this))
{
}

HeldDiagnostics::~HeldDiagnostics()
{
    if (m_active)
        t_held = m_outer;
}

void HeldDiagnostics::release()
{
    if (!m_active)
        return;
    m_active = false;
    t_held = m_outer;
    for (const QString &line : std::as_const(m_lines))
        diag(line);
}

} // namespace korvana
