#include "accounts.h"
#include "handlers.h"
#include "roomnames.h"
#include "rooms.h"
#include "store/database.h"
#include "store/passwords.h"

#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::api;

// The server's handlers and rooms without sockets, on a clock the test moves by hand.
class TestHandlers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void roomNames_data();
    void roomNames();
    void registrationRules_data();
    void registrationRules();

    void everyPersonVotesToStart();
    void aVoteForBotsFillsTheFreeSeatsAndStarts();
    void sittingElsewhereLeavesWaitingRooms();
    void aClockThatRunsOutPutsThePlayerOut();
    void pollsAreServedFromCacheUntilTheShownTimeChanges();
    void aRestartChargesNobodyForTheDowntime();
    void tokensExpire();
    void loginFailuresSlideOutOfTheWindow();
    void healthTellsAClosedStore();

private:
    void openBackend();
    Account signUp(const QString &name);
    GameState stateOf(const Account &account, const QString &sessionId);

    std::unique_ptr<QTemporaryDir> m_dir;
    ManualClock m_clock;
    std::unique_ptr<store::Database> m_db;
    std::unique_ptr<store::PasswordHasher> m_hasher;
    std::unique_ptr<Accounts> m_accounts;
    std::unique_ptr<Rooms> m_rooms;
    std::unique_ptr<Handlers> m_handlers;
};

void TestHandlers::openBackend()
{
    m_handlers.reset();
    m_rooms.reset();
    m_accounts.reset();
    m_db = std::make_unique<store::Database>();
    QVERIFY(m_db->open(m_dir->filePath(QStringLiteral("server.sqlite"))));
    m_accounts =
        std::make_unique<Accounts>(*m_db, *m_hasher, m_clock, Accounts::Options{1000, QString()});
    m_rooms = std::make_unique<Rooms>(*m_db, m_clock, Rooms::Options{0, 1});
    m_rooms->load();
    m_handlers = std::make_unique<Handlers>(*m_accounts, *m_rooms, *m_db);
}

void TestHandlers::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_clock.set(1'700'000'000'000);
    m_hasher = std::make_unique<store::PasswordHasher>(1, store::HashCost::Minimal);
    openBackend();
}

void TestHandlers::cleanup()
{
    m_handlers.reset();
    m_rooms.reset();
    m_accounts.reset();
    m_db.reset();
    m_hasher.reset();
    m_dir.reset();
}

