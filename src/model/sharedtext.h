// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <string_view>

namespace korvana::json {

// The text as a QString, shared with earlier reads of the same short text on this thread.
QString sharedText(std::string_view text);

} // namespace korvana::json
