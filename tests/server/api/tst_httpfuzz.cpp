#include "apiclient.h"

#include "account.h"
#include "actions.h"
#include "lobby.h"

#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using namespace korvana;
using namespace korvana::test;

// Thousands of deterministic mutations of each route's body: the server never crashes or
// stalls, and refuses what it cannot read with a 4xx, or a move with success false.
class TestHttpFuzz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void mutatedBodies_data();
    void mutatedBodies();
    void garbageHeads();

private:
    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<ApiClient> m_api;
    QString m_token;
    QString m_sessionId;
};

namespace {

constexpr int mutationsPerRoute = 2000;

const QList<QByteArray> &fragments()
{
    static const QList<QByteArray> list{"{",
                                        "}",
                                        "[",
                                        "]",
                                        "\"",
                                        ":",
                                        ",",
                                        "null",
                                        "true",
                                        "false",
                                        "-1",
                                        "0",
                                        "1e999",
                                        "9223372036854775808",
                                        "-9223372036854775809",
                                        "1.5",
                                        "\"\\u0000\"",
                                        "\"\\ud800\"",
                                        "\xff\xfe",
                                        "\xc3\x28",
                                        "\"x\"",
                                        "{}",
                                        "[]",
                                        "\\",
                                        "\"sessionId\"",
                                        "\"roomId\"",
                                        QByteArray(300, '['),
                                        QByteArray(2000, 'a'),
                                        "\"" + QByteArray(5000, 'z') + "\""};
    return list;
}

QByteArray mutate(QByteArray body, QRandomGenerator &random)
{
    const int operations = 1 + int(random.bounded(4));
    for (int op = 0; op < operations; ++op) {
        const qsizetype size = body.size();
        const qsizetype at = size ? qsizetype(random.bounded(int(size))) : 0;
        switch (random.bounded(6)) {
        case 0:
            if (size)
                body[at] = char(random.bounded(256));
            break;
        case 1:
            body.remove(at, 1 + qsizetype(random.bounded(8)));
            break;
        case 2:
            body.insert(at, fragments()[qsizetype(random.bounded(int(fragments().size())))]);
            break;
        case 3:
            body.truncate(at);
            break;
        case 4:
            if (size)
                body.insert(at, body.mid(at, 1 + qsizetype(random.bounded(16))));
            break;
        default: {
            // Swap a value for one of another type.
            const qsizetype colon = body.indexOf(':', at);
            if (colon < 0)
                break;
            qsizetype end = colon + 1;
            while (end < body.size() && body[end] != ',' && body[end] != '}')
                ++end;
            body.replace(colon + 1, end - colon - 1,
                         fragments()[qsizetype(random.bounded(int(fragments().size())))]);
        }
        }
    }
    return body;
}

struct Answer
{
    int status = 0;
    QByteArray body;
};

// Sends the bodies a few at a time (QNetworkAccessManager opens up to six connections).
QList<Answer> sendAll(QNetworkAccessManager &manager, const QUrl &url, const QString &token,
                      const QList<QByteArray> &bodies)
{
    QList<Answer> answers(bodies.size());
    qsizetype next = 0;
    int running = 0;
    QEventLoop loop;
    std::function<void()> launch = [&] {
        while (running < 6 && next < bodies.size()) {
            const qsizetype index = next++;
            QNetworkRequest request(url);
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("application/json"));
            request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
            request.setTransferTimeout(10'000);
            QNetworkReply *reply = manager.post(request, bodies[index]);
            ++running;
            QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply, index] {
                answers[index] = {
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                    reply->readAll()};
                reply->deleteLater();
                --running;
                launch();
                if (running == 0)
                    loop.quit();
            });
        }
    };
    launch();
    QTimer::singleShot(100'000, &loop, &QEventLoop::quit);
    if (running > 0)
        loop.exec();
    return answers;
}

template <typename T> bool reads(const QByteArray &body)
{
    return json::decode<T>(body).has_value();
}

} // namespace

