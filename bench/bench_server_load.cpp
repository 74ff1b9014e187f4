// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Load on korvana-server's hot path: concurrent keep-alive clients polling
// GET /api/game/session/{id} of a game in progress, at 1, 16 and 64 connections, next to a
// minimal Node.js http server answering the same bytes from memory. Prints req/s, p50 and p99
// latency and our req/s divided by the peer's. Figures only; never a gate.
//
// Usage: bench_server_load [seconds per level, default 3] [node executable, default "node"]

#include "serverbench.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/epoll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

using namespace korvana::bench;

namespace {

struct Result
{
    double requestsPerSecond = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    qint64 errors = 0;
};

// `connections` keep-alive clients, each with one request in flight, for `seconds`.
Result load(quint16 port, const QByteArray &requestBytes, int connections, double seconds)
{
    const int epoll = ::epoll_create1(0);
    struct Conn
    {
        int fd = -1;
        QByteArray in;
        Clock::time_point sent;
    };
    std::vector<Conn> conns(static_cast<std::size_t>(connections));
    std::vector<double> latencies;
    latencies.reserve(1 << 20);
    Result result;
    const auto send = [&](Conn &c) {
        c.sent = Clock::now();
        const auto n = ::send(c.fd, requestBytes.constData(), size_t(requestBytes.size()), 0);
        if (n != requestBytes.size())
            ++result.errors;
    };
    for (std::size_t i = 0; i < conns.size(); ++i) {
        conns[i].fd = connectTo(port, false);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = i;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, conns[i].fd, &ev);
    }
    const auto warmUpEnd = Clock::now() + std::chrono::milliseconds(500);
    const auto end = warmUpEnd + std::chrono::duration<double>(seconds);
    for (auto &c : conns)
        send(c);
    qint64 done = 0;
    Clock::time_point measuredFrom = warmUpEnd;
    bool measuring = false;
    std::vector<epoll_event> events(static_cast<std::size_t>(connections));
    char chunk[65536];
    while (Clock::now() < end) {
        const int n = ::epoll_wait(epoll, events.data(), connections, 100);
        for (int e = 0; e < n; ++e) {
            Conn &c = conns[events[std::size_t(e)].data.u64];
            for (;;) {
                const auto got = ::recv(c.fd, chunk, sizeof chunk, 0);
                if (got > 0) {
                    c.in.append(chunk, got);
                    continue;
                }
                if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                    // Reconnect a closed connection.
                    ++result.errors;
                    ::epoll_ctl(epoll, EPOLL_CTL_DEL, c.fd, nullptr);
                    ::close(c.fd);
                    c.fd = connectTo(port, false);
                    c.in.clear();
                    epoll_event ev{};
                    ev.events = EPOLLIN;
                    ev.data.u64 = events[std::size_t(e)].data.u64;
                    ::epoll_ctl(epoll, EPOLL_CTL_ADD, c.fd, &ev);
                    send(c);
                }
                break;
            }
            int status = 0;
            while (const qsizetype length = completeResponse(c.in, &status)) {
                const auto now = Clock::now();
                if (!measuring && now >= warmUpEnd) {
                    measuring = true;
                    measuredFrom = now;
                }
                if (measuring) {
                    latencies.push_back(
                        std::chrono::duration<double, std::milli>(now - c.sent).count());
                    ++done;
                }
                if (status != 200)
                    ++result.errors;
                c.in.remove(0, length);
                send(c);
            }
        }
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - measuredFrom).count();
    for (auto &c : conns)
        ::close(c.fd);
    ::close(epoll);
    std::ranges::sort(latencies);
    if (!latencies.empty()) {
        result.p50Ms = latencies[latencies.size() / 2];
        result.p99Ms = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    }
    result.requestsPerSecond = elapsed > 0 ? double(done) / elapsed : 0;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const double seconds = args.size() > 1 ? args[1].toDouble() : 3.0;
    const QString node = args.size() > 2 ? args[2] : QStringLiteral("node");

    ServerUnderTest server;
    if (!server.start(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                      {"--bot-delay-ms", "0", "--insecure-fast-hash"})) {
        std::fprintf(stderr, "korvana-server did not start\n");
        return 1;
    }
    const auto port = std::optional(server.port);
    QTemporaryDir dir;

    // A game in progress that stands still: one person and three bots, the person to move.
    const QByteArray token = signUp(*port, "Bench");
    const auto created = request(*port, "POST", "/api/game/session", "{}", token);
    const QByteArray sessionId = created ? jsonText(created->second, "sessionId") : QByteArray();
    request(*port, "POST", "/api/game/vote-to-start",
            R"({"sessionId":")" + sessionId + R"(","enableBots":true})", token);
    const QByteArray path = "/api/game/session/" + sessionId;
    const auto answer = request(*port, "GET", path, {}, token);
    const std::optional<QByteArray> body = answer ? std::optional(answer->second) : std::nullopt;
    if (token.isEmpty() || sessionId.isEmpty() || !body || !body->contains("in_progress")) {
        std::fprintf(stderr, "could not set up a game\n");
        return 1;
    }
    const QByteArray poll = "GET " + path +
                            " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token +
                            "\r\nContent-Type: application/json\r\n\r\n";

    // The peer: Node's http module answering the same bytes from memory.
    QFile bodyFile(dir.filePath("body.json"));
    bodyFile.open(QIODevice::WriteOnly);
    bodyFile.write(*body);
    bodyFile.close();
    QFile script(dir.filePath("peer.js"));
    script.open(QIODevice::WriteOnly);
    script.write(
        "const http = require('http');\n"
        "const body = require('fs').readFileSync(process.argv[2]);\n"
        "const server = http.createServer((req, res) => {\n"
        "  res.writeHead(200, {'Content-Type': 'application/json',"
        " 'Content-Length': body.length});\n"
        "  res.end(body);\n"
        "});\n"
        "server.keepAliveTimeout = 60000;\n"
        "server.listen(0, '127.0.0.1', () => console.log('port ' + server.address().port));\n");
    script.close();
    QProcess peer;
    peer.start(node, {script.fileName(), bodyFile.fileName()});
    const auto peerPort = readPort(peer, QRegularExpression(QStringLiteral("port (\\d+)")));

    std::printf("GET %s, %lld-byte body, %.1f s per level\n", path.constData(),
                static_cast<long long>(body->size()), seconds);
    std::printf("%5s | %12s %8s %8s | %12s %8s %8s | %6s\n", "conns", "ours req/s", "p50 ms",
                "p99 ms", "node req/s", "p50 ms", "p99 ms", "ratio");
    for (const int connections : {1, 16, 64}) {
        const Result ours = load(*port, poll, connections, seconds);
        Result theirs;
        if (peerPort)
            theirs = load(*peerPort, poll, connections, seconds);
        std::printf("%5d | %12.0f %8.3f %8.3f | %12.0f %8.3f %8.3f | %6.2f%s\n", connections,
                    ours.requestsPerSecond, ours.p50Ms, ours.p99Ms, theirs.requestsPerSecond,
                    theirs.p50Ms, theirs.p99Ms,
                    theirs.requestsPerSecond > 0 ? ours.requestsPerSecond / theirs.requestsPerSecond
                                                 : 0.0,
                    ours.errors + theirs.errors ? " (errors)" : "");
        std::fflush(stdout);
    }
    if (!peerPort)
        std::printf("node did not start: no peer figures\n");
    peer.terminate();
    peer.waitForFinished(3000);
    return 0;
}
