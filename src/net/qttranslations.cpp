// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "qttranslations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace korvana {

QTranslator *loadQtPolishTranslations()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    // Bundled at build time, so an installed client does not depend on Qt's translations folder.
    if (!translator->load(QStringLiteral(":/korvana/translations/qtbase_pl.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace korvana
