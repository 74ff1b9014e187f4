// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The server's connections over loopback sockets, in process, with a handler of the test's own:
// the limits, answers in request order, back-pressure, and room made at the connection caps;
// the choices behind the caps and the output budget as tables.
#include "httplistener.h"
#include "requesthandler.h"

#include <QHash>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace korvana::http;
using namespace Qt::StringLiterals;

namespace {

// Paths to answers; anything else 404.
class TestHandler : public RequestHandler
{
public:
    QHash<QByteArray, std::function<void(const Reply &)>> routes;

    void handle(HttpRequest request, const QString &, QObject *, const Reply &reply) const override
    {
        if (const auto route = routes.constFind(request.target); route != routes.cend())
            return (*route)(reply);
        reply({404, "{}", {}});
    }
    [[nodiscard]] HttpResponse refusal(int status) const override { return {status, "{}", {}}; }
};

// A client connection from a loopback address of its own, reading what comes back.
struct Client
{
    QTcpSocket socket;
    QByteArray received;

    Client(quint16 port, const QString &from = u"127.0.0.1"_s, int receiveBuffer = 0)
    {
        socket.bind(QHostAddress(from));
        if (receiveBuffer > 0) { // reads next to nothing
            socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBuffer);
            socket.setReadBufferSize(receiveBuffer);
        }
        socket.connectToHost(QHostAddress::LocalHost, port);
        (void)QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; },
                              5000);
    }
    bool waitFor(const std::function<bool()> &done, int ms = 3000)
    {
        return QTest::qWaitFor(
            [&] {
                received += socket.readAll();
                return done();
            },
            ms);
    }
    bool closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }
    qsizetype answers() const { return received.count("HTTP/1.1 "); }
};

QByteArray get(const QByteArray &path)
{
    return "GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n";
}

const QByteArray health = get("/health");

} // namespace

Q_DECLARE_METATYPE(QList<EvictionCandidate>)

