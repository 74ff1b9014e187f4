// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Helpers of the load tools that drive korvana-server as a process over raw sockets: start it,
// talk HTTP/1.1 to it, and read its memory and CPU time from /proc.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>

namespace korvana::bench {

using Clock = std::chrono::steady_clock;

// A TCP connection to 127.0.0.1:`port` from the loopback address `from` (127.0.0.x), or -1.
inline int connectTo(quint16 port, bool blocking, const char *from = "127.0.0.1")
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    // The port is picked at connect(), which stays fast with thousands of bound sockets.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &one, sizeof one);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (!blocking)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Length of a complete response at the start of `buffer`, or 0 while incomplete.
inline qsizetype completeResponse(const QByteArray &buffer, int *status = nullptr)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return 0;
    static const QRegularExpression length(QStringLiteral("(?i)content-length:\\s*(\\d+)"));
    const auto match = length.match(QString::fromLatin1(buffer.left(headEnd)));
    const qsizetype body = match.hasMatch() ? match.captured(1).toLongLong() : 0;
    if (buffer.size() < headEnd + 4 + body)
        return 0;
    if (status)
        *status = buffer.mid(9, 3).toInt();
    return headEnd + 4 + body;
}

inline QByteArray requestBytes(const QByteArray &method, const QByteArray &path,
                               const QByteArray &body = {}, const QByteArray &token = {})
{
    QByteArray out = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!token.isEmpty())
        out += "Authorization: Bearer " + token + "\r\n";
    return out +
           "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

// One blocking request on a new connection; the status and the body, or none.
inline std::optional<std::pair<int, QByteArray>>
request(quint16 port, const QByteArray &method, const QByteArray &path, const QByteArray &body,
        const QByteArray &token = {}, const char *from = "127.0.0.1")
{
    const int fd = connectTo(port, true, from);
    if (fd < 0)
        return std::nullopt;
    const QByteArray out = requestBytes(method, path, body, token);
    [[maybe_unused]] const auto sent = ::send(fd, out.constData(), size_t(out.size()), 0);
    QByteArray in;
    char chunk[65536];
    int status = 0;
    while (!completeResponse(in, &status)) {
        const auto n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        in.append(chunk, n);
    }
    ::close(fd);
    const qsizetype end = completeResponse(in, &status);
    if (!end)
        return std::nullopt;
    const qsizetype bodyAt = in.indexOf("\r\n\r\n") + 4;
    return std::pair{status, in.mid(bodyAt, end - bodyAt)};
}

inline QByteArray jsonText(const QByteArray &json, const QByteArray &key)
{
    const QRegularExpression re(
        QStringLiteral("\"%1\":\"([^\"]*)\"").arg(QString::fromLatin1(key)));
    return re.match(QString::fromUtf8(json)).captured(1).toUtf8();
}

// Registers name@example.com and returns its token, or empty.
inline QByteArray signUp(quint16 port, const QByteArray &name)
{
    const auto answer = request(port, "POST", "/api/auth/register",
                                R"({"username":")" + name + R"(","email":")" + name.toLower() +
                                    R"(@example.com","password":"haslo123"})");
    return answer ? jsonText(answer->second, "token") : QByteArray();
}

inline std::optional<quint16> readPort(QProcess &process, const QRegularExpression &pattern)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray out;
    while (clock.elapsed() < 20'000) {
        if (!process.waitForReadyRead(1000) && process.state() == QProcess::NotRunning)
            return std::nullopt;
        out += process.readAllStandardOutput();
        const auto match = pattern.match(QString::fromUtf8(out));
        if (match.hasMatch())
            return quint16(match.captured(1).toUInt());
    }
    return std::nullopt;
}

// korvana-server on a free port with a database in a folder of its own; stopped at the end.
struct ServerUnderTest
{
    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;

    bool start(const QString &executable, QStringList extra = {})
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(executable, QStringList{"--port", "0", "--db", dir.filePath("bench.sqlite"),
                                              "--seed", "1"} +
                                      extra);
        const auto found = readPort(
            process, QRegularExpression(QStringLiteral("listening on http://[^:]+:(\\d+)")));
        port = found.value_or(0);
        return found.has_value();
    }
    ~ServerUnderTest()
    {
        process.terminate();
        process.waitForFinished(5000);
    }

    // Resident memory in MB, from /proc.
    [[nodiscard]] double rssMb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        const auto match = QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+)"))
                               .match(QString::fromLatin1(status.readAll()));
        return match.captured(1).toDouble() / 1024.0;
    }
    // CPU time used so far (user and system), in seconds.
    [[nodiscard]] double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray text = stat.readAll();
        // Fields after the command name, which ends with ')': utime and stime are 14 and 15.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
               double(::sysconf(_SC_CLK_TCK));
    }
};

} // namespace korvana::bench
