// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QObject;

namespace korvana {

// Calls changed whenever the application's translators change (QEvent::LanguageChange), for as
// long as owner lives: objects whose properties carry translated text announce them anew.
void onLanguageChange(QObject *owner, std::function<void()> changed);

} // namespace korvana
