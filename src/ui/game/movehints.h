// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "boardrules.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace korvana {
class GameManager;
} // namespace korvana

namespace korvana::ui {

// Where the selected piece can go: on my turn, every anchor cell where it fits at the selected
// rotation; and, at any time of a running game, my pieces that fit nowhere in any rotation.
// Follows the game manager's state, selection and rotation; shows nothing while switched off.
class MoveHints : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setEnabled NOTIFY isEnabledChanged)
    // The anchor cells for the board: a QList<korvana::board::Cell> in a QVariant.
    Q_PROPERTY(QVariant cells READ cellsValue NOTIFY cellsChanged)
    Q_PROPERTY(int cellCount READ cellCount NOTIFY cellsChanged)
    Q_PROPERTY(
        QStringList unplayablePieceIds READ unplayablePieceIds NOTIFY unplayablePieceIdsChanged)

public:
    // On the game manager the root published.
    explicit MoveHints(QObject *parent = nullptr);
    explicit MoveHints(GameManager *gameManager, QObject *parent = nullptr);

    [[nodiscard]] bool isEnabled() const { return m_isEnabled; }
    void setEnabled(bool enabled);
    [[nodiscard]] const QList<board::Cell> &cells() const { return m_cells; }
    [[nodiscard]] QVariant cellsValue() const { return QVariant::fromValue(m_cells); }
    [[nodiscard]] int cellCount() const { return int(m_cells.size()); }
    [[nodiscard]] QStringList unplayablePieceIds() const { return m_unplayable; }

Q_SIGNALS:
    void isEnabledChanged();
    void cellsChanged();
    void unplayablePieceIdsChanged();

private:
    void updateCells();
    void updateUnplayable();

    QPointer<GameManager> m_game;
    bool m_isEnabled = true;
    QList<board::Cell> m_cells;
    QStringList m_unplayable;
};

} // namespace korvana::ui
