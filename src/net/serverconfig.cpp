#include "serverconfig.h"

namespace korvana {

QString serverBaseUrl()
{
    QString url = qEnvironmentVariable("KORVANA_SERVER_URL");
    if (url.isEmpty())
        url = QStringLiteral(KORVANA_DEFAULT_SERVER_URL);
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

} // namespace korvana