Account TestHandlers::signUp(const QString &name)
{
    auto future = m_accounts->registerUser(
        {name, name.toLower() + QStringLiteral("@example.com"), QStringLiteral("haslo123")});
    if (!QTest::qWaitFor([&] { return future.isFinished(); }, 10'000))
        return {};
    const AuthResult result = future.result();
    if (!result)
        return {};
    return Account{result->user.id, result->user.username};
}

GameState TestHandlers::stateOf(const Account &account, const QString &sessionId)
{
    const ApiResponse r = m_handlers->session(account, sessionId);
    const auto wrapper = json::decode<SessionWrapper>(r.body);
    return wrapper ? wrapper->gameState : GameState{};
}

void TestHandlers::roomNames_data()
{
    QTest::addColumn<QString>("creator");
    QTest::addColumn<QString>("name");
    QTest::addRow("Anna") << "Anna"
                          << "Pokój Anny";
    QTest::addRow("Olga") << "Olga"
                          << "Pokój Olgi";
    QTest::addRow("Kasia") << "Kasia"
                           << "Pokój Kasi";
    QTest::addRow("Maja") << "Maja"
                          << "Pokój Mai";
    QTest::addRow("Ola") << "Ola"
                         << "Pokój Oli";
    QTest::addRow("a man's name") << "Jan"
                                  << "Pokój gracza Jan";
    QTest::addRow("a nickname") << "gamer_99a"
                                << "Pokój gracza gamer_99a";
    QTest::addRow("lower case") << "ania"
                                << "Pokój gracza ania";
}

void TestHandlers::roomNames()
{
    QFETCH(QString, creator);
    QFETCH(QString, name);
    QCOMPARE(roomName(creator), name);
}

void TestHandlers::registrationRules_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::addRow("fine") << "Ala"
                          << "ala@kot.pl"
                          << "123456" << true;
    QTest::addRow("20 letters") << QString(20, u'ż') << "a@b.pl"
                                << "123456" << true;
    QTest::addRow("spaces around do not count") << "  Al  "
                                                << "a@b.pl"
                                                << "123456" << false;
    QTest::addRow("21 letters") << QString(21, u'a') << "a@b.pl"
                                << "123456" << false;
    QTest::addRow("control character") << "Al\x01x"
                                       << "a@b.pl"
                                       << "123456" << false;
    QTest::addRow("two at signs") << "Ala"
                                  << "a@b@c.pl"
                                  << "123456" << false;
    QTest::addRow("space in e-mail") << "Ala"
                                     << "a b@c.pl"
                                     << "123456" << false;
    QTest::addRow("dot at the end") << "Ala"
                                    << "a@c."
                                    << "123456" << false;
    QTest::addRow("5 characters") << "Ala"
                                  << "a@b.pl"
                                  << "12345" << false;
    QTest::addRow("6 emoji") << "Ala"
                             << "a@b.pl"
                             << "😀😀😀😀😀😀" << true;
    QTest::addRow("129 characters") << "Ala"
                                    << "a@b.pl" << QString(129, u'x') << false;
}

void TestHandlers::registrationRules()
{
    QFETCH(QString, username);
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    QCOMPARE(!registrationProblem({username, email, password}).has_value(), accepted);
}

void TestHandlers::everyPersonVotesToStart()
{
    const Account anna = signUp(QStringLiteral("Anna"));
    const Account bob = signUp(QStringLiteral("Bob"));
    const auto a = m_rooms->create(anna, std::nullopt);
    QVERIFY(a);
    QCOMPARE(a->state.startVotesNeeded, 1);
    // Alone, a plain vote cannot start a game.
    auto vote = m_rooms->vote(anna, {a->sessionId, false});
    QVERIFY(vote && vote->success && !vote->started);
    QCOMPARE(vote->state.gameStatus, QStringLiteral("waiting"));

    const auto b = m_rooms->join(bob, a->roomId);
    QVERIFY(b);
    QCOMPARE(b->state.startVotesNeeded, 2);
    QCOMPARE(b->state.startVotesCount, 1);
    QCOMPARE(b->state.startVotes, QList<QString>{a->playerId});
    vote = m_rooms->vote(bob, {b->sessionId, std::nullopt});
    QVERIFY(vote && vote->started);
    QCOMPARE(vote->state.gameStatus, QStringLiteral("in_progress"));
    QCOMPARE(vote->state.players.size(), 2);
    QCOMPARE(vote->state.currentPlayerId, a->playerId);
    // A late vote changes nothing and is no error.
    vote = m_rooms->vote(anna, {a->sessionId, true});
    QVERIFY(vote && vote->success && !vote->started);
    QCOMPARE(vote->state.players.size(), 2);
}

void TestHandlers::aVoteForBotsFillsTheFreeSeatsAndStarts()
{
    const Account anna = signUp(QStringLiteral("Anna"));
    const Account bob = signUp(QStringLiteral("Bob"));
    const auto a = m_rooms->create(anna, 300);
    const auto b = m_rooms->join(bob, a->roomId);
    const auto vote = m_rooms->vote(anna, {a->sessionId, true});
    QVERIFY(vote && vote->started);
    QCOMPARE(vote->state.players.size(), 4);
    QCOMPARE(vote->state.players[2].name, QStringLiteral("Bot 1"));
    QCOMPARE(vote->state.players[3].color, QStringLiteral("green"));
    QCOMPARE(vote->state.timeRemaining, 300);
    const auto servers = m_rooms->servers();
    QCOMPARE(servers.size(), 1);
    QVERIFY(!servers[0].players[2].userId);
    QCOMPARE(servers[0].players[1].userId, QString::number(bob.id));
}

void TestHandlers::sittingElsewhereLeavesWaitingRooms()
{
    const Account anna = signUp(QStringLiteral("Anna"));
    const Account bob = signUp(QStringLiteral("Bob"));
    const Account cyryl = signUp(QStringLiteral("Cyryl"));
    const auto first = m_rooms->create(anna, std::nullopt);
    QVERIFY(m_rooms->join(bob, first->roomId));
    const auto c = m_rooms->join(cyryl, first->roomId);
    QCOMPARE(c->color, QStringLiteral("red"));

    // Bob moves to his own room: Cyryl moves up to yellow and keeps his player id.
    const auto second = m_rooms->create(bob, std::nullopt);
    QVERIFY(second);
    const GameState left = stateOf(cyryl, c->sessionId);
    QCOMPARE(left.players.size(), 2);
    QCOMPARE(left.players[1].id, c->playerId);
    QCOMPARE(left.players[1].color, QStringLiteral("yellow"));
    QCOMPARE(m_handlers->session(bob, first->sessionId).status, 403);

    // The last person leaving takes the room away.
    QVERIFY(m_rooms->join(anna, second->roomId));
    QVERIFY(m_rooms->join(cyryl, second->roomId));
    QCOMPARE(m_rooms->join(bob, first->roomId).error(), RoomRefusal::NoSuchRoom);
    QCOMPARE(m_handlers->join(bob, {first->roomId}).status, 404);
}

void TestHandlers::aClockThatRunsOutPutsThePlayerOut()
{
    const Account anna = signUp(QStringLiteral("Anna"));
    const Account bob = signUp(QStringLiteral("Bob"));
    const auto a = m_rooms->create(anna, 60);
    const auto b = m_rooms->join(bob, a->roomId);
    QVERIFY(m_rooms->vote(anna, {a->sessionId, false}));
    QVERIFY(m_rooms->vote(bob, {b->sessionId, false})->started);

    m_clock.advance(20'000);
    QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 40);
    m_clock.advance(41'000);
    const GameState state = stateOf(anna, a->sessionId);
    QVERIFY(state.players[0].hasPassed);
    QCOMPARE(state.currentPlayerId, b->playerId);
    // Bob's clock started when Anna's ran out, a second ago.
    QCOMPARE(state.timeRemaining, 59);
    const auto refused = m_rooms->place(anna, {a->sessionId, QStringLiteral("I1"), 0, 0, 0});
    QVERIFY(refused && !refused->success);
}

void TestHandlers::pollsAreServedFromCacheUntilTheShownTimeChanges()
{
    const Account anna = signUp(QStringLiteral("Anna"));
    const auto a = m_rooms->create(anna, 300);
    QVERIFY(m_rooms->vote(anna, {a->sessionId, true})->started);
    const QByteArray first = *m_rooms->sessionBytes(anna, a->sessionId);
    m_clock.advance(400);
    const QByteArray second = *m_rooms->sessionBytes(anna, a->sessionId);
    QCOMPARE(second.constData(), first.constData()); // the very same bytes
    m_clock.advance(700);
    const QByteArray third = *m_rooms->sessionBytes(anna, a->sessionId);
    QVERIFY(third != first);
    QCOMPARE(json::decode<SessionWrapper>(third)->gameState.timeRemaining, 299);
    // A move changes the bytes at once.
    const auto moved = m_rooms->place(anna, {a->sessionId, QStringLiteral("I1"), 0, 0, 0});
    QVERIFY(moved && moved->success);
    const auto after = json::decode<SessionWrapper>(*m_rooms->sessionBytes(anna, a->sessionId));
    QCOMPARE(after->gameState.board[0][0], 1);
}

void TestHandlers::aRestartChargesNobodyForTheDowntime()
{
    const Account anna = signUp(QStringLiteral("Anna"));
    const auto a = m_rooms->create(anna, 60);
    QVERIFY(m_rooms->vote(anna, {a->sessionId, true})->started);
    m_clock.advance(5'000);
    m_rooms->writeHeartbeat();
    m_clock.advance(100'000); // the server is down
    openBackend();
    const GameState state = stateOf(anna, a->sessionId);
    QCOMPARE(state.gameStatus, QStringLiteral("in_progress"));
    QCOMPARE(state.currentPlayerId, a->playerId);
    QCOMPARE(state.timeRemaining, 55);
}

void TestHandlers::tokensExpire()
{
    auto future = m_accounts->registerUser(
        {QStringLiteral("Ewa"), QStringLiteral("ewa@example.com"), QStringLiteral("haslo123")});
    QVERIFY(QTest::qWaitFor([&] { return future.isFinished(); }, 10'000));
    const QByteArray header = "Bearer " + future.result()->token.toLatin1();
    QVERIFY(m_accounts->authenticate(header));
    m_clock.advance(999);
    QVERIFY(m_accounts->authenticate(header));
    m_clock.advance(1);
    QCOMPARE(m_accounts->authenticate(header).error(), Accounts::TokenProblem::Expired);
    QCOMPARE(m_accounts->authenticate("Bearer nope").error(), Accounts::TokenProblem::Unknown);
    QCOMPARE(m_accounts->authenticate("").error(), Accounts::TokenProblem::Missing);
}

void TestHandlers::loginFailuresSlideOutOfTheWindow()
{
    LoginLimiter limiter;
    const QString email = QStringLiteral("a@b.pl");
    for (int i = 0; i < 10; ++i) {
        QVERIFY(!limiter.retryAfterSeconds(email, i * 1000));
        limiter.recordFailure(email, i * 1000);
    }
    QCOMPARE(limiter.retryAfterSeconds(email, 10'000), 50);
    QVERIFY(!limiter.retryAfterSeconds(QStringLiteral("c@d.pl"), 10'000));
    // The first failure leaves the window a minute after it happened.
    QVERIFY(!limiter.retryAfterSeconds(email, 60'001));
    limiter.recordFailure(email, 60'001);
    QVERIFY(limiter.retryAfterSeconds(email, 60'002));
    limiter.recordSuccess(email);
    QVERIFY(!limiter.retryAfterSeconds(email, 60'003));
}

void TestHandlers::healthTellsAClosedStore()
{
    QCOMPARE(m_handlers->health().status, 200);
    m_db->close();
    const ApiResponse r = m_handlers->health();
    QCOMPARE(r.status, 503);
    QVERIFY(json::decode<ErrorResponse>(r.body));
}

QTEST_GUILESS_MAIN(TestHandlers)
#include "tst_handlers.moc"
