// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "korvanaapp.h"

#include "appobjects.h"
#include "enterpressesbuttons.h"
#include "keyvaluestore.h"
#include "language.h"
#include "managerlinks.h"
#include "serverconfig.h"

#include <QCoreApplication>

#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(KorvanaPlugin)

namespace korvana {

namespace {
LocalServer::Options localServerOptions()
{
    LocalServer::Options options;
    // Installed beside the client; from PATH otherwise.
    options.searchDirs = {QCoreApplication::applicationDirPath()};
    options.preferredPort = localServerPort();
    return options;
}
} // namespace

KorvanaApp::KorvanaApp(const QString &serverUrl, KeyValueStore &store, PathMonitor *monitor,
                       std::optional<LocalServer::Options> localOptions)
    : m_network(serverUrl)
    , m_authManager(std::make_unique<AuthManager>(m_network, store))
    , m_gameManager(std::make_unique<GameManager>(m_network))
    // Until the chosen server is known, the monitor watches where the local one would be.
    , m_connectionManager(std::make_unique<ConnectionManager>(
          m_network.accessManager(),
          serverUrl.isEmpty() ? QStringLiteral("http://127.0.0.1:%1").arg(localServerPort())
                              : serverUrl,
          monitor))
    , m_serverManager(std::make_unique<ServerManager>(
          m_network, *m_authManager, m_gameManager.get(), m_connectionManager.get(), store,
          serverUrl, localOptions ? std::move(*localOptions) : localServerOptions()))
{
    linkManagers(m_network, *m_authManager, *m_gameManager, m_connectionManager.get());
    // Starts nothing that waits: the local server comes up in the background.
    m_serverManager->start();
    ui::publish({m_authManager.get(), m_gameManager.get(), m_connectionManager.get(), &store,
                 m_serverManager.get()});
    ui::useAppStyle();
    ui::installLanguage(ui::startLanguage(store));
    m_engine = std::make_unique<QQmlApplicationEngine>();
    // Qt 6.4 puts the module's files under qrc:/Korvana but does not look there by itself.
    m_engine->addImportPath(QStringLiteral("qrc:/"));
}

KorvanaApp::~KorvanaApp()
{
    m_engine.reset();
    // A later root may have published its own objects meanwhile; only ours are withdrawn.
    if (ui::published().authManager == m_authManager.get())
        ui::publish({});
}

bool KorvanaApp::load()
{
    // Qt 6.4 has no loadFromModule: the root is loaded by its resource path.
    m_engine->load(QUrl(QStringLiteral("qrc:/Korvana/root/Main.qml")));
    ui::letEnterPressButtons(window());
    return window() != nullptr;
}

QQuickWindow *KorvanaApp::window() const
{
    const auto roots = m_engine->rootObjects();
    return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(roots.constFirst());
}

} // namespace korvana
