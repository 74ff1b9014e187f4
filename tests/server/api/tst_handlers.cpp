// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "backend.h"

#include <QTest>

using namespace korvana;
using namespace korvana::api;
using namespace korvana::rooms;
using namespace korvana::test;
using namespace Qt::StringLiterals;

// Accounts and handlers without sockets, on a clock the test moves by hand.
class TestHandlers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_b = std::make_unique<Backend>(); }
    void cleanup() { m_b.reset(); }

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

    void heldPollsAnswerNewsOrNotModified()
    {
        const auto [anna, token] = m_b->signUp(u"Anna"_s);
        const Account bob = signUp(u"Bob"_s);
        const auto a = m_b->rooms->create(anna, std::nullopt);
        std::optional<ApiResponse> answer;
        const auto poll = [&](const QByteArray &tag, const QByteArray &prefer) {
            answer.reset();
            m_b->router->dispatch({ApiRequest::Method::Get,
                                   u"/api/game/session/"_s + a->sessionId,
                                   token,
                                   {},
                                   {},
                                   tag,
                                   prefer},
                                  [&](ApiResponse r) { answer = std::move(r); });
        };
        const auto header = [&](const QByteArray &name) {
            for (const auto &[key, value] : answer->headers)
                if (key == name)
                    return value;
            return QByteArray();
        };
        poll({}, "wait=90"); // no tag yet: at once, and the wait it would apply
        QCOMPARE(answer->status, 200);
        QCOMPARE(header("Preference-Applied"), "wait=30");
        const QByteArray tag = header("ETag");
        poll(tag, {}); // the same tag, no wait
        QVERIFY(answer->status == 304 && answer->body.isEmpty());
        poll(tag, "wait=5"); // held until Bob sits down
        QVERIFY(!answer);
        QVERIFY(m_b->rooms->join(bob, a->roomId));
        QVERIFY(QTest::qWaitFor([&] { return answer.has_value(); }, 1000));
        QCOMPARE(json::decode<SessionWrapper>(answer->body)->gameState.players.size(), 2);
        QVERIFY(header("ETag") != tag);
        QCOMPARE(header("Preference-Applied"), "wait=5");
        poll(header("ETag"), "wait=1"); // nothing happens: 304 when the wait ends
        QVERIFY(QTest::qWaitFor([&] { return answer.has_value(); }, 3000));
        QCOMPARE(answer->status, 304);
        // Switched off, the headers are ignored: the plain answer at once, as before.
        Handlers plain(*m_b->accounts, *m_b->rooms, *m_b->db, {false});
        plain.session(anna, a->sessionId, {tag, "wait=5"}, [&](ApiResponse r) { answer = r; });
        QVERIFY(answer->status == 200 && answer->headers.isEmpty());
    }

    void timeOptionsLeaveTheNoLimitRowToTheClient()
    {
        const auto options = json::decode<TimeOptionsResponse>(m_b->handlers->timeOptions().body);
        QVERIFY(options && !options->options.isEmpty());
        for (const TimeOption &option : options->options)
            QVERIFY2(option.seconds > 0, qPrintable(option.label));
    }

    void refusalsCarryTheClientsWords()
    {
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
                return stateOf(gosia, room->sessionId).gameStatus == GameStatus::Finished;
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
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(login(u"lena@example.com"_s, u"zle"_s).error().kind,
                     AuthError::Kind::BadCredentials);
            m_b->clock.advance(1000);
        }
        const auto limited = login(u"LENA@example.com"_s, u"haslo123"_s);
        QCOMPARE(limited.error().kind, AuthError::Kind::TooManyFailures);
        QCOMPARE(limited.error().retryAfterSeconds, 50);
        QVERIFY(login(u"anna@example.com"_s, u"haslo123"_s)); // another e-mail
        // The first failure leaves the window a minute after it happened.
        m_b->clock.advance(50'001);
        QVERIFY(login(u"lena@example.com"_s, u"haslo123"_s));
    }

    void loginsCountWhenTheyStart()
    {
        signUp(u"Lena"_s);
        // 40 wrong passwords at once to one account, from as many addresses: one is checked at
        // a time, the others are told to come back in a second. A hash at full cost keeps the
        // first check running while the others arrive.
        store::PasswordHasher slow;
        Accounts accounts(*m_b->db, slow, m_b->clock, {});
        QList<QFuture<AuthResult>> tries;
        for (int i = 0; i < 40; ++i)
            tries << accounts.login({u"lena@example.com"_s, u"zle"_s}, u"10.1.0.%1"_s.arg(i));
        QVERIFY(QTest::qWaitFor(
            [&] { return std::ranges::all_of(tries, &QFuture<AuthResult>::isFinished); }, 10'000));
        const auto kinds = [&](AuthError::Kind kind) {
            return std::ranges::count_if(
                tries, [&](const auto &f) { return f.result().error().kind == kind; });
        };
        QCOMPARE(kinds(AuthError::Kind::BadCredentials), 1);
        QCOMPARE(kinds(AuthError::Kind::Busy), 39);
        // One address may fail 30 times a minute, whatever the e-mails.
        for (int i = 0; i < 30; ++i)
            QCOMPARE(login(u"x%1@example.com"_s.arg(i), u"zle"_s).error().kind,
                     AuthError::Kind::BadCredentials);
        QCOMPARE(login(u"y@example.com"_s, u"zle"_s).error().kind,
                 AuthError::Kind::TooManyFailures);
    }

    void theHashingQueueIsBoundedAndFair()
    {
        // One thread hashes at full cost; 16 hashes may wait or run, at most 4 of one address,
        // fewer as more addresses wait. Four addresses flooding cannot keep others out: each
        // newcomer finds a place (the address holding most gives up its newest waiting hash)
        // and is served before the flood's waiting work.
        QObject context;
        QStringList done;
        auto slow = std::make_unique<store::PasswordHasher>(store::HasherLimits{1, 4, 16});
        Accounts accounts(*m_b->db, *slow, m_b->clock, {});
        const auto dropHashing = qScopeGuard([&] { slow.reset(); });
        int attempts = 0;
        const auto attempt = [&](const QString &client) {
            auto f = accounts.login({u"n%1@example.com"_s.arg(attempts++), u"haslo123"_s}, client);
            f.then(&context, [&done, client](const AuthResult &r) {
                done << (!r && r.error().kind == AuthError::Kind::Busy ? u"busy"_s : client);
            });
            return f;
        };
        for (int i = 0; i < 10; ++i)
            attempt(u"10.2.0.1"_s);
        for (int address = 2; address <= 4; ++address)
            for (int i = 0; i < 4; ++i)
                attempt(u"10.2.0.%1"_s.arg(address));
        for (int i = 1; i <= 5; ++i)
            attempt(u"10.3.0.%1"_s.arg(i));
        QVERIFY(QTest::qWaitFor([&] { return done.size() >= 20; }, 30'000));
        // 10.2.0.1 beyond 4, 10.2.0.4 beyond its share of 3, and four that made room.
        QCOMPARE(done.count(u"busy"_s), 6 + 1 + 4);
        // Each address takes its turn, the newcomers' coming before the flood's second round.
        QCOMPARE(done.mid(11, 9), QStringList() << u"10.2.0.1"_s << u"10.2.0.2"_s << u"10.2.0.3"_s
                                                << u"10.2.0.4"_s << u"10.3.0.1"_s << u"10.3.0.2"_s
                                                << u"10.3.0.3"_s << u"10.3.0.4"_s << u"10.3.0.5"_s);
    }

    void healthTellsAClosedStore()
    {
        QCOMPARE(m_b->handlers->health().status, 200);
        m_b->db->close();
        QCOMPARE(m_b->handlers->health().status, 503);
    }

private:
    Account signUp(const QString &name) { return m_b->signUp(name).first; }
    // A login from one address, awaited.
    AuthResult login(const QString &email, const QString &password)
    {
        auto f = m_b->accounts->login({email, password}, u"10.0.0.1"_s);
        return QTest::qWaitFor([&] { return f.isFinished(); }, 10'000) ? f.result() : AuthResult();
    }
    GameState stateOf(const Account &account, const QString &sessionId)
    {
        const auto snapshot = m_b->rooms->session(account, sessionId);
        return snapshot ? json::decode<SessionWrapper>(snapshot->bytes)->gameState : GameState{};
    }

    std::unique_ptr<Backend> m_b;
};

QTEST_GUILESS_MAIN(TestHandlers)
#include "tst_handlers.moc"
