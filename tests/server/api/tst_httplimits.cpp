#include "apiclient.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QProcess>
#include <QSslError>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::test;

// The limits the server puts around Qt HttpServer's sockets, tried with raw bytes.
class TestHttpLimits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void refusedBelowTheHandlers_data();
    void refusedBelowTheHandlers();
    void oversizedBodyActuallySent();
    void halfSentRequestIsClosedAndBlocksNobody();
    void pipelinedRequestsAnswerTheFirstThenClose();
    void http10ClosesAfterTheAnswer();
    void servesHttpsWithCertificate();

private:
    std::unique_ptr<ServerProcess> m_server;
};

namespace {

struct Exchange
{
    QByteArray received;
    bool closed = false;
    qint64 elapsedMs = 0;
};

// Writes bytes, then reads until the server closes or `waitMs` passes.
Exchange exchange(const ServerProcess &server, const QByteArray &bytes, int waitMs = 3000)
{
    QTcpSocket socket;
    socket.connectToHost(server.baseUrl().host(), server.port());
    Exchange result;
    if (!socket.waitForConnected(5000))
        return result;
    QElapsedTimer clock;
    clock.start();
    socket.write(bytes);
    while (clock.elapsed() < waitMs) {
        if (socket.state() == QAbstractSocket::UnconnectedState) {
            result.closed = true;
            break;
        }
        if (!socket.waitForReadyRead(int(waitMs - clock.elapsed())) &&
            socket.state() == QAbstractSocket::UnconnectedState) {
            result.closed = true;
            break;
        }
        result.received += socket.readAll();
    }
    result.received += socket.readAll();
    result.elapsedMs = clock.elapsed();
    return result;
}

int statusOf(const QByteArray &response)
{
    return response.startsWith("HTTP/1.1 ") ? response.mid(9, 3).toInt() : 0;
}

} // namespace

void TestHttpLimits::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(
        QStringLiteral(KORVANA_SERVER_EXECUTABLE),
        fastServerArguments() << QStringLiteral("--idle-timeout-ms") << QStringLiteral("1000"));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestHttpLimits::cleanupTestCase()
{
    m_server.reset();
}

void TestHttpLimits::refusedBelowTheHandlers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addRow("declared body over 64 KiB")
        << QByteArray("POST /api/auth/login HTTP/1.1\r\nHost: x\r\nContent-Length: 65537\r\n\r\n")
        << 413;
    QTest::addRow("chunked body over 64 KiB")
        << QByteArray(
               "POST /api/auth/login HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
               "10001\r\n")
        << 413;
    QTest::addRow("head over 16 KiB")
        << "GET /api/health HTTP/1.1\r\nX-Big: " + QByteArray(17000, 'a') + "\r\n\r\n"
        << 431;
    QTest::addRow("garbage line") << QByteArray("HELLO THERE\r\n\r\n") << 400;
    QTest::addRow("binary") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n",
                                          15)
                            << 400;
    QTest::addRow("HTTP/2 preface") << QByteArray("PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n") << 400;
    QTest::addRow("both framings")
        << QByteArray("POST /api/game/pass HTTP/1.1\r\nContent-Length: 2\r\n"
                      "Transfer-Encoding: chunked\r\n\r\n{}")
        << 400;
    QTest::addRow("negative length")
        << QByteArray("POST /api/game/pass HTTP/1.1\r\nContent-Length: -5\r\n\r\n") << 400;
}

void TestHttpLimits::refusedBelowTheHandlers()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    const Exchange e = exchange(*m_server, request);
    QCOMPARE(statusOf(e.received), status);
    QVERIFY(e.received.contains("Connection: close"));
    QVERIFY(e.received.contains("{\"error\":"));
    QVERIFY(e.closed);
}

void TestHttpLimits::oversizedBodyActuallySent()
{
    QByteArray request =
        "POST /api/auth/login HTTP/1.1\r\nHost: x\r\nContent-Length: 200000\r\n\r\n";
    request += QByteArray(200000, 'x');
    const Exchange e = exchange(*m_server, request);
    QVERIFY(e.closed);
    QVERIFY(e.received.isEmpty() || statusOf(e.received) == 413);
    ApiClient api(m_server->baseUrl());
    QCOMPARE(api.get(QStringLiteral("/api/health")).status, 200);
}

