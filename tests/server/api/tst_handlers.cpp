#include "backend.h"
#include "roomnames.h"

#include <QTest>

using namespace korvana;
using namespace korvana::api;
using namespace korvana::test;
using namespace Qt::StringLiterals;

// Rooms, accounts and handlers without sockets, on a clock the test moves by hand.
class TestHandlers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_b = std::make_unique<Backend>(); }
    void cleanup() { m_b.reset(); }

    void roomNames()
    {
        QCOMPARE(roomName(u"Anna"_s), u"Pokój Anny"_s);
        QCOMPARE(roomName(u"Kasia"_s), u"Pokój Kasi"_s);
        QCOMPARE(roomName(u"Jan"_s), u"Pokój gracza Jan"_s);
    }

    void registrationRules()
    {
        const QString email = u"a@b.pl"_s, password = u"123456"_s;
        QVERIFY(!registrationProblem({QString(20, u'ż'), email, password}));
        QVERIFY(registrationProblem({QString(21, u'a'), email, password}));
        QVERIFY(registrationProblem({u" Al "_s, email, password}));
        QVERIFY(registrationProblem({u"Ala"_s, u"a@b"_s, password}));
        QVERIFY(registrationProblem({u"Ala"_s, email, u"12345"_s}));
        QVERIFY(!registrationProblem({u"Ala"_s, email, u"😀😀😀😀😀😀"_s}));
        QVERIFY(registrationProblem({u"Ala"_s, email, QString(129, u'x')}));
    }

    void everyPersonVotesToStart()
    {
        const Account anna = signUp(u"Anna"_s);
        const Account bob = signUp(u"Bob"_s);
        const auto a = m_b->rooms->create(anna, std::nullopt);
        // Alone, a plain vote cannot start a game.
        QVERIFY(!m_b->rooms->vote(anna, {a->sessionId, false})->started);
        const auto b = m_b->rooms->join(bob, a->roomId);
        QCOMPARE(b->state.startVotesNeeded, 2);
        QCOMPARE(b->state.startVotes, QList<QString>{a->playerId});
        auto vote = m_b->rooms->vote(bob, {b->sessionId, std::nullopt});
        QVERIFY(vote && vote->started);
        QCOMPARE(vote->state.currentPlayerId, a->playerId);
        // A late vote changes nothing and is no error.
        vote = m_b->rooms->vote(anna, {a->sessionId, true});
        QVERIFY(vote && vote->success && !vote->started);
        QCOMPARE(vote->state.players.size(), 2);
    }

    void sittingElsewhereLeavesWaitingRooms()
    {
        const auto [anna, bob, cyryl] =
            std::tuple(signUp(u"Anna"_s), signUp(u"Bob"_s), signUp(u"Cyryl"_s));
        const auto first = m_b->rooms->create(anna, std::nullopt);
        QVERIFY(m_b->rooms->join(bob, first->roomId));
        const auto c = m_b->rooms->join(cyryl, first->roomId);
        QCOMPARE(c->color, u"red"_s);

        // Bob moves to his own room: Cyryl moves up to yellow and keeps his player id.
        const auto second = m_b->rooms->create(bob, std::nullopt);
        const GameState left = stateOf(cyryl, c->sessionId);
        QCOMPARE(left.players.size(), 2);
        QCOMPARE(left.players[1].id, c->playerId);
        QCOMPARE(left.players[1].color, u"yellow"_s);

        // The last person leaving takes the room away.
        QVERIFY(m_b->rooms->join(anna, second->roomId));
        QVERIFY(m_b->rooms->join(cyryl, second->roomId));
        QCOMPARE(m_b->rooms->join(bob, first->roomId).error(), RoomRefusal::NoSuchRoom);
    }

    void roomRefusals()
    {
        QList<Account> people;
        for (const QString &name : {u"Anna"_s, u"Bob"_s, u"Cyryl"_s, u"Dorota"_s, u"Edek"_s})
            people << signUp(name);
        Rooms &rooms = *m_b->rooms;
        const auto room = rooms.create(people[0], std::nullopt);
        for (int i = 1; i < 4; ++i)
            QVERIFY(rooms.join(people[i], room->roomId));
        QCOMPARE(rooms.join(people[4], room->roomId).error(), RoomRefusal::RoomFull);
        QCOMPARE(rooms.create(people[4], -5).error(), RoomRefusal::BadTimeLimit);
        QCOMPARE(rooms.vote(people[4], {room->sessionId, true}).error(), RoomRefusal::NotYourSeat);
        QCOMPARE(rooms.pass(people[4], u"nope"_s).error(), RoomRefusal::NoSuchSession);

        QVERIFY(rooms.vote(people[0], {room->sessionId, true})->started);
        QCOMPARE(rooms.join(people[4], room->roomId).error(), RoomRefusal::GameUnderWay);
        QCOMPARE(rooms.rejoin(people[4], room->roomId).error(), RoomRefusal::NotParticipant);
        QCOMPARE(rooms.rejoin(people[1], room->roomId)->color, u"yellow"_s);
        // Still playing there: no other game.
        QCOMPARE(rooms.create(people[1], std::nullopt).error(), RoomRefusal::SeatHeldElsewhere);

        // The words the client looks for in each refusal.
        const QList<QPair<RoomRefusal, QString>> words{
            {RoomRefusal::NoSuchRoom, u"nie znaleziona"_s},
            {RoomRefusal::RoomFinished, u"nie znaleziona"_s},
            {RoomRefusal::GameUnderWay, u"już się rozpoczęła"_s},
            {RoomRefusal::SeatHeldElsewhere, u"już jest w grze"_s}};
        for (const auto &[refusal, word] : words)
            QVERIFY(
                json::decode<ErrorResponse>(refusalResponse(refusal).body)->error.contains(word));
    }

    void aClockThatRunsOutPutsThePlayerOut()
    {
        const Account anna = signUp(u"Anna"_s);
        const Account bob = signUp(u"Bob"_s);
        const auto a = m_b->rooms->create(anna, 60);
        const auto b = m_b->rooms->join(bob, a->roomId);
        QVERIFY(m_b->rooms->vote(anna, {a->sessionId, false}));
        QVERIFY(m_b->rooms->vote(bob, {b->sessionId, false})->started);

        m_b->clock.advance(20'000);
        QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 40);
        m_b->clock.advance(41'000);
        const GameState state = stateOf(anna, a->sessionId);
        QVERIFY(state.players[0].hasPassed);
        QCOMPARE(state.currentPlayerId, b->playerId);
        QCOMPARE(state.timeRemaining, 59); // Bob's clock started when Anna's ran out
        const auto refused = m_b->rooms->place(anna, {a->sessionId, u"I1"_s, 0, 0, 0});
        QVERIFY(refused && !refused->success);
    }

    void pollsAreServedFromCacheUntilTheShownTimeChanges()
    {
        const Account anna = signUp(u"Anna"_s);
        const auto a = m_b->rooms->create(anna, 300);
        QVERIFY(m_b->rooms->vote(anna, {a->sessionId, true})->started);
        const QByteArray first = *m_b->rooms->sessionBytes(anna, a->sessionId);
        m_b->clock.advance(400);
        const QByteArray second = *m_b->rooms->sessionBytes(anna, a->sessionId);
        QCOMPARE(second.constData(), first.constData()); // the very same bytes
        m_b->clock.advance(700);
        const QByteArray third = *m_b->rooms->sessionBytes(anna, a->sessionId);
        QCOMPARE(json::decode<SessionWrapper>(third)->gameState.timeRemaining, 299);
        // A move changes the bytes at once.
        QVERIFY(m_b->rooms->place(anna, {a->sessionId, u"I1"_s, 0, 0, 0})->success);
        QCOMPARE(stateOf(anna, a->sessionId).board[0][0], 1);
    }

    void aRestartChargesNobodyForTheDowntime()
    {
        const Account anna = signUp(u"Anna"_s);
        const auto a = m_b->rooms->create(anna, 60);
        QVERIFY(m_b->rooms->vote(anna, {a->sessionId, true})->started);
        m_b->clock.advance(5'000);
        m_b->rooms->writeHeartbeat();
        m_b->clock.advance(100'000); // the server is down
        m_b->open();
        const GameState state = stateOf(anna, a->sessionId);
        QCOMPARE(state.currentPlayerId, a->playerId);
        QCOMPARE(state.timeRemaining, 55);
    }

    void scoresAreCheckedAgainstTheFinishedGame()
    {
        const Account gosia = signUp(u"Gosia"_s);
        const Account henryk = signUp(u"Henryk"_s);
        const auto room = m_b->rooms->create(gosia, std::nullopt);
        SaveScoreRequest save{room->roomId, 0, 4, 4};
        QCOMPARE(m_b->handlers->saveScore(gosia, save).status, 400); // not finished
        QCOMPARE(m_b->handlers->saveScore(henryk, save).status, 403);
        QCOMPARE(m_b->handlers->saveScore(gosia, {u"room-404"_s, 0, 4, 4}).status, 404);

        // The only person passes whenever it is her turn; the bots play to the end.
        QVERIFY(m_b->rooms->vote(gosia, {room->sessionId, true})->started);
        const QList<ServerPlayer> seated = m_b->rooms->servers().value(0).players;
        QVERIFY(seated.size() == 4 && !seated[3].userId && seated[3].color == u"green");
        QVERIFY(QTest::qWaitFor(
            [&] {
                (void)m_b->rooms->pass(gosia, room->sessionId); // refused out of turn
                return stateOf(gosia, room->sessionId).gameStatus == u"finished";
            },
            20'000));
        QCOMPARE(m_b->handlers->saveScore(gosia, {room->roomId, 0, 4, 3}).status, 400);
        QCOMPARE(m_b->handlers->saveScore(gosia, {room->roomId, 7, 4, 4}).status, 400);
        // Saved at the end already, so the client's report finds it.
        const auto saved =
            json::decode<SaveScoreResponse>(m_b->handlers->saveScore(gosia, save).body);
        QCOMPARE(saved->score.position, 4);
        const auto me = json::decode<UserResponse>(m_b->handlers->me(gosia).body);
        QCOMPARE(me->user.stats->gamesPlayed, 1);
        QCOMPARE(me->user.stats->gamesWon, 0);
    }

    void failedLoginsAreLimitedPerEmail()
    {
        signUp(u"Lena"_s);
        signUp(u"Anna"_s);
        const auto wait = [](QFuture<AuthResult> f) {
            return QTest::qWaitFor([&] { return f.isFinished(); }, 10'000) ? f.result()
                                                                           : AuthResult();
        };
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(wait(m_b->accounts->login({u"lena@example.com"_s, u"zle"_s})).error().kind,
                     AuthError::Kind::BadCredentials);
            m_b->clock.advance(1000);
        }
        const auto limited = wait(m_b->accounts->login({u"LENA@example.com"_s, u"haslo123"_s}));
        QCOMPARE(limited.error().kind, AuthError::Kind::TooManyFailures);
        QCOMPARE(limited.error().retryAfterSeconds, 50);
        QVERIFY(
            wait(m_b->accounts->login({u"anna@example.com"_s, u"haslo123"_s}))); // another e-mail
        // The first failure leaves the window a minute after it happened.
        m_b->clock.advance(50'001);
        QVERIFY(wait(m_b->accounts->login({u"lena@example.com"_s, u"haslo123"_s})));
    }

    void healthTellsAClosedStore()
    {
        QCOMPARE(m_b->handlers->health().status, 200);
        m_b->db->close();
        QCOMPARE(m_b->handlers->health().status, 503);
    }

private:
    Account signUp(const QString &name) { return m_b->signUp(name).first; }
    GameState stateOf(const Account &account, const QString &sessionId)
    {
        const auto bytes = m_b->rooms->sessionBytes(account, sessionId);
        return bytes ? json::decode<SessionWrapper>(*bytes)->gameState : GameState{};
    }

    std::unique_ptr<Backend> m_b;
};

QTEST_GUILESS_MAIN(TestHandlers)
#include "tst_handlers.moc"
