// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The request parser that lets the server refuse oversized or malformed requests before it
// buffers them, whatever pieces their bytes come in.
#include "requestparser.h"

#include <QRandomGenerator>
#include <QTest>

using korvana::http::HttpRequest;
using korvana::http::RequestParser;
using Verdict = RequestParser::Verdict;

Q_DECLARE_METATYPE(RequestParser::Verdict)

class TestRequestParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scans_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<int>("completed");
        QTest::addColumn<bool>("keepAlive"); // of the last completed request
        const QByteArray get = "GET /api/health HTTP/1.1\r\nHost: x\r\n\r\n";
        const QByteArray post = "POST /a HTTP/1.1\r\nHost: x\r\n";
        const QByteArray chunked = post + "Transfer-Encoding: chunked\r\n\r\n";
        // clang-format off
        QTest::addRow("plain GET") << get << Verdict::Ok << 1 << true;
        QTest::addRow("two pipelined") << get + get << Verdict::Ok << 2 << true;
        QTest::addRow("body complete") << post + "Content-Length: 5\r\n\r\nhello" << Verdict::Ok << 1 << true;
        QTest::addRow("body partial") << post + "Content-Length: 5\r\n\r\nhel" << Verdict::Ok << 0 << true;
        QTest::addRow("HTTP/1.0") << QByteArray("GET / HTTP/1.0\r\n\r\n") << Verdict::Ok << 1 << false;
        QTest::addRow("HTTP/1.0 keep-alive") << QByteArray("GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n") << Verdict::Ok << 1 << true;
        QTest::addRow("HTTP/1.1 close") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\nConnection: te, close\r\n\r\n") << Verdict::Ok << 1 << false;
        QTest::addRow("body at the limit") << post + "Content-Length: 65536\r\n\r\n" << Verdict::Ok << 0 << true;
        QTest::addRow("body over the limit") << post + "Content-Length: 65537\r\n\r\n" << Verdict::BodyTooLarge << 0 << true;
        QTest::addRow("chunked") << chunked + "5;ext=1\r\nhello\r\n3\r\nabc\r\n0\r\nX-Trailer: 1\r\n\r\n" << Verdict::Ok << 1 << true;
        QTest::addRow("chunked over the limit") << chunked + "8000\r\n" + QByteArray(0x8000, 'a') + "\r\n8001\r\n" << Verdict::BodyTooLarge << 0 << true;
        QTest::addRow("head over the limit") << "GET / HTTP/1.1\r\nX: " + QByteArray(16 * 1024, 'a') + "\r\n\r\n" << Verdict::HeadTooLarge << 0 << true;
        QTest::addRow("too many headers") << "GET / HTTP/1.1\r\nHost: x\r\n" + QByteArray("X: 1\r\n").repeated(64) + "\r\n" << Verdict::HeadTooLarge << 0 << true;
        QTest::addRow("no version") << QByteArray("GET /\r\n\r\n") << Verdict::Malformed << 0 << true;
        QTest::addRow("relative target") << QByteArray("GET api HTTP/1.1\r\nHost: x\r\n\r\n") << Verdict::Malformed << 0 << true;
        QTest::addRow("folded header") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\nA: b\r\n c\r\n\r\n") << Verdict::Malformed << 0 << true;
        QTest::addRow("length and chunked") << post + "Content-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("chunked and length") << post + "Transfer-Encoding: chunked\r\nContent-Length: 1\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("two lengths") << post + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab" << Verdict::Malformed << 0 << true;
        QTest::addRow("chunk size +5") << chunked + "+5\r\nhello\r\n0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("chunk size 0x5") << chunked + "0x5\r\nhello\r\n0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("chunk size 2 NUL") << chunked + QByteArray("2\0\r\nab\r\n0\r\n\r\n", sizeof("2\0\r\nab\r\n0\r\n\r\n") - 1) << Verdict::Malformed << 0 << true;
        QTest::addRow("chunk size -0") << chunked + "-0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("chunk line bare LF") << chunked + "5\nhello\r\n0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("head ends LF CR LF") << QByteArray("GET / HTTP/1.1\r\nHost: x\n\r\n") << Verdict::Malformed << 0 << true;
        QTest::addRow("head ends LF LF") << QByteArray("GET / HTTP/1.1\nHost: x\n\n") << Verdict::Malformed << 0 << true;
        QTest::addRow("bare LF, head unfinished") << QByteArray("GET / HTTP/1.1\nHost: x") << Verdict::Malformed << 0 << true;
        QTest::addRow("encoding after VT") << post + "Transfer-Encoding: \x0b" "chunked\r\n\r\n0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("encoding after FF") << post + "Transfer-Encoding: \x0c" "chunked\r\n\r\n0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("encoding gzip, chunked") << post + "Transfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n" << Verdict::Malformed << 0 << true;
        QTest::addRow("no Host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << Verdict::Malformed << 0 << true;
        QTest::addRow("two Hosts") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\nHost: y\r\n\r\n") << Verdict::Malformed << 0 << true;
        // clang-format on
    }

    void scans()
    {
        QFETCH(QByteArray, input);
        QFETCH(Verdict, verdict);
        QFETCH(int, completed);
        QFETCH(bool, keepAlive);
        // Whole, and byte by byte: the answer must not depend on how the bytes arrive.
        for (const qsizetype step : {input.size(), qsizetype(1), qsizetype(7)}) {
            RequestParser parser;
            QList<HttpRequest> requests;
            for (qsizetype at = 0; at < input.size() && parser.verdict() == Verdict::Ok;) {
                at += parser.feed(
                    QByteArrayView(input).sliced(at, std::min(step, input.size() - at)));
                if (auto request = parser.takeRequest())
                    requests << *request;
            }
            QCOMPARE(parser.verdict(), verdict);
            QCOMPARE(requests.size(), completed);
            if (!requests.isEmpty())
                QCOMPARE(requests.back().keepAlive, keepAlive);
        }
    }

    void survivesMutatedRequests()
    {
        // Thousands of damaged heads and bodies, in pieces of any size: each is read to a
        // request or a refusal, never past the bytes given, and a refusal stays.
        const QByteArray base = "POST /api/game/pass HTTP/1.1\r\nHost: x\r\n"
                                "Transfer-Encoding: chunked\r\n\r\n5\r\n{\"a\":\r\n0\r\n\r\n";
        QRandomGenerator random(7);
        for (int i = 0; i < 5000; ++i) {
            QByteArray bytes = base;
            for (int op = random.bounded(1, 6); op > 0; --op) {
                const int at = random.bounded(int(bytes.size()));
                if (random.bounded(2))
                    bytes[at] = char(random.bounded(256));
                else
                    bytes.remove(at, random.bounded(1, 9));
            }
            RequestParser parser;
            for (qsizetype at = 0; at < bytes.size();) {
                const qsizetype step =
                    std::min<qsizetype>(random.bounded(1, 40), bytes.size() - at);
                const qsizetype read = parser.feed(QByteArrayView(bytes).sliced(at, step));
                QVERIFY(read >= 0 && read <= step);
                (void)parser.takeRequest();
                if (parser.verdict() != Verdict::Ok)
                    QCOMPARE(parser.feed("GET / HTTP/1.1\r\nHost: x\r\n\r\n"), 0);
                at += parser.verdict() == Verdict::Ok && read > 0 ? read : step;
            }
        }
    }

    void readsWhatTheServerNeeds()
    {
        RequestParser parser;
        const QByteArray bytes =
            "POST /api/game/pass?x=1 HTTP/1.1\r\nHost: x\r\nauthorization: Bearer t\r\n"
            "If-None-Match: \"v1\"\r\nPrefer: wait=5\r\nTransfer-Encoding: "
            "chunked\r\n\r\n2\r\n{}\r\n1\r\n \r\n0\r\n\r\nGET / HTTP/1.1\r\nHost: x\r\n\r\n";
        // One request at a time: the next one stays unread until this one is taken.
        QCOMPARE(parser.feed(bytes), bytes.indexOf("GET"));
        const HttpRequest request = *parser.takeRequest();
        QCOMPARE(request.method, "POST");
        QCOMPARE(request.target, "/api/game/pass?x=1");
        QCOMPARE(request.authorization, "Bearer t");
        QCOMPARE(request.ifNoneMatch, "\"v1\"");
        QCOMPARE(request.prefer, "wait=5");
        QCOMPARE(request.body, "{} ");
    }
};

QTEST_GUILESS_MAIN(TestRequestParser)
#include "tst_requestparser.moc"
