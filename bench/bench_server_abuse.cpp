// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One abusive client against korvana-server, as a process over raw loopback sockets, and what
// it costs everyone else (figures only, never a gate):
//   unread answers:  4 connections ask for a 300-room lobby every 20 ms and read nothing, for
//                    15 s (reconnecting when closed); the server's memory growth.
//   idle flood:      one address opens 1,000 idle connections; a health request from another
//                    address on a fresh connection, and how long it waits.
//   login burst:     40 logins at a time to unknown e-mails, each sent again when answered (60 KB
//                    passwords, at once or after 20 ms; short ones; short ones from 40
//                    addresses); a real login from another address meanwhile.
//   hash slots:      4 or 8 addresses keep right-password logins in flight; other people's
//                    logins and a registration meanwhile.
//   finished rooms:  an outsider asks to join 2,000 finished rooms; the server's memory growth.
//   many abusers:    many addresses at once (one function per figure, with Crowd below):
//                    never-reading pipelined connections and the health probes of another
//                    address; busy connections at the server's cap and a newcomer's share;
//                    slow connections behind one address and their neighbours' share.
//
// Usage: bench_server_abuse [korvana-server executable, default the one built here]

#include "serverbench.h"

#include <QCoreApplication>

#include <poll.h>
#include <sys/epoll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
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

// Many connections from many loopback addresses, kept open (opened again when the server closes
// one) and never read, each sent `payload` once.
struct Crowd
{
    quint16 port = 0;
    QByteArray payload;
    std::vector<QByteArray> addresses; // one connection each
    std::atomic<bool> running{true};
    std::atomic<int> reopened{0};
    std::atomic<int> open{0};

    void run()
    {
        const int epoll = ::epoll_create1(0);
        std::vector<int> fds(addresses.size(), -1);
        const auto connect = [&](std::size_t i) {
            fds[i] = connectTo(port, true, addresses[i].constData());
            if (fds[i] < 0)
                return;
            // Blocking, so the whole payload goes out (the kernel holds what the server has not
            // read); then nothing is read.
            timeval limit{1, 0};
            ::setsockopt(fds[i], SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
            [[maybe_unused]] const auto sent =
                ::send(fds[i], payload.constData(), size_t(payload.size()), MSG_NOSIGNAL);
            epoll_event ev{EPOLLRDHUP, {.u64 = i}};
            ::epoll_ctl(epoll, EPOLL_CTL_ADD, fds[i], &ev);
        };
        for (std::size_t i = 0; i < fds.size() && running; ++i)
            connect(i);
        open = int(std::ranges::count_if(fds, [](int fd) { return fd >= 0; }));
        std::vector<epoll_event> events(1024);
        while (running) {
            const int n = ::epoll_wait(epoll, events.data(), int(events.size()), 50);
            for (int e = 0; e < n && running; ++e) {
                const std::size_t i = events[std::size_t(e)].data.u64;
                ::epoll_ctl(epoll, EPOLL_CTL_DEL, fds[i], nullptr);
                ::close(fds[i]);
                ++reopened;
                connect(i);
            }
        }
        for (const int fd : fds)
            if (fd >= 0)
                ::close(fd);
        ::close(epoll);
    }
};

// `count` addresses of the form 127.0.<group>.x, each `perAddress` times.
std::vector<QByteArray> crowdAddresses(int group, int count, int perAddress)
{
    std::vector<QByteArray> out;
    for (int a = 0; a < count; ++a)
        for (int c = 0; c < perAddress; ++c)
            out.push_back("127.0." + QByteArray::number(group) + '.' + QByteArray::number(a + 1));
    return out;
}

// One GET on a fresh connection from `from`, given up after `timeoutMs`; the milliseconds it
// took, or none.
std::optional<double> probe(quint16 port, const QByteArray &path, const char *from, int timeoutMs)
{
    const auto start = Clock::now();
    const int fd = connectTo(port, false, from);
    if (fd < 0)
        return std::nullopt;
    const QByteArray out = requestBytes("GET", path);
    QByteArray in;
    char chunk[4096];
    bool sent = false;
    while (millisecondsSince(start) < timeoutMs) {
        pollfd p{fd, short(sent ? POLLIN : POLLOUT), 0};
        ::poll(&p, 1, std::max(1, int(timeoutMs - millisecondsSince(start))));
        if (!sent && (p.revents & POLLOUT)) {
            sent = ::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL) == out.size();
            continue;
        }
        if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const auto got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0)
            break;
        in.append(chunk, got);
        int status = 0;
        if (completeResponse(in, &status)) {
            ::close(fd);
            return status == 200 ? std::optional(millisecondsSince(start)) : std::nullopt;
        }
    }
    ::close(fd);
    return std::nullopt;
}

