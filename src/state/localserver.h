// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoroTask>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class QNetworkAccessManager;

namespace korvana {

// The game server on this computer: reuses a korvana-server that already answers on the
// preferred port, or starts one (beside the client first, then from PATH) and stops it when
// it goes. Every step has a deadline; a server that cannot start ends in Failed with a Polish
// reason, never in a wait without end.
class LocalServer : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Stopped,
        Starting,
        Running,
        Failed,
    };
    Q_ENUM(State)

    struct Options
    {
        QStringList searchDirs; // looked in before PATH
        bool searchPath = true;
        QString programName = QStringLiteral("korvana-server");
        QString databasePath; // empty: server.sqlite in the user's data folder
        quint16 preferredPort = 8765;
        int probeTimeoutMs = 2000;
        int startTimeoutMs = 15000;
        int stopTimeoutMs = 5000;
    };
    static constexpr quint16 defaultPort = 8765;

    // Probes go through network, which must outlive this object.
    LocalServer(QNetworkAccessManager &network, Options options, QObject *parent = nullptr);
    ~LocalServer() override;

    // Starts (or restarts, e.g. to change the interfaces) the server; the outcome arrives as
    // stateChanged. allInterfaces: listen on every interface so that others can join.
    void start(bool allInterfaces);
    // Stops the server this object started: SIGTERM, a wait, then SIGKILL. A reused server
    // that someone else started is left running.
    void stop();

    [[nodiscard]] State state() const { return m_state; }
    // http://127.0.0.1:PORT while running; empty otherwise.
    [[nodiscard]] QString url() const { return m_url; }
    [[nodiscard]] quint16 port() const { return m_port; }
    // The server is this object's child (not one found running).
    [[nodiscard]] bool ownsServer() const { return m_process != nullptr; }
    // It listens on every interface (only ever true for an owned server).
    [[nodiscard]] bool onAllInterfaces() const
    {
        return m_state == State::Running && m_allInterfaces && m_process;
    }
    // What is happening now, for the launch screen.
    [[nodiscard]] QString statusText() const { return m_statusText; }
    // Why it failed, in Polish; empty unless Failed.
    [[nodiscard]] QString errorMessage() const { return m_errorMessage; }
    // The program it would start; empty when none is found.
    [[nodiscard]] QString findProgram() const;

Q_SIGNALS:
    void stateChanged();

private:
    QCoro::Task<> probeThenLaunch(quint64 epoch);
    void launch(quint16 port);
    void readOutput();
    void processEnded(int exitCode, QProcess::ExitStatus status);
    void fail(const QString &message);
    void setState(State state, const QString &statusText);
    [[nodiscard]] QString databasePath() const;

    Options m_options;
    QNetworkAccessManager &m_network;
    std::unique_ptr<QProcess> m_process;
    QTimer m_startDeadline;
    State m_state = State::Stopped;
    QString m_url;
    quint16 m_port = 0;
    quint16 m_launchPort = 0;
    bool m_allInterfaces = false;
    QString m_statusText;
    QString m_errorMessage;
    QByteArray m_stdout;
    QByteArray m_stderr;
    quint64 m_epoch = 0; // bumped by start() and stop(): an older probe's answer is ignored
};

} // namespace korvana
