#include "requestscanner.h"

#include <QTest>

using korvana::api::RequestScanner;
using Verdict = RequestScanner::Verdict;

Q_DECLARE_METATYPE(RequestScanner::Verdict)

// The framing scanner that lets the server refuse oversized or malformed requests before
// Qt HttpServer buffers them.
class TestRequestScanner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scans_data();
    void scans();
    void expectContinueIsReportedOnce();
    void staysFailed();
};

void TestRequestScanner::scans_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<int>("completed");
    QTest::addColumn<bool>("keepAlive"); // of the last completed request
    QTest::addColumn<bool>("inRequest");

    const QByteArray get = "GET /api/health HTTP/1.1\r\nHost: x\r\n\r\n";
    QTest::addRow("plain GET") << get << Verdict::Ok << 1 << true << false;
    QTest::addRow("bare line feeds")
        << QByteArray("GET / HTTP/1.1\nHost: x\n\n") << Verdict::Ok << 1 << true << false;
    QTest::addRow("blank lines before") << "\r\n\r\n" + get << Verdict::Ok << 1 << true << false;
    QTest::addRow("two pipelined") << get + get << Verdict::Ok << 2 << true << false;
    QTest::addRow("body complete")
        << QByteArray("POST /a HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello") << Verdict::Ok << 1
        << true << false;
    QTest::addRow("body partial") << QByteArray("POST /a HTTP/1.1\r\nContent-Length: 5\r\n\r\nhel")
                                  << Verdict::Ok << 0 << true << true;
    QTest::addRow("head partial") << QByteArray("GET /a HTTP/1.1\r\nHo") << Verdict::Ok << 0 << true
                                  << true;
    QTest::addRow("HTTP/1.0") << QByteArray("GET / HTTP/1.0\r\n\r\n") << Verdict::Ok << 1 << false
                              << false;
    QTest::addRow("HTTP/1.0 keep-alive")
        << QByteArray("GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n") << Verdict::Ok << 1
        << true << false;
    QTest::addRow("HTTP/1.1 close") << QByteArray("GET / HTTP/1.1\r\nConnection: te, close\r\n\r\n")
                                    << Verdict::Ok << 1 << false << false;
    QTest::addRow("body at the limit")
        << QByteArray("POST /a HTTP/1.1\r\nContent-Length: 65536\r\n\r\n") << Verdict::Ok << 0
        << true << true;
    QTest::addRow("body over the limit")
        << QByteArray("POST /a HTTP/1.1\r\nContent-Length: 65537\r\n\r\n") << Verdict::BodyTooLarge
        << 0 << true << false;
    QTest::addRow("huge length")
        << QByteArray("POST /a HTTP/1.1\r\nContent-Length: 99999999999999999\r\n\r\n")
        << Verdict::Malformed << 0 << true << false;
    QTest::addRow("chunked") << QByteArray(
                                    "POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"
                                    "5;ext=1\r\nhello\r\n3\r\nabc\r\n0\r\nX-Trailer: 1\r\n\r\n")
                             << Verdict::Ok << 1 << true << false;
    QTest::addRow("chunked over the limit")
        << QByteArray("POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n8000\r\n") +
               QByteArray(0x8000, 'a') + "\r\n8001\r\n"
        << Verdict::BodyTooLarge << 0 << true << false;
    QTest::addRow("chunk size not hex")
        << QByteArray("POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n")
        << Verdict::Malformed << 0 << true << false;
    QTest::addRow("chunk without its CRLF")
        << QByteArray("POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n")
        << Verdict::Malformed << 0 << true << false;
    QTest::addRow("head over the limit")
        << "GET / HTTP/1.1\r\nX: " + QByteArray(16 * 1024, 'a') + "\r\n\r\n"
        << Verdict::HeadTooLarge << 0 << true << false;
    QTest::addRow("endless head") << "GET / HTTP/1.1\r\nX: " + QByteArray(20 * 1024, 'a')
                                  << Verdict::HeadTooLarge << 0 << true << false;

    const QList<QPair<const char *, QByteArray>> malformed{
        {"no version", "GET /\r\n\r\n"},
        {"double space", "GET  / HTTP/1.1\r\n\r\n"},
        {"HTTP/2", "GET / HTTP/2.0\r\n\r\n"},
        {"bad method", "G@T / HTTP/1.1\r\n\r\n"},
        {"relative target", "GET api HTTP/1.1\r\n\r\n"},
        {"control in target", "GET /a\x01 HTTP/1.1\r\n\r\n"},
        {"header without colon", "GET / HTTP/1.1\r\nHost\r\n\r\n"},
        {"folded header", "GET / HTTP/1.1\r\nA: b\r\n c\r\n\r\n"},
        {"space before colon", "GET / HTTP/1.1\r\nHost : x\r\n\r\n"},
        {"control in value", "GET / HTTP/1.1\r\nA: b\x7f\r\n\r\n"},
        {"length not a number", "POST / HTTP/1.1\r\nContent-Length: 1x\r\n\r\n"},
        {"two lengths", "POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"},
        {"length and chunked",
         "POST / HTTP/1.1\r\nContent-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n"},
        {"gzip coding", "POST / HTTP/1.1\r\nTransfer-Encoding: gzip\r\n\r\n"},
    };
    for (const auto &[name, input] : malformed)
        QTest::addRow("%s", name) << input << Verdict::Malformed << 0 << true << false;
}

void TestRequestScanner::scans()
{
    QFETCH(QByteArray, input);
    QFETCH(Verdict, verdict);
    QFETCH(int, completed);
    QFETCH(bool, keepAlive);
    QFETCH(bool, inRequest);

    // Whole, and byte by byte: the answer must not depend on how the bytes arrive.
    for (const qsizetype step : {input.size(), qsizetype(1), qsizetype(7)}) {
        RequestScanner scanner;
        Verdict got = Verdict::Ok;
        for (qsizetype at = 0; at < input.size() && got == Verdict::Ok; at += step)
            got = scanner.feed(QByteArrayView(input).sliced(at, std::min(step, input.size() - at)));
        QCOMPARE(got, verdict);
        const auto requests = scanner.takeCompleted();
        QCOMPARE(requests.size(), completed);
        if (!requests.isEmpty())
            QCOMPARE(requests.back().keepAlive, keepAlive);
        if (verdict == Verdict::Ok)
            QCOMPARE(scanner.inRequest(), inRequest);
    }
}

void TestRequestScanner::expectContinueIsReportedOnce()
{
    RequestScanner scanner;
    QCOMPARE(scanner.feed("POST /a HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n"),
             Verdict::Ok);
    QVERIFY(scanner.takeExpectContinue());
    QVERIFY(!scanner.takeExpectContinue());
    QCOMPARE(scanner.feed("{}"), Verdict::Ok);
    QCOMPARE(scanner.takeCompleted().size(), 1);
}

void TestRequestScanner::staysFailed()
{
    RequestScanner scanner;
    QCOMPARE(scanner.feed("BAD\r\n\r\n"), Verdict::Malformed);
    QCOMPARE(scanner.feed("GET / HTTP/1.1\r\n\r\n"), Verdict::Malformed);
    QVERIFY(scanner.takeCompleted().isEmpty());
}

QTEST_GUILESS_MAIN(TestRequestScanner)
#include "tst_requestscanner.moc"