class TestConnections : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_handler = std::make_unique<TestHandler>();
        m_handler->routes["/health"] = [](const Reply &r) { r({200, "{}", {}}); };
        // Answers after the next request's, to show the order is the requests'.
        m_handler->routes["/late"] = [](const Reply &r) {
            QTimer::singleShot(100, [r] { r({200, "{\"late\":1}", {}}); });
        };
        m_handler->routes["/hold"] = [](const Reply &) {};
        m_handler->routes["/big"] = [this](const Reply &r) {
            ++m_bigAnswers;
            r({200, QByteArray(100'000, ' '), {}});
        };
        m_bigAnswers = 0;
        listen({});
    }

    void refusedBelowTheHandlers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray post = "POST /health HTTP/1.1\r\nHost: x\r\n";
        // clang-format off
        QTest::addRow("declared body over 64 KiB") << post + "Content-Length: 65537\r\n\r\n" << 413;
        QTest::addRow("chunked body over 64 KiB") << post + "Transfer-Encoding: chunked\r\n\r\n10001\r\n" << 413;
        QTest::addRow("body over 64 KiB actually sent") << post + "Content-Length: 200000\r\n\r\n" + QByteArray(200000, 'x') << 413;
        QTest::addRow("head over 16 KiB") << "GET /health HTTP/1.1\r\nX: " + QByteArray(17000, 'a') + "\r\n\r\n" << 431;
        QTest::addRow("garbage line") << QByteArray("HELLO THERE\r\n\r\n") << 400;
        // clang-format on
    }

    void refusedBelowTheHandlers()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        Client client(m_listener->serverPort());
        client.socket.write(health + request); // answered in turn before the refusal
        QVERIFY(client.waitFor([&] { return client.closed(); }));
        // A body sent in full may reset the connection before the answers are read.
        if (request.size() > 100'000 && client.answers() < 2)
            return;
        QVERIFY(client.received.startsWith("HTTP/1.1 200"));
        QVERIFY(client.received.contains("HTTP/1.1 " + QByteArray::number(status)));
        QVERIFY(client.received.contains("Connection: close"));
    }

    void halfSentRequestsAreClosedAndBlockNobody()
    {
        Client stalled(m_listener->serverPort());
        stalled.socket.write(
            "POST /health HTTP/1.1\r\nHost: x\r\nContent-Length: 40\r\n\r\n{\"email\":");
        Client other(m_listener->serverPort());
        other.socket.write(health);
        QVERIFY(other.waitFor([&] { return other.answers() == 1; }));
        QVERIFY(stalled.waitFor([&] { return stalled.closed(); }, 2000)); // idle limit: 300 ms
        QVERIFY(stalled.received.isEmpty());
    }

    void pipelinedAndSplitRequestsAreAnsweredInOrder()
    {
        int healthCalls = 0; // the server read the first part once it passed on its /health
        m_handler->routes["/health"] = [&](const Reply &r) { ++healthCalls, r({200, "{}", {}}); };
        Client client(m_listener->serverPort());
        client.socket.write(get("/late") + health + health.first(10));
        QVERIFY(QTest::qWaitFor([&] { return healthCalls == 1; }));
        client.socket.write(health.sliced(10));
        QVERIFY(client.waitFor([&] { return client.answers() == 3; }));
        QVERIFY(client.received.startsWith("HTTP/1.1 200"));
        QVERIFY(client.received.indexOf("late") < client.received.indexOf("{}"));
        QVERIFY(!client.received.contains(" 400 "));
        QVERIFY(!client.closed());
    }

    void anHttp10ClientIsToldItsConnectionStaysOpen()
    {
        Client client(m_listener->serverPort());
        client.socket.write("GET /health HTTP/1.0\r\nConnection: keep-alive\r\n\r\n" + health);
        QVERIFY(client.waitFor([&] { return client.answers() == 2; }));
        QCOMPARE(client.received.count("Connection: keep-alive\r\n"), 1);
        QVERIFY(!client.closed());
    }

    void unreadAnswersStopTheReading()
    {
        // 100 KB answers to a client that asks for 200 and reads none: the next request is not
        // run while the answers before it wait unsent (in our buffer or the kernel's), and the
        // connection goes when it stays stuck.
        Client greedy(m_listener->serverPort(), u"127.0.0.1"_s, 4096);
        for (int i = 0; i < 200; ++i)
            greedy.socket.write(get("/big"));
        QVERIFY(QTest::qWaitFor([&] { return m_listener->connectionCount() == 0; }, 5000));
        QVERIFY2(m_bigAnswers <= 2, qPrintable(QString::number(m_bigAnswers)));
    }

    void theCapsMakeRoomForNewcomers_data()
    {
        // What the three connections already there from 127.0.0.1 are doing.
        QTest::addColumn<QByteArray>("sent");
        QTest::addRow("idle") << QByteArray();
        QTest::addRow("one byte of a request") << QByteArray("G");
        QTest::addRow("waiting for an answer") << get("/hold");
    }

    void theCapsMakeRoomForNewcomers()
    {
        QFETCH(QByteArray, sent);
        listen({.maxConnections = 4, .maxConnectionsPerAddress = 3}, 10'000);
        const quint16 port = m_listener->serverPort();
        std::vector<std::unique_ptr<Client>> old;
        for (int i = 0; i < 3; ++i) {
            old.push_back(std::make_unique<Client>(port));
            old.back()->socket.write(sent);
        }
        QVERIFY(QTest::qWaitFor([&] { return m_listener->connectionCount() == 3; }));
        const auto closedOld = [&] {
            return std::ranges::count_if(old, [](const auto &c) {
                c->received += c->socket.readAll();
                return c->closed();
            });
        };
        // A neighbour behind the same address gets in and is answered; one old one made room.
        Client neighbour(port);
        neighbour.socket.write(health);
        QVERIFY(neighbour.waitFor([&] { return neighbour.answers() == 1; }));
        QVERIFY(QTest::qWaitFor([&] { return closedOld() == 1; }));
        // At the server's cap a new address is served, and the room is made by the address
        // holding the most connections, not by another small one.
        Client other(port, u"127.0.0.2"_s);
        Client newcomer(port, u"127.0.0.3"_s);
        newcomer.socket.write(health);
        QVERIFY(newcomer.waitFor([&] { return newcomer.answers() == 1; }));
        QVERIFY(!other.closed());
        QVERIFY(QTest::qWaitFor([&] { return closedOld() + neighbour.closed() == 2; }));
    }

    void evictsWhoKeptTheServerWaitingLongest_data()
    {
        using A = EvictionCandidate::Activity;
        QTest::addColumn<QList<EvictionCandidate>>("pool");
        QTest::addColumn<int>("chosen");
        // clang-format off
        QTest::addRow("longest idle") << QList<EvictionCandidate>{{A::Idle, 10}, {A::Idle, 30}, {A::Idle, 20}} << 1;
        QTest::addRow("incomplete longest over a newer idle one") << QList<EvictionCandidate>{{A::Idle, 0}, {A::Receiving, 9000}} << 1;
        QTest::addRow("idle longest over a newer incomplete one") << QList<EvictionCandidate>{{A::Receiving, 5}, {A::Idle, 700}} << 1;
        QTest::addRow("any client's turn before a held poll") << QList<EvictionCandidate>{{A::Waiting, 29000}, {A::Idle, 0}} << 1;
        QTest::addRow("held polls: the longest") << QList<EvictionCandidate>{{A::Waiting, 100}, {A::Waiting, 5000}, {A::Waiting, 200}} << 1;
        // clang-format on
    }

    void evictsWhoKeptTheServerWaitingLongest()
    {
        QFETCH(QList<EvictionCandidate>, pool);
        QFETCH(int, chosen);
        QCOMPARE(chooseEviction(pool), std::optional<qsizetype>(chosen));
    }

    void theOutputBudgetHoldsBackTheHeaviest()
    {
        // A budget of 100 bytes over three connections; each step sets one's unsent bytes, then
        // asks who may read. Those held back are woken once the sum is under the budget again.
        int a = 0, b = 0, c = 0;
        QList<const void *> woken;
        OutputBudget budget(100, [&](OutputBudget::Key k) { woken << k; });
        const auto readers = [&] {
            return QList<bool>{budget.mayRead(&a), budget.mayRead(&b), budget.mayRead(&c)};
        };
        budget.update(&a, 60);
        budget.update(&b, 30);
        QCOMPARE(readers(), (QList<bool>{true, true, true})); // 90: under the budget
        budget.update(&b, 50);
        // 110 over two holders: a share is 50; a holds more, b and the empty c read on.
        QCOMPARE(readers(), (QList<bool>{false, true, true}));
        budget.update(&c, 20);
        // 130 over three: a share is 33; a and b hold more.
        QCOMPARE(readers(), (QList<bool>{false, false, true}));
        QVERIFY(woken.isEmpty());
        budget.remove(&b); // closed: 80, under the budget
        QCOMPARE(woken, (QList<const void *>{&a}));
        QCOMPARE(budget.total(), 80);
        QCOMPARE(readers(), (QList<bool>{true, true, true}));
    }

private:
    void listen(ListenerSettings settings, int timeoutMs = 300)
    {
        settings.connection.idleTimeoutMs = timeoutMs;
        settings.connection.stalledTimeoutMs = timeoutMs;
        m_listener = std::make_unique<HttpListener>(*m_handler, settings);
        QVERIFY(m_listener->listen(QHostAddress::LocalHost));
    }

    std::unique_ptr<TestHandler> m_handler;
    std::unique_ptr<HttpListener> m_listener;
    int m_bigAnswers = 0;
};

QTEST_GUILESS_MAIN(TestConnections)
#include "tst_connections.moc"
