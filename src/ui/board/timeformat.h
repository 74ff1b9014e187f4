#pragma once

#include <QString>

namespace korvana::board {

// A clock for the header: "2:05" above 59 seconds, else "45s".
[[nodiscard]] QString formatTime(qint64 seconds);

} // namespace korvana::board
