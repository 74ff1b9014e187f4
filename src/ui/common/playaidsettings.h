// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

class QJSEngine;
class QQmlEngine;

namespace korvana {
class KeyValueStore;
} // namespace korvana

namespace korvana::ui {

// The play aids' two switches, kept in the key-value store like the other preferences: move
// hints (on until first written) and colour-blind marks (off until first written). The settings
// sheet writes them and the game screen follows at once.
class PlayAidSettings : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool moveHints READ moveHints WRITE setMoveHints NOTIFY moveHintsChanged)
    Q_PROPERTY(bool colorMarks READ colorMarks WRITE setColorMarks NOTIFY colorMarksChanged)

public:
    static constexpr char moveHintsKey[] = "moveHintsEnabled";
    static constexpr char colorMarksKey[] = "colorMarksEnabled";

    explicit PlayAidSettings(KeyValueStore &store, QObject *parent = nullptr);
    // One per engine, on the store the application root published.
    static PlayAidSettings *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] bool moveHints() const { return m_moveHints; }
    void setMoveHints(bool on);
    [[nodiscard]] bool colorMarks() const { return m_colorMarks; }
    void setColorMarks(bool on);

Q_SIGNALS:
    void moveHintsChanged();
    void colorMarksChanged();

private:
    KeyValueStore &m_store;
    bool m_moveHints = true;
    bool m_colorMarks = false;
};

} // namespace korvana::ui
