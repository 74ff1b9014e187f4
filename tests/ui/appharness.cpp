// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "appharness.h"

#include "keyvaluestore.h"
#include "scriptedhttpserver.h"

#include <QCoroTask>

#include <QJsonDocument>
#include <QMetaProperty>
#include <QQuickWindow>
#include <QSet>
#include <QTest>
#include <QtQuickTest/quicktest.h>

#include <functional>

namespace korvana::test {

namespace {

// Calls back on a notify signal found by name (QML properties have no C++ signal to take).
class NotifyRelay : public QObject
{
    Q_OBJECT
public:
    NotifyRelay(QObject *source, const char *property, std::function<void()> callback)
        : QObject(source)
        , m_callback(std::move(callback))
    {
        const QMetaObject *meta = source->metaObject();
        connect(source, meta->property(meta->indexOfProperty(property)).notifySignal(), this,
                metaObject()->method(metaObject()->indexOfSlot("relay()")));
    }
public Q_SLOTS:
    void relay() { m_callback(); }

private:
    std::function<void()> m_callback;
};

// Every object below the window: the item tree (delegates of repeaters have no QObject parent)
// and the plain objects each item owns (controllers, popups).
void collect(QObject *object, const QString &objectName, QList<QObject *> &found,
             QSet<QObject *> &seen)
{
    if (!object || seen.contains(object))
        return;
    seen.insert(object);
    if (object->objectName() == objectName)
        found << object;
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        const auto children = item->childItems();
        for (QQuickItem *child : children)
            collect(child, objectName, found, seen);
    }
    const auto children = object->children();
    for (QObject *child : children)
        collect(child, objectName, found, seen);
}

QList<QObject *> findAll(QQuickWindow *window, const QString &objectName)
{
    QList<QObject *> found;
    QSet<QObject *> seen;
    if (window)
        collect(window->contentItem(), objectName, found, seen);
    return found;
}

} // namespace

AppHarness::AppHarness(const QString &serverUrl, const QString &storePath, PathMonitor *monitor,
                       std::optional<LocalServer::Options> local)
    : m_store(std::make_unique<KeyValueStore>(
          storePath.isEmpty() ? m_dir.filePath(QStringLiteral("store.json")) : storePath))
    , m_app(std::make_unique<KorvanaApp>(serverUrl, *m_store, monitor, std::move(local)))
{
    QQmlEngine &engine = m_app->engine();
    engine.setOutputWarningsToStandardError(true);
    QObject::connect(&engine, &QQmlEngine::warnings, &engine, [this](const QList<QQmlError> &list) {
        for (const QQmlError &error : list)
            m_warnings << error.toString();
    });
}

AppHarness::~AppHarness() = default;

bool AppHarness::load()
{
    if (!m_app->load())
        return false;
    if (QObject *content = find(QStringLiteral("contentView"))) {
        const auto record = [this] {
            const QString screen = currentScreen();
            if (m_history.isEmpty() || m_history.constLast() != screen)
                m_history << screen;
        };
        new NotifyRelay(content, "currentScreen", record);
        record();
    }
    return QTest::qWaitForWindowExposed(window());
}

QObject *AppHarness::find(const QString &objectName) const
{
    return findAll(window(), objectName).value(0);
}

QQuickItem *AppHarness::item(const QString &objectName) const
{
    return qobject_cast<QQuickItem *>(find(objectName));
}

QList<QQuickItem *> AppHarness::visibleItems(const QString &objectName) const
{
    QList<QQuickItem *> result;
    for (QObject *candidate : findAll(window(), objectName)) {
        auto *item = qobject_cast<QQuickItem *>(candidate);
        if (item && item->isVisible())
            result << item;
    }
    return result;
}

QStringList AppHarness::texts(const QString &objectName) const
{
    QStringList result;
    for (QQuickItem *item : visibleItems(objectName))
        result << item->property("text").toString();
    return result;
}

QString AppHarness::text(const QString &objectName) const
{
    return texts(objectName).value(0, QStringLiteral("<hidden>"));
}

