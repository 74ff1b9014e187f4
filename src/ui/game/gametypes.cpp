#include "gametypes.h"

namespace korvana::ui {

QString GameScreenFormat::formatTime(qint64 seconds)
{
    return ui::formatTime(seconds);
}

QString GameScreenFormat::timerTone(qint64 secondsLeft)
{
    switch (ui::timerTone(secondsLeft)) {
    case TimerTone::Red:
        return QStringLiteral("red");
    case TimerTone::Orange:
        return QStringLiteral("orange");
    case TimerTone::White:
        break;
    }
    return QStringLiteral("white");
}

} // namespace korvana::ui
