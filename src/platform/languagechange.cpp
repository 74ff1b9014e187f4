// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "languagechange.h"

#include <QCoreApplication>
#include <QEvent>

namespace korvana {
namespace {

// Installing or removing a translator sends LanguageChange to the application object only.
class LanguageChangeFilter : public QObject
{
public:
    LanguageChangeFilter(QObject *owner, std::function<void()> changed)
        : QObject(owner)
        , m_changed(std::move(changed))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::LanguageChange && watched == QCoreApplication::instance())
            m_changed();
        return false;
    }

private:
    std::function<void()> m_changed;
};

} // namespace

void onLanguageChange(QObject *owner, std::function<void()> changed)
{
    if (!QCoreApplication::instance())
        return;
    // A child of the owner: the filter goes, and is uninstalled, with it.
    QCoreApplication::instance()->installEventFilter(
        new LanguageChangeFilter(owner, std::move(changed)));
}

} // namespace korvana
