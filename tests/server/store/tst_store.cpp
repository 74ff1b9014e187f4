// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The server's SQLite store and its saved form of a room.
#include "store/database.h"
#include "store/passwords.h"
#include "store/room.h"
#include "store/tokens.h"
#include "store/users.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::store;
using namespace Qt::StringLiterals;

namespace {

RoomRecord playedRoom()
{
    RoomRecord room{u"room-7"_s, u"Pokój Anny"_s, 1234, 5678, 18'000'000'000'000'000'000ULL, 5};
    room.game = rules::newGame(300);
    for (int i = 1; i <= 4; ++i) {
        (void)rules::addPlayer(room.game, u"p%1"_s.arg(i), u"Gracz %1"_s.arg(i), i > 1);
        room.seats.push_back(i == 1 ? SeatRecord{u"s1"_s, 1, true} : SeatRecord{});
    }
    (void)rules::startGame(room.game, 10'000);
    for (int turn = 0; turn < 6; ++turn) {
        const auto m = rules::legalMoves(room.game, room.game.currentPlayer).front();
        (void)rules::place(room.game, room.game.currentPlayer, m.piece, m.row, m.col, m.rotation,
                           20'000 + turn * 1000);
    }
    return room;
}

} // namespace

class TestStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = std::make_unique<Database>();
        QVERIFY(m_db->open(m_dir->filePath(u"deep/folder/server.sqlite"_s)));
    }
    void cleanup() { m_db.reset(); }

    void roomsRoundTrip()
    {
        const RoomRecord room = playedRoom();
        QVERIFY(decodeRoom(encodeRoom(room)) == room);
    }

    void damagedRoomsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addRow("unknown status") << QByteArray("in_progress") << QByteArray("paused");
        QTest::addRow("a 22nd piece")
            << QByteArray("\"pieces\":[") << QByteArray("\"pieces\":[[],");
        QTest::addRow("rotation 45") << QByteArray(",0]") << QByteArray(",45]");
        QTest::addRow("bot with an account")
            << QByteArray("\"userId\":0") << QByteArray("\"userId\":5");
    }

    void damagedRoomsAreRefused()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QByteArray bytes = encodeRoom(playedRoom());
        QVERIFY(bytes.contains(from));
        QVERIFY(!decodeRoom(bytes.replace(bytes.indexOf(from), from.size(), to)));
    }

    void tokensAreKeptOnlyAsHashes()
    {
        const auto anna = UserStore(*m_db).create(u"Anna"_s, u"a@b.pl"_s, u"h"_s, 1);
        const QByteArray token = TokenStore(*m_db).issue(anna->id, 1000, 5000).toLatin1();
        QCOMPARE(QByteArray::fromBase64(token, QByteArray::Base64UrlEncoding).size(), 32);
        // Another store on the same file (a restarted server) knows it from the hash alone.
        TokenStore fresh(*m_db);
        QCOMPARE(fresh.userFor(token, 5999), anna->id);
        QCOMPARE(fresh.userFor(token, 6000).error(), TokenStore::Refusal::Expired);
        QCOMPARE(fresh.userFor("x", 1000).error(), TokenStore::Refusal::Unknown);
        m_db.reset();
        QByteArray everything;
        for (const auto suffix : {"", "-wal"}) {
            QFile file(m_dir->filePath(u"deep/folder/server.sqlite"_s) + QLatin1StringView(suffix));
            everything += file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
        QVERIFY(!everything.isEmpty() && !everything.contains(token));
    }

    void passwordsUseArgon2id()
    {
        const QString hash = hashPassword(u"zażółć"_s, HashCost::Minimal);
        QVERIFY(hash.startsWith(u"$argon2id$"_s));
        QVERIFY(verifyPassword(hash, u"zażółć"_s) && !verifyPassword(hash, u"zazolc"_s));
    }

    void nestedTransactionsJoinTheOuterOne()
    {
        {
            Transaction outer(*m_db);
            QVERIFY(m_db->setMeta(u"a"_s, 1));
            {
                Transaction inner(*m_db); // never committed: the outer one must fail
            }
            QVERIFY(!outer.commit());
        }
        QVERIFY(!m_db->meta(u"a"_s));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
