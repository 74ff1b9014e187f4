// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "connectionmanager.h"

#include "languagechange.h"
#include "pathmonitor.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QElapsedTimer>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace korvana {
namespace connection {

QString displayText(ConnectionStatus status)
{
    switch (status) {
    case ConnectionStatus::Connected:
        return QCoreApplication::translate("ConnectionManager", "Połączono");
    case ConnectionStatus::Connecting:
        return QCoreApplication::translate("ConnectionManager", "Łączenie...");
    case ConnectionStatus::Disconnected:
        return QCoreApplication::translate("ConnectionManager", "Brak sieci");
    case ConnectionStatus::Error:
        return QCoreApplication::translate("ConnectionManager", "Błąd serwera");
    case ConnectionStatus::Retrying:
        return QCoreApplication::translate("ConnectionManager", "Ponawiam...");
    }
    return QString();
}

StatusColor statusColor(ConnectionStatus status)
{
    switch (status) {
    case ConnectionStatus::Connected:
        return StatusColor::Green;
    case ConnectionStatus::Connecting:
    case ConnectionStatus::Retrying:
        return StatusColor::Yellow;
    case ConnectionStatus::Disconnected:
    case ConnectionStatus::Error:
        return StatusColor::Red;
    }
    return StatusColor::Red;
}

std::chrono::milliseconds checkInterval(ConnectionStatus status)
{
    using namespace std::chrono_literals;
    switch (status) {
    case ConnectionStatus::Connected:
        return 15s;
    case ConnectionStatus::Connecting:
    case ConnectionStatus::Disconnected:
        return 5s;
    case ConnectionStatus::Error:
        return 10s;
    case ConnectionStatus::Retrying:
        return 3s;
    }
    return 5s;
}

int wholeMilliseconds(std::chrono::nanoseconds elapsed)
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace connection

namespace {

using connection::wholeMilliseconds;

struct Probe
{
    bool reachable = false;
    std::optional<int> milliseconds;
};

// Failures of the connection itself (refused, closed, timed out, TLS, proxy): no answer.
bool isTransportFailure(QNetworkReply::NetworkError code)
{
    const int value = int(code);
    return value >= 1 && value <= 199;
}

// One GET of url. A free function: it must not touch the manager after its co_await, as the
// manager may be gone by then.
// The reply is parented to owner's reply holder, so the manager can end its own probes.
QCoro::Task<Probe> probeEndpoint(QNetworkAccessManager *network, QObject *replies, QString url,
                                 int timeoutMs)
{
    const QUrl target(url, QUrl::StrictMode);
    if (!target.isValid() || target.isRelative() || target.host().isEmpty())
        co_return Probe{};

    QNetworkRequest request(target);
    request.setTransferTimeout(timeoutMs);
    QElapsedTimer clock;
    clock.start();
    QNetworkReply *reply = network->get(request);
    reply->setParent(replies);
    co_await reply;
    const std::chrono::nanoseconds elapsed(clock.nsecsElapsed());
    // deleteLater, not delete: the reply may still be inside its own finished() emission.
    reply->deleteLater();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isTransportFailure(reply->error()) || !status.isValid())
        co_return Probe{};
    const int code = status.toInt();
    // A 503 is still an answer: the server is there even if it reports itself unavailable.
    if ((code >= 200 && code <= 299) || code == 503)
        co_return Probe{true, wholeMilliseconds(elapsed)};
    co_return Probe{};
}

} // namespace

ConnectionManager::ConnectionManager(QNetworkAccessManager &network, QString baseUrl,
                                     PathMonitor *monitor, QObject *parent)
    : QObject(parent)
    , m_baseUrl(std::move(baseUrl))
    , m_monitor(monitor ? monitor : new QtPathMonitor(this))
    , m_network(network)
{
    while (m_baseUrl.endsWith(u'/'))
        m_baseUrl.chop(1);

    m_pingTimer.setSingleShot(true);
    connect(&m_pingTimer, &QTimer::timeout, this, &ConnectionManager::checkConnection);

    m_startDelay.setSingleShot(true);
    m_startDelay.setInterval(startDelay);
    connect(&m_startDelay, &QTimer::timeout, this, &ConnectionManager::startMonitoring);
    m_startDelay.start();
    onLanguageChange(this, [this] { Q_EMIT statusTextChanged(); });
}

ConnectionManager::~ConnectionManager()
{
    m_closing = true;
    m_startDelay.stop();
    m_pingTimer.stop();
    if (m_monitor) {
        disconnect(m_monitor, nullptr, this, nullptr);
        m_monitor->stop();
    }
    // Probes still waiting finish now, so their checks end instead of waiting forever on
    // replies that would be deleted without a word.
    const auto replies = m_probeReplies.findChildren<QNetworkReply *>();
    for (QNetworkReply *reply : replies)
        reply->abort();
}

bool ConnectionManager::isGone(const QPointer<ConnectionManager> &self)
{
    // During the destructor the pointer is still set; m_closing tells.
    return !self || self->m_closing;
}

void ConnectionManager::startMonitoring()
{
    if (m_monitor) {
        connect(m_monitor, &PathMonitor::pathChanged, this, &ConnectionManager::handlePath,
                Qt::UniqueConnection);
        m_monitor->start();
    }
    checkConnection();
}

