#include "account.h"
#include "actions.h"
#include "lobby.h"

#include <QTest>

using namespace korvana;

class TestWireWriting : public QObject
{
    Q_OBJECT
private slots:
    void bodies_data();
    void bodies();
    void stringsAreEscaped();
    void gameStateRoundTrip();
};

void TestWireWriting::bodies_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected");

    QTest::addRow("login with empty texts")
        << json::toJson(LoginRequest{}) << QByteArray(R"({"email":"","password":""})");
    QTest::addRow("registration")
        << json::toJson(RegisterRequest{"ala", "a@b.pl", "sekret"})
        << QByteArray(R"({"username":"ala","email":"a@b.pl","password":"sekret"})");
    QTest::addRow("create without limit")
        << json::toJson(CreateSessionRequest{}) << QByteArray("{}");
    QTest::addRow("create with 300")
        << json::toJson(CreateSessionRequest{300}) << QByteArray(R"({"timeLimit":300})");
    QTest::addRow("vote, bots absent") << json::toJson(VoteToStartRequest{"s1", std::nullopt})
                                       << QByteArray(R"({"sessionId":"s1"})");
    QTest::addRow("vote, bots false") << json::toJson(VoteToStartRequest{"s1", false})
                                      << QByteArray(R"({"sessionId":"s1","enableBots":false})");
    QTest::addRow("place in key order")
        << json::toJson(PlacePieceRequest{"s", "I5", 3, 19, 270})
        << QByteArray(R"({"sessionId":"s","pieceId":"I5","row":3,"col":19,"rotation":270})");
    QTest::addRow("score in key order")
        << json::toJson(SaveScoreRequest{"r", 50, 2, 3})
        << QByteArray(R"({"roomId":"r","score":50,"position":2,"playersCount":3})");
    QTest::addRow("server identity under roomId")
        << json::toJson(GameServer{.id = "abc"})
        << QByteArray(R"({"roomId":"abc","playerCount":0,"maxPlayers":4,"players":[]})");
    QTest::addRow("time option identity under value")
        << json::toJson(TimeOption{1, "5 minut", 300})
        << QByteArray(R"({"value":1,"label":"5 minut","seconds":300})");
    QTest::addRow("user without optionals")
        << json::toJson(User{.id = 1, .username = "a", .email = "e"})
        << QByteArray(R"({"id":1,"username":"a","email":"e"})");
    QTest::addRow("active game has no id member")
        << json::toJson(ActiveGame{.roomId = "r"}).left(12) << QByteArray(R"({"roomId":"r)");
}

void TestWireWriting::bodies()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    QCOMPARE(written, expected);
}

void TestWireWriting::stringsAreEscaped()
{
    const QByteArray bytes = json::toJson(LoginRequest{"a\"b\\c\n\x01", "zażółć"});
    QCOMPARE(bytes, QByteArray(R"({"email":"a\"b\\c\n\u0001","password":")") +
                        QString("zażółć").toUtf8() + "\"}");
    const auto back = json::decode<LoginRequest>(bytes);
    QVERIFY(back);
    QCOMPARE(back->email, "a\"b\\c\n\x01");
}

void TestWireWriting::gameStateRoundTrip()
{
    GameState state;
    state.roomId = "r";
    state.gameStatus = "in_progress";
    state.board[19][0] = 4;
    Player player{.id = "p1", .name = "Ala", .color = "green", .score = 5};
    player.pieces.append(GamePiece{.id = "L4",
                                   .name = "L",
                                   .size = 4,
                                   .squares = {{0, 0}, {1, 0}, {2, 0}, {2, 1}},
                                   .placed = true,
                                   .position = PiecePosition{19, 0},
                                   .rotation = 90});
    player.lastMove = Move{"L4", 19, 0, 90};
    state.players.append(player);
    state.currentPlayerId = "p1";
    state.winner = Winner{"p1", "Ala", 5};
    state.startVotes = QList<QString>{"p1"};
    const auto back = json::decode<GameState>(json::toJson(state));
    QVERIFY(back);
    QVERIFY(*back == state);
}

QTEST_GUILESS_MAIN(TestWireWriting)
#include "tst_wirewriting.moc"