struct Probes
{
    std::vector<double> waits;
    int failed = 0;

    void add(std::optional<double> wait) { wait ? waits.push_back(*wait) : void(++failed); }
    [[nodiscard]] QByteArray text() const
    {
        std::vector<double> sorted = waits;
        std::ranges::sort(sorted);
        return QByteArray::number(qsizetype(sorted.size())) + " of " +
               QByteArray::number(qsizetype(sorted.size()) + failed) + " answered (median " +
               QByteArray::number(sorted.empty() ? 0.0 : sorted[sorted.size() / 2], 'f', 0) +
               " ms, slowest " + QByteArray::number(sorted.empty() ? 0.0 : sorted.back(), 'f', 0) +
               " ms)";
    }
};

// `addresses` x 256 connections, each sending 278 pipelined GET /api/game/pieces and reading
// nothing, for 15 s; a health probe from another address every second (3 s to answer).
void neverReadingPipelined(int addresses, const char *before)
{
    ServerUnderTest server;
    if (!server.start(serverExecutable, {"--insecure-fast-hash"}))
        return (void)std::printf("never-reading pipelined: server did not start\n");
    const double rssBefore = server.rssMb();
    Crowd crowd;
    crowd.port = server.port;
    crowd.payload = requestBytes("GET", "/api/game/pieces").repeated(278);
    crowd.addresses = crowdAddresses(3, addresses, 256);
    std::thread attacker([&] { crowd.run(); });
    Probes probes;
    double peak = rssBefore;
    const auto start = Clock::now();
    while (millisecondsSince(start) < 15'000) {
        probes.add(probe(server.port, "/api/health", "127.0.9.1", 3000));
        peak = std::max(peak, server.rssMb());
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        peak = std::max(peak, server.rssMb());
    }
    crowd.running = false;
    attacker.join();
    std::printf("never-reading pipelined, %d addresses x 256 connections x 278 requests: RSS "
                "%.1f MB before, peak +%.1f MB; health from a further address: %s; %d "
                "connections closed by the server (last round: %s)\n",
                addresses, rssBefore, peak - rssBefore, probes.text().constData(),
                crowd.reopened.load(), before);
}

