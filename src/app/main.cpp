// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firstframe.h"
#include "keyvaluestore.h"
#include "korvanaapp.h"
#include "serverconfig.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Korvana"));
    QGuiApplication::setApplicationName(QStringLiteral("Korvana"));

    korvana::KorvanaApp root(korvana::serverUrlForThisRun(), korvana::KeyValueStore::shared());
    if (!root.load())
        return 1;
    korvana::exitAfterFirstFrameWhenAsked(root.window());
    return QGuiApplication::exec();
}
