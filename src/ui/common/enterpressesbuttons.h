// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QQuickWindow;

namespace korvana::ui {

// Enter and Return press the button that has the keyboard focus, as Space does: Qt Quick
// Controls 6.4 takes only Space. Installed once on the client's window.
void letEnterPressButtons(QQuickWindow *window);

} // namespace korvana::ui
