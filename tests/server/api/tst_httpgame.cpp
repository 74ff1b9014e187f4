#include "apiclient.h"
#include "wireplay.h"

#include "account.h"
#include "lobby.h"

#include <QElapsedTimer>
#include <QTest>

using namespace korvana;
using namespace korvana::test;

// A whole game over real HTTP: two registered people and two bots, from the lobby to the
// saved scores.
class TestHttpGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoPeopleAndTwoBotsPlayAWholeGame();
    void cataloguesArePublicAndComplete();
};

namespace {

struct Seat
{
    QString token;
    QString sessionId;
    QString playerId;
};

GameState poll(ApiClient &api, const Seat &seat)
{
    const auto reply = api.get(QStringLiteral("/api/game/session/") + seat.sessionId, seat.token);
    const auto wrapper = reply.as<SessionWrapper>();
    if (!wrapper) {
        qWarning() << "poll failed" << reply.status << reply.body.left(200);
        return {};
    }
    return wrapper->gameState;
}

// The client's rank: stable sort by score, highest first.
qint64 clientPosition(const GameState &state, const QString &playerId)
{
    QList<Player> players = state.players;
    std::ranges::stable_sort(players, std::greater{}, &Player::score);
    for (qsizetype i = 0; i < players.size(); ++i)
        if (players[i].id == playerId)
            return i + 1;
    return 0;
}

} // namespace

void TestHttpGame::twoPeopleAndTwoBotsPlayAWholeGame()
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastServerArguments());
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    ApiClient api(server.baseUrl());

    Seat anna{api.registerUser(QStringLiteral("Anna")), {}, {}};
    Seat bartek{api.registerUser(QStringLiteral("Bartek")), {}, {}};
    QVERIFY(!anna.token.isEmpty() && !bartek.token.isEmpty());

    const auto created =
        api.post(QStringLiteral("/api/game/session"), CreateSessionRequest{}, anna.token)
            .as<GameSessionResponse>();
    QVERIFY(created);
    anna.sessionId = created->sessionId;
    anna.playerId = created->playerId;
    QCOMPARE(created->color, QStringLiteral("blue"));
    QCOMPARE(created->gameState.gameStatus, QStringLiteral("waiting"));

    const auto list =
        api.get(QStringLiteral("/api/game/servers"), bartek.token).as<ServerListResponse>();
    QVERIFY(list);
    QCOMPARE(list->servers.size(), 1);
    QCOMPARE(list->servers[0].serverName, QStringLiteral("Pokój Anny"));
    QCOMPARE(list->servers[0].playerCount, 1);
    QCOMPARE(list->servers[0].players[0].username, QStringLiteral("Anna"));

    const auto joined =
        api.post(QStringLiteral("/api/game/join"), JoinGameRequest{created->roomId}, bartek.token)
            .as<GameSessionResponse>();
    QVERIFY(joined);
    bartek.sessionId = joined->sessionId;
    bartek.playerId = joined->playerId;
    QCOMPARE(joined->color, QStringLiteral("yellow"));
    QCOMPARE(joined->gameState.startVotesNeeded, 2);

    auto vote = api.post(QStringLiteral("/api/game/vote-to-start"),
                         VoteToStartRequest{anna.sessionId, false}, anna.token)
                    .as<GameActionResponse>();
    QVERIFY(vote && vote->success);
    QCOMPARE(vote->started, false);
    QCOMPARE(vote->gameState->startVotesCount, 1);
    QCOMPARE(vote->gameState->gameStatus, QStringLiteral("waiting"));

    vote = api.post(QStringLiteral("/api/game/vote-to-start"),
                    VoteToStartRequest{bartek.sessionId, true}, bartek.token)
               .as<GameActionResponse>();
    QVERIFY(vote && vote->success);
    QCOMPARE(vote->started, true);
    QCOMPARE(vote->gameState->gameStatus, QStringLiteral("in_progress"));
    QCOMPARE(vote->gameState->players.size(), 4);
    QCOMPARE(vote->gameState->currentPlayerId, anna.playerId);
    for (const GamePiece &piece : vote->gameState->players[0].pieces)
        QVERIFY(!piece.squares.isEmpty());

    // Refusals of moves are answers, not errors.
    auto refused =
        api.post(QStringLiteral("/api/game/place"),
                 PlacePieceRequest{bartek.sessionId, QStringLiteral("I1"), 19, 19, 0}, bartek.token)
            .as<GameActionResponse>();
    QVERIFY(refused && !refused->success);
    QCOMPARE(refused->error, QStringLiteral("Nie twoja tura"));
    refused = api.post(QStringLiteral("/api/game/place"),
                       PlacePieceRequest{anna.sessionId, QStringLiteral("I1"), 5, 5, 0}, anna.token)
                  .as<GameActionResponse>();
    QVERIFY(refused && !refused->success);
    QVERIFY(refused->error->startsWith(QStringLiteral("Nieprawidłowy ruch")));

    QElapsedTimer clock;
    clock.start();
    GameState state;
    int humanMoves = 0;
    while (clock.elapsed() < 60'000) {
        state = poll(api, anna);
        if (state.gameStatus == u"finished")
            break;
        const Seat *mover = state.currentPlayerId == anna.playerId     ? &anna
                            : state.currentPlayerId == bartek.playerId ? &bartek
                                                                       : nullptr;
        if (!mover) {
            QTest::qWait(2);
            continue;
        }
        const auto move = legalMoveFor(state, mover->playerId, mover->sessionId);
        const auto answer = move ? api.post(QStringLiteral("/api/game/place"), *move, mover->token)
                                 : api.post(QStringLiteral("/api/game/pass"),
                                            PassTurnRequest{mover->sessionId}, mover->token);
        const auto action = answer.as<GameActionResponse>();
        QVERIFY2(action && action->success, answer.body.constData());
        humanMoves += move ? 1 : 0;
    }
    QCOMPARE(state.gameStatus, QStringLiteral("finished"));
    QVERIFY(state.winner);
    QVERIFY(humanMoves > 10);
    for (const Player &p : state.players)
        QVERIFY(p.hasPassed);

    // The finished game leaves the lobby and the active list; scores count once.
    QVERIFY(api.get(QStringLiteral("/api/game/servers"), anna.token)
                .as<ServerListResponse>()
                ->servers.isEmpty());
    QCOMPARE(api.get(QStringLiteral("/api/game/active-games"), anna.token)
                 .as<ActiveGamesResponse>()
                 ->count,
             0);
    const Player &mine = *std::ranges::find(state.players, anna.playerId, &Player::id);
    const SaveScoreRequest save{state.roomId, mine.score, clientPosition(state, anna.playerId),
                                state.players.size()};
    const auto first = api.post(QStringLiteral("/api/scores"), save, anna.token);
    const auto saved = first.as<SaveScoreResponse>();
    QVERIFY2(saved, first.body.constData());
    QCOMPARE(saved->score.score, mine.score);
    const auto again =
        api.post(QStringLiteral("/api/scores"), save, anna.token).as<SaveScoreResponse>();
    QVERIFY(again);
    QCOMPARE(again->score.id, saved->score.id);
    auto wrong = save;
    wrong.position = save.position % 4 + 1;
    QCOMPARE(api.post(QStringLiteral("/api/scores"), wrong, anna.token).status, 400);

    const auto me = api.get(QStringLiteral("/api/auth/me"), anna.token).as<UserResponse>();
    QVERIFY(me && me->user.stats);
    QCOMPARE(me->user.stats->gamesPlayed, 1);
    QCOMPARE(me->user.stats->totalScore, mine.score);
    QCOMPARE(me->user.stats->bestScore, mine.score);
    QCOMPARE(me->user.stats->gamesWon, save.position == 1 ? 1 : 0);
    QCOMPARE(me->user.role, QStringLiteral("player"));

    // A finished game is still shown to its players, and cannot be rejoined.
    QCOMPARE(poll(api, bartek).gameStatus, QStringLiteral("finished"));
    QCOMPARE(api.post(QStringLiteral("/api/game/rejoin"), RejoinRequest{state.roomId}, bartek.token)
                 .status,
             400);
}

