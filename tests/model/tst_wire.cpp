// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "account.h"
#include "actions.h"
#include "diagcapture.h"
#include "gamestate.h"
#include "lobby.h"

#include <QRandomGenerator>
#include <QTest>

using namespace korvana;

namespace {
// "ok", or the console line that names the kind of reading error and its key path.
template <json::Record T> QString outcome(const QByteArray &json)
{
    const auto result = json::decode<T>(json);
    return result ? QStringLiteral("ok") : result.error().kindLine().trimmed();
}

using Reader = QString (*)(const QByteArray &);
const QHash<QString, Reader> &readers()
{
    static const QHash<QString, Reader> table{
        {"User", outcome<User>},
        {"ErrorResponse", outcome<ErrorResponse>},
        {"GameState", outcome<GameState>},
        {"SessionWrapper", outcome<SessionWrapper>},
        {"ServerListResponse", outcome<ServerListResponse>},
        {"GameActionResponse", outcome<GameActionResponse>},
    };
    return table;
}

// Realistic messages of every shape the reader walks: nested lists, records, lenient members.
const QByteArray kSession =
    R"({"session":{"sessionId":"s","userId":"1","playerId":"p1","roomId":"r","color":"blue"},)"
    R"("gameState":{"roomId":"r","gameStatus":"in_progress","currentPlayerId":"p2",)"
    R"("timeRemaining":120,"startVotes":["p1","p2"],"startVotesCount":2,"board":[[1,0],[0,3]],)"
    R"("winner":{"playerId":"p1","name":"A","score":3},"players":[{"playerId":"p1","name":"A",)"
    R"("color":"blue","score":3,"lastMove":{"pieceId":"I1","row":0,"col":0,"rotation":0},)"
    R"("pieces":[{"id":"V3","name":"V","size":3,"squares":[[0,0],[1,0],[1,1]]},{"id":"I1",)"
    R"("name":"I","size":1,"squares":[[0,0]],"placed":true,"position":{"row":0,"col":0}}]}]}})";
const QByteArray kServers =
    R"({"servers":[{"roomId":"r","playerCount":1,"serverName":"Pokój Anny","players":[)"
    R"({"playerId":"p","userId":7,"name":"Anna","color":"blue","score":3}]}]})";

const QByteArray kSpecial[] = {
    "null", "true", "0", "-1", "1.5", "\"\"", "[]", "{}", "99999999999999999999999", "\"\xff\""};

// Deterministic damage: flip, delete, duplicate, truncate, or splice a special token in.
QByteArray mutate(QByteArray bytes, QRandomGenerator &random)
{
    const int edits = 1 + int(random.bounded(3));
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const qsizetype at = random.bounded(bytes.size());
        switch (random.bounded(5)) {
        case 0:
            bytes[at] = char(random.bounded(256));
            break;
        case 1:
            bytes.remove(at, 1 + random.bounded(8));
            break;
        case 2:
            bytes.insert(at, bytes.mid(at, 1 + random.bounded(16)));
            break;
        case 3:
            bytes.truncate(at);
            break;
        default:
            bytes.insert(at, kSpecial[random.bounded(int(std::size(kSpecial)))]);
            break;
        }
    }
    return bytes;
}

template <json::Record T> void hammer(const QByteArray &valid, quint32 seed, int rounds)
{
    QVERIFY(json::decode<T>(valid).has_value());
    QRandomGenerator random(seed);
    int failures = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto result = json::decode<T>(mutate(valid, random));
        if (!result) {
            ++failures;
            // Every failure is a reading error that says what went wrong.
            QVERIFY(!result.error().kindLine().isEmpty());
        }
    }
    QVERIFY2(failures > rounds / 4, "mutations should mostly break the message");
}
} // namespace

// Reading the wire records: the tolerance rules, and damaged messages.
class TestWire : public QObject
{
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void defaultsAndLenientMembers();
    void board_data();
    void board();
    void pieceConsoleLines_data();
    void pieceConsoleLines();
    void writerOrderReadsAlike();
    void mutatedMessagesNeverCrash();
};

