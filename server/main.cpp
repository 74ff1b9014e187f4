// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvana-server: the game server that the Korvana client plays on.

#include "api/serverapp.h"
#include "store/backup.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop reads the byte and quits.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

bool installSignalHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// Every connection is an open file: the soft limit (often 1024) goes up to the hard one, and the
// connection cap stays below what is left, or accepting would fail.
int connectionsTheFileLimitAllows()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    constexpr rlim_t Reserved = 64; // database, signals, logs
    return int(std::clamp<rlim_t>(limit.rlim_cur, 2 * Reserved, 1 << 20) - Reserved);
}

} // namespace

int main(int argc, char *argv[])
{
    // Qt's own event dispatcher wakes up for sockets more cheaply than the GLib one.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvana-server"));
    std::signal(SIGPIPE, SIG_IGN);

    const auto options = korvana::api::parseServerOptions(QCoreApplication::arguments());
    if (!options) {
        std::fprintf(stderr, "%s\n", qPrintable(options.error()));
        return options.error().startsWith(QStringLiteral("Usage")) ? 0 : 2;
    }
    if (!options->backupPath.isEmpty() && korvana::store::isDatabaseUrl(options->databasePath)) {
        std::fprintf(stderr, "korvana-server: --backup copies a SQLite file; back up a shared "
                             "database with pg_dump\n");
        return 2;
    }
    if (!options->backupPath.isEmpty()) {
        const auto done =
            korvana::store::backUpDatabase(options->databasePath, options->backupPath);
        if (!done) {
            std::fprintf(stderr, "korvana-server: backup failed: %s\n", qPrintable(done.error()));
            return 1;
        }
        std::fprintf(stderr, "korvana-server: %s copied to %s\n", qPrintable(options->databasePath),
                     qPrintable(options->backupPath));
        return 0;
    }
    if (!installSignalHandlers()) {
        std::perror("korvana-server: signal handlers");
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });

    auto settings = *options;
    settings.maxConnections = std::min(settings.maxConnections, connectionsTheFileLimitAllows());
    korvana::api::ServerApp server(settings);
    const auto url = server.start();
    if (!url) {
        std::fprintf(stderr, "korvana-server: %s\n", qPrintable(url.error()));
        return 1;
    }
    // Tests and scripts read the port from this first line.
    std::printf("listening on %s\n", qPrintable(url->toString()));
    std::fflush(stdout);

    const int code = QCoreApplication::exec();
    server.shutdown();
    std::fprintf(stderr, "korvana-server: stopped, everything saved\n");
    return code;
}
