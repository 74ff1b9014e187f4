#include "rules/game.h"
#include "store/database.h"
#include "store/passwords.h"
#include "store/room.h"
#include "store/scores.h"
#include "store/tokens.h"
#include "store/users.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::store;

// The server's SQLite store and its saved form of a room.
class TestStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void roomsRoundTrip();
    void damagedRoomsAreRefused_data();
    void damagedRoomsAreRefused();
    void usersAreUniqueWithoutLetterCase();
    void tokensAreKeptOnlyAsHashes();
    void aScoreIsSavedOncePerRoom();
    void passwordsUseArgon2id();
    void nestedTransactionsJoinTheOuterOne();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
};

namespace {

RoomRecord playedRoom()
{
    RoomRecord room;
    room.roomId = QStringLiteral("room-7");
    room.serverName = QStringLiteral("Pokój Anny");
    room.createdMs = 1234;
    room.botSeed = 18'000'000'000'000'000'000ULL; // beyond a signed 64-bit number
    room.nextPlayerNumber = 5;
    room.game = rules::newGame(300);
    (void)rules::addPlayer(room.game, QStringLiteral("p1"), QStringLiteral("Anna"));
    room.seats.push_back({QStringLiteral("s1"), 1, true});
    for (int i = 2; i <= 4; ++i) {
        (void)rules::addPlayer(room.game, QStringLiteral("p%1").arg(i),
                               QStringLiteral("Bot %1").arg(i), true);
        room.seats.push_back({});
    }
    (void)rules::startGame(room.game, 10'000);
    for (int turn = 0; turn < 6; ++turn) {
        const auto moves = rules::legalMoves(room.game, room.game.currentPlayer);
        const auto &m = moves.front();
        (void)rules::place(room.game, room.game.currentPlayer, m.piece, m.row, m.col, m.rotation,
                           20'000 + turn * 1000);
    }
    (void)rules::pass(room.game, room.game.currentPlayer, 40'000);
    return room;
}

} // namespace

void TestStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>();
    QVERIFY2(m_db->open(m_dir->filePath(QStringLiteral("deep/folder/server.sqlite"))),
             qPrintable(m_db->errorString()));
}

void TestStore::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestStore::roomsRoundTrip()
{
    const RoomRecord room = playedRoom();
    const auto back = decodeRoom(encodeRoom(room));
    QVERIFY2(back, back ? "" : qPrintable(back.error()));
    QCOMPARE(*back == room, true);
}

void TestStore::damagedRoomsAreRefused_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addRow("not JSON") << QByteArray("{") << QByteArray("[");
    QTest::addRow("unknown status") << QByteArray("in_progress") << QByteArray("paused");
    QTest::addRow("board cell 9") << QByteArray("\"board\":\"") << QByteArray("\"board\":\"9");
    QTest::addRow("current player out of range")
        << QByteArray("\"currentPlayer\":") << QByteArray("\"currentPlayer\":7");
    QTest::addRow("a 22nd piece") << QByteArray("\"pieces\":[") << QByteArray("\"pieces\":[[],");
    QTest::addRow("rotation 45") << QByteArray(",0]") << QByteArray(",45]");
    QTest::addRow("bot with an account")
        << QByteArray("\"userId\":0") << QByteArray("\"userId\":5");
}

void TestStore::damagedRoomsAreRefused()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QByteArray bytes = encodeRoom(playedRoom());
    const qsizetype at = bytes.indexOf(from);
    QVERIFY(at >= 0);
    bytes.replace(at, from.size(), to);
    // Keep the board 400 cells long when a cell was inserted.
    if (from.startsWith("\"board\""))
        bytes.remove(at + to.size() + 399, 1);
    QVERIFY(!decodeRoom(bytes));
}

void TestStore::usersAreUniqueWithoutLetterCase()
{
    UserStore users(*m_db);
    const auto anna = users.create(QStringLiteral(" Anna "), QStringLiteral("Anna@Example.com"),
                                   QStringLiteral("h"), 1);
    QVERIFY(anna);
    QCOMPARE(anna->username, QStringLiteral("Anna"));
    QCOMPARE(anna->email, QStringLiteral("anna@example.com"));
    QCOMPARE(users
                 .create(QStringLiteral("Other"), QStringLiteral("ANNA@example.com"),
                         QStringLiteral("h"), 1)
                 .error(),
             UserStore::Conflict::Email);
    QCOMPARE(
        users
            .create(QStringLiteral("aNNA"), QStringLiteral("x@example.com"), QStringLiteral("h"), 1)
            .error(),
        UserStore::Conflict::Username);
    QCOMPARE(users.byEmail(QStringLiteral("anna@EXAMPLE.com"))->id, anna->id);
}

