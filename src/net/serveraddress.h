// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvana {

// A server address as the player typed it, checked: the base URL to use, or why it cannot be.
struct ServerAddressCheck
{
    QString url;     // scheme://host[:port][/path], no trailing slash; empty when refused
    QString problem; // Polish, for the field; empty when accepted
};

// Checks scheme (http or https), host and port of a typed address. Spaces around it are
// ignored; a path is kept (a server behind a proxy may live below one), a query is not.
[[nodiscard]] ServerAddressCheck checkServerAddress(const QString &typed);

// The name a server's sign-in is kept under: scheme://host:port[/path] with the scheme and host
// in lower case and the port always written, so that equal addresses share one key.
[[nodiscard]] QString serverKey(const QString &baseUrl);

// The addresses other machines type to reach a server listening on all interfaces on port:
// "http://192.168.1.20:8765", IPv4 first, then IPv6 in brackets; loopback, link-local and
// unspecified addresses are left out.
[[nodiscard]] QStringList lanAddresses(const QList<QHostAddress> &addresses, quint16 port);

// This machine's addresses on interfaces that are up and not loopback.
[[nodiscard]] QList<QHostAddress> machineAddresses();

} // namespace korvana
