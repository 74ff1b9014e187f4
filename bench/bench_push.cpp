// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Figures of the server push (held polls) of korvana-server; figures only, never a gate. Each
// figure is one function in `figures` at the end; all run by default, or the ones named on the
// command line.
//   held-polls-at-rest: 5,000 held polls on one server (raw loopback sockets from 25 addresses),
//                       its memory growth and its CPU while nothing changes: while they are held,
//                       and over a minute of 30 s waits that end with 304 and are held again.
//   move-latency:       two headless client players (the client's own managers) in two-person
//                       games on one local server: from the mover's placement answer to the
//                       other's GameManager holding the move, over at least 200 moves, p50 and
//                       p99 with held polls and against a server without them (the timer).
//
// Usage: bench_push [figure ...]

#include "headlessplayer.h"
#include "rules/legality.h"
#include "serverbench.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QTemporaryDir>

#include <sys/epoll.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

using namespace korvana::bench;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Answers that arrived on `fds` within `ms` (counted once a head is complete); with `again`, each
// answered connection sends that request again, as a client keeping a poll held does.
int answersWithin(const std::vector<int> &fds, int ms, QByteArray *sample = nullptr,
                  const QByteArray &again = {})
{
    const int epoll = ::epoll_create1(0);
    for (std::size_t i = 0; i < fds.size(); ++i) {
        epoll_event ev{EPOLLIN, {.u64 = i}};
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, fds[i], &ev);
    }
    std::vector<QByteArray> in(fds.size());
    std::vector<epoll_event> events(fds.size());
    int answered = 0;
    char chunk[4096];
    const auto start = Clock::now();
    while (secondsSince(start) * 1000 < ms && (!again.isEmpty() || answered < int(fds.size()))) {
        const int n = ::epoll_wait(epoll, events.data(), int(events.size()), 100);
        for (int e = 0; e < n; ++e) {
            const std::size_t i = events[std::size_t(e)].data.u64;
            const auto got = ::recv(fds[i], chunk, sizeof chunk, 0);
            if (got > 0)
                in[i].append(chunk, got);
            if (got <= 0 || in[i].contains("\r\n\r\n")) {
                ++answered;
                if (sample && sample->isEmpty())
                    *sample = in[i].left(in[i].indexOf("\r\n\r\n"));
                in[i].clear();
                if (got > 0 && !again.isEmpty())
                    ::send(fds[i], again.constData(), size_t(again.size()), MSG_NOSIGNAL);
                else
                    ::epoll_ctl(epoll, EPOLL_CTL_DEL, fds[i], nullptr);
            }
        }
    }
    ::close(epoll);
    return answered;
}

