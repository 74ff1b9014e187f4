// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "account.h"
#include "actions.h"
#include "jsonreader.h"
#include "jsonwriter.h"
#include "serverprocess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList fastHash{u"--insecure-fast-hash"_s};

struct Exchange
{
    QByteArray received;
    bool closed = false;
};

// Writes bytes, then reads until the server closes or `waitMs` passes.
Exchange exchange(const ServerProcess &server, const QByteArray &bytes, int waitMs = 3000)
{
    QTcpSocket socket;
    socket.connectToHost(server.baseUrl().host(), server.port());
    Exchange result;
    if (!socket.waitForConnected(5000))
        return result;
    socket.write(bytes);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < waitMs && socket.state() != QAbstractSocket::UnconnectedState) {
        socket.waitForReadyRead(int(waitMs - clock.elapsed()));
        result.received += socket.readAll();
    }
    result.closed = socket.state() == QAbstractSocket::UnconnectedState;
    result.received += socket.readAll();
    return result;
}

// One request on a connection of its own; the answer's body read as T.
template <typename T>
std::optional<T> call(const ServerProcess &server, const QByteArray &method, const QString &path,
                      const QByteArray &body = {}, const QString &token = {})
{
    QByteArray head = method + ' ' + path.toUtf8() +
                      " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
                      "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!token.isEmpty())
        head += "Authorization: Bearer " + token.toLatin1() + "\r\n";
    const QByteArray answer = exchange(server, head + "\r\n" + body, 10'000).received;
    auto decoded = json::decode<T>(answer.sliced(answer.indexOf("\r\n\r\n") + 4));
    return decoded ? std::optional(std::move(*decoded)) : std::nullopt;
}

template <typename T, typename R>
std::optional<T> post(const ServerProcess &server, const QString &path, const R &record,
                      const QString &token = {})
{
    return call<T>(server, "POST", path, json::toJson(record), token);
}

GameState poll(const ServerProcess &server, const QString &sessionId, const QString &token)
{
    return call<SessionWrapper>(server, "GET", u"/api/game/session/"_s + sessionId, {}, token)
        .value_or(SessionWrapper{})
        .gameState;
}

QString signUp(const ServerProcess &server, const QString &name)
{
    const RegisterRequest request{name, name + u"@example.com"_s, u"haslo123"_s};
    const auto login = post<LoginResponse>(server, u"/api/auth/register"_s, request);
    return login ? login->token : QString();
}

// A poll of the game on a connection of its own, answered now or later.
std::unique_ptr<QTcpSocket> hold(const ServerProcess &server, const QString &sessionId,
                                 const QString &token, const QByteArray &headers)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(server.baseUrl().host(), server.port());
    socket->write("GET /api/game/session/" + sessionId.toLatin1() +
                  " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token.toLatin1() +
                  "\r\n" + headers + "\r\n");
    return socket;
}

// The whole answer that arrives within `ms`, or what came of it.
QByteArray answer(QTcpSocket &socket, int ms)
{
    QByteArray in;
    (void)QTest::qWaitFor(
        [&] {
            in += socket.readAll();
            const qsizetype head = in.indexOf("\r\n\r\n");
            const auto length =
                QRegularExpression(u"Content-Length: (\\d+)"_s).match(QString::fromLatin1(in));
            return head > 0 && in.size() >= head + 4 + length.captured(1).toInt();
        },
        ms);
    return in;
}

QByteArray tagOf(const QByteArray &answer)
{
    const qsizetype at = answer.indexOf("ETag: ") + 6;
    return answer.mid(at, answer.indexOf("\r\n", at) - at);
}

} // namespace

