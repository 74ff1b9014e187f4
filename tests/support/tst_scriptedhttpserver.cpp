#include "scriptedhttpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using korvana::test::ScriptedHttpServer;
using korvana::test::ScriptedResponse;

namespace {

struct Reply
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray retryAfter;
};

Reply send(QNetworkAccessManager &manager, const QByteArray &method, const QUrl &url,
           const QByteArray &body = {}, int timeoutMs = 5000)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    request.setRawHeader("Authorization", "Bearer abc");
    std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(request, method, body));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, timeoutMs + 2000))
        return {QNetworkReply::UnknownNetworkError, 0, {}, {}};
    return {reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->readAll(), reply->rawHeader("Retry-After")};
}

// Reads from a raw socket until the answer contains last or time is up.
QByteArray readAnswer(QTcpSocket &socket, const QByteArray &last)
{
    QByteArray bytes;
    const bool complete = QTest::qWaitFor(
        [&] {
            bytes += socket.readAll();
            return bytes.contains(last);
        },
        5000);
    Q_UNUSED(complete); // the caller checks what arrived
    return bytes;
}

} // namespace

class TestScriptedHttpServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersAsScriptedAndRecordsTheRequest_data();
    void answersAsScriptedAndRecordsTheRequest();
    void choosesPathQueueThenSharedQueueThenDefaultThenFallback();
    void readsRequestsArrivingInPieces();
    void answersPipelinedRequestsInOrderAfterADelay();
    void closingWithoutAnswerIsATransportError();
    void neverAnsweringRunsIntoTheClientTimeout();
    void keepsTheConnectionAliveBetweenRequests();
    void closedServerRefusesConnectionsUntilReopened();
};

void TestScriptedHttpServer::answersAsScriptedAndRecordsTheRequest_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("requestBody");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("responseBody");

    QTest::addRow("GET 200 with JSON")
        << QByteArray("GET") << QByteArray() << 200 << QByteArray(R"({"ok":true})");
    QTest::addRow("POST 201 echoing nothing")
        << QByteArray("POST") << QByteArray(R"({"username":"ala"})") << 201 << QByteArray();
    QTest::addRow("PUT 401 with error body")
        << QByteArray("PUT") << QByteArray("x") << 401 << QByteArray(R"({"error":"nope"})");
    QTest::addRow("DELETE 503") << QByteArray("DELETE") << QByteArray() << 503
                                << QByteArray("down");
    QTest::addRow("GET 204 drops a scripted body")
        << QByteArray("GET") << QByteArray() << 204 << QByteArray("ignored");
}

void TestScriptedHttpServer::answersAsScriptedAndRecordsTheRequest()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, requestBody);
    QFETCH(int, status);
    QFETCH(QByteArray, responseBody);

    ScriptedHttpServer server;
    QVERIFY(server.isListening());
    server.enqueue(ScriptedResponse::json(status, responseBody).withHeader("Retry-After", "7"));
    QNetworkAccessManager manager;
    const Reply reply =
        send(manager, method, server.url("/api/game/state?sessionId=s%201"), requestBody);

    QCOMPARE(reply.status, status);
    QCOMPARE(reply.body, status == 204 ? QByteArray() : responseBody);
    QCOMPARE(reply.retryAfter, QByteArray("7"));
    QCOMPARE(server.requestCount(), 1);
    const auto &request = server.requests().first();
    QCOMPARE(request.method, QString::fromLatin1(method));
    QCOMPARE(request.path, QStringLiteral("/api/game/state?sessionId=s%201"));
    QCOMPARE(request.pathWithoutQuery(), QStringLiteral("/api/game/state"));
    QCOMPARE(request.body, requestBody);
    QCOMPARE(request.header("authorization"), QByteArray("Bearer abc"));
    QCOMPARE(request.header("CONTENT-TYPE"), QByteArray("application/json"));
    QVERIFY(!request.hasHeader("X-Absent"));
    QCOMPARE(request.header("X-Absent"), QByteArray());
}

void TestScriptedHttpServer::choosesPathQueueThenSharedQueueThenDefaultThenFallback()
{
    ScriptedHttpServer server;
    server.setDefault("/api/health", ScriptedResponse::json(503));
    server.enqueue(ScriptedResponse::json(201));
    server.enqueue("/api/health", ScriptedResponse::json(200));
    server.setFallback(ScriptedResponse::json(418));
    QNetworkAccessManager manager;

    QCOMPARE(send(manager, "GET", server.url("/api/health?x=1")).status, 200); // its own queue
    QCOMPARE(send(manager, "GET", server.url("/api/health")).status, 201);     // shared queue
    QCOMPARE(send(manager, "GET", server.url("/api/health")).status, 503);     // its default
    QCOMPARE(send(manager, "GET", server.url("/api/health")).status, 503);     // ... every time
    QCOMPARE(send(manager, "GET", server.url("/elsewhere")).status, 418);      // fallback
    QCOMPARE(server.queuedCount(), 0);

    server.clearScript();
    QCOMPARE(send(manager, "GET", server.url("/api/health")).status, 404);
}

