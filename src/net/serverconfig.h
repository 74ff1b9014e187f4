#pragma once

#include <QString>

namespace korvana {

// The game server's base URL: the build's default, or KORVANA_SERVER_URL when set.
QString serverBaseUrl();

} // namespace korvana
