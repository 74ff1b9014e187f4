// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bodymask.h"

#include <QRegularExpression>

namespace korvana {

QString maskTokens(const QString &body)
{
    // A JSON string value: quotes around any run of escaped or plain characters.
    static const QRegularExpression token(
        QStringLiteral(R"re(("token"\s*:\s*)"(?:[^"\\]|\\.)*")re"));
    QString masked = body;
    masked.replace(token, QStringLiteral(R"(\1"***")"));
    return masked;
}

} // namespace korvana
