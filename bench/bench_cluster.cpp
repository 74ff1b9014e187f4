// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Figures of several korvana-server instances on one PostgreSQL behind HAProxy, as
// scripts/cluster starts them on this machine (needs PostgreSQL 15 and HAProxy):
//   - plain polls per second on 1 instance and spread over 3 (the ratio), and through the proxy;
//   - held polls woken by one move: all on one instance, spread over three owners, and held on
//     instances that do not own the room (woken through the database's notifications);
//   - a move's way to the other player through the proxy (held polls), p50 and p99;
//   - the time until a room is answered again after its owner was killed.
// Usage: bench_cluster [seconds per load figure, default 3]. Figures, never a gate.

#include "serverbench.h"

#include <QCoreApplication>
#include <QTcpServer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/epoll.h>
#include <thread>
#include <vector>

using namespace korvana::bench;

namespace {

constexpr int LeaseMs = 3000;
QString clusterDir;

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

QByteArray cluster(const QStringList &arguments, quint16 proxyPort)
{
    QProcess process;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("KORVANA_CLUSTER_DIR", clusterDir);
    env.insert("KORVANA_CLUSTER_PORT", QString::number(proxyPort));
    env.insert("KORVANA_SERVER", QStringLiteral(KORVANA_SERVER_EXECUTABLE));
    env.insert("KORVANA_CLUSTER_ARGS",
               QStringLiteral("--insecure-fast-hash --bot-delay-ms 0 --lease-ms %1").arg(LeaseMs));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KORVANA_SOURCE_DIR "/scripts/cluster"), arguments);
    process.waitForFinished(120'000);
    return process.readAllStandardOutput() + process.readAllStandardError();
}

struct Instance
{
    QByteArray name;
    qint64 pid = 0;
    quint16 port = 0;
};

// A person alone with three bots, to move: the game stands still until they pass.
struct Seat
{
    QByteArray token, sessionId, roomId;
};

Seat seatOn(quint16 port, const QByteArray &name)
{
    Seat s;
    s.token = signUp(port, name);
    const auto created = request(port, "POST", "/api/game/session", "{}", s.token);
    s.sessionId = created ? jsonText(created->second, "sessionId") : QByteArray();
    s.roomId = created ? jsonText(created->second, "roomId") : QByteArray();
    request(port, "POST", "/api/game/vote-to-start",
            R"({"sessionId":")" + s.sessionId + R"(","enableBots":true})", s.token);
    return s;
}

QByteArray tagOf(quint16 port, const Seat &s)
{
    const int fd = connectTo(port, true);
    const QByteArray out = requestBytes("GET", "/api/game/session/" + s.sessionId, {}, s.token);
    ::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL);
    QByteArray in;
    char chunk[65536];
    while (!completeResponse(in)) {
        const auto n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        in.append(chunk, n);
    }
    ::close(fd);
    const qsizetype at = in.indexOf("ETag: ") + 6;
    return in.mid(at, in.indexOf("\r\n", at) - at);
}

// Keep-alive connections, each with one request in flight, for `seconds`: answers per second.
double pollsPerSecond(const std::vector<std::pair<quint16, QByteArray>> &clients, double seconds)
{
    const int epoll = ::epoll_create1(0);
    std::vector<int> fds;
    std::vector<QByteArray> in(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        fds.push_back(connectTo(clients[i].first, false));
        epoll_event ev{EPOLLIN, {.u64 = i}};
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, fds[i], &ev);
        ::send(fds[i], clients[i].second.constData(), size_t(clients[i].second.size()),
               MSG_NOSIGNAL);
    }
    std::vector<epoll_event> events(clients.size());
    char chunk[65536];
    qint64 done = 0;
    const auto start = Clock::now();
    while (msSince(start) < seconds * 1000) {
        const int n = ::epoll_wait(epoll, events.data(), int(events.size()), 100);
        for (int e = 0; e < n; ++e) {
            const std::size_t i = events[std::size_t(e)].data.u64;
            for (;;) {
                const auto got = ::recv(fds[i], chunk, sizeof chunk, 0);
                if (got <= 0)
                    break;
                in[i].append(chunk, got);
            }
            while (const qsizetype length = completeResponse(in[i])) {
                in[i].remove(0, length);
                ++done;
                ::send(fds[i], clients[i].second.constData(), size_t(clients[i].second.size()),
                       MSG_NOSIGNAL);
            }
        }
    }
    const double elapsed = msSince(start) / 1000;
    for (const int fd : fds)
        ::close(fd);
    ::close(epoll);
    return double(done) / elapsed;
}

