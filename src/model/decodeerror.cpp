// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "decodeerror.h"

namespace korvana {
namespace {
QString shownPath(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("(korzeń)") : path;
}
} // namespace

QString DecodeError::description() const
{
    switch (kind) {
    case Kind::TypeMismatch:
        return QStringLiteral("Nieprawidłowy typ w %1: oczekiwano %2, otrzymano %3")
            .arg(shownPath(path), expectedType, detail);
    case Kind::ValueMissing:
        return QStringLiteral("Brak wartości w %1: oczekiwano %2, otrzymano null")
            .arg(shownPath(path), expectedType);
    case Kind::KeyMissing:
        return QStringLiteral("Brak klucza '%1' w %2").arg(key, shownPath(path));
    case Kind::DataCorrupted:
        return QStringLiteral("Uszkodzone dane: %1").arg(detail);
    case Kind::Other:
        break;
    }
    return detail;
}

QString DecodeError::kindLine() const
{
    switch (kind) {
    case Kind::TypeMismatch:
        return QStringLiteral("   ❌ Nieprawidłowy typ: ") + expectedType +
               QStringLiteral(" w ścieżce: ") + shownPath(path);
    case Kind::ValueMissing:
        return QStringLiteral("   ❌ Brak wartości: ") + expectedType +
               QStringLiteral(" w ścieżce: ") + shownPath(path);
    case Kind::KeyMissing:
        return QStringLiteral("   ❌ Brak klucza: '") + key + QStringLiteral("' w ścieżce: ") +
               shownPath(path);
    case Kind::DataCorrupted:
        return QStringLiteral("   ❌ Uszkodzone dane: ") + detail;
    case Kind::Other:
        break;
    }
    return QStringLiteral("   ❌ Nieznany błąd: ") + description();
}

} // namespace korvana
