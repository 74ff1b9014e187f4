#include "account.h"
#include "actions.h"
#include "diagcapture.h"
#include "gamestate.h"
#include "lobby.h"

#include <QTest>

using namespace korvana;

namespace {
// "ok", or the error's kind with its key path, e.g. "type:Int@players[0].score".
template <json::Record T> QString outcome(const QByteArray &json)
{
    const auto result = json::decode<T>(json);
    if (result)
        return QStringLiteral("ok");
    const DecodeError &e = result.error();
    switch (e.kind) {
    case DecodeError::Kind::TypeMismatch:
        return QStringLiteral("type:%1@%2").arg(e.expectedType, e.path);
    case DecodeError::Kind::ValueMissing:
        return QStringLiteral("null:%1@%2").arg(e.expectedType, e.path);
    case DecodeError::Kind::KeyMissing:
        return QStringLiteral("key:%1@%2").arg(e.key, e.path);
    case DecodeError::Kind::DataCorrupted:
        return QStringLiteral("corrupted");
    case DecodeError::Kind::Other:
        break;
    }
    return QStringLiteral("other");
}

using Reader = QString (*)(const QByteArray &);
const QHash<QString, Reader> &readers()
{
    static const QHash<QString, Reader> table{
        {"User", outcome<User>},
        {"LoginResponse", outcome<LoginResponse>},
        {"ErrorResponse", outcome<ErrorResponse>},
        {"GameState", outcome<GameState>},
        {"SessionWrapper", outcome<SessionWrapper>},
        {"ServerListResponse", outcome<ServerListResponse>},
        {"ActiveGamesResponse", outcome<ActiveGamesResponse>},
        {"TimeOption", outcome<TimeOption>},
        {"GameActionResponse", outcome<GameActionResponse>},
        {"RejoinResponse", outcome<RejoinResponse>},
        {"GameSessionResponse", outcome<GameSessionResponse>},
    };
    return table;
}

const QByteArray kUser = R"({"id":1,"username":"ala","email":"a@b.pl"})";
const QByteArray kState = R"({"roomId":"r1","gameStatus":"waiting"})";
} // namespace

class TestWireReading : public QObject
{
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void userOptionalsAbsent();
    void minimalGameStateDefaults();
    void lenientFieldsReadAsAbsent();
    void playerIdentityFromPlayerId();
    void board_data();
    void board();
    void pieceConsoleLines_data();
    void pieceConsoleLines();
    void serverDefaultsAndUserId_data();
    void serverDefaultsAndUserId();
    void catalogueAndActiveGames();
    void errorDescriptionsNameThePath();
};

