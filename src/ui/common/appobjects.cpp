// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "appobjects.h"

#include <QQuickStyle>

namespace korvana::ui {
namespace {
AppObjects s_objects;
}

void publish(const AppObjects &objects)
{
    s_objects = objects;
}

const AppObjects &published()
{
    return s_objects;
}

void useAppStyle()
{
    // Basic is the lightest style and draws every control from our own palette, so the client
    // looks the same on every desktop whatever the system theme is. Qt accepts the style only
    // before the first engine loads Qt Quick Controls, so later roots (tests) leave it be.
    static const bool once = [] {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        return true;
    }();
    Q_UNUSED(once);
}

} // namespace korvana::ui
