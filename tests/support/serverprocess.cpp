// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serverprocess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

namespace korvana::test {

ServerProcess::ServerProcess(QString executable, QStringList extraArguments)
    : m_executable(std::move(executable))
    , m_extraArguments(std::move(extraArguments))
{
}

ServerProcess::~ServerProcess()
{
    stop();
}

QString ServerProcess::databasePath() const
{
    return m_folder.filePath(QStringLiteral("korvana.db"));
}

bool ServerProcess::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool ServerProcess::start(std::chrono::milliseconds timeout)
{
    return launch(QStringLiteral("0"), timeout);
}

bool ServerProcess::restart(std::chrono::milliseconds timeout)
{
    stop();
    return launch(m_baseUrl.isValid() ? QString::number(port()) : QStringLiteral("0"), timeout);
}

bool ServerProcess::launch(const QString &port, std::chrono::milliseconds timeout)
{
    if (isRunning() || !m_folder.isValid()) {
        m_error = QStringLiteral("already running, or no temporary folder");
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_stdout.clear();
    m_listening = false;
    // Read as output arrives, so a chatty server never blocks on a full pipe.
    QObject::connect(m_process.get(), &QProcess::readyReadStandardOutput, m_process.get(),
                     [this] { drain(); });
    QObject::connect(m_process.get(), &QProcess::readyReadStandardError, m_process.get(),
                     [this] { drain(); });
    m_process->start(m_executable, QStringList{"--port", port, "--db", databasePath(),
                                               "--bot-delay-ms", "0", "--seed", "1"} +
                                       m_extraArguments);

    // Only a whole line: the port may still be on its way.
    static const QRegularExpression listening(QStringLiteral("listening on (\\S+)\\r?\\n"));
    const QDeadlineTimer deadline(timeout);
    while (m_process->waitForStarted(int(timeout.count()))) {
        if (const auto match = listening.match(QString::fromUtf8(m_stdout)); match.hasMatch()) {
            m_baseUrl = QUrl(match.captured(1));
            m_listening = true;
            return true;
        }
        if (deadline.hasExpired())
            break;
        m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        drain();
    }
    m_error = QStringLiteral("%1 did not start listening; output:\n%2")
                  .arg(m_executable, QString::fromUtf8(m_output));
    stop();
    return false;
}

void ServerProcess::drain()
{
    if (!m_process)
        return;
    const QByteArray out = m_process->readAllStandardOutput();
    if (!m_listening)
        m_stdout += out;
    m_output += out + m_process->readAllStandardError();
    // Failure messages need the tail of a chatty server only.
    if (m_output.size() > 256 * 1024)
        m_output.remove(0, m_output.size() - 256 * 1024);
}

void ServerProcess::stop()
{
    if (isRunning()) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000))
            kill();
    }
    drain();
    m_process.reset();
}

void ServerProcess::kill()
{
    if (isRunning()) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    drain();
    m_process.reset();
}

} // namespace korvana::test
