// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "servermanager.h"

#include "authmanager.h"
#include "connectionmanager.h"
#include "gamemanager.h"
#include "healthprobe.h"
#include "keyvaluestore.h"
#include "languagechange.h"
#include "networkservice.h"
#include "serveraddress.h"

#include <QCoreApplication>
#include <QPointer>

namespace korvana {
namespace {
const QString localChoice = QStringLiteral("local");
const QString otherChoice = QStringLiteral("other");
} // namespace

ServerManager::ServerManager(NetworkService &network, AuthManager &auth, GameManager *game,
                             ConnectionManager *connection, KeyValueStore &store,
                             QString overrideUrl, LocalServer::Options localOptions,
                             QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_auth(auth)
    , m_game(game)
    , m_connection(connection)
    , m_store(store)
    , m_overrideUrl(std::move(overrideUrl))
    , m_local(network.accessManager(), std::move(localOptions))
{
    connect(&m_local, &LocalServer::stateChanged, this, &ServerManager::localStateChangedHere);
    onLanguageChange(this, [this] { Q_EMIT summaryChanged(); });
}

ServerManager::~ServerManager() = default;

void ServerManager::start()
{
    if (!m_overrideUrl.isEmpty())
        connectTo(m_overrideUrl);
    else
        apply();
}

bool ServerManager::usesLocalServer() const
{
    return m_store.string(storekeys::serverChoice).value_or(localChoice) != otherChoice ||
           otherServerUrl().isEmpty();
}

QString ServerManager::otherServerUrl() const
{
    return checkServerAddress(m_store.string(storekeys::otherServerUrl).value_or(QString())).url;
}

QString ServerManager::summary() const
{
    if (!m_overrideUrl.isEmpty())
        return m_overrideUrl;
    return usesLocalServer() ? QCoreApplication::translate("ServerManager", "Na tym komputerze")
                             : otherServerUrl();
}

bool ServerManager::isStarting() const
{
    return m_overrideUrl.isEmpty() && usesLocalServer() &&
           m_local.state() == LocalServer::State::Starting;
}

QString ServerManager::localStatusText() const
{
    return m_local.statusText();
}

QString ServerManager::localError() const
{
    return m_overrideUrl.isEmpty() && usesLocalServer() ? m_local.errorMessage() : QString();
}

bool ServerManager::shareOnLan() const
{
    return m_store.boolean(storekeys::shareOnLan).value_or(false);
}

void ServerManager::setShareOnLan(bool share)
{
    if (share == shareOnLan())
        return;
    m_store.setBoolean(storekeys::shareOnLan, share);
    Q_EMIT shareOnLanChanged();
    if (m_overrideUrl.isEmpty() && usesLocalServer())
        restartLocalServer();
}

void ServerManager::restartLocalServer()
{
    // The lobby's reloads would meet the server while it is away and report it as an error.
    if (m_game && m_game->serverListTimer()->isActive()) {
        m_game->stopServerListTimer();
        m_resumeServerList = true;
    }
    m_local.start(shareOnLan());
}

QStringList ServerManager::lanAddresses() const
{
    if (!m_local.onAllInterfaces())
        return {};
    return korvana::lanAddresses(machineAddresses(), m_local.port());
}

QString ServerManager::addressProblem(const QString &typed) const
{
    return checkServerAddress(typed).problem;
}

void ServerManager::chooseLocalServer()
{
    const bool wasLocal = usesLocalServer();
    m_store.setString(storekeys::serverChoice, localChoice);
    Q_EMIT choiceChanged();
    Q_EMIT summaryChanged();
    const auto state = m_local.state();
    if (!wasLocal || state == LocalServer::State::Stopped || state == LocalServer::State::Failed)
        apply();
}

bool ServerManager::chooseOtherServer(const QString &typed)
{
    const ServerAddressCheck check = checkServerAddress(typed);
    if (check.url.isEmpty())
        return false;
    m_store.setString(storekeys::otherServerUrl, check.url);
    m_store.setString(storekeys::serverChoice, otherChoice);
    Q_EMIT choiceChanged();
    Q_EMIT summaryChanged();
    apply();
    return true;
}

void ServerManager::retryLocalServer()
{
    if (m_overrideUrl.isEmpty() && usesLocalServer())
        restartLocalServer();
}

void ServerManager::apply()
{
    if (!m_overrideUrl.isEmpty())
        return;
    if (usesLocalServer()) {
        m_local.start(shareOnLan());
        return;
    }
    m_local.stop();
    connectTo(otherServerUrl());
}

void ServerManager::localStateChangedHere()
{
    Q_EMIT localStateChanged();
    const auto state = m_local.state();
    if (m_overrideUrl.isEmpty() && usesLocalServer() && state == LocalServer::State::Running)
        connectTo(m_local.url());
    if (m_resumeServerList &&
        (state == LocalServer::State::Running || state == LocalServer::State::Failed)) {
        m_resumeServerList = false;
        if (m_game)
            m_game->startServerListTimer();
    }
}

void ServerManager::connectTo(const QString &url)
{
    if (url == m_activeUrl)
        return;
    m_activeUrl = url;
    // A game belongs to its server: it is left locally before the requests go elsewhere.
    if (m_game && m_game->isInGame())
        m_game->leaveGame();
    m_network.setBaseUrl(url);
    if (m_connection) {
        // The monitor may have watched this address before the server came up there.
        if (m_connection->baseUrl() == url && !m_connection->startDelayTimer().isActive())
            m_connection->checkConnection();
        m_connection->setBaseUrl(url);
    }
    m_auth.useServer(url);
    Q_EMIT activeUrlChanged();
}

QCoro::Task<> ServerManager::probeTask(QString typed)
{
    const ServerAddressCheck check = checkServerAddress(typed);
    const quint64 epoch = ++m_probeEpoch;
    if (check.url.isEmpty()) {
        setProbe(false, check.problem, false);
        co_return;
    }
    setProbe(true, QCoreApplication::translate("ServerManager", "Sprawdzanie..."), false);
    QPointer self(this);
    auto probing = probeHealth(&m_network.accessManager(), check.url, probeTimeoutMs);
    const HealthProbe result = co_await std::move(probing);
    if (!self || epoch != m_probeEpoch)
        co_return;
    setProbe(false, describeProbe(result, probeTimeoutMs),
             result.outcome == HealthProbe::Outcome::Korvana);
}

void ServerManager::setProbe(bool probing, QString message, bool succeeded)
{
    if (m_isProbing == probing && m_probeMessage == message && m_probeSucceeded == succeeded)
        return;
    m_isProbing = probing;
    m_probeMessage = std::move(message);
    m_probeSucceeded = succeeded;
    Q_EMIT probeChanged();
}

} // namespace korvana
