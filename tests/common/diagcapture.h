// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "diagnostics.h"

#include <QStringList>

// Collects the diagnostic lines written while it lives.
class DiagCapture
{
public:
    DiagCapture()
    {
        m_previous = korvana::setDiagnosticSink([this](const QString &line) { lines << line; });
    }
    ~DiagCapture() { korvana::setDiagnosticSink(std::move(m_previous)); }
    DiagCapture(const DiagCapture &) = delete;
    DiagCapture &operator=(const DiagCapture &) = delete;

    QStringList lines;

private:
    korvana::DiagnosticSink m_previous;
};