void TestWireReading::outcomes_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");

    QTest::addRow("user id as string")
        << "User" << QByteArray(R"({"id":"1","username":"a","email":"e"})") << "type:Int@id";
    QTest::addRow("login with string user id")
        << "LoginResponse"
        << QByteArray(R"({"message":"m","token":"t","user":{"id":"1","username":"a","email":"e"}})")
        << "type:Int@user.id";
    QTest::addRow("login without token")
        << "LoginResponse" << QByteArray(R"({"message":"m","user":)" + kUser + "}") << "key:token@";
    QTest::addRow("extra members ignored")
        << "User" << QByteArray(R"({"id":1,"username":"a","email":"e","x":[1,{}]})") << "ok";
    QTest::addRow("error body with only message")
        << "ErrorResponse" << QByteArray(R"({"message":"x"})") << "key:error@";
    QTest::addRow("required null")
        << "User" << QByteArray(R"({"id":null,"username":"a","email":"e"})") << "null:Int@id";
    QTest::addRow("optional wrong type")
        << "User" << QByteArray(R"({"id":1,"username":"a","email":"e","role":5})")
        << "type:String@role";
    QTest::addRow("int with fraction")
        << "User" << QByteArray(R"({"id":1.0,"username":"a","email":"e"})") << "type:Int@id";
    QTest::addRow("int with exponent")
        << "User" << QByteArray(R"({"id":1e3,"username":"a","email":"e"})") << "type:Int@id";
    QTest::addRow("int just above 63 bits")
        << "User" << QByteArray(R"({"id":9223372036854775808,"username":"a","email":"e"})")
        << "type:Int@id";
    QTest::addRow("int beyond 64 bits")
        << "User" << QByteArray(R"({"id":123456789012345678901234,"username":"a","email":"e"})")
        << "type:Int@id";
    QTest::addRow("negative beyond 64 bits")
        << "GameState"
        << QByteArray(R"({"roomId":"r","gameStatus":"w","turnNumber":-99999999999999999999})")
        << "type:Int@turnNumber";
    QTest::addRow("int64 max is fine")
        << "User" << QByteArray(R"({"id":9223372036854775807,"username":"a","email":"e"})") << "ok";
    QTest::addRow("bool as number")
        << "GameActionResponse" << QByteArray(R"({"success":1})") << "type:Bool@success";
    QTest::addRow("action without success")
        << "GameActionResponse" << QByteArray(R"({"error":"x"})") << "key:success@";
    QTest::addRow("refused action")
        << "GameActionResponse" << QByteArray(R"({"success":false,"error":"Nie twoja tura"})")
        << "ok";
    QTest::addRow("not json") << "User" << QByteArray("{id:1}") << "corrupted";
    QTest::addRow("malformed number stays corrupted")
        << "User" << QByteArray(R"({"id":1,"username":"a","email":"e","x":1.2.3})") << "corrupted";
    QTest::addRow("root is array") << "User" << QByteArray("[1]") << "type:User@";
    QTest::addRow("turnNumber as string")
        << "GameState" << QByteArray(R"({"roomId":"r","gameStatus":"w","turnNumber":"2"})")
        << "type:Int@turnNumber";
    QTest::addRow("state without gameStatus")
        << "GameState" << QByteArray(R"({"roomId":"r"})") << "key:gameStatus@";
    QTest::addRow("player without playerId")
        << "GameState"
        << QByteArray(
               R"({"roomId":"r","gameStatus":"w","players":[{"id":"p1","name":"n","color":"red"}]})")
        << "key:playerId@players[0]";
    QTest::addRow("deep path")
        << "SessionWrapper"
        << QByteArray(
               R"({"session":{"sessionId":"s","userId":"1","playerId":"p","roomId":"r","color":"red"},"gameState":{"roomId":"r","gameStatus":"w","players":[{"playerId":"p","name":"n","color":"red","pieces":[{"id":"a","name":"A"},{"id":"b","name":"B"},{"id":"c","name":"C"},{"id":"d","name":"D","size":"5"}]}]}})")
        << "type:Int@gameState.players[0].pieces[3].size";
    QTest::addRow("session without color")
        << "SessionWrapper"
        << QByteArray(
               R"({"session":{"sessionId":"s","userId":"1","playerId":"p","roomId":"r"},"gameState":)" +
               kState + "}")
        << "key:color@session";
    QTest::addRow("server with id but no roomId")
        << "ServerListResponse" << QByteArray(R"({"servers":[{"id":"x"}]})")
        << "key:roomId@servers[0]";
    QTest::addRow("time option with id not value")
        << "TimeOption" << QByteArray(R"({"id":1,"label":"l","seconds":60})") << "key:value@";
    QTest::addRow("rejoin without message")
        << "RejoinResponse"
        << QByteArray(
               R"({"sessionId":"s","roomId":"r","playerId":"p","playerName":"n","color":"red","gameState":)" +
               kState + "}")
        << "key:message@";
    QTest::addRow("session response, state lacks status")
        << "GameSessionResponse"
        << QByteArray(
               R"({"sessionId":"s","roomId":"r","playerId":"p","playerName":"n","color":"red","gameState":{"roomId":"r"}})")
        << "key:gameStatus@gameState";
    QTest::addRow("active games count mismatch")
        << "ActiveGamesResponse" << QByteArray(R"({"activeGames":[],"count":3})") << "ok";
    QTest::addRow("empty body") << "User" << QByteArray() << "corrupted";
}

void TestWireReading::outcomes()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    QCOMPARE(readers().value(type)(json), expected);
}

void TestWireReading::userOptionalsAbsent()
{
    const auto user = json::decode<User>(R"({"id":7,"username":"a","email":"e","role":null})");
    QVERIFY(user);
    QCOMPARE(user->id, 7);
    QVERIFY(!user->role);
    QVERIFY(!user->stats);
}

void TestWireReading::minimalGameStateDefaults()
{
    const auto state =
        json::decode<GameState>(R"({"roomId":"r","gameStatus":"waiting","board":[]})");
    QVERIFY(state);
    QVERIFY(state->players.isEmpty());
    QCOMPARE(state->turnNumber, 1);
    QCOMPARE(state->timeLimit, 0);
    QCOMPARE(state->consecutivePasses, 0);
    QVERIFY(!state->currentPlayerId && !state->timeRemaining && !state->winner);
    QVERIFY(!state->startVotes && !state->startVotesCount && !state->startVotesNeeded);
}

void TestWireReading::lenientFieldsReadAsAbsent()
{
    const auto state = json::decode<GameState>(
        R"({"roomId":"r","gameStatus":"w","currentPlayerId":5,"winner":{},"startVotes":3,)"
        R"("startVotesCount":"2","timeRemaining":1.5})");
    QVERIFY(state);
    QVERIFY(!state->currentPlayerId);
    QVERIFY(!state->winner);
    QVERIFY(!state->startVotes);
    QVERIFY(!state->startVotesCount);
    QVERIFY(!state->timeRemaining);
}

