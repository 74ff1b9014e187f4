#pragma once

#include <QString>

namespace korvana::screenshots {

// A game against three bots on a real korvana-server, played for a while by the tool itself,
// then pictured with the play aids: move hints for a selected piece, colour-blind marks, and the
// clock paused while the network is gone. Returns the number of pictures that failed.
int shootPlayAids(const QString &dir);

} // namespace korvana::screenshots