// Runs the crowd until all its connections are up, asks for health `count` times from `address`
// meanwhile, then stops the crowd.
Probes probedWhileCrowded(Crowd &crowd, const char *address, int count, int pauseMs)
{
    std::thread attacker([&] { crowd.run(); });
    while (crowd.open == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Probes probes;
    for (int i = 0; i < count; ++i) {
        probes.add(probe(crowd.port, "/api/health", address, 3000));
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
    crowd.running = false;
    attacker.join();
    return probes;
}

// 32 addresses x 256 connections that keep the server busy (one byte of a request sent, or a
// held poll), opened again when closed; 50 health requests from a 33rd address.
void busyAtTheCap(bool heldPolls, const char *before)
{
    ServerUnderTest server;
    if (!server.start(serverExecutable, {"--insecure-fast-hash"}))
        return (void)std::printf("busy at the cap: server did not start\n");
    QByteArray payload = "G";
    if (heldPolls) {
        const QByteArray token = signUp(server.port, "Czekacz");
        const auto created = request(server.port, "POST", "/api/game/session", "{}", token);
        const QByteArray path =
            "/api/game/session/" + (created ? jsonText(created->second, "sessionId") : "");
        const int fd = connectTo(server.port, true);
        const QByteArray ask = requestBytes("GET", path, {}, token);
        [[maybe_unused]] const auto sent = ::send(fd, ask.constData(), size_t(ask.size()), 0);
        QByteArray in;
        char chunk[65536];
        while (!completeResponse(in))
            if (const auto got = ::recv(fd, chunk, sizeof chunk, 0); got > 0)
                in.append(chunk, got);
            else
                break;
        ::close(fd);
        const qsizetype at = in.indexOf("ETag: ") + 6;
        const QByteArray tag = in.mid(at, in.indexOf("\r\n", at) - at);
        payload = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token +
                  "\r\nIf-None-Match: " + tag + "\r\nPrefer: wait=30\r\n\r\n";
    }
    Crowd crowd;
    crowd.port = server.port;
    crowd.payload = payload;
    crowd.addresses = crowdAddresses(4, 32, 256);
    const Probes probes = probedWhileCrowded(crowd, "127.0.9.33", 50, 100);
    std::printf("busy at the cap (%s), 32 addresses x 256: %d connections open; a 33rd "
                "address: %s; %d attacker connections closed to make room (last round: %s)\n",
                heldPolls ? "held polls" : "one byte of a request", crowd.open.load(),
                probes.text().constData(), crowd.reopened.load(), before);
}

// One address (a school behind one NAT) where 256 connections send one byte of a request and
// wait; ten health requests from that address and how many are answered.
void slowNeighbours()
{
    ServerUnderTest server;
    if (!server.start(serverExecutable, {"--insecure-fast-hash"}))
        return (void)std::printf("slow neighbours: server did not start\n");
    Crowd crowd;
    crowd.port = server.port;
    crowd.payload = "G";
    crowd.addresses = crowdAddresses(5, 1, 256);
    const Probes probes = probedWhileCrowded(crowd, "127.0.5.1", 10, 200);
    std::printf("slow neighbours, 256 slow connections from one address: the others on that "
                "address: %s (last round: 0 of 10)\n",
                probes.text().constData());
}

// Hash slots: `addresses` addresses each keep 4 right-password logins to 4 accounts of their
// own in flight (each sent again as soon as it is answered); meanwhile 20 other people log in
// one after another, each from an address of their own, then one more person registers.
// Last round: with 4 addresses 2 of 20 logins succeeded and the registration got 429; with 8
// addresses 0 of 20.
void hashSlots(int addresses)
{
    ServerUnderTest server;
    if (!server.start(serverExecutable))
        return (void)std::printf("hash slots: server did not start\n");
    LoginFlood flood;
    flood.port = server.port;
    static std::vector<QByteArray> addressTexts;
    addressTexts.clear();
    for (int a = 0; a < addresses; ++a)
        addressTexts.push_back("127.0.3." + QByteArray::number(a + 1));
    for (int a = 0; a < addresses; ++a)
        for (int i = 0; i < 4; ++i) {
            const QByteArray name = "Zajety" + QByteArray::number(a) + "x" + QByteArray::number(i);
            signUp(server.port, name);
            flood.bodies.push_back(R"({"email":")" + name.toLower() +
                                   R"(@example.com","password":"haslo123"})");
            flood.addresses.push_back(addressTexts[std::size_t(a)].constData());
        }
    for (int i = 0; i < 20; ++i)
        signUp(server.port, "Inna" + QByteArray::number(i));
    std::thread attacker([&] { flood.run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int succeeded = 0;
    double slowest = 0;
    for (int i = 0; i < 20; ++i) {
        const QByteArray from = "127.0.4." + QByteArray::number(i + 1);
        const auto start = Clock::now();
        const auto answer = request(server.port, "POST", "/api/auth/login",
                                    R"({"email":"inna)" + QByteArray::number(i) +
                                        R"(@example.com","password":"haslo123"})",
                                    {}, from.constData());
        slowest = std::max(slowest, millisecondsSince(start));
        succeeded += answer && answer->first == 200;
    }
    const auto start = Clock::now();
    const auto registered =
        request(server.port, "POST", "/api/auth/register",
                R"({"username":"Nowa","email":"nowa@example.com","password":"haslo123"})", {},
                "127.0.4.99");
    const double registrationMs = millisecondsSince(start);
    flood.running = false;
    attacker.join();
    std::printf("hash slots (%d addresses x 4 logins in flight; last round: %s): other people's "
                "logins %d of 20 succeeded, slowest %.0f ms; a registration answered %d in "
                "%.0f ms; the flood got %d answers, %d of them 429\n",
                addresses, addresses == 4 ? "2 of 20, registration 429" : "0 of 20", succeeded,
                slowest, registered ? registered->first : 0, registrationMs, flood.answers.load(),
                flood.tooMany.load());
}

