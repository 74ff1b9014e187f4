// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts.h"
#include "handlers.h"
#include "rooms/rooms.h"
#include "router.h"
#include "store/database.h"
#include "store/passwords.h"

#include <QTemporaryDir>
#include <QTest>

namespace korvana::test {

// korvana-server without sockets: a database in a temporary folder, a clock the test moves by
// hand, accounts (tokens live 1 s), rooms without bot delay, handlers and the routes.
struct Backend
{
    QTemporaryDir dir;
    rooms::ManualClock clock;
    std::unique_ptr<store::PasswordHasher> hasher = std::make_unique<store::PasswordHasher>(
        store::HasherLimits{1, 4, 32}, store::HashCost::Minimal);
    std::unique_ptr<store::Database> db;
    std::unique_ptr<api::Accounts> accounts;
    std::unique_ptr<rooms::Rooms> rooms;
    std::unique_ptr<api::Handlers> handlers;
    std::unique_ptr<api::Router> router;

    Backend() { open(); }
    // Unfinished hashing must not outlive the accounts it answers to.
    ~Backend() { hasher.reset(); }

    // Opens the database file again, as a restarted server does.
    void open()
    {
        router.reset();
        handlers.reset();
        rooms.reset();
        accounts.reset();
        db = std::make_unique<store::Database>();
        QVERIFY(db->open(dir.filePath(QStringLiteral("server.sqlite"))));
        accounts = std::make_unique<api::Accounts>(*db, *hasher, clock,
                                                   api::Accounts::Options{1000, QString()});
        rooms = std::make_unique<rooms::Rooms>(*db, clock, rooms::Rooms::Options{0, 1});
        rooms->load();
        handlers = std::make_unique<api::Handlers>(*accounts, *rooms, *db);
        router = std::make_unique<api::Router>();
        api::wireRoutes(*router, *handlers, *accounts);
    }

    // A request through the routes, answered at once or after the password hashing.
    api::ApiResponse call(api::ApiRequest::Method method, const QString &path,
                          const QByteArray &body = {}, const QByteArray &authorization = {})
    {
        std::optional<api::ApiResponse> answer;
        router->dispatch({method, path, authorization, body, QStringLiteral("10.0.0.9")},
                         [&](api::ApiResponse r) { answer = std::move(r); });
        if (!QTest::qWaitFor([&] { return answer.has_value(); }, 10'000))
            return {};
        return *answer;
    }

    // Registers name@example.com with "haslo123"; the account and its "Bearer ..." header.
    std::pair<rooms::Account, QByteArray> signUp(const QString &name)
    {
        const auto r =
            call(api::ApiRequest::Method::Post, QStringLiteral("/api/auth/register"),
                 json::toJson(RegisterRequest{name, name.toLower() + QStringLiteral("@example.com"),
                                              QStringLiteral("haslo123")}));
        const auto login = json::decode<LoginResponse>(r.body);
        if (!login)
            return {};
        return {{login->user.id, login->user.username}, "Bearer " + login->token.toLatin1()};
    }
};

} // namespace korvana::test