// Opens held polls; returns their sockets.
std::vector<int> hold(quint16 port, const Seat &s, const QByteArray &tag, int count, int &address)
{
    const QByteArray held = "GET /api/game/session/" + s.sessionId +
                            " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + s.token +
                            "\r\nIf-None-Match: " + tag + "\r\nPrefer: wait=30\r\n\r\n";
    std::vector<int> fds;
    for (int i = 0; i < count; ++i) {
        // The server admits 256 connections per address.
        const QByteArray from = "127.0.3." + QByteArray::number(1 + (address++ / 200) % 250);
        const int fd = connectTo(port, true, from.constData());
        if (fd < 0)
            continue;
        ::send(fd, held.constData(), size_t(held.size()), MSG_NOSIGNAL);
        fds.push_back(fd);
    }
    return fds;
}

// Milliseconds until every socket has an answer (or `ms` passed); closes them.
double allAnswered(std::vector<int> &fds, int ms, int *answered)
{
    const int epoll = ::epoll_create1(0);
    for (std::size_t i = 0; i < fds.size(); ++i) {
        epoll_event ev{EPOLLIN, {.u64 = i}};
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, fds[i], &ev);
    }
    std::vector<epoll_event> events(fds.size());
    char chunk[8192];
    *answered = 0;
    const auto start = Clock::now();
    while (msSince(start) < ms && *answered < int(fds.size())) {
        const int n = ::epoll_wait(epoll, events.data(), int(events.size()), 50);
        for (int e = 0; e < n; ++e) {
            const std::size_t i = events[std::size_t(e)].data.u64;
            if (::recv(fds[i], chunk, sizeof chunk, 0) >= 0) {
                ++*answered;
                ::epoll_ctl(epoll, EPOLL_CTL_DEL, fds[i], nullptr);
            }
        }
    }
    const double took = msSince(start);
    for (const int fd : fds)
        ::close(fd);
    fds.clear();
    ::close(epoll);
    return took;
}

void pass(quint16 port, const Seat &s)
{
    request(port, "POST", "/api/game/pass", R"({"sessionId":")" + s.sessionId + R"("})", s.token);
}

