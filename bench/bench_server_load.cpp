// Load on korvana-server's hot path: concurrent keep-alive clients polling
// GET /api/game/session/{id} of a game in progress, at 1, 16 and 64 connections, next to a
// minimal Node.js http server answering the same bytes from memory. Prints req/s, p50 and p99
// latency and our req/s divided by the peer's. Figures only; never a gate.
//
// Usage: bench_server_load [seconds per level, default 3] [node executable, default "node"]

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int connectTo(quint16 port, bool blocking)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (!blocking)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Length of a complete response at the start of `buffer`, or 0 while incomplete.
qsizetype completeResponse(const QByteArray &buffer, int *status = nullptr)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return 0;
    static const QRegularExpression length(QStringLiteral("(?i)content-length:\\s*(\\d+)"));
    const auto match = length.match(QString::fromLatin1(buffer.left(headEnd)));
    const qsizetype body = match.hasMatch() ? match.captured(1).toLongLong() : 0;
    if (buffer.size() < headEnd + 4 + body)
        return 0;
    if (status)
        *status = buffer.mid(9, 3).toInt();
    return headEnd + 4 + body;
}

// One blocking request on a new connection, for setting the game up.
std::optional<QByteArray> request(quint16 port, const QByteArray &method, const QByteArray &path,
                                  const QByteArray &body, const QByteArray &token = {})
{
    const int fd = connectTo(port, true);
    if (fd < 0)
        return std::nullopt;
    QByteArray out = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!token.isEmpty())
        out += "Authorization: Bearer " + token + "\r\n";
    out += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
    [[maybe_unused]] const auto sent = ::send(fd, out.constData(), size_t(out.size()), 0);
    QByteArray in;
    char chunk[65536];
    while (!completeResponse(in)) {
        const auto n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        in.append(chunk, n);
    }
    ::close(fd);
    const qsizetype end = completeResponse(in);
    if (!end)
        return std::nullopt;
    return in.mid(in.indexOf("\r\n\r\n") + 4, end - in.indexOf("\r\n\r\n") - 4);
}

QByteArray jsonText(const QByteArray &json, const QByteArray &key)
{
    const QRegularExpression re(
        QStringLiteral("\"%1\":\"([^\"]*)\"").arg(QString::fromLatin1(key)));
    return re.match(QString::fromUtf8(json)).captured(1).toUtf8();
}

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

std::optional<quint16> readPort(QProcess &process, const QRegularExpression &pattern)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray out;
    while (clock.elapsed() < 20'000) {
        if (!process.waitForReadyRead(1000) && process.state() == QProcess::NotRunning)
            return std::nullopt;
        out += process.readAllStandardOutput();
        const auto match = pattern.match(QString::fromUtf8(out));
        if (match.hasMatch())
            return quint16(match.captured(1).toUInt());
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const double seconds = args.size() > 1 ? args[1].toDouble() : 3.0;
    const QString node = args.size() > 2 ? args[2] : QStringLiteral("node");

    QTemporaryDir dir;
    QProcess server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                 {"--port", "0", "--db", dir.filePath("bench.sqlite"), "--bot-delay-ms", "0",
                  "--seed", "1", "--insecure-fast-hash"});
    const auto port =
        readPort(server, QRegularExpression(QStringLiteral("listening on http://[^:]+:(\\d+)")));
    if (!port) {
        std::fprintf(stderr, "korvana-server did not start\n");
        return 1;
    }

    // A game in progress that stands still: one person and three bots, the person to move.
    const auto signedUp =
        request(*port, "POST", "/api/auth/register",
                R"({"username":"Bench","email":"bench@example.com","password":"haslo123"})");
    const QByteArray token = signedUp ? jsonText(*signedUp, "token") : QByteArray();
    const auto created = request(*port, "POST", "/api/game/session", "{}", token);
    const QByteArray sessionId = created ? jsonText(*created, "sessionId") : QByteArray();
    request(*port, "POST", "/api/game/vote-to-start",
            R"({"sessionId":")" + sessionId + R"(","enableBots":true})", token);
    const QByteArray path = "/api/game/session/" + sessionId;
    const auto body = request(*port, "GET", path, {}, token);
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
    server.terminate();
    server.waitForFinished(5000);
    return 0;
}