void TestWireReading::playerIdentityFromPlayerId()
{
    const auto state = json::decode<GameState>(
        R"({"roomId":"r","gameStatus":"w","players":[{"playerId":"p1","id":"zz","name":"n","color":"red"}]})");
    QVERIFY(state);
    QCOMPARE(state->players.at(0).id, "p1");
    QCOMPARE(state->players.at(0).playerId(), "p1");
    QCOMPARE(state->players.at(0).score, 0);
    QVERIFY(!state->players.at(0).hasPassed);
}

void TestWireReading::board_data()
{
    QTest::addColumn<QByteArray>("board");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<qint64>>("firstRow");

    const QList<qint64> twentyZeros(20, 0);
    QTest::addRow("missing") << QByteArray() << 20 << twentyZeros;
    QTest::addRow("null") << QByteArray(R"(,"board":null)") << 20 << twentyZeros;
    QTest::addRow("string") << QByteArray(R"(,"board":"x")") << 20 << twentyZeros;
    QTest::addRow("cell objects")
        << QByteArray(
               R"(,"board":[[{"color":"Blue"},{"color":null},{"color":"RED","pieceId":"x"},{"color":"purple"}]])")
        << 1 << QList<qint64>{1, 0, 3, 0};
    QTest::addRow("empty row kept")
        << QByteArray(R"(,"board":[[],[{"color":"green"}]])") << 2 << QList<qint64>{};
    QTest::addRow("numbers kept as sent")
        << QByteArray(R"(,"board":[[0,7,-1]])") << 1 << QList<qint64>{0, 7, -1};
    QTest::addRow("mixed shapes fall back")
        << QByteArray(R"(,"board":[[1,{"color":"red"}]])") << 20 << twentyZeros;
    QTest::addRow("bad cell colour type")
        << QByteArray(R"(,"board":[[{"color":1}]])") << 20 << twentyZeros;

    QByteArray fourteen = ",\"board\":[";
    for (int r = 0; r < 14; ++r)
        fourteen += QByteArray(r ? "," : "") + "[0,0,0,0,0,0,0,0,0,0,0,0,0,0]";
    QTest::addRow("14 x 14 stays") << fourteen + "]" << 14 << QList<qint64>(14, 0);
}

void TestWireReading::board()
{
    QFETCH(QByteArray, board);
    QFETCH(int, rows);
    QFETCH(QList<qint64>, firstRow);
    const auto state = json::decode<GameState>(R"({"roomId":"r","gameStatus":"w")" + board + "}");
    QVERIFY(state);
    QCOMPARE(state->board.size(), rows);
    QCOMPARE(state->board.first(), firstRow);
}

void TestWireReading::pieceConsoleLines_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("positionPresent");

    const QString cannot = QStringLiteral(
        "⚠️ Nie można zdekodować squares dla klocka X, używam pustej tablicy");
    QTest::addRow("no squares, size 5")
        << QByteArray(R"({"id":"X","name":"n","size":5})")
        << QStringList{cannot, "⚠️ Klocek X ma puste squares, ale size=5"} << false;
    QTest::addRow("no squares, size 0")
        << QByteArray(R"({"id":"X","name":"n"})") << QStringList{cannot} << false;
    QTest::addRow("squares null") << QByteArray(R"({"id":"X","name":"n","squares":null})")
                                  << QStringList{cannot} << false;
    QTest::addRow("empty squares, size 3")
        << QByteArray(R"({"id":"X","name":"n","size":3,"squares":[]})")
        << QStringList{"⚠️ Klocek X ma puste squares, ale size=3"} << false;
    QTest::addRow("squares of strings")
        << QByteArray(R"({"id":"X","name":"n","squares":[["a"]]})") << QStringList{cannot} << false;
    QTest::addRow("position without col")
        << QByteArray(R"({"id":"X","name":"n","squares":[[0,0]],"position":{"row":1}})")
        << QStringList{} << false;
    QTest::addRow("full piece")
        << QByteArray(
               R"({"id":"X","name":"n","size":1,"squares":[[0,0]],"placed":true,"position":{"row":1,"col":2}})")
        << QStringList{} << true;
}

