#include "account.h"
#include "actions.h"
#include "diagcapture.h"
#include "lobby.h"

#include <QRandomGenerator>
#include <QTest>

using namespace korvana;

namespace {
// A realistic message of every shape the reader walks: nested lists, records, lenient members.
QByteArray sampleSession()
{
    GameState state;
    state.roomId = "room-1";
    state.gameStatus = "in_progress";
    state.currentPlayerId = "p2";
    state.timeRemaining = 120;
    state.startVotes = QList<QString>{"p1", "p2"};
    state.startVotesCount = 2;
    state.board[0][0] = 1;
    state.board[19][19] = 3;
    for (int i = 0; i < 2; ++i) {
        Player p{
            .id = QStringLiteral("p%1").arg(i + 1), .name = "Gracz", .color = i ? "red" : "blue"};
        p.pieces.append(
            GamePiece{.id = "V3", .name = "V", .size = 3, .squares = {{0, 0}, {1, 0}, {1, 1}}});
        p.pieces.append(GamePiece{.id = "I1",
                                  .name = "I",
                                  .size = 1,
                                  .squares = {{0, 0}},
                                  .placed = true,
                                  .position = PiecePosition{0, 0}});
        p.lastMove = Move{"I1", 0, 0, 0};
        state.players.append(p);
    }
    state.winner = Winner{"p1", "Gracz", 3};
    return json::toJson(SessionWrapper{Session{"s", "1", "p1", "room-1", "blue"}, state});
}

QByteArray sampleServers()
{
    GameServer server{.id = "r", .playerCount = 1, .serverName = QString("Pokój Anny")};
    server.players.append(
        ServerPlayer{.playerId = "p", .userId = "7", .name = "Anna", .color = "blue", .score = 3});
    return json::toJson(ServerListResponse{{server, server}});
}

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

class TestWireRobustness : public QObject
{
    Q_OBJECT
private slots:
    void mutatedMessagesNeverCrash();
};

void TestWireRobustness::mutatedMessagesNeverCrash()
{
    DiagCapture quiet; // piece lines of damaged pieces are expected here
    hammer<SessionWrapper>(sampleSession(), 1, 3000);
    hammer<ServerListResponse>(sampleServers(), 2, 2000);
    hammer<LoginResponse>(
        R"({"message":"ok","token":"abc","user":{"id":1,"username":"a","email":"e","stats":{"gamesPlayed":1,"gamesWon":0,"totalScore":5,"bestScore":5}}})",
        3, 2000);
    hammer<GameActionResponse>(
        R"({"success":true,"started":true,"gameState":{"roomId":"r","gameStatus":"waiting"}})", 4,
        1000);
    hammer<ActiveGamesResponse>(
        R"({"count":1,"activeGames":[{"roomId":"r","gameStatus":"waiting","playerId":"p","playerName":"n","color":"red","currentScore":0,"playersCount":1,"maxPlayers":4,"source":"db"}]})",
        5, 1000);
    hammer<PiecesResponse>(R"({"pieces":[{"id":"a","name":"A","size":2,"squares":[[0,0],[0,1]]}]})",
                           6, 1000);
}

QTEST_GUILESS_MAIN(TestWireRobustness)
#include "tst_wirerobustness.moc"
