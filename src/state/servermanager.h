// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "localserver.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace korvana {

class AuthManager;
class ConnectionManager;
class GameManager;
class KeyValueStore;
class NetworkService;

// Which game server the client talks to: the one on this computer (started and looked after
// here) or another one the player typed in. The choice is kept in the store; an address given
// for this run (KORVANA_SERVER_URL) wins over it. Every change of server reaches the request
// layer, the connection monitor and the sign-in of that server together.
class ServerManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString overrideUrl READ overrideUrl CONSTANT)
    Q_PROPERTY(bool usesLocalServer READ usesLocalServer NOTIFY choiceChanged)
    Q_PROPERTY(QString otherServerUrl READ otherServerUrl NOTIFY choiceChanged)
    Q_PROPERTY(QString activeUrl READ activeUrl NOTIFY activeUrlChanged)
    Q_PROPERTY(QString summary READ summary NOTIFY summaryChanged)
    Q_PROPERTY(bool isStarting READ isStarting NOTIFY localStateChanged)
    Q_PROPERTY(QString localStatusText READ localStatusText NOTIFY localStateChanged)
    Q_PROPERTY(QString localError READ localError NOTIFY localStateChanged)
    Q_PROPERTY(bool shareOnLan READ shareOnLan WRITE setShareOnLan NOTIFY shareOnLanChanged)
    Q_PROPERTY(QStringList lanAddresses READ lanAddresses NOTIFY localStateChanged)
    Q_PROPERTY(bool isProbing READ isProbing NOTIFY probeChanged)
    Q_PROPERTY(QString probeMessage READ probeMessage NOTIFY probeChanged)
    Q_PROPERTY(bool probeSucceeded READ probeSucceeded NOTIFY probeChanged)

public:
    static constexpr int probeTimeoutMs = 5000;

    // overrideUrl non-empty: that server for this run, whatever the stored choice says.
    ServerManager(NetworkService &network, AuthManager &auth, GameManager *game,
                  ConnectionManager *connection, KeyValueStore &store, QString overrideUrl,
                  LocalServer::Options localOptions, QObject *parent = nullptr);
    ~ServerManager() override;

    // Applies the stored choice (or the override); the local server comes up in the
    // background.
    void start();

    [[nodiscard]] QString overrideUrl() const { return m_overrideUrl; }
    [[nodiscard]] bool usesLocalServer() const;
    [[nodiscard]] QString otherServerUrl() const;
    [[nodiscard]] QString activeUrl() const { return m_activeUrl; }
    // What "Serwer: …" shows.
    [[nodiscard]] QString summary() const;
    [[nodiscard]] bool isStarting() const;
    [[nodiscard]] QString localStatusText() const;
    [[nodiscard]] QString localError() const;
    [[nodiscard]] bool shareOnLan() const;
    void setShareOnLan(bool share);
    [[nodiscard]] QStringList lanAddresses() const;
    [[nodiscard]] bool isProbing() const { return m_isProbing; }
    [[nodiscard]] QString probeMessage() const { return m_probeMessage; }
    [[nodiscard]] bool probeSucceeded() const { return m_probeSucceeded; }
    [[nodiscard]] LocalServer &localServer() { return m_local; }

    // Why the typed address cannot be used, in Polish; empty when it can.
    Q_INVOKABLE QString addressProblem(const QString &typed) const;
    Q_INVOKABLE void chooseLocalServer();
    // False (nothing changes) when the address is not valid.
    Q_INVOKABLE bool chooseOtherServer(const QString &typed);
    Q_INVOKABLE void retryLocalServer();
    // Asks the typed server's /api/health; the answer arrives as probeMessage.
    Q_INVOKABLE void probe(const QString &typed) { probeTask(typed); }
    QCoro::Task<> probeTask(QString typed);

Q_SIGNALS:
    void choiceChanged();
    void activeUrlChanged();
    void summaryChanged();
    void localStateChanged();
    void shareOnLanChanged();
    void probeChanged();

private:
    void apply();
    void restartLocalServer();
    void connectTo(const QString &url);
    void localStateChangedHere();
    void setProbe(bool probing, QString message, bool succeeded);

    NetworkService &m_network;
    AuthManager &m_auth;
    GameManager *m_game;
    ConnectionManager *m_connection;
    KeyValueStore &m_store;
    QString m_overrideUrl;
    LocalServer m_local;
    QString m_activeUrl;
    bool m_isProbing = false;
    QString m_probeMessage;
    bool m_probeSucceeded = false;
    quint64 m_probeEpoch = 0;
    bool m_resumeServerList = false; // the lobby's reloads wait for a restarting server
};

} // namespace korvana
