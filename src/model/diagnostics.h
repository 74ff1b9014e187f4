// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

namespace korvana {

// Writes one diagnostic line to standard error. These lines are for developers, never shown to
// the player; tests capture them through a sink.
void diag(const QString &line);

// Replaces where lines go (nullptr restores standard error). Returns the previous sink.
using DiagnosticSink = std::function<void(const QString &)>;
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

} // namespace korvana
