// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "account.h"
#include "actions.h"
#include "jsonreader.h"
#include "jsonwriter.h"
#include "lobby.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <memory>

using namespace korvana;
using namespace Qt::StringLiterals;

namespace {

// Long enough that a clock charged for the time without an owner shows it: the owner saves its
// clocks' time every second, the gap is about a lease.
constexpr int LeaseMs = 4000;

struct Answer
{
    int status = 0;
    QByteArray head;
    QByteArray body;
};

// One request on a connection of its own, sent now and read by collect().
std::unique_ptr<QTcpSocket> send(quint16 port, const QByteArray &method, const QString &path,
                                 const QByteArray &body = {}, const QString &token = {},
                                 const QByteArray &headers = {})
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(u"127.0.0.1"_s, port);
    QByteArray head = method + ' ' + path.toUtf8() +
                      " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                      "Content-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n" + headers;
    if (!token.isEmpty())
        head += "Authorization: Bearer " + token.toLatin1() + "\r\n";
    socket->write(head + "\r\n" + body);
    return socket;
}

Answer collect(QTcpSocket &socket, int ms = 10'000)
{
    QByteArray in;
    (void)QTest::qWaitFor(
        [&] {
            in += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        ms);
    in += socket.readAll();
    Answer answer;
    const qsizetype end = in.indexOf("\r\n\r\n");
    if (end < 0)
        return answer;
    answer.head = in.left(end);
    answer.body = in.sliced(end + 4);
    answer.status = in.mid(9, 3).toInt();
    return answer;
}

Answer call(quint16 port, const QByteArray &method, const QString &path,
            const QByteArray &body = {}, const QString &token = {})
{
    auto socket = send(port, method, path, body, token);
    return collect(*socket);
}

template <typename T> std::optional<T> read(const Answer &answer)
{
    auto decoded = json::decode<T>(answer.body);
    return decoded ? std::optional(std::move(*decoded)) : std::nullopt;
}

QString signUp(quint16 port, const QString &name)
{
    const auto login = read<LoginResponse>(
        call(port, "POST", u"/api/auth/register"_s,
             json::toJson(RegisterRequest{name, name + u"@example.com"_s, u"haslo123"_s})));
    return login ? login->token : QString();
}

// A person at the table: their token and seat.
struct Person
{
    QString token;
    GameSessionResponse seat;
};

GameState poll(quint16 port, const Person &p)
{
    const auto wrapper = read<SessionWrapper>(
        call(port, "GET", u"/api/game/session/"_s + p.seat.sessionId, {}, p.token));
    return wrapper ? wrapper->gameState : GameState{};
}

// The person's move when it is their turn: the monomino in their corner first, then passes.
std::optional<GameActionResponse> playTurn(quint16 port, const Person &p, const GameState &state)
{
    if (state.currentPlayerId != p.seat.playerId)
        return std::nullopt;
    const int col = p.seat.color == u"blue" ? 0 : 19;
    if (state.board[0][col] == 0)
        return read<GameActionResponse>(
            call(port, "POST", u"/api/game/place"_s,
                 json::toJson(PlacePieceRequest{p.seat.sessionId, u"I1"_s, 0, col, 0}), p.token));
    return read<GameActionResponse>(call(port, "POST", u"/api/game/pass"_s,
                                         json::toJson(PassTurnRequest{p.seat.sessionId}), p.token));
}

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

// Three korvana-server instances sharing a throwaway PostgreSQL, behind HAProxy, as
// scripts/cluster starts them; rooms move to another owner when theirs is killed.
class TestCluster : public QObject
{
    Q_OBJECT

    struct Instance
    {
        QString name;
        qint64 pid = 0;
        quint16 port = 0;
    };

    QTemporaryDir m_dir;
    quint16 m_proxy = 0;
    QList<Instance> m_instances;

    QString folder() const { return m_dir.filePath(u"cluster"_s); }

    bool script(const QStringList &arguments, QByteArray *output = nullptr)
    {
        QProcess process;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(u"KORVANA_CLUSTER_DIR"_s, folder());
        env.insert(u"KORVANA_CLUSTER_PORT"_s, QString::number(m_proxy));
        env.insert(u"KORVANA_SERVER"_s, QStringLiteral(KORVANA_SERVER_EXECUTABLE));
        env.insert(u"KORVANA_CLUSTER_ARGS"_s,
                   u"--insecure-fast-hash --bot-delay-ms 0 --seed 1 --lease-ms %1"_s.arg(LeaseMs));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KORVANA_SOURCE_DIR "/scripts/cluster"), arguments);
        const bool done = process.waitForFinished(60'000);
        const QByteArray out = process.readAllStandardOutput() + process.readAllStandardError();
        if (output)
            *output = out;
        if (!done || process.exitCode() != 0)
            qWarning().noquote() << out;
        return done && process.exitCode() == 0;
    }

    Instance owner(const QString &id) const
    {
        const QString name = id.section(QRegularExpression(u"[.-]"_s), 0, 0);
        for (const auto &instance : m_instances)
            if (instance.name == name)
                return instance;
        return {};
    }

    // The owner of the room in the database.
    QString ownerInStore(const QString &roomId)
    {
        QFile file(folder() + u"/database"_s);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QUrl url(QString::fromUtf8(file.readAll().trimmed()));
        QString name;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, u"probe"_s);
            db.setHostName(url.host());
            db.setPort(url.port());
            db.setUserName(url.userName());
            db.setPassword(url.password());
            db.setDatabaseName(url.path().mid(1));
            if (db.open()) {
                QSqlQuery q(db);
                q.prepare(u"SELECT owner FROM games WHERE room_id = ?"_s);
                q.addBindValue(roomId);
                if (q.exec() && q.next())
                    name = q.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase(u"probe"_s);
        return name;
    }

    // Two people at a new table (through `a` and `b`), with bots in the free seats.
    std::pair<Person, Person> table(const QString &names, quint16 a, quint16 b,
                                    std::optional<qint64> timeLimit = std::nullopt)
    {
        Person first{signUp(a, names + u"1"_s), {}};
        Person second{signUp(b, names + u"2"_s), {}};
        first.seat = read<GameSessionResponse>(call(a, "POST", u"/api/game/session"_s,
                                                    json::toJson(CreateSessionRequest{timeLimit}),
                                                    first.token))
                         .value_or(GameSessionResponse{});
        second.seat = read<GameSessionResponse>(
                          call(b, "POST", u"/api/game/join"_s,
                               json::toJson(JoinGameRequest{first.seat.roomId}), second.token))
                          .value_or(GameSessionResponse{});
        return {first, second};
    }

    bool startWithBots(quint16 port, const Person &p)
    {
        const auto vote = read<GameActionResponse>(
            call(port, "POST", u"/api/game/vote-to-start"_s,
                 json::toJson(VoteToStartRequest{p.seat.sessionId, true}), p.token));
        return vote && vote->started.value_or(false);
    }

    // Both play through the proxy until the game ends.
    GameState playToTheEnd(const Person &a, const Person &b)
    {
        GameState state;
        (void)QTest::qWaitFor(
            [&] {
                for (const Person *p : {&a, &b}) {
                    state = poll(m_proxy, *p);
                    if (const auto played = playTurn(m_proxy, *p, state))
                        if (!played->success)
                            qWarning() << "refused:" << played->error.value_or(QString());
                }
                return state.gameStatus == GameStatus::Finished;
            },
            60'000);
        return state;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFile::exists(u"/usr/lib/postgresql/15/bin/initdb"_s) ||
            QStandardPaths::findExecutable(u"haproxy"_s).isEmpty())
            QSKIP("needs PostgreSQL 15 and HAProxy (scripts/packages.sh: cluster)");
        m_proxy = freePort();
        QByteArray out;
        QVERIFY2(script({u"up"_s, u"3"_s}, &out), out.constData());
        QVERIFY(script({u"status"_s}, &out));
        const QRegularExpression line(u"^([a-z]) (\\d+) (\\d+) up$"_s,
                                      QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(QString::fromUtf8(out)); it.hasNext();) {
            const auto m = it.next();
            m_instances.append(
                {m.captured(1), m.captured(2).toLongLong(), quint16(m.captured(3).toUInt())});
        }
        QCOMPARE(m_instances.size(), 3);
    }

    void cleanupTestCase()
    {
        if (!m_instances.isEmpty())
            QVERIFY(script({u"down"_s}));
    }

    // Two people and two bots, everything through the proxy: sign-in, lobby, game, scores.
    void wholeGameThroughTheProxy()
    {
        const auto [anna, bob] = table(u"anna"_s, m_proxy, m_proxy);
        QVERIFY(!bob.seat.sessionId.isEmpty());
        QVERIFY(owner(anna.seat.roomId).port != 0);
        // Every instance lists the room, whoever owns it.
        for (const auto &instance : m_instances) {
            const auto servers = read<ServerListResponse>(
                call(instance.port, "GET", u"/api/game/servers"_s, {}, bob.token));
            QVERIFY(servers);
            QVERIFY(std::ranges::any_of(servers->servers, [&](const GameServer &s) {
                return s.roomId() == anna.seat.roomId;
            }));
        }
        QVERIFY(startWithBots(m_proxy, bob));
        const GameState end = playToTheEnd(anna, bob);
        QCOMPARE(end.gameStatus, GameStatus::Finished);
        QVERIFY(end.winner);
        QCOMPARE(end.board[0][0], 1);  // Anna's monomino
        QCOMPARE(end.board[0][19], 2); // Bob's
        // The score the server kept at the end is there for every instance.
        const auto &players = end.players;
        const auto me = std::ranges::find(players, anna.seat.playerId, &Player::id);
        const auto position = 1 + std::ranges::count_if(players, [&](const Player &p) {
                                  return p.score > me->score;
                              });
        for (const auto &instance : m_instances) {
            const Answer saved = call(instance.port, "POST", u"/api/scores"_s,
                                      json::toJson(SaveScoreRequest{anna.seat.roomId, me->score,
                                                                    position, players.size()}),
                                      anna.token);
            QCOMPARE(saved.status, 200);
        }
    }

    // A poll held on one instance wakes when a vote through another changes the room of a third.
    void heldPollWokenThroughAnotherInstance()
    {
        const Instance &a = m_instances[0], &b = m_instances[1], &c = m_instances[2];
        const auto [cyryl, daria] = table(u"cyryl"_s, a.port, b.port);
        QCOMPARE(owner(cyryl.seat.roomId).name, a.name);
        const Answer first =
            call(b.port, "GET", u"/api/game/session/"_s + cyryl.seat.sessionId, {}, cyryl.token);
        const auto tag = QRegularExpression(u"ETag: (\"[^\"]*\")"_s)
                             .match(QString::fromLatin1(first.head))
                             .captured(1)
                             .toLatin1();
        QVERIFY(!tag.isEmpty());
        auto held = send(b.port, "GET", u"/api/game/session/"_s + cyryl.seat.sessionId, {},
                         cyryl.token, "If-None-Match: " + tag + "\r\nPrefer: wait=10\r\n");
        QVERIFY(held->waitForConnected(5000));
        // Still held: nothing changed.
        QVERIFY(!held->waitForReadyRead(300));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(startWithBots(c.port, daria));
        const Answer woken = collect(*held);
        const qint64 ms = clock.elapsed();
        qInfo("held poll on %s woken %lld ms after a vote through %s (room of %s)",
              qPrintable(b.name), ms, qPrintable(c.name), qPrintable(a.name));
        QCOMPARE(woken.status, 200);
        QVERIFY(woken.head.contains("Preference-Applied: wait=10"));
        QVERIFY(read<SessionWrapper>(woken)->gameState.gameStatus != GameStatus::Waiting);
        QVERIFY2(ms < 5000, "woken only by the poll's own end");
    }

    // SIGKILL of a room's owner mid-game: one other instance takes it over within two leases,
    // nothing acknowledged is lost, the clock charges nobody the gap, the game goes on.
    void killedOwnerIsReplacedOnce()
    {
        const auto [eryk, filip] = table(u"eryk"_s, m_proxy, m_proxy, 600);
        const QString roomId = eryk.seat.roomId;
        QVERIFY(startWithBots(m_proxy, eryk));
        // Both have placed their monomino and it is Eryk's turn again.
        GameState before;
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (const Person *p : {&eryk, &filip}) {
                    before = poll(m_proxy, *p);
                    if (before.board[0][0] && before.board[0][19] &&
                        before.currentPlayerId == eryk.seat.playerId)
                        return true;
                    (void)playTurn(m_proxy, *p, before);
                }
                return false;
            },
            20'000));
        QVERIFY(before.timeRemaining);
        const Instance victim = owner(roomId);
        QCOMPARE(ownerInStore(roomId), victim.name);
        QCOMPARE(::kill(pid_t(victim.pid), SIGKILL), 0);
        QElapsedTimer clock;
        clock.start();

        // Both survivors are asked at once: each waits for the lease to run out, they race for
        // the room, and both answer with it (one as its new owner, one through it).
        std::vector<std::unique_ptr<QTcpSocket>> asked;
        for (const auto &instance : m_instances)
            if (instance.name != victim.name)
                asked.push_back(send(instance.port, "GET",
                                     u"/api/game/session/"_s + eryk.seat.sessionId, {},
                                     eryk.token));
        GameState after;
        for (auto &socket : asked) {
            const Answer answer = collect(*socket, 3 * LeaseMs);
            QCOMPARE(answer.status, 200);
            after = read<SessionWrapper>(answer)->gameState;
        }
        const qint64 takeoverMs = clock.elapsed();
        qInfo("room %s answered by both survivors %lld ms after its owner was killed (lease %d ms)",
              qPrintable(roomId), takeoverMs, LeaseMs);
        QVERIFY(takeoverMs < 2 * LeaseMs);

        // Exactly one survivor took it over, and the store says so.
        const QString newOwner = ownerInStore(roomId);
        QVERIFY(!newOwner.isEmpty() && newOwner != victim.name);
        int takeovers = 0;
        for (const auto &instance : m_instances) {
            QFile log(folder() + u"/"_s + instance.name + u".log"_s);
            QVERIFY(log.open(QIODevice::ReadOnly));
            takeovers += int(log.readAll().count(u"Przejmuję grę %1 "_s.arg(roomId).toUtf8()));
        }
        QCOMPARE(takeovers, 1);

        // Nothing acknowledged is lost, and nobody's clock ran while no server had the room.
        for (int r = 0; r < 20; ++r)
            for (int c = 0; c < 20; ++c)
                if (before.board[r][c])
                    QCOMPARE(after.board[r][c], before.board[r][c]);
        QCOMPARE(after.currentPlayerId, eryk.seat.playerId);
        QVERIFY2(*after.timeRemaining >= *before.timeRemaining - 2,
                 qPrintable(u"%1 s left before, %2 s after"_s.arg(*before.timeRemaining)
                                .arg(*after.timeRemaining)));

        // The game goes on to its end through the proxy.
        QCOMPARE(playToTheEnd(eryk, filip).gameStatus, GameStatus::Finished);
    }
};

QTEST_GUILESS_MAIN(TestCluster)
#include "tst_cluster.moc"