void heldPollsAtRest()
{
    constexpr int Polls = 5000;
    constexpr int Addresses = 25; // the server admits 256 connections per address
    ServerUnderTest server;
    if (!server.start(QStringLiteral(KORVANA_SERVER_EXECUTABLE), {"--insecure-fast-hash"}))
        return (void)std::printf("held polls: server did not start\n");
    // A game without a time limit where the person is to move: nothing changes.
    const QByteArray token = signUp(server.port, "Czekam");
    const auto created = request(server.port, "POST", "/api/game/session", "{}", token);
    const QByteArray sessionId = created ? jsonText(created->second, "sessionId") : QByteArray();
    request(server.port, "POST", "/api/game/vote-to-start",
            R"({"sessionId":")" + sessionId + R"(","enableBots":true})", token);
    const int probe = connectTo(server.port, true);
    const QByteArray path = "/api/game/session/" + sessionId;
    const QByteArray plain = requestBytes("GET", path, {}, token);
    ::send(probe, plain.constData(), size_t(plain.size()), 0);
    QByteArray head;
    answersWithin({probe}, 3000, &head);
    ::close(probe);
    const qsizetype at = head.indexOf("ETag: ") + 6;
    const QByteArray tag = head.mid(at, head.indexOf("\r\n", at) - at);
    if (tag.isEmpty())
        return (void)std::printf("held polls: no ETag in the answer\n");

    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double before = server.rssMb();
    const QByteArray held = "GET " + path +
                            " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token +
                            "\r\nIf-None-Match: " + tag + "\r\nPrefer: wait=30\r\n\r\n";
    std::vector<int> fds;
    std::vector<QByteArray> addresses;
    for (int a = 0; a < Addresses; ++a)
        addresses.push_back("127.0.2." + QByteArray::number(a + 1));
    const auto opening = Clock::now();
    for (int i = 0; i < Polls; ++i) {
        const int fd = connectTo(server.port, true, addresses[std::size_t(i % Addresses)]);
        if (fd < 0)
            continue;
        ::send(fd, held.constData(), size_t(held.size()), MSG_NOSIGNAL);
        fds.push_back(fd);
    }
    const double openSeconds = secondsSince(opening);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double holding = server.rssMb();
    const double cpuBefore = server.cpuSeconds();
    const auto restStart = Clock::now();
    const int early = answersWithin(fds, 15'000); // nothing changes: nothing comes back
    const double restSeconds = secondsSince(restStart);
    const double cpu = (server.cpuSeconds() - cpuBefore) / restSeconds * 100;
    // Two whole waits: each poll ends with 304 and is held again at once.
    const double cycleCpuBefore = server.cpuSeconds();
    const auto cycleStart = Clock::now();
    const int renewed = answersWithin(fds, 60'000, nullptr, held);
    const double cycleCpu = (server.cpuSeconds() - cycleCpuBefore) / secondsSince(cycleStart) * 100;
    const double afterCycles = server.rssMb();
    for (const int fd : fds)
        ::close(fd);
    std::printf("held polls at rest: %zu held (opened in %.1f s); RSS %.1f MB before, %.1f MB "
                "holding (+%.1f MB, %.1f KB each); CPU %.2f %% of a core over %.0f s at rest, "
                "%d answered early; over 60 s of 30 s waits held again at once: %d answered 304, "
                "CPU %.2f %% of a core, RSS %.1f MB\n",
                fds.size(), openSeconds, before, holding, holding - before,
                (holding - before) * 1024 / double(std::max<std::size_t>(1, fds.size())), cpu,
                restSeconds, early, renewed, cycleCpu, afterCycles);
}

// Runs the event loop until `done`, or false after `timeoutMs`.
bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const auto start = Clock::now();
    while (!done()) {
        if (secondsSince(start) * 1000 > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// 1 to 4 for the seat colours, as on the board.
int colourNumber(const QString &colour)
{
    return int(QStringList{"blue", "yellow", "red", "green"}.indexOf(colour)) + 1;
}

struct Placement
{
    QString pieceId;
    int row = 0;
    int col = 0;
    int rotation = 0;
};

// A legal placement of the player's biggest piece that fits, found with the server's rules; none
// when nothing fits.
std::optional<Placement> biggestLegalMove(const korvana::test::HeadlessPlayer &player)
{
    namespace rules = korvana::rules;
    const auto &state = player.game.gameState();
    const auto &players = state->players;
    const auto me = std::find_if(players.cbegin(), players.cend(),
                                 [&](const auto &p) { return p.id == player.game.myPlayerId(); });
    if (me == players.cend())
        return std::nullopt;
    rules::CellGrid board;
    for (int row = 0; row < rules::BoardSize; ++row)
        for (int col = 0; col < rules::BoardSize; ++col)
            board.set(row, col, int(state->board.value(row).value(col)));
    rules::PieceSet inHand{};
    for (const auto &piece : me->pieces)
        if (const int index = rules::pieceIndex(piece.id); index >= 0 && !piece.placed)
            inHand[std::size_t(index)] = true;
    const auto moves = rules::legalMoves(board, colourNumber(me->color), inHand, true);
    if (moves.empty())
        return std::nullopt;
    const auto move =
        std::max_element(moves.cbegin(), moves.cend(),
                         [](const auto &a, const auto &b) { return a.piece < b.piece; });
    return Placement{rules::pieceCatalogue()[std::size_t(move->piece)].id, move->row, move->col,
                     move->rotation};
}

// Milliseconds from the mover's placement answer to the other player's GameManager holding the
// move, for every placement of whole two-person games, until `moves` are measured.
std::vector<double> moveLatencies(bool heldPolls, int moves)
{
    std::vector<double> samples;
    ServerUnderTest server;
    QStringList extra{"--insecure-fast-hash"};
    if (!heldPolls)
        extra << "--no-held-polls";
    if (!server.start(QStringLiteral(KORVANA_SERVER_EXECUTABLE), extra))
        return samples;
    QTemporaryDir dir;
    const QString url = QStringLiteral("http://127.0.0.1:%1").arg(server.port);
    korvana::test::HeadlessPlayer anna(url, dir.filePath("anna.json"));
    korvana::test::HeadlessPlayer bartek(url, dir.filePath("bartek.json"));
    if (!anna.registerAs("anna") || !bartek.registerAs("bartek"))
        return samples;
    const auto finished = [&] {
        return anna.status() == u"finished" && bartek.status() == u"finished";
    };
    const auto clock = Clock::now();
    const auto now = [&] { return secondsSince(clock) * 1000; };
    while (int(samples.size()) < moves) {
        QCoro::waitFor(anna.game.createSessionTask(std::nullopt));
        if (!anna.game.gameState())
            return samples;
        QCoro::waitFor(bartek.game.joinGameTask(anna.game.gameState()->roomId));
        QCoro::waitFor(anna.game.voteToStartTask(false));
        QCoro::waitFor(bartek.game.voteToStartTask(false));
        while (!finished() && int(samples.size()) < moves) {
            if (!waitUntil([&] { return anna.isMyTurn() || bartek.isMyTurn() || finished(); },
                           10'000))
                return samples;
            if (finished())
                break;
            auto &mover = anna.isMyTurn() ? anna : bartek;
            auto &other = &mover == &anna ? bartek : anna;
            const auto move = biggestLegalMove(mover);
            if (!move) {
                QCoro::waitFor(mover.game.passTurnTask());
                continue;
            }
            // The anchor square is one of the piece's own: the other holds the move once that
            // cell shows the mover's colour.
            const qint64 colour = colourNumber(mover.game.myColorText());
            double seenAt = -1;
            const auto watch =
                QObject::connect(&other.game, &korvana::GameManager::gameStateChanged, [&] {
                    const auto &state = other.game.gameState();
                    if (seenAt < 0 && state &&
                        state->board.value(move->row).value(move->col) == colour)
                        seenAt = now();
                });
            QCoro::waitFor(
                mover.game.placePieceTask(move->pieceId, move->row, move->col, move->rotation));
            const double answeredAt = now();
            const bool placed = !mover.game.errorMessage();
            waitUntil([&] { return seenAt >= 0; }, 10'000);
            QObject::disconnect(watch);
            if (!placed || seenAt < 0) {
                std::printf("move latency: a move was refused or never arrived\n");
                return samples;
            }
            samples.push_back(std::max(0.0, seenAt - answeredAt));
        }
        anna.game.leaveGame();
        bartek.game.leaveGame();
    }
    return samples;
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto at = std::size_t(std::ceil(share * double(values.size()))) - 1;
    return values[std::min(at, values.size() - 1)];
}

void moveLatency()
{
    constexpr int Moves = 200;
    const auto held = moveLatencies(true, Moves);
    const auto timer = moveLatencies(false, Moves);
    if (held.size() < Moves || timer.size() < Moves)
        return (void)std::printf("move latency: only %zu and %zu moves measured\n", held.size(),
                                 timer.size());
    std::printf("move latency (placement answer to the other client holding it), %d moves each: "
                "held polls p50 %.1f ms, p99 %.1f ms; timer p50 %.0f ms, p99 %.0f ms\n",
                Moves, percentile(held, 0.5), percentile(held, 0.99), percentile(timer, 0.5),
                percentile(timer, 0.99));
}

struct Figure
{
    const char *name;
    void (*run)();
};

const Figure figures[] = {
    {"held-polls-at-rest", heldPollsAtRest},
    {"move-latency", moveLatency},
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // One socket per held poll here too: the soft open-file limit goes up to the hard one.
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    const QStringList wanted = QCoreApplication::arguments().mid(1);
    for (const Figure &figure : figures)
        if (wanted.isEmpty() || wanted.contains(QLatin1StringView(figure.name)))
            figure.run();
    return 0;
}