double percentile(std::vector<double> v, int p)
{
    if (v.empty())
        return 0;
    std::ranges::sort(v);
    return v[std::min(v.size() - 1, v.size() * std::size_t(p) / 100)];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    QTemporaryDir dir;
    clusterDir = dir.filePath("cluster");
    quint16 proxy = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        proxy = probe.serverPort();
    }
    const QByteArray up = cluster({"up", "3"}, proxy);
    const QByteArray status = cluster({"status"}, proxy);
    std::vector<Instance> instances;
    for (const QByteArray &line : status.split('\n')) {
        const auto parts = line.split(' ');
        if (parts.size() == 4 && parts[3] == "up")
            instances.push_back({parts[0], parts[1].toLongLong(), quint16(parts[2].toUInt())});
    }
    if (instances.size() != 3) {
        std::printf("cluster did not start:\n%s\n", up.constData());
        cluster({"down"}, proxy);
        return 1;
    }
    std::printf("3 instances on PostgreSQL 15 behind HAProxy 2.6, lease %d ms, %u cores\n", LeaseMs,
                std::thread::hardware_concurrency());

    // A standing game owned by each instance.
    std::vector<Seat> seats;
    for (const auto &instance : instances)
        seats.push_back(seatOn(instance.port, "Gracz" + instance.name));
    const auto poll = [](const Seat &s) {
        return requestBytes("GET", "/api/game/session/" + s.sessionId, {}, s.token);
    };

    // Plain polls: 48 keep-alive clients.
    constexpr int Clients = 48;
    std::vector<std::pair<quint16, QByteArray>> one, three, proxied;
    for (int i = 0; i < Clients; ++i) {
        one.push_back({instances[0].port, poll(seats[0])});
        three.push_back({instances[std::size_t(i % 3)].port, poll(seats[std::size_t(i % 3)])});
        proxied.push_back({proxy, poll(seats[std::size_t(i % 3)])});
    }
    const double r1 = pollsPerSecond(one, seconds);
    const double r3 = pollsPerSecond(three, seconds);
    const double rp = pollsPerSecond(proxied, seconds);
    std::printf("plain polls, %d clients: 1 instance %.0f/s, 3 instances %.0f/s (x%.2f), "
                "3 through the proxy %.0f/s\n",
                Clients, r1, r3, r3 / r1, rp);

    // Held polls woken by one move: 3000 on one owner, 1000 on each of three owners, and 1000
    // held on the two instances that do not own the room.
    constexpr int Held = 3000;
    int address = 0;
    const auto wake = [&](const char *what, std::vector<std::pair<std::size_t, std::size_t>> plan,
                          const std::vector<std::size_t> &moved) {
        // plan: (instance holding, seat polled) per share.
        std::vector<QByteArray> tags;
        for (const auto &s : seats)
            tags.push_back(tagOf(instances[0].port, s));
        std::vector<int> fds;
        for (const auto &[holder, seat] : plan) {
            auto more = hold(instances[holder].port, seats[seat], tags[seat],
                             Held / int(plan.size()), address);
            fds.insert(fds.end(), more.begin(), more.end());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const std::size_t opened = fds.size();
        for (const std::size_t seat : moved)
            pass(instances[seat].port, seats[seat]);
        int answered = 0;
        const double took = allAnswered(fds, 20'000, &answered);
        std::printf("%zu held polls, %s: %d answered %.0f ms after the move\n", opened, what,
                    answered, took);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };
    wake("on the owner (1 instance)", {{0, 0}}, {0});
    wake("on their rooms' owners (3 instances)", {{0, 0}, {1, 1}, {2, 2}}, {0, 1, 2});
    wake("on the 2 instances that do not own the room", {{1, 0}, {2, 0}}, {0});

    // A move's way to the other player, through the proxy: two people and two bots, each
    // holding a poll while the other passes (bots place in between, so the game goes on).
    std::vector<double> ways;
    for (int game = 0; game < 8 && ways.size() < 200; ++game) {
        const QByteArray n = QByteArray::number(game);
        Seat a, b;
        a.token = signUp(proxy, "Ala" + n);
        b.token = signUp(proxy, "Bartek" + n);
        const auto created = request(proxy, "POST", "/api/game/session", "{}", a.token);
        a.sessionId = jsonText(created->second, "sessionId");
        a.roomId = jsonText(created->second, "roomId");
        const auto joined = request(proxy, "POST", "/api/game/join",
                                    R"({"roomId":")" + a.roomId + R"("})", b.token);
        b.sessionId = jsonText(joined->second, "sessionId");
        request(proxy, "POST", "/api/game/vote-to-start",
                R"({"sessionId":")" + b.sessionId + R"(","enableBots":true})", b.token);
        for (int turn = 0; turn < 60; ++turn) {
            const Seat &mover = turn % 2 ? b : a, &watcher = turn % 2 ? a : b;
            const auto state =
                request(proxy, "GET", "/api/game/session/" + mover.sessionId, {}, mover.token);
            if (!state || state->second.contains("\"gameStatus\":\"finished\""))
                break;
            int dummy = 0;
            std::vector<int> fds = hold(proxy, watcher, tagOf(proxy, watcher), 1, dummy);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const auto sent = Clock::now();
            pass(proxy, mover);
            int answered = 0;
            allAnswered(fds, 5000, &answered);
            if (answered)
                ways.push_back(msSince(sent));
        }
    }
    std::printf("a move to the other player through the proxy (held poll): %zu moves, "
                "p50 %.1f ms, p99 %.1f ms\n",
                ways.size(), percentile(ways, 50), percentile(ways, 99));

    // Takeover: the owner of a room is killed; its room is polled through the proxy.
    const Seat &orphan = seats[2];
    ::kill(pid_t(instances[2].pid), SIGKILL);
    const auto killed = Clock::now();
    double servedAfter = -1;
    while (msSince(killed) < 5.0 * LeaseMs) {
        const auto answer =
            request(proxy, "GET", "/api/game/session/" + orphan.sessionId, {}, orphan.token);
        if (answer && answer->first == 200) {
            servedAfter = msSince(killed);
            break;
        }
    }
    std::printf("owner killed: its room answered again after %.0f ms (lease %d ms)\n", servedAfter,
                LeaseMs);
    cluster({"down"}, proxy);
    return 0;
}
