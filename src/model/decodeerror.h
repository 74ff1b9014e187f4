// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace korvana {

// Why a received message could not be read, and where.
struct DecodeError
{
    enum class Kind { TypeMismatch, ValueMissing, KeyMissing, DataCorrupted, Other };

    Kind kind = Kind::Other;
    QString expectedType; // TypeMismatch, ValueMissing
    QString key;          // KeyMissing
    QString path;         // keys and list positions from the root, e.g. players[0].pieces[3]
    QString detail;       // what was found instead, or the parser's own message

    [[nodiscard]] QString description() const;
    // The line that names the kind, printed after an unreadable reply.
    [[nodiscard]] QString kindLine() const;
};

} // namespace korvana
