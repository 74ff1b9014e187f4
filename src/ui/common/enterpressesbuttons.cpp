// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "enterpressesbuttons.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>

namespace korvana::ui {

namespace {

class EnterPressesButtons : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        auto *window = qobject_cast<QQuickWindow *>(watched);
        QQuickItem *focus = window ? window->activeFocusItem() : nullptr;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) || !focus ||
            !focus->inherits("QQuickAbstractButton"))
            return false;
        // The same key stroke as Space, so the button shows pressed and clicks on release.
        QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(window, &space);
        return true;
    }
};

} // namespace

void letEnterPressButtons(QQuickWindow *window)
{
    if (window)
        window->installEventFilter(new EnterPressesButtons(window));
}

} // namespace korvana::ui
