// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serverapp.h"

#include "accounts.h"
#include "forwarder.h"
#include "handlers.h"
#include "httplistener.h"
#include "rooms/clock.h"
#include "rooms/rooms.h"
#include "router.h"
#include "store/database.h"
#include "store/listener.h"
#include "store/passwords.h"
#include "store/servinglock.h"

#include <QFile>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QSslKey>
#include <QSslSocket>

namespace korvana::api {
namespace {

std::optional<QHostAddress> resolve(const QString &host)
{
    QHostAddress address;
    if (address.setAddress(host))
        return address;
    if (host == u"localhost")
        return QHostAddress(QHostAddress::LocalHost);
    const QHostInfo info = QHostInfo::fromName(host);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
        return std::nullopt;
    return info.addresses().constFirst();
}

std::expected<QSslConfiguration, QString> tlsConfiguration(const ServerOptions &options)
{
    if (!QSslSocket::supportsSsl())
        return std::unexpected(QStringLiteral("TLS is not available in this Qt build"));
    const auto chain = QSslCertificate::fromPath(options.certificatePath, QSsl::Pem);
    if (chain.isEmpty())
        return std::unexpected(QStringLiteral("no certificate in ") + options.certificatePath);
    QFile keyFile(options.keyPath);
    if (!keyFile.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("cannot read ") + options.keyPath);
    const QByteArray pem = keyFile.readAll();
    QSslKey key;
    for (const auto algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        key = QSslKey(pem, algorithm, QSsl::Pem);
        if (!key.isNull())
            break;
    }
    if (key.isNull())
        return std::unexpected(QStringLiteral("no usable private key in ") + options.keyPath);
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    conf.setLocalCertificateChain(chain);
    conf.setPrivateKey(key);
    conf.setPeerVerifyMode(QSslSocket::VerifyNone);
    return conf;
}

} // namespace

ServerApp::ServerApp(ServerOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
}

ServerApp::~ServerApp()
{
    shutdown();
}

std::expected<QUrl, QString> ServerApp::start()
{
    const auto address = resolve(m_options.host);
    if (!address)
        return std::unexpected(QStringLiteral("cannot resolve host ") + m_options.host);
    http::ListenerSettings listening;
    listening.connection.idleTimeoutMs = m_options.idleTimeoutMs;
    listening.connection.stalledTimeoutMs = m_options.idleTimeoutMs;
    listening.maxConnections = m_options.maxConnections;
    listening.maxConnectionsPerAddress = m_options.maxConnectionsPerAddress;
    if (!m_options.certificatePath.isEmpty()) {
        auto conf = tlsConfiguration(m_options);
        if (!conf)
            return std::unexpected(conf.error());
        listening.tls = *conf;
    }

    // A SQLite file is one server's; a shared database is everyone's, room by room.
    if (!store::isDatabaseUrl(m_options.databasePath)) {
        auto lock = store::ServingLock::take(m_options.databasePath);
        if (!lock)
            return std::unexpected(lock.error());
        m_lock = std::make_unique<store::ServingLock>(std::move(*lock));
    }
    m_clock = std::make_unique<rooms::SystemClock>();
    m_db = std::make_unique<store::Database>();
    if (!m_db->open(m_options.databasePath))
        return std::unexpected(
            QStringLiteral("cannot open database %1: %2")
                .arg(m_db->isShared() ? QStringLiteral("(shared)") : m_options.databasePath,
                     m_db->errorString()));
    m_hasher = std::make_unique<store::PasswordHasher>(
        store::PasswordHasher::Limits{},
        m_options.fastHash ? store::HashCost::Minimal : store::HashCost::Interactive);
    m_accounts = std::make_unique<Accounts>(
        *m_db, *m_hasher, *m_clock,
        Accounts::Options{m_options.tokenTtlSeconds * 1000, m_options.adminEmail});
    const quint64 seed = m_options.seed.value_or(QRandomGenerator::system()->generate64());
    m_rooms = std::make_unique<rooms::Rooms>(
        *m_db, *m_clock,
        rooms::Rooms::Options{m_options.botDelayMs, seed, m_options.instance, m_options.leaseMs});
    if (m_db->isShared()) {
        m_notifications = std::make_unique<store::Listener>();
        if (!m_notifications->open(m_db->location(), {rooms::RoomArchive::changesChannel(),
                                                      rooms::RoomArchive::leaveChannel()}))
            return std::unexpected(QStringLiteral("cannot listen to the database: ") +
                                   m_notifications->errorString());
        connect(m_notifications.get(), &store::Listener::notified, m_rooms.get(),
                &rooms::Rooms::notified);
        m_forwarder = std::make_unique<Forwarder>();
    }
    m_rooms->load();
    m_handlers = std::make_unique<Handlers>(
        *m_accounts, *m_rooms, *m_db,
        Handlers::Options{m_options.heldPolls, m_forwarder.get(), m_options.leaseMs});
    m_router = std::make_unique<Router>();
    wireRoutes(*m_router, *m_handlers, *m_accounts);
    m_listener = std::make_unique<http::HttpListener>(*m_router, listening);
    if (!m_listener->listen(*address, m_options.port)) {
        const QString error = m_listener->errorString();
        m_listener.reset();
        return std::unexpected(QStringLiteral("cannot listen on %1:%2: %3")
                                   .arg(m_options.host)
                                   .arg(m_options.port)
                                   .arg(error));
    }

    QUrl url;
    url.setScheme(listening.tls ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(m_options.host);
    url.setPort(m_listener->serverPort());
    QUrl reachable = url;
    if (address->isEqual(QHostAddress::AnyIPv4) || address->isEqual(QHostAddress::AnyIPv6) ||
        *address == QHostAddress::Any)
        reachable.setHost(QStringLiteral("127.0.0.1"));
    m_rooms->advertise(m_options.advertisedUrl.isEmpty() ? reachable.toString()
                                                         : m_options.advertisedUrl);
    return url;
}

void ServerApp::shutdown()
{
    if (m_listener)
        m_listener->close(); // no new connections
    // Held polls are answered, and every answer owed is written before the connections close.
    if (m_rooms)
        m_rooms->releaseWatchers();
    if (m_listener)
        m_listener->closeAll();
    if (m_rooms) {
        m_rooms->writeHeartbeat();
        m_rooms->releaseLeases(); // the others take the rooms over at once
    }
    // Every change was saved when it happened; what is left is to stop cleanly.
    m_listener.reset();
    m_router.reset();
    m_handlers.reset();
    m_rooms.reset();
    m_notifications.reset();
    m_forwarder.reset();
    // The hasher goes first: its unfinished work must not outlive the accounts it answers to.
    m_hasher.reset();
    m_accounts.reset();
    if (m_db)
        m_db->close();
    m_db.reset();
    m_lock.reset(); // the database is closed: another server may take it
}

} // namespace korvana::api
