// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serverconfig.h"

#include <QUrl>

namespace korvana {

QString serverUrlForThisRun()
{
    QString url = qEnvironmentVariable("KORVANA_SERVER_URL").trimmed();
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

quint16 localServerPort()
{
    return quint16(QUrl(QStringLiteral(KORVANA_DEFAULT_SERVER_URL)).port(8765));
}

} // namespace korvana
