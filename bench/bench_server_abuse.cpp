// One abusive client against korvana-server, as a process over raw loopback sockets, and what
// it costs everyone else (figures only, never a gate):
//   unread answers:  4 connections ask for a 300-room lobby every 20 ms and read nothing, for
//                    15 s (reconnecting when closed); the server's memory growth.
//   idle flood:      one address opens 1,000 idle connections; a health request from another
//                    address on a fresh connection, and how long it waits.
//   login burst:     40 logins at a time to unknown e-mails, each sent again when answered (60 KB
//                    passwords, at once or after 20 ms; short ones; short ones from 40
//                    addresses); a real login from another address meanwhile.
//
// Usage: bench_server_abuse [korvana-server executable, default the one built here]

#include "serverbench.h"

#include <QCoreApplication>

#include <sys/epoll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>
#include <vector>

using namespace korvana::bench;

namespace {

QString serverExecutable;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void unreadAnswers()
{
    ServerUnderTest server;
    if (!server.start(serverExecutable, {"--insecure-fast-hash"}))
        return (void)std::printf("unread answers: server did not start\n");
    QByteArray token;
    for (int i = 0; i < 300; ++i) {
        token = signUp(server.port, "Gracz" + QByteArray::number(i));
        request(server.port, "POST", "/api/game/session", "{}", token);
    }
    const auto lobby = request(server.port, "GET", "/api/game/servers", {}, token);
    const double before = server.rssMb();
    const QByteArray ask = requestBytes("GET", "/api/game/servers", {}, token);
    std::vector<int> fds(4, -1);
    int closedByServer = 0;
    double peak = before;
    const auto start = Clock::now();
    while (millisecondsSince(start) < 15'000) {
        for (int &fd : fds) {
            if (fd < 0)
                fd = connectTo(server.port, false);
            const auto sent = ::send(fd, ask.constData(), size_t(ask.size()), MSG_NOSIGNAL);
            if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                ::close(fd);
                fd = -1;
                ++closedByServer;
            }
        }
        peak = std::max(peak, server.rssMb());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (const int fd : fds)
        ::close(fd);
    std::printf("unread answers: lobby %lld bytes; RSS %.1f MB before, peak %.1f MB (+%.1f MB); "
                "%d connections closed by the server\n",
                static_cast<long long>(lobby ? lobby->second.size() : 0), before, peak,
                peak - before, closedByServer);
}

void idleFlood()
{
    ServerUnderTest server;
    if (!server.start(serverExecutable, {"--insecure-fast-hash"}))
        return (void)std::printf("idle flood: server did not start\n");
    std::vector<int> idle;
    for (int i = 0; i < 1000; ++i)
        if (const int fd = connectTo(server.port, false); fd >= 0)
            idle.push_back(fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<double> waits;
    int refused = 0;
    for (int probe = 0; probe < 5; ++probe) {
        const auto start = Clock::now();
        const auto answer = request(server.port, "GET", "/api/health", {}, {}, "127.0.0.2");
        if (answer && answer->first == 200)
            waits.push_back(millisecondsSince(start));
        else
            ++refused;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    int open = 0;
    for (const int fd : idle) {
        char byte;
        const auto got = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        open += got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        ::close(fd);
    }
    std::ranges::sort(waits);
    std::printf("idle flood: %zu idle connections from 127.0.0.1, %d still open after the "
                "probes; health from 127.0.0.2: %zu answered (slowest %.1f ms), %d refused\n",
                idle.size(), open, waits.size(), waits.empty() ? 0.0 : waits.back(), refused);
}

// Sends `body` to /api/auth/login on each connection again as soon as its answer arrives.
struct LoginFlood
{
    quint16 port = 0;
    std::vector<QByteArray> bodies;      // one per connection
    std::vector<const char *> addresses; // one per connection
    int pauseMs = 0;                     // before each login is sent again
    std::atomic<bool> running{true};
    std::atomic<int> answers{0};
    std::atomic<int> tooMany{0};

    void run()
    {
        const int epoll = ::epoll_create1(0);
        std::vector<int> fds(bodies.size(), -1);
        std::vector<QByteArray> in(bodies.size());
        const auto open = [&](std::size_t i) {
            fds[i] = connectTo(port, false, addresses[i]);
            const QByteArray out = requestBytes("POST", "/api/auth/login", bodies[i]);
            ::send(fds[i], out.constData(), size_t(out.size()), MSG_NOSIGNAL);
            epoll_event ev{EPOLLIN, {.u64 = i}};
            ::epoll_ctl(epoll, EPOLL_CTL_ADD, fds[i], &ev);
        };
        for (std::size_t i = 0; i < fds.size(); ++i)
            open(i);
        std::vector<epoll_event> events(fds.size());
        char chunk[65536];
        while (running) {
            const int n = ::epoll_wait(epoll, events.data(), int(events.size()), 50);
            for (int e = 0; e < n; ++e) {
                const std::size_t i = events[std::size_t(e)].data.u64;
                const auto got = ::recv(fds[i], chunk, sizeof chunk, 0);
                if (got > 0)
                    in[i].append(chunk, got);
                int status = 0;
                const bool complete = completeResponse(in[i], &status) > 0;
                if (!complete && got > 0)
                    continue;
                answers += complete;
                tooMany += status == 429;
                in[i].clear();
                ::epoll_ctl(epoll, EPOLL_CTL_DEL, fds[i], nullptr);
                ::close(fds[i]);
                // Each of the 40 connections waits its turn: about pauseMs for each.
                if (pauseMs > 0)
                    std::this_thread::sleep_for(
                        std::chrono::microseconds(pauseMs * 1000 / qsizetype(fds.size())));
                open(i);
            }
        }
        for (const int fd : fds)
            ::close(fd);
        ::close(epoll);
    }
};

void loginBurst(const char *name, int passwordBytes, bool manyAddresses, int pauseMs = 0)
{
    ServerUnderTest server;
    if (!server.start(serverExecutable))
        return (void)std::printf("login burst: server did not start\n");
    signUp(server.port, "Prawdziwa");
    LoginFlood flood;
    flood.port = server.port;
    flood.pauseMs = pauseMs;
    static std::vector<QByteArray> addressTexts;
    addressTexts.clear();
    for (int i = 0; i < 40; ++i)
        addressTexts.push_back(manyAddresses ? "127.0.1." + QByteArray::number(i + 1)
                                             : QByteArray("127.0.0.1"));
    for (int i = 0; i < 40; ++i) {
        flood.bodies.push_back(R"({"email":"duch)" + QByteArray::number(i) +
                               R"(@example.com","password":")" + QByteArray(passwordBytes, 'x') +
                               "\"}");
        flood.addresses.push_back(addressTexts[std::size_t(i)].constData());
    }
    std::thread attacker([&] { flood.run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<double> waits;
    const QByteArray legit = R"({"email":"prawdziwa@example.com","password":"haslo123"})";
    int failed = 0;
    for (int probe = 0; probe < 12; ++probe) {
        const auto start = Clock::now();
        const auto answer = request(server.port, "POST", "/api/auth/login", legit, {}, "127.0.0.2");
        if (answer && answer->first == 200)
            waits.push_back(millisecondsSince(start));
        else
            ++failed;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    flood.running = false;
    attacker.join();
    std::ranges::sort(waits);
    std::printf("login burst (%s): %d bogus answers (%d of them 429); real login from 127.0.0.2: "
                "median %.0f ms, slowest %.0f ms, %d failed\n",
                name, flood.answers.load(), flood.tooMany.load(),
                waits.empty() ? 0.0 : waits[waits.size() / 2], waits.empty() ? 0.0 : waits.back(),
                failed);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    serverExecutable = args.size() > 1 ? args[1] : QStringLiteral(KORVANA_SERVER_EXECUTABLE);
    unreadAnswers();
    idleFlood();
    {
        // The quiet cost of one real login, for comparison.
        ServerUnderTest server;
        if (server.start(serverExecutable)) {
            signUp(server.port, "Prawdziwa");
            const auto start = Clock::now();
            request(server.port, "POST", "/api/auth/login",
                    R"({"email":"prawdziwa@example.com","password":"haslo123"})");
            std::printf("one login on a quiet server: %.0f ms\n", millisecondsSince(start));
        }
    }
    loginBurst("60 KB passwords, one address", 60 * 1024, false);
    loginBurst("60 KB passwords, one address, each again after 20 ms", 60 * 1024, false, 20);
    loginBurst("8-byte passwords, one address", 8, false);
    loginBurst("8-byte passwords, 40 addresses", 8, true);
    return 0;
}
