// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up and idle cost of the client.
//
// BM_StartToFirstFrame: process start to the first drawn frame of `korvana` (offscreen, signed
// out, no server answering) and its peak memory, against bench_startup_peer, a minimal Qt Quick
// Controls program; the two run alternately in the same benchmark so that a busy machine weighs
// on both alike. Reported: medians and the korvana/peer ratios.
//
// BM_IdleLobby: the real client root in this process, signed in on a real korvana-server, in
// the lobby and connected; then KORVANA_IDLE_SECONDS (default 60) of doing nothing: CPU time
// used (all threads of this process) and frames rendered. The lobby reloads its list every 3 s
// and the connection is checked every 15 s; an unchanged screen should render nothing.

#include "appharness.h"
#include "scriptedhttpserver.h"
#include "serverprocess.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
};

// Starts program with the extra environment, waits for its "first frame" line and its exit.
Run runToFirstFrame(const std::string &program, const std::vector<std::string> &extraEnv)
{
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e)
        envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char *> env;
    for (auto &s : envStrings)
        env.push_back(s.data());
    env.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string path = program;
    char *argv[] = {path.data(), nullptr};

    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return {};
    }
    std::string output;
    char buffer[256];
    std::chrono::steady_clock::time_point shown{};
    while (true) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        output.append(buffer, size_t(n));
        if (shown == std::chrono::steady_clock::time_point{} &&
            output.find("first frame") != std::string::npos)
            shown = std::chrono::steady_clock::now();
    }
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (shown == std::chrono::steady_clock::time_point{})
        return {};
    return {true, std::chrono::duration<double>(shown - start).count(),
            double(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_StartToFirstFrame(benchmark::State &state)
{
    QTemporaryDir config;
    const std::vector<std::string> env{
        "QT_QPA_PLATFORM=offscreen", "KORVANA_EXIT_AFTER_FIRST_FRAME=1",
        "XDG_CONFIG_HOME=" + config.path().toStdString(),
        "KORVANA_SERVER_URL=http://127.0.0.1:" + std::to_string(korvana::test::freeTcpPort())};
    std::vector<double> appTimes, peerTimes, appMemory, peerMemory;
    for (auto _ : state) {
        const Run peer = runToFirstFrame(PEER_EXECUTABLE, env);
        const Run app = runToFirstFrame(KORVANA_EXECUTABLE, env);
        if (!peer.ok || !app.ok) {
            state.SkipWithError("a program did not report its first frame");
            break;
        }
        state.SetIterationTime(app.seconds);
        appTimes.push_back(app.seconds * 1000);
        peerTimes.push_back(peer.seconds * 1000);
        appMemory.push_back(app.peakMiB);
        peerMemory.push_back(peer.peakMiB);
    }
    state.counters["korvana_ms"] = median(appTimes);
    state.counters["peer_ms"] = median(peerTimes);
    state.counters["time_ratio"] = median(appTimes) / std::max(1e-9, median(peerTimes));
    state.counters["korvana_MiB"] = median(appMemory);
    state.counters["peer_MiB"] = median(peerMemory);
    state.counters["memory_ratio"] = median(appMemory) / std::max(1e-9, median(peerMemory));
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs the event loop for a while without waking up on its own (QTest::qWait polls).
void idleFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_IdleLobby(benchmark::State &state)
{
    using namespace korvana::test;
    const int seconds = qEnvironmentVariableIsSet("KORVANA_IDLE_SECONDS")
                            ? qEnvironmentVariableIntValue("KORVANA_IDLE_SECONDS")
                            : 60;
    ServerProcess server(QStringLiteral(SERVER_EXECUTABLE));
    if (!server.start()) {
        state.SkipWithError("korvana-server did not start");
        return;
    }
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("store.json"));
    if (!signUpInto(server.baseUrl().toString(), QStringLiteral("idle"), store)) {
        state.SkipWithError("could not register");
        return;
    }
    AppHarness harness(server.baseUrl().toString(), store);
    if (!harness.load() || !harness.waitForScreen(QStringLiteral("lobby")) ||
        !QTest::qWaitFor([&] { return harness.app().connectionManager().isConnected(); }, 5000)) {
        state.SkipWithError("the lobby did not show connected");
        return;
    }
    idleFor(std::chrono::seconds(4)); // fades and first reloads settle

    int frames = 0;
    QObject::connect(harness.window(), &QQuickWindow::frameSwapped, harness.window(),
                     [&frames] { ++frames; });
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        idleFor(std::chrono::seconds(seconds));
        cpu = processCpuSeconds() - cpuStart;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.SetIterationTime(wall);
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["cpu_ms"] = cpu * 1000;
    state.counters["frames"] = frames;
    state.counters["idle_s"] = wall;
}
BENCHMARK(BM_IdleLobby)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
