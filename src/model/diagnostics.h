// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace korvana {

// Writes one diagnostic line to standard error. These lines are for developers, never shown to
// the player; tests capture them through a sink.
void diag(const QString &line);

// Replaces where lines go (nullptr restores standard error). Returns the previous sink.
using DiagnosticSink = std::function<void(const QString &)>;
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

// While one lives, this thread's lines are kept back; release() writes them, else they are dropped.
class HeldDiagnostics
{
public:
    HeldDiagnostics();
    ~HeldDiagnostics();
    HeldDiagnostics(const HeldDiagnostics &) = delete;
    HeldDiagnostics &operator=(const HeldDiagnostics &) = delete;

    void keep(const QString &line) { m_lines.append(line); }
    void release();

private:
    HeldDiagnostics *m_outer;
    QStringList m_lines;
    bool m_active = true;
};

} // namespace korvana