void TestHttpGame::cataloguesArePublicAndComplete()
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastServerArguments());
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    ApiClient api(server.baseUrl());

    const auto options =
        api.get(QStringLiteral("/api/game/time-options")).as<TimeOptionsResponse>();
    QVERIFY(options);
    const QList<TimeOption> expected{
        {0, QStringLiteral("Bez limitu"), 0},  {1, QStringLiteral("5 minut"), 300},
        {2, QStringLiteral("10 minut"), 600},  {3, QStringLiteral("15 minut"), 900},
        {4, QStringLiteral("30 minut"), 1800}, {5, QStringLiteral("1 godzina"), 3600}};
    QCOMPARE(options->options, expected);

    const auto pieces = api.get(QStringLiteral("/api/game/pieces")).as<PiecesResponse>();
    QVERIFY(pieces);
    QCOMPARE(pieces->pieces.size(), 21);
    QSet<QString> ids;
    qint64 squares = 0;
    for (const PieceDefinition &p : pieces->pieces) {
        ids.insert(p.id);
        QCOMPARE(p.rotations, (QList<qint64>{0, 90, 180, 270}));
        QCOMPARE(p.squares.size(), p.size);
        QCOMPARE(p.squares[0], (Square{0, 0}));
        squares += p.size;
    }
    QCOMPARE(ids.size(), 21);
    QCOMPARE(squares, 89);

    const auto health = api.get(QStringLiteral("/api/health"));
    QCOMPARE(health.status, 200);
    QCOMPARE(health.body, QByteArrayLiteral(R"({"status":"ok"})"));
}

QTEST_GUILESS_MAIN(TestHttpGame)
#include "tst_httpgame.moc"
