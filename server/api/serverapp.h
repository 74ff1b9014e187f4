// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "serveroptions.h"

#include <QObject>
#include <QUrl>

#include <expected>
#include <memory>
#include <optional>

namespace korvana::store {
class Database;
class Listener;
class PasswordHasher;
class ServingLock;
} // namespace korvana::store

namespace korvana::rooms {
class Rooms;
class SystemClock;
} // namespace korvana::rooms

namespace korvana::http {
class HttpListener;
} // namespace korvana::http

namespace korvana::api {

class Accounts;
class Forwarder;
class Handlers;
class Router;

// korvana-server put together: storage, accounts, rooms, routes and the listening socket.
class ServerApp : public QObject
{
    Q_OBJECT

public:
    explicit ServerApp(ServerOptions options, QObject *parent = nullptr);
    ~ServerApp() override;

    // Takes the database for this process alone, opens it, loads the saved rooms and listens;
    // the base URL or why not.
    std::expected<QUrl, QString> start();
    // Stops accepting connections and leaves the database closed and consistent.
    void shutdown();

private:
    ServerOptions m_options;
    std::unique_ptr<store::ServingLock> m_lock;
    std::unique_ptr<rooms::SystemClock> m_clock;
    std::unique_ptr<store::Database> m_db;
    std::unique_ptr<store::Listener> m_notifications;
    std::unique_ptr<Forwarder> m_forwarder;
    std::unique_ptr<store::PasswordHasher> m_hasher;
    std::unique_ptr<Accounts> m_accounts;
    std::unique_ptr<rooms::Rooms> m_rooms;
    std::unique_ptr<Handlers> m_handlers;
    std::unique_ptr<Router> m_router;
    std::unique_ptr<http::HttpListener> m_listener;
};

} // namespace korvana::api
