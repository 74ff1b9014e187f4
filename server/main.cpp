// korvana-server: the game server that the Korvana client plays on.

#include "api/serverapp.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
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

    korvana::api::ServerApp server(*options);
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
