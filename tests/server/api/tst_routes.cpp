// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "backend.h"

#include <QRandomGenerator>
#include <QTest>

using namespace korvana;
using namespace korvana::api;
using namespace korvana::rooms;
using namespace korvana::test;
using namespace Qt::StringLiterals;
using Method = ApiRequest::Method;

Q_DECLARE_METATYPE(ApiRequest::Method)

namespace {

QByteArray mutate(QByteArray body, QRandomGenerator &random)
{
    // clang-format off
    static const QList<QByteArray> fragments{"{", "}", "[", "]", "\"", ":", ",", "null", "true",
        "-1", "1e999", "9223372036854775808", "1.5", "\"\\u0000\"", "\"\\ud800\"", "\xff\xfe", "{}",
        "\\", "\"sessionId\"", QByteArray(300, '['), "\"" + QByteArray(5000, 'z') + "\""};
    // clang-format on
    const auto fragment = [&] { return fragments[random.bounded(int(fragments.size()))]; };
    for (int op = 1 + int(random.bounded(4)); op > 0; --op) {
        const qsizetype at = body.isEmpty() ? 0 : random.bounded(int(body.size()));
        switch (random.bounded(5)) {
        case 0:
            if (!body.isEmpty())
                body[at] = char(random.bounded(256));
            break;
        case 1:
            body.remove(at, 1 + random.bounded(8));
            break;
        case 2:
            body.insert(at, fragment());
            break;
        case 3:
            body.truncate(at);
            break;
        default: // a value of another type
            if (const qsizetype colon = body.indexOf(':', at); colon >= 0) {
                qsizetype end = colon + 1;
                while (end < body.size() && body[end] != ',' && body[end] != '}')
                    ++end;
                body.replace(colon + 1, end - colon - 1, fragment());
            }
        }
    }
    return body;
}

} // namespace

// The routes without sockets: tokens, bodies, paths and thousands of mutated bodies, each
// refused with a 4xx and an ErrorResponse (or a move refused with success false).
class TestRoutes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { m_b.reset(); }

    void init()
    {
        m_b = std::make_unique<Backend>();
        m_token = m_b->signUp(u"Fuzzer"_s).second;
        // Seated in a running game with the move, so every route has state to touch.
        const auto seat = json::decode<GameSessionResponse>(
            m_b->call(Method::Post, u"/api/game/session"_s, "{}", m_token).body);
        QVERIFY(seat);
        m_sessionId = seat->sessionId;
        QCOMPARE(m_b->call(Method::Post, u"/api/game/vote-to-start"_s,
                           json::toJson(VoteToStartRequest{m_sessionId, true}), m_token)
                     .status,
                 200);
    }

    void refusals_data();
    void refusals()
    {
        QFETCH(Method, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QString, token);
        QFETCH(int, status);
        QFETCH(QString, word);
        QByteArray authorization = token == u"mine"      ? m_token
                                   : token == u"unknown" ? "Bearer abcdefghijklmnopqrstuvwxyz0123"
                                                         : QByteArray();
        if (token == u"expired") {
            authorization = m_token;
            m_b->clock.advance(1000);
        }
        const ApiResponse r = m_b->call(method, path, body, authorization);
        QCOMPARE(r.status, status);
        if (word == u"no body") {
            QVERIFY2(r.body.isEmpty(), r.body.constData());
        } else {
            const auto error = json::decode<ErrorResponse>(r.body);
            QVERIFY2(error && error->error.contains(word), r.body.constData());
        }
    }

    void mutatedBodies_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("base");
        QTest::addRow("register") << "/api/auth/register"
                                  << QByteArray(
                                         R"({"username":"Fuzzer","email":"fuzzer@example.com",)"
                                         R"("password":"haslo123"})");
        QTest::addRow("login") << "/api/auth/login"
                               << QByteArray(R"({"email":"fuzzer@example.com","password":"zle"})");
        QTest::addRow("create") << "/api/game/session" << QByteArray(R"({"timeLimit":99999999})");
        QTest::addRow("join") << "/api/game/join" << QByteArray(R"({"roomId":"room-999"})");
        QTest::addRow("rejoin") << "/api/game/rejoin" << QByteArray(R"({"roomId":"room-999"})");
        QTest::addRow("place") << "/api/game/place"
                               << QByteArray(R"({"sessionId":"SESSION","pieceId":"X5","row":10,)"
                                             R"("col":10,"rotation":45})");
        QTest::addRow("pass") << "/api/game/pass"
                              << QByteArray(R"({"sessionId":"0123456789abcdef"})");
        QTest::addRow("vote") << "/api/game/vote-to-start"
                              << QByteArray(
                                     R"({"sessionId":"0123456789abcdef","enableBots":true})");
        QTest::addRow("scores") << "/api/scores"
                                << QByteArray(R"({"roomId":"room-1","score":999,"position":1,)"
                                              R"("playersCount":4})");
    }

    void mutatedBodies()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, base);
        base.replace("SESSION", m_sessionId.toUtf8());
        QRandomGenerator random(qChecksum(path.toUtf8()));
        int refused = 0;
        constexpr int Mutations = 1500;
        for (int i = 0; i < Mutations; ++i) {
            const QByteArray body = mutate(base, random);
            const ApiResponse a = m_b->call(Method::Post, path, body, m_token);
            const QByteArray context = "body " + body.left(200).toPercentEncoding() + " -> " +
                                       QByteArray::number(a.status) + " " + a.body.left(200);
            QVERIFY2(a.status >= 200 && a.status < 500, context.constData());
            if (a.status >= 400) {
                QVERIFY2(json::decode<ErrorResponse>(a.body), context.constData());
                ++refused;
            } else if (path.endsWith(u"place")) {
                QVERIFY2(json::decode<GameActionResponse>(a.body), context.constData());
                ++refused;
            }
        }
        QVERIFY(refused > Mutations * 9 / 10);
        QCOMPARE(m_b->handlers->health().status, 200);
    }