bool AppHarness::isOpen(const QString &objectName) const
{
    QObject *popup = find(objectName);
    return popup && popup->property("visible").toBool();
}

QString AppHarness::currentScreen() const
{
    QObject *content = find(QStringLiteral("contentView"));
    return content ? content->property("currentScreen").toString() : QString();
}

void AppHarness::completeLaunch()
{
    if (QObject *content = find(QStringLiteral("contentView")))
        QMetaObject::invokeMethod(content, "completeLaunch");
}

bool AppHarness::waitForScreen(const QString &screen, std::chrono::milliseconds timeout)
{
    const QString itemName = screen == u"launch" ? QStringLiteral("launchScreen") : screen + "View";
    // Past the launch screen, also wait for its fade to end, so that what a test presses is
    // not under a fading layer.
    return QTest::qWaitFor(
        [&] {
            QQuickItem *screenItem = item(itemName);
            QObject *launchLayer = find(QStringLiteral("launchLoader"));
            const bool launchGone =
                screen == u"launch" || !launchLayer || !launchLayer->property("active").toBool();
            return currentScreen() == screen && screenItem && screenItem->isVisible() && launchGone;
        },
        int(timeout.count()));
}

bool AppHarness::click(QQuickItem *target)
{
    if (!target || !target->isVisible() || !window())
        return false;
    // Inside a scrolled page: scroll it into view first.
    for (QQuickItem *parent = target->parentItem(); parent; parent = parent->parentItem()) {
        if (!parent->inherits("QQuickFlickable"))
            continue;
        auto *content = parent->property("contentItem").value<QQuickItem *>();
        const QRectF inContent = target->mapRectToItem(content, target->boundingRect());
        const qreal top = parent->property("contentY").toReal();
        if (inContent.top() < top || inContent.bottom() > top + parent->height()) {
            const qreal maxY = std::max<qreal>(0, content->height() - parent->height());
            parent->setProperty("contentY", std::clamp<qreal>(inContent.top() - 20, 0, maxY));
        }
        break;
    }
    if (!QQuickTest::qWaitForPolish(window()))
        return false;
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    if (!QRectF(QPointF(0, 0), window()->size()).contains(centre))
        return false; // still sliding in, or out of reach
    QTest::mouseClick(window(), Qt::LeftButton, {}, centre.toPoint());
    return true;
}

void AppHarness::type(QQuickItem *target, const QString &text)
{
    if (!target)
        return;
    target->forceActiveFocus();
    // Qt 6.4 has keyClicks for widgets only; a key event with its text types any character.
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, window(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void AppHarness::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(window(), key, modifiers);
}

std::unique_ptr<AppHarness> openSignedInLobby(const ScriptedHttpServer &server,
                                              const QString &folder, PathMonitor *monitor)
{
    const QString store = folder + QStringLiteral("/%1.json").arg(server.port());
    KeyValueStore(store).setString(QStringLiteral("authToken"), QStringLiteral("token"));
    auto harness = std::make_unique<AppHarness>(server.baseUrl().toString(), store, monitor);
    if (!harness->load())
        return nullptr;
    harness->completeLaunch();
    if (!harness->waitForScreen(QStringLiteral("lobby")))
        return nullptr;
    return harness;
}

bool signUpInto(const QString &serverUrl, const QString &name, const QString &storePath)
{
    NetworkService network(serverUrl);
    KeyValueStore store(storePath);
    AuthManager auth(network, store);
    QCoro::waitFor(
        auth.registerTask(name, name + QStringLiteral("@example.pl"), QStringLiteral("haslo123")));
    return auth.isAuthenticated();
}

QList<QJsonObject> bodiesOf(const ScriptedHttpServer &server, const QString &path)
{
    QList<QJsonObject> bodies;
    for (const auto &request : server.requests())
        if (request.pathWithoutQuery() == path)
            bodies << QJsonDocument::fromJson(request.body).object();
    return bodies;
}

} // namespace korvana::test

#include "appharness.moc"
