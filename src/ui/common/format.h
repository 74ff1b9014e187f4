// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace korvana::ui {

// The label of a chosen time limit: "Bez limitu", "45s", "5 min", "1h".
[[nodiscard]] QString formatTimeLimit(qint64 seconds);

// A count with its noun in the Polish form the number takes: 1 gra, 2 gry, 5 gier, 22 gry.
[[nodiscard]] QString polishCount(qint64 count, const QString &one, const QString &few,
                                  const QString &many);
// The lobby's statistics line: "2 gry • 1 wygrana".
[[nodiscard]] QString formatStatistics(qint64 gamesPlayed, qint64 gamesWon);

// Text formatting shared by the screens, for QML: Format.timeLimit(300).
class Format : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    Q_INVOKABLE static QString timeLimit(qint64 seconds) { return formatTimeLimit(seconds); }
    Q_INVOKABLE static QString statistics(qint64 gamesPlayed, qint64 gamesWon)
    {
        return formatStatistics(gamesPlayed, gamesWon);
    }
};

} // namespace korvana::ui
