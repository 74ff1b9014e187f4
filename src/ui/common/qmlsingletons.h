// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "authmanager.h"
#include "connectionmanager.h"
#include "gamemanager.h"
#include "gamestatus.h"
#include "keyvaluestore.h"
#include "servermanager.h"

#include <QObject>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace korvana::ui {

// QML names for the root's objects: each create() hands out the one instance the root published
// and keeps it owned by C++, so no engine ever deletes it.

struct AuthManagerSingleton
{
    Q_GADGET
    QML_FOREIGN(korvana::AuthManager)
    QML_NAMED_ELEMENT(AuthManager)
    QML_SINGLETON
public:
    static korvana::AuthManager *create(QQmlEngine *, QJSEngine *engine);
};

struct GameManagerSingleton
{
    Q_GADGET
    QML_FOREIGN(korvana::GameManager)
    QML_NAMED_ELEMENT(GameManager)
    QML_SINGLETON
public:
    static korvana::GameManager *create(QQmlEngine *, QJSEngine *engine);
};

// The lists the game manager hands to views.
struct RecordListModelForeign
{
    Q_GADGET
    QML_FOREIGN(korvana::RecordListModel)
    QML_ANONYMOUS
};

struct ConnectionManagerSingleton
{
    Q_GADGET
    QML_FOREIGN(korvana::ConnectionManager)
    QML_NAMED_ELEMENT(ConnectionManager)
    QML_SINGLETON
public:
    static korvana::ConnectionManager *create(QQmlEngine *, QJSEngine *engine);
};

struct KeyValueStoreSingleton
{
    Q_GADGET
    QML_FOREIGN(korvana::KeyValueStore)
    QML_NAMED_ELEMENT(KeyValueStore)
    QML_SINGLETON
public:
    static korvana::KeyValueStore *create(QQmlEngine *, QJSEngine *engine);
};

struct ServerManagerSingleton
{
    Q_GADGET
    QML_FOREIGN(korvana::ServerManager)
    QML_NAMED_ELEMENT(ServerManager)
    QML_SINGLETON
public:
    static korvana::ServerManager *create(QQmlEngine *, QJSEngine *engine);
};

// The statuses and colours of the connection monitor: ConnectionStatus.Connected, ...
namespace ConnectionStatusForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(korvana::connection)
QML_NAMED_ELEMENT(ConnectionStatus)
} // namespace ConnectionStatusForeign

// A game's phase: GameStatus.Waiting, GameStatus.InProgress, GameStatus.Finished.
namespace GameStatusForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(korvana::gamestatus)
QML_NAMED_ELEMENT(GameStatus)
} // namespace GameStatusForeign

} // namespace korvana::ui
