#include "timeformat.h"

namespace korvana::board {

QString formatTime(qint64 seconds)
{
    if (seconds > 59) {
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    return QString::number(seconds) + QLatin1Char('s');
}

} // namespace korvana::board
