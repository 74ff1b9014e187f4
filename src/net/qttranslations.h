// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace korvana {

// Loads Qt's own Polish texts so that transport errors read in Polish, as on a phone set to
// Polish. Returns false when the translation files are missing; the texts then stay English.
bool loadQtPolishTranslations();

} // namespace korvana
