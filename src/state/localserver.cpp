// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "localserver.h"

#include "healthprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <csignal>
#include <sys/prctl.h>

namespace korvana {
namespace {

constexpr qsizetype outputLimit = 64 * 1024;

// The last line the server wrote to standard error, without its program-name prefix.
QString lastLine(const QByteArray &output)
{
    const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    QString line = lines.isEmpty() ? QString() : lines.constLast().trimmed();
    const QString prefix = QStringLiteral("korvana-server: ");
    if (line.startsWith(prefix))
        line = line.mid(prefix.size());
    return line;
}

} // namespace

LocalServer::LocalServer(QNetworkAccessManager &network, Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_network(network)
{
    m_startDeadline.setSingleShot(true);
    connect(&m_startDeadline, &QTimer::timeout, this, [this] {
        if (m_state != State::Starting)
            return;
        stop();
        fail(QCoreApplication::translate("LocalServer",
                                         "Serwer na tym komputerze nie uruchomił się w ciągu %1 s.")
                 .arg(m_options.startTimeoutMs / 1000));
    });
}

LocalServer::~LocalServer()
{
    stop();
}

QString LocalServer::findProgram() const
{
    for (const QString &dir : m_options.searchDirs) {
        const QFileInfo candidate(QDir(dir).filePath(m_options.programName));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return m_options.searchPath ? QStandardPaths::findExecutable(m_options.programName) : QString();
}

QString LocalServer::databasePath() const
{
    if (!m_options.databasePath.isEmpty())
        return m_options.databasePath;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/server.sqlite");
}

void LocalServer::start(bool allInterfaces)
{
    stop();
    m_allInterfaces = allInterfaces;
    m_errorMessage.clear();
    setState(State::Starting,
             QCoreApplication::translate("LocalServer", "Szukanie serwera na tym komputerze..."));
    probeThenLaunch(m_epoch);
}

QCoro::Task<> LocalServer::probeThenLaunch(quint64 epoch)
{
    QPointer self(this);
    const quint16 port = m_options.preferredPort;
    auto probing = probeHealth(&m_network, QStringLiteral("http://127.0.0.1:%1").arg(port),
                               m_options.probeTimeoutMs);
    const HealthProbe probe = co_await std::move(probing);
    if (!self || epoch != m_epoch)
        co_return;
    if (probe.outcome == HealthProbe::Outcome::Korvana) {
        if (m_allInterfaces) {
            fail(QCoreApplication::translate(
                     "LocalServer", "Na porcie %1 działa już serwer Korvana uruchomiony poza "
                                    "aplikacją, więc nie można go udostępnić w sieci. Zamknij go "
                                    "i spróbuj ponownie.")
                     .arg(port));
            co_return;
        }
        m_port = port;
        m_url = QStringLiteral("http://127.0.0.1:%1").arg(port);
        setState(State::Running,
                 QCoreApplication::translate("LocalServer", "Serwer na tym komputerze działa."));
        co_return;
    }
    // Refused: the port is free. Anything else holds it: the server takes a free one.
    launch(probe.outcome == HealthProbe::Outcome::NoAnswer ? port : 0);
}

void LocalServer::launch(quint16 port)
{
    const QString program = findProgram();
    if (program.isEmpty()) {
        QStringList places = m_options.searchDirs;
        if (m_options.searchPath)
            places << QStringLiteral("PATH");
        fail(QCoreApplication::translate(
                 "LocalServer", "Nie znaleziono programu %1 (szukano w: %2). Zainstaluj pełny "
                                "pakiet Korvana albo wybierz inny serwer.")
                 .arg(m_options.programName, places.join(QStringLiteral(", "))));
        return;
    }
    const QString db = databasePath();
    if (!QDir().mkpath(QFileInfo(db).absolutePath())) {
        fail(QCoreApplication::translate("LocalServer",
                                         "Nie można utworzyć folderu danych serwera: %1")
                 .arg(QFileInfo(db).absolutePath()));
        return;
    }

    m_launchPort = port;
    m_stdout.clear();
    m_stderr.clear();
    m_process = std::make_unique<QProcess>();
    // The server goes with the client even if the client dies without stopping it.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    connect(m_process.get(), &QProcess::readyReadStandardOutput, this, &LocalServer::readOutput);
    connect(m_process.get(), &QProcess::readyReadStandardError, this, &LocalServer::readOutput);
    connect(m_process.get(), &QProcess::finished, this, &LocalServer::processEnded);
    connect(m_process.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || !m_process)
            return;
        const QString reason = m_process->errorString();
        m_startDeadline.stop();
        // Deleted later: this runs inside the process's own signal.
        m_process.release()->deleteLater();
        fail(QCoreApplication::translate("LocalServer", "Nie można uruchomić programu %1: %2")
                 .arg(m_options.programName, reason));
    });
    setState(State::Starting, QCoreApplication::translate(
                                  "LocalServer", "Uruchamianie serwera na tym komputerze..."));
    m_startDeadline.start(m_options.startTimeoutMs);
    m_process->start(program,
                     {QStringLiteral("--host"),
                      m_allInterfaces ? QStringLiteral("0.0.0.0") : QStringLiteral("127.0.0.1"),
                      QStringLiteral("--port"), QString::number(port), QStringLiteral("--db"), db});
}

void LocalServer::readOutput()
{
    if (!m_process)
        return;
    m_stdout += m_process->readAllStandardOutput();
    m_stderr += m_process->readAllStandardError();
    if (m_stderr.size() > outputLimit)
        m_stderr.remove(0, m_stderr.size() - outputLimit);
    if (m_state != State::Starting) {
        m_stdout.clear();
        return;
    }
    static const QRegularExpression listening(
        QStringLiteral("listening on (\\S+)\\r?\\n")); // notr: korvana-server's own output
    const auto match = listening.match(QString::fromUtf8(m_stdout));
    if (!match.hasMatch()) {
        if (m_stdout.size() > outputLimit)
            m_stdout.remove(0, m_stdout.size() - outputLimit);
        return;
    }
    const int port = QUrl(match.captured(1)).port(0);
    m_stdout.clear();
    m_startDeadline.stop();
    if (port <= 0) {
        stop();
        fail(QCoreApplication::translate("LocalServer",
                                         "Serwer na tym komputerze podał niezrozumiały adres."));
        return;
    }
    m_port = quint16(port);
    m_url = QStringLiteral("http://127.0.0.1:%1").arg(port);
    setState(State::Running,
             QCoreApplication::translate("LocalServer", "Serwer na tym komputerze działa."));
}

void LocalServer::processEnded(int exitCode, QProcess::ExitStatus status)
{
    if (!m_process)
        return;
    readOutput();
    const QString detail = lastLine(m_stderr);
    // Deleted later: this runs inside the process's own signal.
    m_process.release()->deleteLater();
    m_startDeadline.stop();
    const bool wasRunning = m_state == State::Running;
    m_url.clear();
    if (wasRunning) {
        fail(QCoreApplication::translate("LocalServer",
                                         "Serwer na tym komputerze przestał działać (%1).")
                 .arg(detail.isEmpty()
                          ? QCoreApplication::translate("LocalServer", "kod %1").arg(exitCode)
                          : detail));
        return;
    }
    if (detail.contains(QStringLiteral("cannot listen"), Qt::CaseInsensitive)) {
        // Taken between the probe and the start: any free port will do.
        if (m_launchPort != 0) {
            launch(0);
            return;
        }
        fail(QCoreApplication::translate("LocalServer",
                                         "Serwer nie może nasłuchiwać na żadnym porcie: %1")
                 .arg(detail));
        return;
    }
    static const QRegularExpression database(QStringLiteral("database|lock|sqlite"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (database.match(detail).hasMatch()) {
        fail(QCoreApplication::translate(
                 "LocalServer", "Baza danych serwera (%1) jest niedostępna albo używa jej już inny "
                                "serwer Korvana: %2")
                 .arg(QDir::toNativeSeparators(databasePath()), detail));
        return;
    }
    const QString how = status == QProcess::CrashExit
                            ? QCoreApplication::translate("LocalServer", "przerwany")
                            : QCoreApplication::translate("LocalServer", "kod %1").arg(exitCode);
    fail(QCoreApplication::translate("LocalServer",
                                     "Serwer na tym komputerze zakończył pracę przy starcie (%1)%2")
             .arg(how, detail.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + detail));
}

void LocalServer::stop()
{
    ++m_epoch;
    m_startDeadline.stop();
    if (m_process) {
        // Detached first: its end is expected and reports nothing.
        std::unique_ptr<QProcess> process = std::move(m_process);
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(m_options.stopTimeoutMs)) {
                process->kill();
                process->waitForFinished(1000);
            }
        }
    }
    m_url.clear();
    if (m_state == State::Running || m_state == State::Starting)
        setState(State::Stopped, {});
}

void LocalServer::fail(const QString &message)
{
    m_errorMessage = message;
    m_url.clear();
    setState(State::Failed, message);
}

void LocalServer::setState(State state, const QString &statusText)
{
    if (m_state == state && m_statusText == statusText)
        return;
    m_state = state;
    m_statusText = statusText;
    Q_EMIT stateChanged();
}

} // namespace korvana
