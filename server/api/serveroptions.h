// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

namespace korvana::api {

struct ServerOptions
{
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 8765;
    QString databasePath; // empty: $XDG_DATA_HOME/korvana/server.sqlite
    int botDelayMs = 600;
    std::optional<quint64> seed;
    QString certificatePath;
    QString keyPath;
    QString adminEmail;
    qint64 tokenTtlSeconds = 30LL * 24 * 3600;
    int idleTimeoutMs = 10'000;
    int maxConnections = 8192; // lowered to fit the open-file limit
    int maxConnectionsPerAddress = 256;
    bool fastHash = false; // tests only
    bool heldPolls = true; // off: clients that ask to wait get the plain answer at once
    QString backupPath;    // set: copy the database there and exit instead of serving
    QString instance;      // this server's name among those sharing a database
    int leaseMs = 10'000;  // how long a room stays its owner's without a renewal
    QString advertisedUrl; // where the others reach this server; empty: the listening address
};

// Reads the command line (the program name first); a repeated option takes its last value.
// The error is a line for standard error.
[[nodiscard]] std::expected<ServerOptions, QString>
parseServerOptions(const QStringList &arguments);
[[nodiscard]] QString defaultDatabasePath();
// The host name's letters and digits, lower case ("k" when it has none).
[[nodiscard]] QString defaultInstanceName();

} // namespace korvana::api
