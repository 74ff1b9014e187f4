// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "language.h"

#include "appobjects.h"
#include "diagnostics.h"
#include "keyvaluestore.h"
#include "qttranslations.h"

#include <QCoreApplication>
#include <QQmlEngine>
#include <QTranslator>

namespace korvana::ui {
namespace {

struct Installed
{
    QPointer<QTranslator> texts;
    QPointer<QTranslator> qtTexts;
    QString code = QStringLiteral("pl");
};

Installed &installed()
{
    static Installed state;
    return state;
}

bool isKnown(const QString &code)
{
    return code == u"pl" || code == u"en";
}

void remove(QPointer<QTranslator> &translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

QTranslator *install(const QString &file)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        diag(QStringLiteral("⚠️ Nie można wczytać tłumaczeń: ") + file);
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace

bool installLanguage(const QString &code)
{
    if (!isKnown(code) || !QCoreApplication::instance())
        return false;
    Installed &state = installed();
    remove(state.texts);
    remove(state.qtTexts);
    state.texts = install(QStringLiteral(":/korvana/i18n/korvana_%1.qm").arg(code));
    // Qt's own texts (transport errors) follow the client's; English is their source language.
    if (code == u"pl")
        state.qtTexts = loadQtPolishTranslations();
    state.code = code;
    return true;
}

QString installedLanguage()
{
    return installed().code;
}

QString startLanguage(const KeyValueStore &store)
{
    const QString forThisRun = qEnvironmentVariable("KORVANA_LANG").trimmed().toLower();
    if (isKnown(forThisRun))
        return forThisRun;
    const QString stored = store.string(QLatin1String(Language::storeKey)).value_or(QString());
    return isKnown(stored) ? stored : QStringLiteral("pl");
}

Language::Language(KeyValueStore &store, QQmlEngine *engine, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_engine(engine)
{
}

Language *Language::create(QQmlEngine *engine, QJSEngine *)
{
    KeyValueStore *store = published().store;
    return new Language(store ? *store : KeyValueStore::shared(), engine);
}

void Language::setCode(const QString &code)
{
    if (code == installedLanguage() || !installLanguage(code))
        return;
    m_store.setString(QLatin1String(storeKey), code);
    if (m_engine)
        m_engine->retranslate();
    Q_EMIT codeChanged();
}

} // namespace korvana::ui
