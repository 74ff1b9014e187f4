// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "steadytray.h"

#include "playaidlogic.h"

#include <QVariantMap>

namespace korvana::ui {

void SteadyTray::setPieces(const QVariantList &pieces)
{
    m_pieces = pieces;
    Q_EMIT piecesChanged();

    QStringList ids;
    ids.reserve(pieces.size());
    for (const QVariant &piece : pieces)
        ids.append(piece.toMap().value(QStringLiteral("id")).toString());
    QVariantList slotList;
    for (const int index : steadySlots(m_order, ids))
        slotList.append(index >= 0 ? pieces.at(index) : QVariant(QVariantMap()));
    if (slotList == m_slots)
        return;
    m_slots = std::move(slotList);
    Q_EMIT traySlotsChanged();
}

} // namespace korvana::ui
