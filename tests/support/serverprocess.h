// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <memory>

namespace korvana::test {

// Runs a korvana-server for a test: on a free port, with a database in a temporary folder, no
// bot delay and a fixed seed. The server is stopped when this object goes.
//
// Started as: <executable> --port 0 --db <temp>/korvana.db --bot-delay-ms 0 --seed 1 <extra>
// (later options win, so extra arguments may override these). It must print
// "listening on http://HOST:PORT" on standard output once it accepts connections.
class ServerProcess
{
public:
    explicit ServerProcess(QString executable, QStringList extraArguments = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Starts the server and waits for its "listening on" line; false (see errorString()) when
    // it does not start, exits or stays silent until the timeout.
    bool start(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Stops the server if it runs, then starts it again on the same database and, once it has
    // run, the same port, so clients keep their base URL.
    bool restart(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // SIGTERM, then SIGKILL if it has not ended after a few seconds.
    void stop();
    // SIGKILL: the server gets no chance to save or close anything.
    void kill();

    [[nodiscard]] bool isRunning() const;
    // http://HOST:PORT as the server announced it; empty before the first start.
    [[nodiscard]] QUrl baseUrl() const { return m_baseUrl; }
    [[nodiscard]] quint16 port() const { return quint16(m_baseUrl.port(0)); }
    [[nodiscard]] QString databasePath() const;
    [[nodiscard]] QString errorString() const { return m_error; }
    // Everything the server printed so far, standard output and error, for failure messages.
    [[nodiscard]] QByteArray output() const { return m_output; }

private:
    bool launch(const QString &port, std::chrono::milliseconds timeout);
    void drain();

    QString m_executable;
    QStringList m_extraArguments;
    QTemporaryDir m_folder;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_stdout; // standard output not yet searched for the "listening on" line
    bool m_listening = false;
    QByteArray m_output;
    QUrl m_baseUrl;
    QString m_error;
};

} // namespace korvana::test
