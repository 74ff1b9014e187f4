// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QJSEngine;
class QQmlEngine;

namespace korvana {
class KeyValueStore;
} // namespace korvana

namespace korvana::ui {

// Installs the client's texts in code, "pl" or "en", in place of the earlier language. Polish is
// the source language: its catalogue holds only the plural forms, and Qt's own Polish texts come
// with it. False, with nothing changed, for a language the client does not have.
bool installLanguage(const QString &code);
// The installed language; "pl" before any was installed.
[[nodiscard]] QString installedLanguage();
// The language a run starts in: KORVANA_LANG when it names one the client has, else the
// player's stored choice, else Polish.
[[nodiscard]] QString startLanguage(const KeyValueStore &store);

// The language setting for QML: writing code stores the choice, installs it and retranslates
// every open screen at once.
class Language : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString code READ code WRITE setCode NOTIFY codeChanged)

public:
    static constexpr char storeKey[] = "language";

    Language(KeyValueStore &store, QQmlEngine *engine, QObject *parent = nullptr);
    // One per engine, on the store the application root published.
    static Language *create(QQmlEngine *engine, QJSEngine *);

    [[nodiscard]] static QString code() { return installedLanguage(); }
    void setCode(const QString &code);

Q_SIGNALS:
    void codeChanged();

private:
    KeyValueStore &m_store;
    QPointer<QQmlEngine> m_engine;
};

} // namespace korvana::ui
