// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

namespace korvana::http {

// What one request may hold; every check of these sizes reads them from here.
struct RequestLimits
{
    qsizetype maxHeadBytes = 16 * 1024; // request line, headers and trailers
    qsizetype maxBodyBytes = 64 * 1024;
    int maxHeaderCount = 64;
};

} // namespace korvana::http
