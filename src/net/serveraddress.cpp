// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serveraddress.h"

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QUrl>

#include <algorithm>

namespace korvana {
namespace {

const QString schemeProblem = QCoreApplication::translate(
    "ServerAddress", "Adres musi zaczynać się od http:// lub https://.");

bool isHostCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'.' || c == u'_';
}

} // namespace

ServerAddressCheck checkServerAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {{}, QCoreApplication::translate("ServerAddress", "Wpisz adres serwera.")};
    const qsizetype schemeEnd = text.indexOf(QStringLiteral("://"));
    if (schemeEnd < 0)
        return {{}, schemeProblem};
    const QString scheme = text.left(schemeEnd).toLower();
    if (scheme != u"http" && scheme != u"https")
        return {{}, schemeProblem};

    const QString rest = text.mid(schemeEnd + 3);
    if (rest.contains(u'?') || rest.contains(u'#') || rest.contains(u' '))
        return {{},
                QCoreApplication::translate("ServerAddress",
                                            "Adres nie może zawierać spacji ani znaków ? i #.")};
    const qsizetype slash = rest.indexOf(u'/');
    const QString authority = slash < 0 ? rest : rest.left(slash);
    QString path = slash < 0 ? QString() : rest.mid(slash);
    if (authority.contains(u'@'))
        return {{},
                QCoreApplication::translate(
                    "ServerAddress", "Adres nie może zawierać nazwy użytkownika ani hasła.")};

    QString host;
    QString port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return {{},
                    QCoreApplication::translate("ServerAddress", "Nieprawidłowa nazwa serwera.")};
        host = authority.left(close + 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':'))
            return {{},
                    QCoreApplication::translate("ServerAddress", "Nieprawidłowa nazwa serwera.")};
        port = after.mid(1);
        if (QHostAddress(host.mid(1, host.size() - 2)).protocol() != QAbstractSocket::IPv6Protocol)
            return {{},
                    QCoreApplication::translate("ServerAddress", "Nieprawidłowa nazwa serwera.")};
    } else {
        const qsizetype colon = authority.indexOf(u':');
        host = colon < 0 ? authority : authority.left(colon);
        port = colon < 0 ? QString() : authority.mid(colon + 1);
        if (host.isEmpty())
            return {{},
                    QCoreApplication::translate("ServerAddress",
                                                "Wpisz nazwę serwera po http:// lub https://.")};
        if (!std::all_of(host.begin(), host.end(), isHostCharacter) || host.startsWith(u'.') ||
            host.endsWith(u'.') || host.contains(QStringLiteral("..")))
            return {{},
                    QCoreApplication::translate("ServerAddress", "Nieprawidłowa nazwa serwera.")};
    }
    const bool hasPort = authority.startsWith(u'[') ? authority.contains(QStringLiteral("]:"))
                                                    : authority.contains(u':');
    if (hasPort) {
        bool ok = false;
        const int number = port.toInt(&ok);
        if (!ok || number < 1 || number > 65535 ||
            !std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); }))
            return {{},
                    QCoreApplication::translate("ServerAddress",
                                                "Port musi być liczbą od 1 do 65535.")};
        port = QString::number(number);
    }
    while (path.endsWith(u'/'))
        path.chop(1);

    const QString url = scheme + QStringLiteral("://") + host.toLower() +
                        (hasPort ? u':' + port : QString()) + path;
    if (!QUrl(url, QUrl::StrictMode).isValid())
        return {{}, QCoreApplication::translate("ServerAddress", "Nieprawidłowa nazwa serwera.")};
    return {url, {}};
}

QString serverKey(const QString &baseUrl)
{
    const QUrl url(baseUrl);
    if (!url.isValid() || url.host().isEmpty())
        return baseUrl;
    const QString scheme = url.scheme().toLower();
    QString host = url.host().toLower();
    if (host.contains(u':'))
        host = u'[' + host + u']';
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    const int port = url.port(scheme == u"https" ? 443 : 80);
    return scheme + QStringLiteral("://") + host + u':' + QString::number(port) + path;
}

QStringList lanAddresses(const QList<QHostAddress> &addresses, quint16 port)
{
    QStringList ipv4;
    QStringList ipv6;
    for (const QHostAddress &address : addresses) {
        if (address.isLoopback() || address.isLinkLocal() || address.isNull() ||
            address.isMulticast() || address == QHostAddress::AnyIPv4 ||
            address == QHostAddress::AnyIPv6)
            continue;
        bool isV4 = false;
        const quint32 v4 = address.toIPv4Address(&isV4);
        const QString line =
            isV4 ? QStringLiteral("http://%1:%2").arg(QHostAddress(v4).toString()).arg(port)
                 : QStringLiteral("http://[%1]:%2")
                       .arg(QHostAddress(address.toIPv6Address()).toString())
                       .arg(port);
        QStringList &list = isV4 ? ipv4 : ipv6;
        if (!list.contains(line))
            list << line;
    }
    return ipv4 + ipv6;
}

QList<QHostAddress> machineAddresses()
{
    QList<QHostAddress> addresses;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries)
            addresses << entry.ip();
    }
    return addresses;
}

} // namespace korvana