private:
    std::unique_ptr<Backend> m_b;
    QByteArray m_token;
    QString m_sessionId;
};

// moc cannot read the raw strings of this table inside the class.
void TestRoutes::refusals_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("token"); // none, unknown, expired or mine
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("word");
    const QByteArray join = R"({"roomId":"room-1"})";
    // clang-format off
    QTest::addRow("no token") << Method::Get << "/api/game/servers" << QByteArray() << "none" << 401 << "token";
    QTest::addRow("unknown token") << Method::Post << "/api/game/join" << join << "unknown" << 401 << "token";
    QTest::addRow("expired token") << Method::Get << "/api/auth/me" << QByteArray() << "expired" << 401 << "wygasł";
    QTest::addRow("not JSON") << Method::Post << "/api/game/join" << QByteArray("{roomId: 1}") << "mine" << 400 << "";
    QTest::addRow("fraction") << Method::Post << "/api/game/place"
        << QByteArray(R"({"sessionId":"s","pieceId":"I1","row":0.5,"col":0,"rotation":0})") << "mine" << 400 << "";
    QTest::addRow("body over 64 KiB") << Method::Post << "/api/game/join"
        << R"({"roomId":")" + QByteArray(65537, 'a') + "\"}" << "mine" << 413 << "64 KiB";
    QTest::addRow("unknown path") << Method::Get << "/api/nothing" << QByteArray() << "mine" << 404 << "";
    QTest::addRow("wrong method") << Method::Post << "/api/health" << QByteArray("{}") << "none" << 405 << "";
    QTest::addRow("HEAD, as any method not served") << Method::Other << "/api/health" << QByteArray() << "none" << 405 << "no body";
    QTest::addRow("HEAD of an unknown path") << Method::Other << "/api/nothing" << QByteArray() << "none" << 404 << "no body";
    QTest::addRow("taken e-mail") << Method::Post << "/api/auth/register"
        << QByteArray(R"({"username":"Inny","email":"FUZZER@example.com","password":"haslo123"})") << "none" << 409 << "e-mail";
    QTest::addRow("join a room that is not there") << Method::Post << "/api/game/join"
        << QByteArray(R"({"roomId":"room-404"})") << "mine" << 404 << "nie znaleziona";
    // clang-format on
}

QTEST_GUILESS_MAIN(TestRoutes)
#include "tst_routes.moc"
