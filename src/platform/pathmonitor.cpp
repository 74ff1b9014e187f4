// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pathmonitor.h"

namespace korvana {

QtPathMonitor::QtPathMonitor(Backend backend, QObject *parent)
    : PathMonitor(parent)
    , m_backend(backend)
{
    // The first report is delivered from the event loop, never from inside start(), so a
    // caller can finish setting up after start() returns.
    m_firstReport.setSingleShot(true);
    m_firstReport.setInterval(0);
    connect(&m_firstReport, &QTimer::timeout, this, &QtPathMonitor::reportCurrent);
}

QtPathMonitor::~QtPathMonitor()
{
    stop();
}

bool QtPathMonitor::isUsable(QNetworkInformation::Reachability reachability)
{
    return reachability != QNetworkInformation::Reachability::Disconnected;
}

void QtPathMonitor::start()
{
    if (m_running)
        return;
    m_running = true;
    // loadDefaultBackend() needs NetworkManager; loading by feature also accepts glib.
    if (m_backend == Backend::Automatic &&
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        m_changes =
            connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged,
                    this, [this](QNetworkInformation::Reachability reachability) {
                        m_firstReport.stop();
                        Q_EMIT pathChanged(isUsable(reachability));
                    });
    }
    m_firstReport.start();
}

void QtPathMonitor::stop()
{
    m_running = false;
    m_firstReport.stop();
    disconnect(m_changes);
}

void QtPathMonitor::reportCurrent()
{
    const auto *information = QNetworkInformation::instance();
    const bool haveBackend = m_changes && information;
    Q_EMIT pathChanged(haveBackend ? isUsable(information->reachability()) : true);
}

} // namespace korvana
