// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "roomnames.h"

namespace korvana::rooms {

QString roomName(const QString &creator)
{
    const QString name = creator.trimmed();
    bool letters = name.size() >= 3;
    for (const QChar c : name)
        letters = letters && c.isLetter();
    if (!letters || !name.endsWith(u'a') || !name.at(0).isUpper())
        return QStringLiteral("Pokój gracza ") + name;
    // Genitive of -a names: Anna -> Anny, Olga -> Olgi, Kasia -> Kasi, Maja -> Mai, Ola -> Oli.
    const QString stem = name.chopped(1);
    const QChar last = stem.back().toLower();
    QString genitive;
    if (last == u'i' || last == u'j')
        genitive = last == u'j' ? stem.chopped(1) + u'i' : stem;
    else if (last == u'k' || last == u'g' || last == u'l')
        genitive = stem + u'i';
    else
        genitive = stem + u'y';
    return QStringLiteral("Pokój ") + genitive;
}

} // namespace korvana::rooms
