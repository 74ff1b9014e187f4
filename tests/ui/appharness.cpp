#include "appharness.h"

#include "keyvaluestore.h"

#include <QCoroTask>

#include <QImage>
#include <QMetaProperty>
#include <QQmlProperty>
#include <QQuickWindow>
#include <QSet>
#include <QTest>

namespace korvana::test {

AppHarness::AppHarness(const QString &serverUrl, const QString &storePath, PathMonitor *monitor)
    : m_storePath(storePath.isEmpty() ? m_dir.filePath(QStringLiteral("store.json")) : storePath)
    , m_store(std::make_unique<KeyValueStore>(m_storePath))
    , m_app(std::make_unique<KorvanaApp>(serverUrl, *m_store, monitor))
{
    QQmlEngine &engine = m_app->engine();
    engine.setOutputWarningsToStandardError(true);
    QObject::connect(&engine, &QQmlEngine::warnings, &engine, [this](const QList<QQmlError> &list) {
        for (const QQmlError &error : list)
            m_warnings << error.toString();
    });
}

AppHarness::~AppHarness()
{
    m_app.reset();
    m_store.reset();
}

void ScreenRecorder::watch(QObject *contentView)
{
    m_contentView = contentView;
    if (!contentView)
        return;
    const QMetaObject *meta = contentView->metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty("currentScreen"));
    QObject::connect(contentView, property.notifySignal(), this,
                     metaObject()->method(metaObject()->indexOfSlot("record()")));
    record();
}

void ScreenRecorder::record()
{
    if (!m_contentView)
        return;
    const QString screen = m_contentView->property("currentScreen").toString();
    if (m_history.isEmpty() || m_history.constLast() != screen)
        m_history << screen;
}

bool AppHarness::load()
{
    if (!m_app->load())
        return false;
    m_recorder.watch(find(QStringLiteral("contentView")));
    return QTest::qWaitForWindowExposed(window());
}

namespace {

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

QObject *AppHarness::find(const QString &objectName) const
{
    const auto all = findAll(window(), objectName);
    return all.isEmpty() ? nullptr : all.constFirst();
}

QQuickItem *AppHarness::item(const QString &objectName) const
{
    return qobject_cast<QQuickItem *>(find(objectName));
}

QList<QQuickItem *> AppHarness::visibleItems(const QString &objectName) const
{
    QList<QQuickItem *> result;
    const auto all = findAll(window(), objectName);
    for (QObject *candidate : all) {
        auto *item = qobject_cast<QQuickItem *>(candidate);
        if (item && item->isVisible())
            result << item;
    }
    return result;
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
    static const QHash<QString, QString> itemNames{
        {QStringLiteral("launch"), QStringLiteral("launchScreen")},
        {QStringLiteral("login"), QStringLiteral("loginView")},
        {QStringLiteral("lobby"), QStringLiteral("lobbyView")},
        {QStringLiteral("game"), QStringLiteral("gameView")}};
    // Past the launch screen, also wait for its fade to end, so that what a test presses is
    // not under a fading layer.
    return QTest::qWaitFor(
        [&] {
            QQuickItem *screenItem = item(itemNames.value(screen));
            QObject *launchLayer = find(QStringLiteral("launchLoader"));
            const bool launchGone =
                screen == u"launch" || !launchLayer || !launchLayer->property("active").toBool();
            return currentScreen() == screen && screenItem && screenItem->isVisible() && launchGone;
        },
        int(timeout.count()));
}

void AppHarness::ensureVisible(QQuickItem *target)
{
    for (QQuickItem *parent = target->parentItem(); parent; parent = parent->parentItem()) {
        if (!parent->inherits("QQuickFlickable"))
            continue;
        QQuickItem *content = parent->property("contentItem").value<QQuickItem *>();
        if (!content)
            return;
        const QRectF inContent = target->mapRectToItem(content, target->boundingRect());
        const qreal contentY = parent->property("contentY").toReal();
        const qreal height = parent->height();
        if (inContent.top() >= contentY && inContent.bottom() <= contentY + height)
            return;
        const qreal maxY = std::max<qreal>(0, content->height() - height);
        parent->setProperty("contentY", std::clamp<qreal>(inContent.top() - 20, 0, maxY));
        return;
    }
}

bool AppHarness::click(QQuickItem *target)
{
    if (!target || !target->isVisible() || !window())
        return false;
    ensureVisible(target);
    QTest::qWait(20);
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

bool signUpInto(const QString &serverUrl, const QString &name, const QString &storePath)
{
    NetworkService network(serverUrl);
    KeyValueStore store(storePath);
    AuthManager auth(network, store);
    QCoro::waitFor(
        auth.registerTask(name, name + QStringLiteral("@example.pl"), QStringLiteral("haslo123")));
    if (!auth.isAuthenticated())
        qWarning() << "registration of" << name << "failed:" << auth.errorMessageText();
    return auth.isAuthenticated();
}

bool saveScreenshot(QQuickWindow *window, const QString &path)
{
    return window->grabWindow().save(path);
}

} // namespace korvana::test