void TestHttpFuzz::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                                               fastServerArguments());
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    m_api = std::make_unique<ApiClient>(m_server->baseUrl());
    m_token = m_api->registerUser(QStringLiteral("Fuzzer"));
    // The fuzzer sits in a running game and has the move, so every route has state to touch.
    const auto seat =
        m_api->post(QStringLiteral("/api/game/session"), CreateSessionRequest{}, m_token)
            .as<GameSessionResponse>();
    QVERIFY(seat);
    m_sessionId = seat->sessionId;
    QVERIFY(m_api
                ->post(QStringLiteral("/api/game/vote-to-start"),
                       VoteToStartRequest{m_sessionId, true}, m_token)
                .as<GameActionResponse>()
                ->started.value_or(false));
}

void TestHttpFuzz::mutatedBodies_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("base");
    QTest::addRow("register") << "/api/auth/register"
                              << QByteArray(R"({"username":"Fuzzer","email":"fuzzer@example.com",)"
                                            R"("password":"haslo123"})");
    QTest::addRow("login") << "/api/auth/login"
                           << QByteArray(R"({"email":"fuzzer@example.com","password":"zle"})");
    QTest::addRow("create") << "/api/game/session" << QByteArray(R"({"timeLimit":99999999})");
    QTest::addRow("join") << "/api/game/join" << QByteArray(R"({"roomId":"room-999"})");
    QTest::addRow("rejoin") << "/api/game/rejoin" << QByteArray(R"({"roomId":"room-999"})");
    QTest::addRow("place") << "/api/game/place"
                           << QByteArray(R"({"sessionId":"SESSION","pieceId":"X5","row":10,)"
                                         R"("col":10,"rotation":45})");
    QTest::addRow("pass") << "/api/game/pass" << QByteArray(R"({"sessionId":"0123456789abcdef"})");
    QTest::addRow("vote") << "/api/game/vote-to-start"
                          << QByteArray(R"({"sessionId":"0123456789abcdef","enableBots":true})");
    QTest::addRow("scores") << "/api/scores"
                            << QByteArray(R"({"roomId":"room-1","score":999,"position":1,)"
                                          R"("playersCount":4})");
}

void TestHttpFuzz::mutatedBodies()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, base);
    base.replace("SESSION", m_sessionId.toUtf8());
    QRandomGenerator random(quint32(qHash(path)));
    QList<QByteArray> bodies;
    for (int i = 0; i < mutationsPerRoute; ++i)
        bodies.append(mutate(base, random));

    QNetworkAccessManager manager;
    const auto answers =
        sendAll(manager, m_server->baseUrl().resolved(QUrl(path)), m_token, bodies);
    int refused = 0;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const Answer &a = answers[i];
        const QByteArray context = "body " + bodies[i].left(200).toPercentEncoding() + " -> " +
                                   QByteArray::number(a.status) + " " + a.body.left(200);
        QVERIFY2(a.status >= 200 && a.status < 500, context.constData());
        if (a.status >= 400) {
            QVERIFY2(reads<ErrorResponse>(a.body), context.constData());
            ++refused;
            continue;
        }
        // What a mutation may still legitimately get: a new account, a sign-in, a move.
        if (path.endsWith(u"place")) {
            QVERIFY2(reads<GameActionResponse>(a.body), context.constData());
            ++refused;
        } else if (path.contains(u"/auth/")) {
            QVERIFY2(reads<LoginResponse>(a.body), context.constData());
        } else {
            QVERIFY2(reads<GameSessionResponse>(a.body) || reads<RejoinResponse>(a.body),
                     context.constData());
        }
    }
    QVERIFY(refused > mutationsPerRoute * 9 / 10);
    QCOMPARE(m_api->get(QStringLiteral("/api/health")).status, 200);
}

void TestHttpFuzz::garbageHeads()
{
    // Mutated request heads over a raw socket: each is answered with a 4xx or closed, and the
    // server keeps answering others.
    const QByteArray base = "POST /api/game/pass HTTP/1.1\r\nHost: x\r\nContent-Type: "
                            "application/json\r\nContent-Length: 18\r\n\r\n{\"sessionId\":\"x\"}";
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i) {
        QTcpSocket socket;
        socket.connectToHost(m_server->baseUrl().host(), m_server->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(mutate(base, random));
        socket.waitForBytesWritten(1000);
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(200);
    }
    QCOMPARE(m_api->get(QStringLiteral("/api/health")).status, 200);
}

QTEST_GUILESS_MAIN(TestHttpFuzz)
#include "tst_httpfuzz.moc"
