#pragma once

class QQuickWindow;

namespace korvana::ui {

// Enter and Return press the button that has the keyboard focus, as Space does: Qt Quick
// Controls 6.4 takes only Space. Installed once on the client's window.
void letEnterPressButtons(QQuickWindow *window);

} // namespace korvana::ui
