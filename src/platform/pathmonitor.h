// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QNetworkInformation>
#include <QObject>
#include <QTimer>

namespace korvana {

// Watches whether the device has a usable network path. Reports arrive as pathChanged on the
// thread the monitor lives in (the main thread): one report soon after start(), then one per
// change, until stop().
class PathMonitor : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start() = 0;
    virtual void stop() = 0;

Q_SIGNALS:
    void pathChanged(bool usable);
};

// The desktop monitor over QNetworkInformation. Where no backend with reachability loads
// (containers, CI), it reports one usable path after start() and nothing more, so whoever
// listens still starts working. Where a backend loads but sees no network at all (glib in a
// container without a default route), it reports unusable although a loopback server may answer.
class QtPathMonitor final : public PathMonitor
{
    Q_OBJECT
public:
    enum class Backend {
        Automatic, // QNetworkInformation's backend with reachability, if one loads
        None,      // behave as where none loads, e.g. to test that path on any machine
    };

    explicit QtPathMonitor(QObject *parent = nullptr)
        : QtPathMonitor(Backend::Automatic, parent)
    {
    }
    explicit QtPathMonitor(Backend backend, QObject *parent = nullptr);
    ~QtPathMonitor() override;

    void start() override;
    void stop() override;

    // Only "disconnected" is unusable: a local or site network can still reach a LAN or
    // loopback game server, and "unknown" must not claim the network is gone.
    [[nodiscard]] static bool isUsable(QNetworkInformation::Reachability reachability);

private:
    void reportCurrent();

    Backend m_backend;
    QTimer m_firstReport;
    QMetaObject::Connection m_changes;
    bool m_running = false;
};

} // namespace korvana
