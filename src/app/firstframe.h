// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QQuickWindow;

namespace korvana {

// For the start-up benchmark: when KORVANA_EXIT_AFTER_FIRST_FRAME is set, prints "first frame"
// once the window has drawn its first frame and quits. Does nothing otherwise.
void exitAfterFirstFrameWhenAsked(QQuickWindow *window);

} // namespace korvana