void TestHttpLimits::halfSentRequestIsClosedAndBlocksNobody()
{
    QTcpSocket stalled;
    stalled.connectToHost(m_server->baseUrl().host(), m_server->port());
    QVERIFY(stalled.waitForConnected(5000));
    stalled.write("POST /api/auth/login HTTP/1.1\r\nContent-Length: 40\r\n\r\n{\"email\":");
    QVERIFY(stalled.waitForBytesWritten(1000));
    QElapsedTimer clock;
    clock.start();

    ApiClient api(m_server->baseUrl());
    QCOMPARE(api.get(QStringLiteral("/api/health")).status, 200);
    QVERIFY(QTest::qWaitFor([&] { return stalled.state() == QAbstractSocket::UnconnectedState; },
                            5000));
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));

    // An idle keep-alive connection goes too, and a drip-fed head gets no extra time.
    const Exchange idle = exchange(*m_server, QByteArray(), 4000);
    QVERIFY(idle.closed);
    QVERIFY(idle.elapsedMs < 2500);
    QTcpSocket drip;
    drip.connectToHost(m_server->baseUrl().host(), m_server->port());
    QVERIFY(drip.waitForConnected(5000));
    clock.restart();
    const QByteArray head = "GET /api/health HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 40 && drip.state() == QAbstractSocket::ConnectedState; ++i) {
        drip.write(head.mid(i % head.size(), 1));
        drip.waitForBytesWritten(100);
        QTest::qWait(100);
    }
    QCOMPARE(drip.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(clock.elapsed() < 2500);
}

void TestHttpLimits::pipelinedRequestsAnswerTheFirstThenClose()
{
    const QByteArray one = "GET /api/health HTTP/1.1\r\nHost: x\r\n\r\n";
    const Exchange e = exchange(*m_server, one + one);
    QCOMPARE(statusOf(e.received), 200);
    QCOMPARE(e.received.count("HTTP/1.1"), 1);
    QVERIFY(e.closed);
}

void TestHttpLimits::http10ClosesAfterTheAnswer()
{
    const Exchange e = exchange(*m_server, "GET /api/health HTTP/1.0\r\n\r\n");
    QCOMPARE(statusOf(e.received), 200);
    QVERIFY(e.received.endsWith("{\"status\":\"ok\"}"));
    QVERIFY(e.closed);
    QVERIFY(e.elapsedMs < 900);
}

void TestHttpLimits::servesHttpsWithCertificate()
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty() || !QSslSocket::supportsSsl())
        QSKIP("openssl or TLS support is missing");
    QTemporaryDir dir;
    const QString cert = dir.filePath(QStringLiteral("cert.pem"));
    const QString key = dir.filePath(QStringLiteral("key.pem"));
    QProcess make;
    make.start(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                         "/CN=127.0.0.1", "-keyout", key, "-out", cert});
    QVERIFY(make.waitForFinished(30'000));
    QCOMPARE(make.exitCode(), 0);

    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                         fastServerArguments()
                             << QStringLiteral("--cert") << cert << QStringLiteral("--key") << key);
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    QCOMPARE(server.baseUrl().scheme(), QStringLiteral("https"));

    QNetworkAccessManager manager;
    QNetworkRequest request(server.baseUrl().resolved(QUrl(QStringLiteral("/api/health"))));
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(),
                     [&](const QList<QSslError> &) { reply->ignoreSslErrors(); });
    QVERIFY(QTest::qWaitFor([&] { return reply->isFinished(); }, 10'000));
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->readAll(), QByteArrayLiteral(R"({"status":"ok"})"));

    // Plain HTTP on the TLS port gets nowhere, and does not stop the server.
    const Exchange plain = exchange(server, "GET /api/health HTTP/1.1\r\n\r\n", 3000);
    QVERIFY(!plain.received.startsWith("HTTP/1.1 200"));
}

QTEST_GUILESS_MAIN(TestHttpLimits)
#include "tst_httplimits.moc"
