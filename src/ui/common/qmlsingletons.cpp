// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "qmlsingletons.h"

#include "appobjects.h"

#include <QJSEngine>

namespace korvana::ui {
namespace {

template <typename T> T *handOut(T *object, QJSEngine *engine)
{
    if (object) {
        QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
    } else if (engine) {
        engine->throwError(QStringLiteral("The application root has not published this object"));
    }
    return object;
}

} // namespace

korvana::AuthManager *AuthManagerSingleton::create(QQmlEngine *, QJSEngine *engine)
{
    return handOut(published().authManager, engine);
}

korvana::GameManager *GameManagerSingleton::create(QQmlEngine *, QJSEngine *engine)
{
    return handOut(published().gameManager, engine);
}

korvana::ConnectionManager *ConnectionManagerSingleton::create(QQmlEngine *, QJSEngine *engine)
{
    return handOut(published().connectionManager, engine);
}

korvana::KeyValueStore *KeyValueStoreSingleton::create(QQmlEngine *, QJSEngine *engine)
{
    return handOut(published().store, engine);
}

korvana::ServerManager *ServerManagerSingleton::create(QQmlEngine *, QJSEngine *engine)
{
    return handOut(published().serverManager, engine);
}

} // namespace korvana::ui