void TestWireReading::pieceConsoleLines()
{
    QFETCH(QByteArray, piece);
    QFETCH(QStringList, lines);
    QFETCH(bool, positionPresent);
    DiagCapture capture;
    const auto state = json::decode<GameState>(
        R"({"roomId":"r","gameStatus":"w","players":[{"playerId":"p","name":"n","color":"red","pieces":[)" +
        piece + "]}]}");
    QVERIFY(state);
    QCOMPARE(capture.lines, lines);
    QCOMPARE(state->players.at(0).pieces.at(0).position.has_value(), positionPresent);
}

void TestWireReading::serverDefaultsAndUserId_data()
{
    QTest::addColumn<QByteArray>("userId");
    QTest::addColumn<QVariant>("expected");
    QTest::addRow("number") << QByteArray(R"("userId":42,)") << QVariant("42");
    QTest::addRow("text") << QByteArray(R"("userId":"u7",)") << QVariant("u7");
    QTest::addRow("null") << QByteArray(R"("userId":null,)") << QVariant();
    QTest::addRow("bool") << QByteArray(R"("userId":true,)") << QVariant();
    QTest::addRow("fraction") << QByteArray(R"("userId":1.5,)") << QVariant();
    QTest::addRow("missing") << QByteArray() << QVariant();
}

void TestWireReading::serverDefaultsAndUserId()
{
    QFETCH(QByteArray, userId);
    QFETCH(QVariant, expected);
    const auto list = json::decode<ServerListResponse>(
        R"({"servers":[{"roomId":"abc"},{"roomId":"b","timeLimit":"300","players":[{"playerId":"p",)" +
        userId + R"("name":"n","color":"red","score":"x"}]}]})");
    QVERIFY(list);
    const GameServer &bare = list->servers.at(0);
    QCOMPARE(bare.id, "abc");
    QCOMPARE(bare.roomId(), "abc");
    QCOMPARE(bare.playerCount, 0);
    QCOMPARE(bare.maxPlayers, 4);
    QVERIFY(bare.players.isEmpty() && !bare.serverName && !bare.gameStatus && !bare.timeLimit);
    const GameServer &seated = list->servers.at(1);
    QVERIFY(!seated.timeLimit);
    QVERIFY(!seated.players.at(0).score);
    const auto &id = seated.players.at(0).userId;
    QCOMPARE(id ? QVariant(*id) : QVariant(), expected);
}

void TestWireReading::catalogueAndActiveGames()
{
    const auto pieces = json::decode<PiecesResponse>(
        R"({"pieces":[{"id":"a","name":"A","size":1,"squares":[[0,0]]},{"id":"b","name":"B","size":1,"squares":[[0,0]],"rotations":[]}]})");
    QVERIFY(pieces);
    QCOMPARE(pieces->pieces.at(0).rotations, (QList<qint64>{0, 90, 180, 270}));
    QVERIFY(pieces->pieces.at(1).rotations.isEmpty());

    const auto options = json::decode<TimeOptionsResponse>("{}");
    QVERIFY(options && options->options.isEmpty());

    const auto games = json::decode<ActiveGamesResponse>(
        R"({"count":1,"activeGames":[{"roomId":"r9","sessionId":null,"gameStatus":"waiting","playerId":"p","playerName":"n","color":"red","currentScore":0,"playersCount":1,"maxPlayers":4,"source":"db"}]})");
    QVERIFY(games);
    QCOMPARE(games->activeGames.at(0).id(), "r9");
    QVERIFY(!games->activeGames.at(0).sessionId);
    QVERIFY(!games->activeGames.at(0).isMyTurn);
}

void TestWireReading::errorDescriptionsNameThePath()
{
    const auto state = json::decode<GameState>(
        R"({"roomId":"r","gameStatus":"w","players":[{"playerId":"p","name":"n","color":"red","pieces":[{"id":"a","name":"A","placed":null,"rotation":"x"}]}]})");
    QVERIFY(!state);
    QCOMPARE(
        state.error().kindLine(),
        QStringLiteral("   ❌ Nieprawidłowy typ: Int w ścieżce: players[0].pieces[0].rotation"));
    QVERIFY(state.error().description().contains("players[0].pieces[0].rotation"));

    const auto missing = json::decode<User>(R"({"id":1,"email":"e"})");
    QCOMPARE(missing.error().kindLine(),
             QStringLiteral("   ❌ Brak klucza: 'username' w ścieżce: (korzeń)"));
    const auto null = json::decode<User>(R"({"id":1,"username":null,"email":"e"})");
    QCOMPARE(null.error().kindLine(),
             QStringLiteral("   ❌ Brak wartości: String w ścieżce: username"));
    const auto broken = json::decode<User>("{");
    QVERIFY(broken.error().kindLine().startsWith(QStringLiteral("   ❌ Uszkodzone dane: ")));
}

QTEST_GUILESS_MAIN(TestWireReading)
#include "tst_wirereading.moc"