void TestStore::tokensAreKeptOnlyAsHashes()
{
    UserStore users(*m_db);
    const auto anna =
        users.create(QStringLiteral("Anna"), QStringLiteral("a@b.pl"), QStringLiteral("h"), 1);
    TokenStore tokens(*m_db);
    const QString token = tokens.issue(anna->id, 1000, 5000);
    QCOMPARE(QByteArray::fromBase64(token.toLatin1(), QByteArray::Base64UrlEncoding).size(), 32);
    QCOMPARE(tokens.userFor(token.toLatin1(), 5999), anna->id);
    QCOMPARE(tokens.userFor(token.toLatin1(), 6000).error(), TokenStore::Refusal::Expired);
    QCOMPARE(tokens.userFor("x", 1000).error(), TokenStore::Refusal::Unknown);
    // Another store on the same file (a restarted server) knows it too, from the hash alone.
    TokenStore fresh(*m_db);
    QCOMPARE(fresh.userFor(token.toLatin1(), 2000), anna->id);
    m_db.reset();
    QFile file(m_dir->filePath(QStringLiteral("deep/folder/server.sqlite")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QFile wal(file.fileName() + QStringLiteral("-wal"));
    const QByteArray everything =
        file.readAll() + (wal.open(QIODevice::ReadOnly) ? wal.readAll() : QByteArray());
    QVERIFY(!everything.contains(token.toLatin1()));
}

void TestStore::aScoreIsSavedOncePerRoom()
{
    UserStore users(*m_db);
    const auto anna =
        users.create(QStringLiteral("Anna"), QStringLiteral("a@b.pl"), QStringLiteral("h"), 1);
    ScoreStore scores(*m_db);
    const auto first = scores.saveOnce({0, anna->id, QStringLiteral("room-1"), 40, 1, 4});
    QVERIFY(first);
    const auto again = scores.saveOnce({0, anna->id, QStringLiteral("room-1"), 99, 4, 4});
    QCOMPARE(again->id, first->id);
    QCOMPARE(again->score, 40);
    QVERIFY(scores.saveOnce({0, anna->id, QStringLiteral("room-2"), 25, 2, 3}));
    const UserTotals totals = scores.totals(anna->id);
    QCOMPARE(totals.gamesPlayed, 2);
    QCOMPARE(totals.gamesWon, 1);
    QCOMPARE(totals.totalScore, 65);
    QCOMPARE(totals.bestScore, 40);
    QCOMPARE(scores.totals(12345).gamesPlayed, 0);
}

void TestStore::passwordsUseArgon2id()
{
    PasswordHasher hasher(1, HashCost::Minimal);
    auto hash = hasher.hash(QStringLiteral("zażółć"));
    QVERIFY(QTest::qWaitFor([&] { return hash.isFinished(); }, 10'000));
    QVERIFY(hash.result().startsWith(QStringLiteral("$argon2id$")));
    auto good = hasher.verify(hash.result(), QStringLiteral("zażółć"));
    auto bad = hasher.verify(hash.result(), QStringLiteral("zazolc"));
    auto decoy = hasher.verify(QString(), QStringLiteral("decoy password that nobody has"));
    QVERIFY(QTest::qWaitFor(
        [&] { return good.isFinished() && bad.isFinished() && decoy.isFinished(); }, 10'000));
    QVERIFY(good.result());
    QVERIFY(!bad.result());
    QVERIFY(!decoy.result());
}

void TestStore::nestedTransactionsJoinTheOuterOne()
{
    {
        Transaction outer(*m_db);
        QVERIFY(m_db->setMeta(QStringLiteral("a"), 1));
        {
            Transaction inner(*m_db);
            QVERIFY(m_db->setMeta(QStringLiteral("b"), 2));
            // inner not committed: the whole outer transaction must fail
        }
        QVERIFY(!outer.commit());
    }
    QVERIFY(!m_db->meta(QStringLiteral("a")));
    {
        Transaction outer(*m_db);
        m_db->setMeta(QStringLiteral("a"), 1);
        Transaction inner(*m_db);
        QVERIFY(inner.commit());
        QVERIFY(outer.commit());
    }
    QCOMPARE(m_db->meta(QStringLiteral("a")), 1);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