void TestScriptedHttpServer::readsRequestsArrivingInPieces()
{
    ScriptedHttpServer server;
    server.enqueue(ScriptedResponse::json(200, "done"));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(socket.waitForConnected(5000));

    const QByteArray body = R"({"pieceId":"I5","position":{"row":3,"col":4}})";
    const QByteArray pieces[] = {
        "POST /api/game/place HT",
        "TP/1.1\r\nHost: x\r\nContent-Le",
        "ngth: " + QByteArray::number(body.size()) + "\r\n\r",
        "\n" + body.left(10),
        body.mid(10),
    };
    for (const QByteArray &piece : pieces) {
        socket.write(piece);
        QVERIFY(socket.waitForBytesWritten(5000));
        QTest::qWait(30); // separate TCP segments
        if (piece != pieces[std::size(pieces) - 1])
            QCOMPARE(server.requestCount(), 0);
    }
    QVERIFY(server.waitForRequests(1));
    QCOMPARE(server.requests().first().body, body);
    QCOMPARE(server.requests().first().header("content-length"), QByteArray::number(body.size()));
    QVERIFY(readAnswer(socket, "done").startsWith("HTTP/1.1 200 OK\r\n"));
}

void TestScriptedHttpServer::answersPipelinedRequestsInOrderAfterADelay()
{
    ScriptedHttpServer server;
    server.enqueue(ScriptedResponse::json(200, "first").after(150ms));
    server.enqueue(ScriptedResponse::json(200, "second"));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET /a HTTP/1.1\r\nHost: x\r\n\r\nGET /b HTTP/1.1\r\nHost: x\r\n\r\n");

    const QByteArray answers = readAnswer(socket, "second");
    QVERIFY2(answers.indexOf("first") >= 0 && answers.indexOf("first") < answers.indexOf("second"),
             answers.constData());
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(server.requests().at(1).path, QStringLiteral("/b"));
}

void TestScriptedHttpServer::closingWithoutAnswerIsATransportError()
{
    ScriptedHttpServer server;
    // A default, not one queued answer: the client resends an unanswered request.
    server.setDefault("/api/health", ScriptedResponse::closeConnection());
    QNetworkAccessManager manager;

    const Reply reply = send(manager, "GET", server.url("/api/health"));
    QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
    QCOMPARE(reply.status, 0);
    QVERIFY(server.requestCount() >= 1);
}

void TestScriptedHttpServer::neverAnsweringRunsIntoTheClientTimeout()
{
    ScriptedHttpServer server;
    server.enqueue(ScriptedResponse::neverAnswer());
    QNetworkAccessManager manager;

    const Reply reply = send(manager, "GET", server.url("/api/game/servers"), {}, 300);
    QCOMPARE(reply.error, QNetworkReply::OperationCanceledError);
    QCOMPARE(server.requestCount(), 1);
}

void TestScriptedHttpServer::keepsTheConnectionAliveBetweenRequests()
{
    ScriptedHttpServer server;
    server.setFallback(ScriptedResponse::json(200, "{}"));
    QNetworkAccessManager manager;

    QCOMPARE(send(manager, "GET", server.url("/one")).status, 200);
    QCOMPARE(send(manager, "POST", server.url("/two"), "{\"a\":1}").status, 200);
    QCOMPARE(server.connectionCount(), 1);
    QCOMPARE(server.requests().at(0).connection, 1);
    QCOMPARE(server.requests().at(1).connection, 1);
    QCOMPARE(server.requests().at(1).body, QByteArray("{\"a\":1}"));
}

void TestScriptedHttpServer::closedServerRefusesConnectionsUntilReopened()
{
    ScriptedHttpServer server;
    server.setFallback(ScriptedResponse::json(200));
    const QUrl url = server.url("/api/health");
    QNetworkAccessManager manager;
    QCOMPARE(send(manager, "GET", url).status, 200); // leaves a kept-alive connection

    server.close();
    QCOMPARE(send(manager, "GET", url).error, QNetworkReply::ConnectionRefusedError);
    QVERIFY(server.reopen());
    QCOMPARE(send(manager, "GET", url).status, 200);
    QVERIFY(korvana::test::freeTcpPort() != 0);
}

QTEST_GUILESS_MAIN(TestScriptedHttpServer)
#include "tst_scriptedhttpserver.moc"
