// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "authmanager.h"
#include "gamemanager.h"
#include "keyvaluestore.h"
#include "networkservice.h"

#include <QString>

namespace korvana::test {

// Another person at the table, without a screen: the client's own managers, linked as the
// application links them, with a token and a key-value store of their own, on the same server as
// the test.
class HeadlessPlayer
{
public:
    HeadlessPlayer(const QString &baseUrl, const QString &storeFile);

    // Registers name@example.pl with the password "haslo123"; false when not signed in after.
    bool registerAs(const QString &name);

    [[nodiscard]] bool isMyTurn() const;
    // The game's status, or empty outside a game.
    [[nodiscard]] QString status() const;

    NetworkService network;
    KeyValueStore store;
    AuthManager auth;
    GameManager game;
};

} // namespace korvana::test
