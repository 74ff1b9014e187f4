// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Rooms without HTTP, on a clock the test moves by hand: seats and votes, clocks, the cached
// views, restarts.
#include "rooms/roomnames.h"
#include "rooms/rooms.h"
#include "store/database.h"
#include "store/users.h"

#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::rooms;
using namespace Qt::StringLiterals;

class TestRooms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_clock.set(1'700'000'000'000);
        open();
    }
    void cleanup()
    {
        m_rooms.reset();
        m_db.reset();
    }

    void roomNames()
    {
        QCOMPARE(roomName(u"Anna"_s), u"Pokój Anny"_s);
        QCOMPARE(roomName(u"Kasia"_s), u"Pokój Kasi"_s);
        QCOMPARE(roomName(u"Jan"_s), u"Pokój gracza Jan"_s);
    }

    void everyPersonVotesToStart()
    {
        const Account anna = signUp(u"Anna"_s);
        const Account bob = signUp(u"Bob"_s);
        const auto a = m_rooms->create(anna, std::nullopt);
        // Alone, a plain vote cannot start a game.
        QVERIFY(!m_rooms->vote(anna, {a->sessionId, false})->started);
        const auto b = m_rooms->join(bob, a->roomId);
        QCOMPARE(b->state.startVotesNeeded, 2);
        QCOMPARE(b->state.startVotes, QList<QString>{a->playerId});
        auto vote = m_rooms->vote(bob, {b->sessionId, std::nullopt});
        QVERIFY(vote && vote->started);
        QCOMPARE(vote->state.currentPlayerId, a->playerId);
        // A late vote changes nothing and is no error.
        vote = m_rooms->vote(anna, {a->sessionId, true});
        QVERIFY(vote && vote->success && !vote->started);
        QCOMPARE(vote->state.players.size(), 2);
    }

    void sittingElsewhereLeavesWaitingRooms()
    {
        const auto [anna, bob, cyryl] =
            std::tuple(signUp(u"Anna"_s), signUp(u"Bob"_s), signUp(u"Cyryl"_s));
        const auto first = m_rooms->create(anna, std::nullopt);
        QVERIFY(m_rooms->join(bob, first->roomId));
        const auto c = m_rooms->join(cyryl, first->roomId);
        QCOMPARE(c->color, u"red"_s);

        // Bob moves to his own room: Cyryl moves up to yellow and keeps his player id.
        const auto second = m_rooms->create(bob, std::nullopt);
        const GameState left = stateOf(cyryl, c->sessionId);
        QCOMPARE(left.players.size(), 2);
        QCOMPARE(left.players[1].id, c->playerId);
        QCOMPARE(left.players[1].color, u"yellow"_s);

        // The last person leaving takes the room away.
        QVERIFY(m_rooms->join(anna, second->roomId));
        QVERIFY(m_rooms->join(cyryl, second->roomId));
        QCOMPARE(m_rooms->join(bob, first->roomId).error(), RoomRefusal::NoSuchRoom);
    }

    void roomRefusals()
    {
        QList<Account> people;
        for (const QString &name : {u"Anna"_s, u"Bob"_s, u"Cyryl"_s, u"Dorota"_s, u"Edek"_s})
            people << signUp(name);
        Rooms &rooms = *m_rooms;
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
    }

    void aClockThatRunsOutPutsThePlayerOut()
    {
        const Account anna = signUp(u"Anna"_s);
        const Account bob = signUp(u"Bob"_s);
        const auto a = m_rooms->create(anna, 60);
        const auto b = m_rooms->join(bob, a->roomId);
        QVERIFY(m_rooms->vote(anna, {a->sessionId, false}));
        QVERIFY(m_rooms->vote(bob, {b->sessionId, false})->started);

        elapse(20'000);
        QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 40);
        // Every seat's own clock, the one waiting its turn untouched.
        QCOMPARE(stateOf(anna, a->sessionId).players[0].timeRemaining, 40);
        QCOMPARE(stateOf(anna, a->sessionId).players[1].timeRemaining, 60);
        elapse(41'000);
        const GameState state = stateOf(anna, a->sessionId);
        QVERIFY(state.players[0].hasPassed);
        QCOMPARE(state.currentPlayerId, b->playerId);
        QCOMPARE(state.timeRemaining, 59); // Bob's clock started when Anna's ran out
        QCOMPARE(state.players[0].timeRemaining, 0);
        const auto refused = m_rooms->place(anna, {a->sessionId, u"I1"_s, 0, 0, 0});
        QVERIFY(refused && !refused->success);
    }

    void pollsAreServedFromCacheUntilTheShownTimeChanges()
    {
        const Account anna = signUp(u"Anna"_s);
        const auto a = m_rooms->create(anna, 300);
        QVERIFY(m_rooms->vote(anna, {a->sessionId, true})->started);
        const auto first = *m_rooms->session(anna, a->sessionId);
        m_clock.advance(400);
        const auto second = *m_rooms->session(anna, a->sessionId);
        QCOMPARE(second.bytes.constData(), first.bytes.constData()); // the very same bytes
        QCOMPARE(second.tag, first.tag);
        m_clock.advance(700);
        const auto third = *m_rooms->session(anna, a->sessionId);
        QCOMPARE(json::decode<SessionWrapper>(third.bytes)->gameState.timeRemaining, 299);
        QVERIFY(third.tag != first.tag);
        // A move changes the bytes and the tag at once.
        QVERIFY(m_rooms->place(anna, {a->sessionId, u"I1"_s, 0, 0, 0})->success);
        QCOMPARE(stateOf(anna, a->sessionId).board[0][0], 1);
        QVERIFY(m_rooms->session(anna, a->sessionId)->tag != third.tag);
    }

    void watchersAreWokenByNewsOnly()
    {
        const auto [anna, bob] = std::pair(signUp(u"Anna"_s), signUp(u"Bob"_s));
        const auto a = m_rooms->create(anna, 60);
        const auto b = m_rooms->join(bob, a->roomId);
        int wakes = 0;
        bool released = false;
        const auto woken = [&](bool r) {
            ++wakes;
            released = r;
        };
        const int id = *m_rooms->watch(anna, a->sessionId, woken);
        QVERIFY(m_rooms->session(anna, a->sessionId)); // a read is no news
        QCOMPARE(wakes, 0);
        QVERIFY(m_rooms->vote(bob, {b->sessionId, false})); // a vote is
        QCOMPARE(wakes, 1);
        // Once the game runs, each shown second of the clock is news too.
        QVERIFY(m_rooms->vote(anna, {a->sessionId, false})->started);
        QVERIFY(QTest::qWaitFor([&] { return wakes == 3; }, 3000));
        m_rooms->unwatch(id);
        QVERIFY(m_rooms->place(anna, {a->sessionId, u"I1"_s, 0, 0, 0})->success);
        QCOMPARE(wakes, 3);
        // A stop releases them.
        QVERIFY(!released);
        QVERIFY(m_rooms->watch(anna, a->sessionId, woken));
        m_rooms->releaseWatchers();
        QVERIFY(released);
    }

    void restartsAndStallsChargeNobody()
    {
        const Account anna = signUp(u"Anna"_s);
        const auto a = m_rooms->create(anna, 60);
        QVERIFY(m_rooms->vote(anna, {a->sessionId, true})->started);
        elapse(5'000);
        m_clock.advance(40'000); // the process stood still (stopped, say)
        QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 55);
        elapse(2'000);
        QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 53);
        m_clock.advance(100'000); // the server is down
        open();
        QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 53);
        // A second crash before the next heartbeat gives nothing back either.
        m_clock.advance(300);
        open();
        QCOMPARE(stateOf(anna, a->sessionId).timeRemaining, 53);
    }

    void finishedGamesLeaveMemoryAndComeBackFromTheStore()
    {
        const Account anna = signUp(u"Anna"_s);
        const auto seat = m_rooms->create(anna, std::nullopt);
        QVERIFY(m_rooms->vote(anna, {seat->sessionId, true})->started);
        // Anna passes whenever it is her turn; the bots play to the end.
        QVERIFY(QTest::qWaitFor(
            [&] {
                (void)m_rooms->pass(anna, seat->sessionId); // refused out of turn
                return stateOf(anna, seat->sessionId).gameStatus == GameStatus::Finished;
            },
            20'000));
        m_clock.advance(4 * 60'000);
        m_rooms->sweep();
        QCOMPARE(m_rooms->roomsInMemory(), 1);
        m_clock.advance(2 * 60'000);
        m_rooms->sweep();
        QCOMPARE(m_rooms->roomsInMemory(), 0);
        // An outsider asking to join is refused from the store's index, leaving it there.
        QCOMPARE(m_rooms->join(signUp(u"Bob"_s), seat->roomId).error(), RoomRefusal::RoomFinished);
        QCOMPARE(m_rooms->roomsInMemory(), 0);
        // Polls, scores and rejoins still find it, in a restarted server too.
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(stateOf(anna, seat->sessionId).gameStatus, GameStatus::Finished);
            QCOMPARE(m_rooms->finishedSeat(anna, seat->roomId)->position, 4);
            QCOMPARE(m_rooms->rejoin(anna, seat->roomId).error(), RoomRefusal::RejoinFinished);
            open();
            QCOMPARE(m_rooms->roomsInMemory(), 0);
        }
    }

    void abandonedRoomsClose()
    {
        const Account anna = signUp(u"Anna"_s);
        const auto waiting = m_rooms->create(anna, std::nullopt);
        m_clock.advance(9 * 60'000);
        QVERIFY(m_rooms->session(anna, waiting->sessionId)); // Anna still looks
        bool woken = false;
        QVERIFY(
            m_rooms->watch(anna, waiting->sessionId, [&](bool released) { woken = !released; }));
        m_clock.advance(9 * 60'000);
        m_rooms->sweep();
        QCOMPARE(m_rooms->servers().size(), 1);
        m_clock.advance(60'001);
        m_rooms->sweep();
        QVERIFY(m_rooms->servers().isEmpty());
        QVERIFY(woken); // its watcher finds it gone
        QCOMPARE(m_rooms->session(anna, waiting->sessionId).error(), RoomRefusal::NoSuchSession);

        // Without a time limit, a game where no person has acted for a day ends as it stands.
        const auto game = m_rooms->create(anna, std::nullopt);
        QVERIFY(m_rooms->vote(anna, {game->sessionId, true})->started); // Anna has the move
        m_clock.advance(24 * 3600'000);
        QVERIFY(m_rooms->session(anna, game->sessionId)); // looking is not acting
        m_rooms->sweep();
        QCOMPARE(stateOf(anna, game->sessionId).gameStatus, GameStatus::InProgress);
        m_clock.advance(1);
        m_rooms->sweep();
        const GameState ended = stateOf(anna, game->sessionId);
        QCOMPARE(ended.gameStatus, GameStatus::Finished);
        QVERIFY(ended.winner);
        QVERIFY(m_rooms->finishedSeat(anna, game->roomId));
    }

private:
    // Opens the database again, as a restarted server does.
    void open()
    {
        m_rooms.reset();
        m_db = std::make_unique<store::Database>();
        QVERIFY(m_db->open(m_dir->filePath(u"server.sqlite"_s)));
        m_rooms = std::make_unique<Rooms>(*m_db, m_clock, Rooms::Options{0, 1});
        m_rooms->load();
    }
    // Time passing while the server runs: it looks at the clock every second.
    void elapse(qint64 ms)
    {
        for (; ms > 0; ms -= 1000) {
            m_clock.advance(std::min<qint64>(ms, 1000));
            m_rooms->writeHeartbeat();
        }
    }
    Account signUp(const QString &name)
    {
        const auto user = store::UserStore(*m_db).create(name, name + u"@example.com"_s, u"h"_s, 0);
        return user ? Account{user->id, user->username} : Account{};
    }
    GameState stateOf(const Account &account, const QString &sessionId)
    {
        const auto snapshot = m_rooms->session(account, sessionId);
        return snapshot ? json::decode<SessionWrapper>(snapshot->bytes)->gameState : GameState{};
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ManualClock m_clock;
    std::unique_ptr<store::Database> m_db;
    std::unique_ptr<Rooms> m_rooms;
};

QTEST_GUILESS_MAIN(TestRooms)
#include "tst_rooms.moc"
