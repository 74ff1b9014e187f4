// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <chrono>
#include <optional>

class QNetworkAccessManager;

namespace korvana {

class PathMonitor;

namespace connection {
Q_NAMESPACE

// Whether the game server can be reached, in the order the badge knows them.
enum class ConnectionStatus {
    Connected,
    Connecting,
    Disconnected,
    Error,
    Retrying,
};
Q_ENUM_NS(ConnectionStatus)

// The badge's colour for a status.
enum class StatusColor {
    Green,
    Yellow,
    Red,
};
Q_ENUM_NS(StatusColor)

// "Połączono", "Łączenie...", "Brak sieci", "Błąd serwera", "Ponawiam...".
[[nodiscard]] QString displayText(ConnectionStatus status);
[[nodiscard]] StatusColor statusColor(ConnectionStatus status);
// How long to wait for the next check after one that left this status.
[[nodiscard]] std::chrono::milliseconds checkInterval(ConnectionStatus status);
// A round trip in whole milliseconds, truncated toward zero.
[[nodiscard]] int wholeMilliseconds(std::chrono::nanoseconds elapsed);

} // namespace connection

using connection::ConnectionStatus;

// Tells the player whether the game server can be reached: watches the network path, probes
// the server on its own schedule and publishes a status. It only reports; it never blocks or
// retries game requests.
class ConnectionManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isConnected READ isConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(korvana::connection::ConnectionStatus connectionStatus READ connectionStatus NOTIFY
                   connectionStatusChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(korvana::connection::StatusColor statusColor READ statusColor NOTIFY
                   connectionStatusChanged)
    Q_PROPERTY(QVariant ping READ pingValue NOTIFY pingChanged)
    Q_PROPERTY(QDateTime lastUpdate READ lastUpdate NOTIFY lastUpdateChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
    Q_PROPERTY(int retryCount READ retryCount NOTIFY retryCountChanged)

public:
    static constexpr int maxRetries = 3;
    static constexpr std::chrono::milliseconds startDelay{200};
    static constexpr int defaultProbeTimeoutMs = 8000;

    // Starts monitoring startDelay after construction. Probes go through the client's one
    // network manager, which must outlive this object. Without a monitor it makes and owns the
    // desktop one; a given monitor stays the caller's.
    ConnectionManager(QNetworkAccessManager &network, QString baseUrl,
                      PathMonitor *monitor = nullptr, QObject *parent = nullptr);
    ~ConnectionManager() override;

    [[nodiscard]] bool isConnected() const { return m_isConnected; }
    [[nodiscard]] ConnectionStatus connectionStatus() const { return m_status; }
    [[nodiscard]] QString statusText() const { return connection::displayText(m_status); }
    [[nodiscard]] connection::StatusColor statusColor() const
    {
        return connection::statusColor(m_status);
    }
    [[nodiscard]] std::optional<int> ping() const { return m_ping; }
    // The ping for QML: an int, or invalid when there is none.
    [[nodiscard]] QVariant pingValue() const { return m_ping ? QVariant(*m_ping) : QVariant(); }
    // Invalid until the first successful check.
    [[nodiscard]] QDateTime lastUpdate() const { return m_lastUpdate; }
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    [[nodiscard]] QString errorMessageText() const { return m_errorMessage.value_or(QString()); }
    [[nodiscard]] int retryCount() const { return m_retryCount; }
    // Whether the last path report said the path is usable; false before the first one.
    [[nodiscard]] bool hasNetwork() const { return m_hasNetwork; }

    // Watches another server from now on, starting afresh (once monitoring has begun).
    void setBaseUrl(QString baseUrl);
    [[nodiscard]] const QString &baseUrl() const { return m_baseUrl; }

    // A fresh start asked for by the player.
    Q_INVOKABLE void retryConnection();
    Q_INVOKABLE void checkConnection() { checkConnectionTask(); }
    // One check now: the health probe, then the server list if health did not answer.
    QCoro::Task<> checkConnectionTask();
    // Another request of the client just reached the server: while retrying or in error, check
    // at once instead of waiting for the schedule.
    void noteServerAnswered();
    // Another request of the client failed below HTTP: while all looked well, check at once
    // instead of waiting up to 15 s for the schedule.
    void noteServerUnreachable();

    // Each probe waits this long for the server (8 s); tests shorten it.
    void setProbeTimeoutMs(int ms) { m_probeTimeoutMs = ms; }
    [[nodiscard]] int probeTimeoutMs() const { return m_probeTimeoutMs; }

    // Read-only views of the two timers, so tests can read intervals instead of sleeping.
    [[nodiscard]] const QTimer &startDelayTimer() const { return m_startDelay; }
    [[nodiscard]] const QTimer &pingTimer() const { return m_pingTimer; }

Q_SIGNALS:
    void isConnectedChanged();
    void connectionStatusChanged();
    // With the status, and when the language changes.
    void statusTextChanged();
    void pingChanged();
    void lastUpdateChanged();
    void errorMessageChanged();
    void retryCountChanged();
    // A check reached the server (emitted after every successful check).
    void serverReached();

private:
    void startMonitoring();
    void handlePath(bool usable);
    void handleConnectionFailure();
    void scheduleNextCheck();
    // True once the manager is gone or going: a resumed check must not touch it.
    [[nodiscard]] static bool isGone(const QPointer<ConnectionManager> &self);

    void setConnected(bool value);
    void setStatus(ConnectionStatus value);
    void setPing(std::optional<int> value);
    void setLastUpdate(QDateTime value);
    void setErrorMessage(std::optional<QString> value);
    void setRetryCount(int value);

    QString m_baseUrl;
    QPointer<PathMonitor> m_monitor;
    QNetworkAccessManager &m_network;
    QObject m_probeReplies; // parent of the probes' replies still out
    QTimer m_startDelay;
    QTimer m_pingTimer;
    int m_probeTimeoutMs = defaultProbeTimeoutMs;
    bool m_hasNetwork = false;
    bool m_closing = false;
    int m_checksInFlight = 0;
    quint64 m_failuresCounted = 0; // checks that overlap count as one failure

    bool m_isConnected = false;
    ConnectionStatus m_status = ConnectionStatus::Connecting;
    std::optional<int> m_ping;
    QDateTime m_lastUpdate;
    std::optional<QString> m_errorMessage;
    int m_retryCount = 0;
};

} // namespace korvana