void TestWire::outcomes_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");

    QTest::addRow("error body with only message")
        << "ErrorResponse" << QByteArray(R"({"message":"x"})")
        << "❌ Brak klucza: 'error' w ścieżce: (korzeń)";
    QTest::addRow("required null")
        << "User" << QByteArray(R"({"id":null,"username":"a","email":"e"})")
        << "❌ Brak wartości: Int w ścieżce: id";
    QTest::addRow("int beyond 64 bits")
        << "User" << QByteArray(R"({"id":123456789012345678901234,"username":"a","email":"e"})")
        << "❌ Nieprawidłowy typ: Int w ścieżce: id";
    QTest::addRow("bool as number") << "GameActionResponse" << QByteArray(R"({"success":1})")
                                    << "❌ Nieprawidłowy typ: Bool w ścieżce: success";
    QTest::addRow("action without success")
        << "GameActionResponse" << QByteArray(R"({"error":"x"})")
        << "❌ Brak klucza: 'success' w ścieżce: (korzeń)";
    QTest::addRow("not json") << "User" << QByteArray("{id:1}") << "❌ Uszkodzone dane: ";
    QTest::addRow("player without playerId")
        << "GameState"
        << QByteArray(
               R"({"roomId":"r","gameStatus":"w","players":[{"id":"p1","name":"n","color":"red"}]})")
        << "❌ Brak klucza: 'playerId' w ścieżce: players[0]";
    QTest::addRow("deep path")
        << "SessionWrapper"
        << QByteArray(
               R"({"session":{"sessionId":"s","userId":"1","playerId":"p","roomId":"r","color":"red"},"gameState":{"roomId":"r","gameStatus":"w","players":[{"playerId":"p","name":"n","color":"red","pieces":[{"id":"a","name":"A"},{"id":"b","name":"B"},{"id":"c","name":"C"},{"id":"d","name":"D","size":"5"}]}]}})")
        << "❌ Nieprawidłowy typ: Int w ścieżce: gameState.players[0].pieces[3].size";
    QTest::addRow("server with id but no roomId")
        << "ServerListResponse" << QByteArray(R"({"servers":[{"id":"x"}]})")
        << "❌ Brak klucza: 'roomId' w ścieżce: servers[0]";
}

void TestWire::outcomes()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    const QString actual = readers().value(type)(json);
    QVERIFY2(actual.startsWith(expected), qPrintable(actual));
}

void TestWire::defaultsAndLenientMembers()
{
    const auto user = json::decode<User>(R"({"id":7,"username":"a","email":"e","role":null})");
    QVERIFY(user && !user->role && !user->stats);
    // A room is known by roomId; a player's userId may come as a number.
    const auto list = json::decode<ServerListResponse>(
        R"({"servers":[{"roomId":"abc","timeLimit":"300","players":[{"playerId":"p",)"
        R"("userId":42,"name":"n","color":"red","score":"x"}]}]})");
    QVERIFY(list);
    QCOMPARE(list->servers.at(0).id, "abc");
    QCOMPARE(list->servers.at(0).maxPlayers, 4);
    QVERIFY(!list->servers.at(0).timeLimit && !list->servers.at(0).players.at(0).score);
    QCOMPARE(list->servers.at(0).players.at(0).userId, std::optional<QString>("42"));

    // Members of the wrong type that the reader tolerates read as absent.
    const auto state = json::decode<GameState>(
        R"({"roomId":"r","gameStatus":"w","currentPlayerId":5,"winner":{},"startVotes":3,)"
        R"("startVotesCount":"2","timeRemaining":1.5,)"
        R"("players":[{"playerId":"p1","id":"zz","name":"n","color":"red"}]})");
    QVERIFY(state);
    QCOMPARE(state->turnNumber, 1);
    QCOMPARE(state->timeLimit, 0);
    QVERIFY(!state->currentPlayerId && !state->winner && !state->startVotes);
    QVERIFY(!state->startVotesCount && !state->timeRemaining && !state->startVotesNeeded);
    QCOMPARE(state->players.at(0).id, "p1");
    QCOMPARE(state->players.at(0).score, 0);
    QVERIFY(!state->players.at(0).hasPassed);
}