// korvana-server as a process over real sockets: held polls, a SIGKILL in the middle of a
// game, one server per database and its backups.
class TestHttpServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void heldPollsWaitForNews()
    {
        ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastHash);
        QVERIFY2(server.start(), qPrintable(server.errorString()));
        const QString anna = signUp(server, u"Anna"_s);
        const auto seat =
            post<GameSessionResponse>(server, u"/api/game/session"_s, CreateSessionRequest{}, anna);
        const auto first =
            answer(*hold(server, seat->sessionId, anna, "Prefer: wait=30\r\n"), 3000);
        QVERIFY2(first.startsWith("HTTP/1.1 200") && first.contains("Preference-Applied: wait=30"),
                 first.constData());
        // Held while nothing changes; answered the moment someone sits down.
        const auto held = hold(server, seat->sessionId, anna,
                               "If-None-Match: " + tagOf(first) + "\r\nPrefer: wait=30\r\n");
        QVERIFY(held->waitForBytesWritten(3000)); // at the server before the requests below
        QVERIFY(post<GameSessionResponse>(server, u"/api/game/join"_s,
                                          JoinGameRequest{seat->roomId}, signUp(server, u"Bob"_s)));
        const auto news = answer(*held, 3000);
        QVERIFY2(news.startsWith("HTTP/1.1 200") && news.contains("Bob"), news.constData());
        QVERIFY(tagOf(news) != tagOf(first));
        // Nothing more: 304 without a body when the wait ends, or when the server stops.
        const QByteArray unchanged = "If-None-Match: " + tagOf(news) + "\r\nPrefer: wait=";
        const auto quiet = answer(*hold(server, seat->sessionId, anna, unchanged + "1\r\n"), 3000);
        QVERIFY2(quiet.startsWith("HTTP/1.1 304") && quiet.endsWith("wait=1\r\n\r\n"),
                 quiet.constData());
        const auto stopping = hold(server, seat->sessionId, anna, unchanged + "30\r\n");
        QVERIFY(stopping->waitForBytesWritten(3000));
        QCOMPARE(poll(server, seat->sessionId, anna).players.size(), 2); // a round trip after it
        QVERIFY(!stopping->waitForReadyRead(0));
        server.stop();
        QVERIFY(answer(*stopping, 3000).startsWith("HTTP/1.1 304"));
    }

    void killedMidGameContinues()
    {
        ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastHash);
        QVERIFY2(server.start(), qPrintable(server.errorString()));
        const QString anna = signUp(server, u"Anna"_s);
        const auto seat = post<GameSessionResponse>(server, u"/api/game/session"_s,
                                                    CreateSessionRequest{300}, anna);
        QVERIFY(post<GameActionResponse>(server, u"/api/game/vote-to-start"_s,
                                         VoteToStartRequest{seat->sessionId, true}, anna)
                    ->started);

        // Killed mid-game, it comes back with the game where it stood (what the clocks charge
        // for the downtime is the rooms' business, proven there on a fake clock).
        const GameState before = poll(server, seat->sessionId, anna);
        server.kill();
        QVERIFY2(server.restart(), qPrintable(server.errorString()));
        const GameState after = poll(server, seat->sessionId, anna);
        QCOMPARE(after.players, before.players);
        QCOMPARE(after.currentPlayerId, seat->playerId);
        QVERIFY(after.timeRemaining && *after.timeRemaining <= 300);

        // Play goes on, and a new room gets a new id.
        QVERIFY(post<GameActionResponse>(server, u"/api/game/place"_s,
                                         PlacePieceRequest{seat->sessionId, u"I1"_s, 0, 0, 0}, anna)
                    ->success);
        QVERIFY(QTest::qWaitFor(
            [&] { return poll(server, seat->sessionId, anna).currentPlayerId == seat->playerId; },
            10'000));
        // Ids start with the server's name (from the host name here).
        QVERIFY(post<GameSessionResponse>(server, u"/api/game/session"_s, CreateSessionRequest{},
                                          signUp(server, u"Cyryl"_s))
                    ->roomId.endsWith(u"-room-2"_s));
    }

    void oneServerPerDatabaseAndBackupsWhileServing()
    {
        ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE), fastHash);
        QVERIFY2(server.start(), qPrintable(server.errorString()));
        QVERIFY(!signUp(server, u"Anna"_s).isEmpty());
        const auto run = [&](const QStringList &arguments) {
            QProcess process;
            process.start(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                          QStringList{u"--port"_s, u"0"_s, u"--db"_s, server.databasePath()} +
                              arguments);
            const bool ended = process.waitForFinished(20'000);
            return std::pair(ended ? process.exitCode() : -1, process.readAllStandardError());
        };
        const auto [code, message] = run({});
        QVERIFY2(code != 0 && message.contains("already served by another korvana-server"),
                 message.constData());

        // The copy, taken while the first one serves, serves Anna's account.
        const QTemporaryDir elsewhere;
        const QString copy = elsewhere.filePath(u"copy.sqlite"_s);
        const auto [backedUp, said] = run({u"--backup"_s, copy});
        QVERIFY2(backedUp == 0, said.constData());
        ServerProcess restored(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                               fastHash + QStringList{u"--db"_s, copy});
        QVERIFY2(restored.start(), qPrintable(restored.errorString()));
        QVERIFY(post<LoginResponse>(restored, u"/api/auth/login"_s,
                                    LoginRequest{u"Anna@example.com"_s, u"haslo123"_s}));
    }
};

QTEST_GUILESS_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
