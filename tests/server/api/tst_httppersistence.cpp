#include "apiclient.h"
#include "wireplay.h"

#include "actions.h"
#include "lobby.h"

#include <QTest>

using namespace korvana;
using namespace korvana::test;

// A server killed mid-game continues every game where it stood once started again.
class TestHttpPersistence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedMidGameContinuesWithClocks();
    void stoppedByTerminateKeepsEverything();
};

namespace {

std::optional<SessionWrapper> poll(ApiClient &api, const QString &sessionId, const QString &token)
{
    return api.get(QStringLiteral("/api/game/session/") + sessionId, token).as<SessionWrapper>();
}

} // namespace

void TestHttpPersistence::killedMidGameContinuesWithClocks()
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastServerArguments());
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    ApiClient api(server.baseUrl());
    const QString anna = api.registerUser(QStringLiteral("Anna"));
    const QString bartek = api.registerUser(QStringLiteral("Bartek"));
    const auto a = api.post(QStringLiteral("/api/game/session"), CreateSessionRequest{300}, anna)
                       .as<GameSessionResponse>();
    QVERIFY(a);
    const auto b = api.post(QStringLiteral("/api/game/join"), JoinGameRequest{a->roomId}, bartek)
                       .as<GameSessionResponse>();
    QVERIFY(b);
    QVERIFY(
        api.post(QStringLiteral("/api/game/vote-to-start"), VoteToStartRequest{a->sessionId}, anna)
            .as<GameActionResponse>()
            ->success);
    QVERIFY(api.post(QStringLiteral("/api/game/vote-to-start"),
                     VoteToStartRequest{b->sessionId, true}, bartek)
                .as<GameActionResponse>()
                ->started.value_or(false));
    const auto first = poll(api, a->sessionId, anna);
    const auto move = legalMoveFor(first->gameState, a->playerId, a->sessionId);
    QVERIFY(move);
    QVERIFY(
        api.post(QStringLiteral("/api/game/place"), *move, anna).as<GameActionResponse>()->success);

    // Now Bartek's clock runs.
    const auto before = poll(api, b->sessionId, bartek);
    QCOMPARE(before->gameState.currentPlayerId, b->playerId);
    QVERIFY(before->gameState.timeRemaining);
    // Long enough for the server to record a running second even on a busy machine.
    QTest::qWait(3000);
    server.kill();
    QTest::qWait(4000); // time the server is down: charged to nobody
    QVERIFY2(server.restart(), qPrintable(server.errorString()));
    api.setBase(server.baseUrl());

    const auto after = poll(api, b->sessionId, bartek);
    QVERIFY(after);
    const GameState &s1 = before->gameState;
    const GameState &s2 = after->gameState;
    QCOMPARE(s2.board, s1.board);
    QCOMPARE(s2.players, s1.players);
    QCOMPARE(s2.turnNumber, s1.turnNumber);
    QCOMPARE(s2.currentPlayerId, s1.currentPlayerId);
    const qint64 spent = *s1.timeRemaining - *s2.timeRemaining;
    // 1 to 4 seconds of play were charged; the 4 seconds of downtime were not (that gives 7+).
    QVERIFY2(spent >= 1 && spent <= 4, qPrintable(QString::number(spent)));

    // Play goes on: Bartek moves and the bots answer.
    const auto next = legalMoveFor(s2, b->playerId, b->sessionId);
    QVERIFY(next);
    QVERIFY(api.post(QStringLiteral("/api/game/place"), *next, bartek)
                .as<GameActionResponse>()
                ->success);
    QVERIFY(QTest::qWaitFor(
        [&] { return poll(api, a->sessionId, anna)->gameState.currentPlayerId == a->playerId; },
        10'000));
}

void TestHttpPersistence::stoppedByTerminateKeepsEverything()
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastServerArguments());
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    ApiClient api(server.baseUrl());
    const QString anna = api.registerUser(QStringLiteral("Anna"));
    const auto a = api.post(QStringLiteral("/api/game/session"), CreateSessionRequest{}, anna)
                       .as<GameSessionResponse>();
    QVERIFY(a);
    QVERIFY2(server.restart(), qPrintable(server.errorString()));
    QVERIFY(server.output().contains("everything saved"));
    api.setBase(server.baseUrl());
    // Accounts, tokens, rooms and seats all came back; the room counter goes on.
    const auto list = api.get(QStringLiteral("/api/game/servers"), anna).as<ServerListResponse>();
    QVERIFY(list);
    QCOMPARE(list->servers.size(), 1);
    QCOMPARE(list->servers[0].id, a->roomId);
    QCOMPARE(poll(api, a->sessionId, anna)->session.playerId, a->playerId);
    const QString bob = api.registerUser(QStringLiteral("Bob"));
    const auto second = api.post(QStringLiteral("/api/game/session"), CreateSessionRequest{}, bob)
                            .as<GameSessionResponse>();
    QVERIFY(second);
    QVERIFY(second->roomId != a->roomId);
}

QTEST_GUILESS_MAIN(TestHttpPersistence)
#include "tst_httppersistence.moc"
