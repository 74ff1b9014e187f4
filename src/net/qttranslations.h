// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QTranslator;

namespace korvana {

// Installs Qt's own Polish texts so that transport errors read in Polish, as on a phone set to
// Polish. Returns the installed translator (the application owns it; removing and deleting it
// brings the English texts back), or null when the translation file is missing.
QTranslator *loadQtPolishTranslations();

} // namespace korvana