// Requests one after another on one kept-alive connection; the status and the body.
struct KeptAlive
{
    int fd = -1;
    quint16 port = 0;
    ~KeptAlive() { ::close(fd); }
    std::pair<int, QByteArray> send(const QByteArray &method, const QByteArray &path,
                                    const QByteArray &body, const QByteArray &token)
    {
        if (fd < 0)
            fd = connectTo(port, true);
        const QByteArray out = requestBytes(method, path, body, token);
        if (::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL) != out.size()) {
            ::close(fd);
            fd = -1;
            return {0, {}};
        }
        QByteArray in;
        char chunk[65536];
        int status = 0;
        while (!completeResponse(in, &status)) {
            const auto n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                ::close(fd);
                fd = -1;
                return {0, {}};
            }
            in.append(chunk, n);
        }
        return {status, in.mid(in.indexOf("\r\n\r\n") + 4)};
    }
};

// Finished rooms: 2,000 games against bots end (the person passes until the bots are out), the
// server restarts so that they are out of memory, and a signed-in outsider asks to join each
// of them. Last round: +9.3 MB, for the 5 minutes they stayed in memory.
void finishedRoomJoins()
{
    ServerUnderTest server;
    if (!server.start(serverExecutable, {"--insecure-fast-hash", "--bot-delay-ms", "0"}))
        return (void)std::printf("finished rooms: server did not start\n");
    constexpr int Games = 2000;
    const QByteArray player = signUp(server.port, "Gracz");
    KeptAlive link{-1, server.port};
    const auto start = Clock::now();
    for (int game = 0; game < Games; ++game) {
        const auto seat = link.send("POST", "/api/game/session", "{}", player);
        const QByteArray session = R"({"sessionId":")" + jsonText(seat.second, "sessionId") + '"';
        link.send("POST", "/api/game/vote-to-start", session + R"(,"enableBots":true})", player);
        for (int turn = 0; turn < 1000; ++turn) {
            const auto passed = link.send("POST", "/api/game/pass", session + '}', player);
            if (passed.first != 200 || passed.second.contains(R"("gameStatus":"finished")"))
                break;
        }
    }
    const double setUpSeconds = millisecondsSince(start) / 1000;
    server.process.terminate();
    server.process.waitForFinished(10'000);
    if (!server.start(serverExecutable, {"--insecure-fast-hash"}))
        return (void)std::printf("finished rooms: server did not start again\n");
    const QByteArray outsider = signUp(server.port, "Obcy");
    KeptAlive asks{-1, server.port};
    asks.send("GET", "/api/health", {}, {});
    const double before = server.rssMb();
    double peak = before;
    int refused = 0;
    const auto attack = Clock::now();
    for (int room = 1; room <= Games; ++room) {
        const auto answer =
            asks.send("POST", "/api/game/join",
                      R"({"roomId":"room-)" + QByteArray::number(room) + "\"}", outsider);
        refused += answer.first == 404;
        if (room % 100 == 0)
            peak = std::max(peak, server.rssMb());
    }
    std::printf("finished rooms (last round +9.3 MB): %d games set up in %.0f s; an outsider's "
                "%d joins: %d refused with 404 in %.0f ms; RSS %.1f MB before, peak %.1f MB "
                "(+%.1f MB)\n",
                Games, setUpSeconds, Games, refused, millisecondsSince(attack), before, peak,
                peak - before);
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
    hashSlots(4);
    hashSlots(8);
    finishedRoomJoins();
    neverReadingPipelined(4, "+332 MB, 4 of 7 probes timed out");
    neverReadingPipelined(20, "+1,060 MB, every probe timed out for 30 s");
    busyAtTheCap(false, "6 of 50 answered");
    busyAtTheCap(true, "0 of 49 answered");
    slowNeighbours();
    return 0;
}
