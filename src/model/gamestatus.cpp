// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamestatus.h"

namespace korvana {

GameStatus gameStatusNamed(QAnyStringView name)
{
    if (name == u"in_progress")
        return GameStatus::InProgress;
    if (name == u"waiting")
        return GameStatus::Waiting;
    if (name == u"finished")
        return GameStatus::Finished;
    return GameStatus::Unknown;
}

QString wireName(GameStatus status)
{
    switch (status) {
    case GameStatus::Waiting:
        return QStringLiteral("waiting");
    case GameStatus::InProgress:
        return QStringLiteral("in_progress");
    case GameStatus::Finished:
        return QStringLiteral("finished");
    case GameStatus::Unknown:
        break;
    }
    return {};
}

} // namespace korvana
