#include "authmanager.h"
#include "gamemanager.h"
#include "keyvaluestore.h"
#include "serverprocess.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using korvana::test::ServerProcess;

namespace {
// One player's side of the client: its own token, store and managers, on one shared server.
struct Client
{
    Client(const QString &baseUrl, const QString &storeFile)
        : network(baseUrl)
        , store(storeFile)
        , auth(network, store)
        , game(network)
    {
    }
    NetworkService network;
    KeyValueStore store;
    AuthManager auth;
    GameManager game;

    [[nodiscard]] bool isMyTurn() const
    {
        const auto &state = game.gameState();
        return state && state->gameStatus == u"in_progress" && state->currentPlayerId &&
               game.myPlayerId() == state->currentPlayerId;
    }
    [[nodiscard]] QString status() const
    {
        return game.gameState() ? game.gameState()->gameStatus : QString();
    }
};
} // namespace

class TestGameFlow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void twoPlayersAndBotsPlayToTheEnd();

private:
    std::unique_ptr<Client> signUp(const QString &name);

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
};

void TestGameFlow::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

std::unique_ptr<Client> TestGameFlow::signUp(const QString &name)
{
    auto client =
        std::make_unique<Client>(m_server->baseUrl().toString(), m_dir.filePath(name + ".json"));
    QCoro::waitFor(client->auth.registerTask(name, name + "@example.pl", "haslo123"));
    if (!client->auth.isAuthenticated())
        qWarning() << "registration failed:" << client->auth.errorMessageText();
    return client;
}

void TestGameFlow::twoPlayersAndBotsPlayToTheEnd()
{
    auto anna = signUp("anna");
    auto bartek = signUp("bartek");
    auto celina = signUp("celina");
    QVERIFY(anna->auth.isAuthenticated() && bartek->auth.isAuthenticated() &&
            celina->auth.isAuthenticated());

    QCoro::waitFor(anna->game.createSessionTask(std::nullopt));
    QVERIFY2(anna->game.isInGame(), qPrintable(anna->game.errorMessageText()));
    QCOMPARE(anna->status(), "waiting");
    const QString roomId = anna->game.gameState()->roomId;

    QCoro::waitFor(bartek->game.loadServersTask());
    const auto &servers = bartek->game.servers();
    QVERIFY(std::any_of(servers.cbegin(), servers.cend(),
                        [&](const GameServer &s) { return s.id == roomId; }));
    QCoro::waitFor(bartek->game.joinGameTask(roomId));
    QVERIFY2(bartek->game.isInGame(), qPrintable(bartek->game.errorMessageText()));
    QCOMPARE(bartek->game.gameState()->players.size(), 2);

    QCoro::waitFor(anna->game.voteToStartTask(false));
    QCOMPARE(anna->status(), "waiting");
    QCoro::waitFor(bartek->game.voteToStartTask(true)); // fills the free seats with bots
    QCOMPARE(bartek->status(), "in_progress");
    QCOMPARE(bartek->game.gameState()->players.size(), 4);
    QTRY_COMPARE_WITH_TIMEOUT(anna->status(), QString("in_progress"), 5000);

    // Anna opens in her corner, then both humans pass whenever their turn comes; bots play on.
    QTRY_VERIFY_WITH_TIMEOUT(anna->isMyTurn(), 10000);
    QCoro::waitFor(anna->game.placePieceTask("I1", 0, 0, 0));
    QVERIFY2(!anna->game.errorMessage(), qPrintable(anna->game.errorMessageText()));
    QCOMPARE(anna->game.gameState()->board.at(0).at(0), 1);

    QElapsedTimer clock;
    clock.start();
    while ((anna->status() != u"finished" || bartek->status() != u"finished") &&
           clock.elapsed() < 90'000) {
        for (Client *client : {anna.get(), bartek.get()}) {
            if (client->isMyTurn())
                QCoro::waitFor(client->game.passTurnTask());
        }
        QTest::qWait(50);
    }
    QCOMPARE(anna->status(), "finished");
    QCOMPARE(bartek->status(), "finished");
    QVERIFY(anna->game.gameState()->winner.has_value());
    QCOMPARE(anna->game.gameState()->winner, bartek->game.gameState()->winner);
    QVERIFY(!anna->game.updateTimer()->isActive());

    // Each score is saved once, even though the finished game was seen more than once.
    QTRY_VERIFY_WITH_TIMEOUT(!anna->game.isLoading() && !bartek->game.isLoading(), 5000);
    QCoro::waitFor(anna->game.refreshGameState());
    QTest::qWait(300);
    for (Client *client : {anna.get(), bartek.get()}) {
        QVERIFY2(!client->game.errorMessage(), qPrintable(client->game.errorMessageText()));
        const auto me = QCoro::waitFor(client->network.getCurrentUser());
        QVERIFY(me && me->stats);
        QCOMPARE(me->stats->gamesPlayed, 1);
    }

    // A third player owns no seat in this room.
    QCoro::waitFor(celina->game.rejoinGameTask(roomId));
    QVERIFY(!celina->game.isInGame());
    QVERIFY(celina->game.errorMessage().has_value());

    anna->game.leaveGame();
    QVERIFY(!anna->game.isInGame());
}

QTEST_GUILESS_MAIN(TestGameFlow)
#include "tst_gameflow.moc"
