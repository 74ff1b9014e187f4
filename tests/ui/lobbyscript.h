// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

namespace korvana::test {

class ScriptedHttpServer;

// Canned answers for a signed-in lobby: a user with statistics, five rooms (waiting, in
// progress, full, finished, unnamed), two of the user's own games, six time options and a
// healthy server.
namespace lobbyscript {

extern const QByteArray user;    // {"user":{...}} for /api/auth/me
extern const QByteArray servers; // {"servers":[...]}
extern const QByteArray activeGames;
extern const QByteArray timeOptions;

void answerSignedInLobby(ScriptedHttpServer &server);

} // namespace lobbyscript
} // namespace korvana::test
