#include "serverprocess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

namespace korvana::test {
namespace {

// Keeps failure messages readable: the tail of a chatty server is what matters.
constexpr qsizetype maxOutputBytes = 256 * 1024;

} // namespace

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
    const QString samePort = m_baseUrl.isValid() ? QString::number(port()) : QStringLiteral("0");
    return launch(samePort, timeout);
}

bool ServerProcess::launch(const QString &port, std::chrono::milliseconds timeout)
{
    if (isRunning()) {
        m_error = QStringLiteral("already running");
        return false;
    }
    if (!m_folder.isValid()) {
        m_error = QStringLiteral("no temporary folder: ") + m_folder.errorString();
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_stdout.clear();
    m_error.clear();
    m_listening = false;
    // Read as output arrives, so a chatty server never blocks on a full pipe.
    QObject::connect(m_process.get(), &QProcess::readyReadStandardOutput, m_process.get(),
                     [this] { drain(); });
    QObject::connect(m_process.get(), &QProcess::readyReadStandardError, m_process.get(),
                     [this] { drain(); });

    QStringList arguments{QStringLiteral("--port"),         port,
                          QStringLiteral("--db"),           databasePath(),
                          QStringLiteral("--bot-delay-ms"), QStringLiteral("0"),
                          QStringLiteral("--seed"),         QStringLiteral("1")};
    arguments += m_extraArguments;
    m_process->start(m_executable, arguments);
    if (!m_process->waitForStarted(int(timeout.count()))) {
        m_error = QStringLiteral("cannot start %1: %2").arg(m_executable, m_process->errorString());
        m_process.reset();
        return false;
    }

    static const QRegularExpression listening(QStringLiteral("listening on (\\S+)"));
    QDeadlineTimer deadline(timeout);
    while (true) {
        qsizetype lineEnd = m_stdout.indexOf('\n');
        while (lineEnd >= 0) {
            const QString line = QString::fromUtf8(m_stdout.left(lineEnd)).trimmed();
            m_stdout.remove(0, lineEnd + 1);
            if (const auto match = listening.match(line); match.hasMatch()) {
                m_baseUrl = QUrl(match.captured(1));
                m_listening = true;
                m_stdout.clear();
                return true;
            }
            lineEnd = m_stdout.indexOf('\n');
        }
        if (m_process->state() == QProcess::NotRunning || deadline.hasExpired())
            break;
        m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        drain();
    }
    m_error = isRunning()
                  ? QStringLiteral("no \"listening on\" line in time")
                  : QStringLiteral("exited before listening (code %1)").arg(m_process->exitCode());
    m_error += QStringLiteral("; output:\n") + QString::fromUtf8(m_output);
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
    if (m_output.size() > maxOutputBytes)
        m_output.remove(0, m_output.size() - maxOutputBytes);
}

void ServerProcess::stop()
{
    if (!m_process)
        return;
    if (isRunning()) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    drain();
    m_process.reset();
}

void ServerProcess::kill()
{
    if (!m_process)
        return;
    if (isRunning()) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    drain();
    m_process.reset();
}

} // namespace korvana::test
