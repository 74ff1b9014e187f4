// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firstframe.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QTextStream>

namespace korvana {

void exitAfterFirstFrameWhenAsked(QQuickWindow *window)
{
    if (!window || !qEnvironmentVariableIsSet("KORVANA_EXIT_AFTER_FIRST_FRAME"))
        return;
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [] {
            QTextStream(stdout) << "first frame" << Qt::endl; // notr: for scripts
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
}

} // namespace korvana
