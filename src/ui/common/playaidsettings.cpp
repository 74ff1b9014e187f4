// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "playaidsettings.h"

#include "appobjects.h"
#include "keyvaluestore.h"

namespace korvana::ui {

PlayAidSettings::PlayAidSettings(KeyValueStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_moveHints(store.boolean(QLatin1String(moveHintsKey)).value_or(true))
    , m_colorMarks(store.boolean(QLatin1String(colorMarksKey)).value_or(false))
{
}

PlayAidSettings *PlayAidSettings::create(QQmlEngine *, QJSEngine *)
{
    KeyValueStore *store = published().store;
    return new PlayAidSettings(store ? *store : KeyValueStore::shared());
}

void PlayAidSettings::setMoveHints(bool on)
{
    if (on == m_moveHints)
        return;
    m_moveHints = on;
    m_store.setBoolean(QLatin1String(moveHintsKey), on);
    Q_EMIT moveHintsChanged();
}

void PlayAidSettings::setColorMarks(bool on)
{
    if (on == m_colorMarks)
        return;
    m_colorMarks = on;
    m_store.setBoolean(QLatin1String(colorMarksKey), on);
    Q_EMIT colorMarksChanged();
}

} // namespace korvana::ui