void ConnectionManager::handlePath(bool usable)
{
    if (usable) {
        m_hasNetwork = true;
        if (m_status != ConnectionStatus::Connected) {
            setStatus(ConnectionStatus::Connecting);
            setRetryCount(0);
            checkConnection();
        }
        return;
    }
    // The schedule goes on: the next check comes when the timer says.
    m_hasNetwork = false;
    setStatus(ConnectionStatus::Disconnected);
    setConnected(false);
    setPing(std::nullopt);
    setErrorMessage(
        QCoreApplication::translate("ConnectionManager", "Brak połączenia z internetem"));
}

QCoro::Task<> ConnectionManager::checkConnectionTask()
{
    QPointer self(this);
    QNetworkAccessManager *network = &m_network;
    QObject *replies = &m_probeReplies;
    const int timeoutMs = m_probeTimeoutMs;
    const quint64 failuresBefore = m_failuresCounted;
    ++m_checksInFlight;

    auto health =
        probeEndpoint(network, replies, m_baseUrl + QStringLiteral("/api/health"), timeoutMs);
    Probe probe = co_await std::move(health);
    if (isGone(self))
        co_return;
    if (!probe.reachable) {
        auto servers = probeEndpoint(network, replies,
                                     m_baseUrl + QStringLiteral("/api/game/servers"), timeoutMs);
        probe = co_await std::move(servers);
        if (isGone(self))
            co_return;
    }
    --m_checksInFlight;

    if (probe.reachable) {
        setConnected(true);
        setStatus(ConnectionStatus::Connected);
        setPing(probe.milliseconds);
        setLastUpdate(QDateTime::currentDateTime());
        setErrorMessage(std::nullopt);
        setRetryCount(0);
    } else if (m_failuresCounted == failuresBefore) {
        handleConnectionFailure();
    }
    // else a check that overlapped this one has already counted this failure.
    scheduleNextCheck();
    if (probe.reachable)
        Q_EMIT serverReached();
}

void ConnectionManager::noteServerAnswered()
{
    const bool failing =
        m_status == ConnectionStatus::Retrying || m_status == ConnectionStatus::Error;
    if (failing && m_checksInFlight == 0)
        checkConnection();
}

void ConnectionManager::noteServerUnreachable()
{
    const bool allWell =
        m_status == ConnectionStatus::Connected || m_status == ConnectionStatus::Connecting;
    if (allWell && m_checksInFlight == 0)
        checkConnection();
}

void ConnectionManager::handleConnectionFailure()
{
    ++m_failuresCounted;
    setRetryCount(m_retryCount + 1);
    if (!m_hasNetwork) {
        setStatus(ConnectionStatus::Disconnected);
        setErrorMessage(
            QCoreApplication::translate("ConnectionManager", "Brak połączenia z internetem"));
    } else if (m_retryCount < maxRetries) {
        setStatus(ConnectionStatus::Retrying);
        setErrorMessage(
            QCoreApplication::translate("ConnectionManager", "Próba połączenia (%1/%2)...")
                .arg(m_retryCount)
                .arg(maxRetries));
    } else {
        setStatus(ConnectionStatus::Error);
        setErrorMessage(
            QCoreApplication::translate("ConnectionManager", "Nie można połączyć z serwerem"));
    }
    // lastUpdate keeps the time of the last success.
    setConnected(false);
    setPing(std::nullopt);
}

void ConnectionManager::scheduleNextCheck()
{
    // start() re-arms the one timer, so overlapping checks leave a single pending one.
    m_pingTimer.start(connection::checkInterval(m_status));
}

void ConnectionManager::setBaseUrl(QString baseUrl)
{
    while (baseUrl.endsWith(u'/'))
        baseUrl.chop(1);
    if (baseUrl == m_baseUrl)
        return;
    m_baseUrl = std::move(baseUrl);
    if (!m_startDelay.isActive())
        retryConnection();
}

void ConnectionManager::retryConnection()
{
    setRetryCount(0);
    setStatus(ConnectionStatus::Connecting);
    setErrorMessage(std::nullopt);
    checkConnection();
}

void ConnectionManager::setConnected(bool value)
{
    if (m_isConnected == value)
        return;
    m_isConnected = value;
    Q_EMIT isConnectedChanged();
}

void ConnectionManager::setStatus(ConnectionStatus value)
{
    if (m_status == value)
        return;
    m_status = value;
    Q_EMIT connectionStatusChanged();
    Q_EMIT statusTextChanged();
}

void ConnectionManager::setPing(std::optional<int> value)
{
    if (m_ping == value)
        return;
    m_ping = value;
    Q_EMIT pingChanged();
}

void ConnectionManager::setLastUpdate(QDateTime value)
{
    if (m_lastUpdate == value)
        return;
    m_lastUpdate = std::move(value);
    Q_EMIT lastUpdateChanged();
}

void ConnectionManager::setErrorMessage(std::optional<QString> value)
{
    if (m_errorMessage == value)
        return;
    m_errorMessage = std::move(value);
    Q_EMIT errorMessageChanged();
}

void ConnectionManager::setRetryCount(int value)
{
    if (m_retryCount == value)
        return;
    m_retryCount = value;
    Q_EMIT retryCountChanged();
}

} // namespace korvana
