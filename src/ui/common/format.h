// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace korvana::ui {

// The label of a chosen time limit: "Bez limitu", "45s", "5 min", "1h".
[[nodiscard]] QString formatTimeLimit(qint64 seconds);

// Text formatting shared by the screens, for QML: Format.timeLimit(300).
class Format : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    Q_INVOKABLE static QString timeLimit(qint64 seconds) { return formatTimeLimit(seconds); }
};

} // namespace korvana::ui
