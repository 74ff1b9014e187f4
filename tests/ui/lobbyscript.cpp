// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lobbyscript.h"

#include "scriptedhttpserver.h"

namespace korvana::test::lobbyscript {

const QByteArray user = R"({"user":{"id":7,"username":"Aleksandra","email":"ala@example.pl",)"
                        R"("role":"admin","stats":{"gamesPlayed":12,"gamesWon":5,)"
                        R"("totalScore":640,"bestScore":89}}})";

const QByteArray servers =
    R"({"servers":[)"
    R"({"roomId":"room-waiting","serverName":"Pokój Ali","playerCount":1,"maxPlayers":4,)"
    R"("gameStatus":"waiting","players":[{"playerId":"p1","name":"ala","color":"blue"}]},)"
    R"({"roomId":"room-playing","serverName":"Szybka partia","playerCount":2,"maxPlayers":4,)"
    R"("timeLimit":180,"gameStatus":"in_progress",)"
    R"("players":[{"playerId":"p1","name":"bartek","color":"blue"},)"
    R"({"playerId":"p2","name":"celina","color":"yellow"}]},)"
    R"({"roomId":"room-full","serverName":"Pełna sala","playerCount":4,"maxPlayers":4,)"
    R"("gameStatus":"waiting","players":[{"playerId":"p1","name":"darek","color":"blue"},)"
    R"({"playerId":"p2","name":"ewa","color":"yellow"},{"playerId":"p3","name":"franek",)"
    R"("color":"red"},{"playerId":"p4","name":"gosia","color":"green"}]},)"
    R"({"roomId":"room-finished","serverName":"Wczorajsza","playerCount":2,"maxPlayers":4,)"
    R"("gameStatus":"finished","players":[]},)"
    R"({"roomId":"abc","playerCount":0,"maxPlayers":4,"players":[]})"
    R"(]})";

const QByteArray activeGames =
    R"({"activeGames":[)"
    R"({"roomId":"room-mine","gameStatus":"in_progress","playerId":"p2","playerName":"ala",)"
    R"("color":"yellow","currentScore":23,"playersCount":3,"maxPlayers":4,"isMyTurn":true,)"
    R"("timeLimit":300,)"
    R"("source":"memory"},)"
    R"({"roomId":"room-lobby","gameStatus":"waiting","playerId":"p1","playerName":"ala",)"
    R"("color":"blue","currentScore":0,"playersCount":1,"maxPlayers":4,"isMyTurn":false,)"
    R"("source":"memory"}],"count":2})";

const QByteArray timeOptions =
    R"({"options":[)"
    R"({"value":0,"label":"Bez limitu","seconds":0},{"value":1,"label":"5 minut","seconds":300},)"
    R"({"value":2,"label":"10 minut","seconds":600},{"value":3,"label":"15 minut","seconds":900},)"
    R"({"value":4,"label":"30 minut","seconds":1800},)"
    R"({"value":5,"label":"1 godzina","seconds":3600}]})";

void answerSignedInLobby(ScriptedHttpServer &server)
{
    server.setDefault(QStringLiteral("/api/health"),
                      ScriptedResponse::json(200, R"({"status":"ok"})"));
    server.setDefault(QStringLiteral("/api/auth/me"), ScriptedResponse::json(200, user));
    server.setDefault(QStringLiteral("/api/game/servers"), ScriptedResponse::json(200, servers));
    server.setDefault(QStringLiteral("/api/game/active-games"),
                      ScriptedResponse::json(200, activeGames));
    server.setDefault(QStringLiteral("/api/game/time-options"),
                      ScriptedResponse::json(200, timeOptions));
}

} // namespace korvana::test::lobbyscript
