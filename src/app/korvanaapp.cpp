#include "korvanaapp.h"

#include "appobjects.h"
#include "enterpressesbuttons.h"
#include "keyvaluestore.h"
#include "managerlinks.h"

#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(KorvanaPlugin)

namespace korvana {

KorvanaApp::KorvanaApp(const QString &serverUrl, KeyValueStore &store, PathMonitor *monitor)
    : m_network(serverUrl)
    , m_authManager(std::make_unique<AuthManager>(m_network, store))
    , m_gameManager(std::make_unique<GameManager>(m_network))
    , m_connectionManager(std::make_unique<ConnectionManager>(serverUrl, monitor))
{
    linkManagers(m_network, *m_authManager, *m_gameManager, m_connectionManager.get());
    ui::publish({m_authManager.get(), m_gameManager.get(), m_connectionManager.get(), &store});
    ui::useAppStyle();
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
