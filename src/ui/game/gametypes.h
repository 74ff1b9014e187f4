// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gamescreenlogic.h"
#include "soundmanager.h"

#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <QtQml/qqml.h>

namespace korvana::ui {

// The game screen makes its own SoundManager: `SoundManager { id: sounds }`.
struct SoundManagerForeign
{
    Q_GADGET
    QML_FOREIGN(korvana::SoundManager)
    QML_NAMED_ELEMENT(SoundManager)
};

// The feedback events, e.g. sounds.play(Feedback.Rotated). The screen's own events are decided
// by GameController in C++; QML needs these only to play one by hand.
namespace FeedbackForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(korvana::feedback)
QML_NAMED_ELEMENT(Feedback)
} // namespace FeedbackForeign

// The game screen's small rules for QML, as `GameScreen`: GameScreen.chipLabel(name, isMe).
class GameScreenFormat : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(GameScreen)
    QML_SINGLETON
    Q_PROPERTY(qreal dragStartDistance READ dragStartDistance CONSTANT)
public:
    using QObject::QObject;

    [[nodiscard]] static qreal dragStartDistance() { return DragStartDistance; }

    Q_INVOKABLE static int trayColumns(qreal panelWidth, qreal tileSide)
    {
        return ui::trayColumns(panelWidth, tileSide);
    }
    Q_INVOKABLE static QString chipLabel(const QString &name, bool isMe)
    {
        return ui::chipLabel(name, isMe);
    }
    Q_INVOKABLE static QString formatTime(qint64 seconds);
    // "red" under 10 seconds, "orange" under 30, else "white".
    Q_INVOKABLE static QString timerTone(qint64 secondsLeft);
    Q_INVOKABLE static QPointF floatingBoxCentre(QPointF location, QSizeF area, qreal scale)
    {
        return ui::floatingBoxCentre(location, area, scale);
    }
    Q_INVOKABLE static QString pieceName(const QVariant &squares);
};

} // namespace korvana::ui
