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
} // namespace

void diag(const QString &line)
{
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

} // namespace korvana
