// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace korvana::ui {

// The tray's slots for one game: each piece keeps the slot it first took, and a piece that
// leaves the tray (placed) leaves its slot empty instead of the others moving up, so the next
// piece is where the player's hand expects it.
class SteadyTray : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    // The tray's pieces now: [{id, ...}] in their order.
    Q_PROPERTY(QVariantList pieces READ pieces WRITE setPieces NOTIFY piecesChanged)
    // One entry per slot: the piece as given, or an empty map for an empty slot.
    Q_PROPERTY(QVariantList traySlots READ traySlots NOTIFY traySlotsChanged)

public:
    using QObject::QObject;

    [[nodiscard]] QVariantList pieces() const { return m_pieces; }
    void setPieces(const QVariantList &pieces);
    [[nodiscard]] QVariantList traySlots() const { return m_slots; }

Q_SIGNALS:
    void piecesChanged();
    void traySlotsChanged();

private:
    QVariantList m_pieces;
    QStringList m_order;
    QVariantList m_slots;
};

} // namespace korvana::ui