void TestWire::board_data()
{
    QTest::addColumn<QByteArray>("board");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<qint64>>("firstRow");

    const QList<qint64> twentyZeros(20, 0);
    QTest::addRow("null") << QByteArray(R"(,"board":null)") << 20 << twentyZeros;
    QTest::addRow("cell objects")
        << QByteArray(
               R"(,"board":[[{"color":"Blue"},{"color":null},{"color":"RED","pieceId":"x"},{"color":"purple"}]])")
        << 1 << QList<qint64>{1, 0, 3, 0};
    QTest::addRow("numbers kept as sent")
        << QByteArray(R"(,"board":[[0,7,-1]])") << 1 << QList<qint64>{0, 7, -1};
    QTest::addRow("mixed shapes fall back")
        << QByteArray(R"(,"board":[[1,{"color":"red"}]])") << 20 << twentyZeros;
}

void TestWire::board()
{
    QFETCH(QByteArray, board);
    QFETCH(int, rows);
    QFETCH(QList<qint64>, firstRow);
    const auto state = json::decode<GameState>(R"({"roomId":"r","gameStatus":"w")" + board + "}");
    QVERIFY(state);
    QCOMPARE(state->board.size(), rows);
    QCOMPARE(state->board.first(), firstRow);
}

void TestWire::pieceConsoleLines_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<QStringList>("lines");

    const QString cannot = QStringLiteral(
        "⚠️ Nie można zdekodować squares dla klocka X, używam pustej tablicy");
    QTest::addRow("no squares, size 5")
        << QByteArray(R"({"id":"X","name":"n","size":5})")
        << QStringList{cannot, "⚠️ Klocek X ma puste squares, ale size=5"};
    QTest::addRow("empty squares, size 3")
        << QByteArray(R"({"id":"X","name":"n","size":3,"squares":[]})")
        << QStringList{"⚠️ Klocek X ma puste squares, ale size=3"};
}

void TestWire::pieceConsoleLines()
{
    QFETCH(QByteArray, piece);
    QFETCH(QStringList, lines);
    DiagCapture capture;
    const auto state = json::decode<GameState>(
        R"({"roomId":"r","gameStatus":"w","players":[{"playerId":"p","name":"n","color":"red","pieces":[)" +
        piece + "]}]}");
    QVERIFY(state);
    QCOMPARE(capture.lines, lines);
}

void TestWire::writerOrderReadsAlike()
{
    // Our own writer's order is read by the quick walk; it reads what the rules read.
    DiagCapture capture;
    const auto first = json::decode<SessionWrapper>(kSession);
    QVERIFY(first);
    const QByteArray written = json::toJson(*first);
    const auto again = json::decode<SessionWrapper>(written);
    QVERIFY(again);
    QCOMPARE(again->gameState, first->gameState);
    QCOMPARE(again->gameState.board.size(), 2);
    QCOMPARE(json::toJson(*again), written);

    // The walk gives up at the unknown member after reading the piece: its line comes once.
    QVERIFY(json::decode<GameState>(
        R"({"roomId":"r","board":[[0]],"players":[{"playerId":"p","name":"n","color":"red",)"
        R"("pieces":[{"id":"X","name":"n","size":3,"squares":[]}]}],"gameStatus":"w","x":1})"));
    QCOMPARE(capture.lines, QStringList{"⚠️ Klocek X ma puste squares, ale size=3"});
}

void TestWire::mutatedMessagesNeverCrash()
{
    DiagCapture quiet; // piece lines of damaged pieces are expected here
    hammer<SessionWrapper>(kSession, 1, 3000);
    hammer<ServerListResponse>(kServers, 2, 2000);
    hammer<LoginResponse>(
        R"({"message":"ok","token":"abc","user":{"id":1,"username":"a","email":"e","stats":{"gamesPlayed":1,"gamesWon":0,"totalScore":5,"bestScore":5}}})",
        3, 2000);
}

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
