#include "diagnostics.h"
#include "keyvaluestore.h"
#include "recordingfeedback.h"
#include "soundmanager.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using namespace korvana::feedback;
using korvana::test::FeedbackCall;
using korvana::test::haptic;
using korvana::test::RecordingFeedback;
using korvana::test::sound;

class TestSoundManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void startsFromTheStoredSwitch_data();
    void startsFromTheStoredSwitch();
    void switchedOffPlaysNothing();
    void togglingTwiceReturnsAndStores();
    void placementPlaysSoundThenMediumImpact();
    void failedAudioSetUpWritesOneWarningAndGoesOn_data();
    void failedAudioSetUpWritesOneWarningAndGoesOn();
    void defaultConstructionUsesTheSharedSeams();

private:
    QTemporaryDir m_folder;
    std::unique_ptr<KeyValueStore> m_store;
    RecordingFeedback m_feedback;
    QStringList m_lines;
};

void TestSoundManager::initTestCase()
{
    QVERIFY(m_folder.isValid());
    qputenv("XDG_CONFIG_HOME", m_folder.filePath(QStringLiteral("config")).toUtf8());
    setDiagnosticSink([this](const QString &line) { m_lines.append(line); });
}

void TestSoundManager::init()
{
    static int n = 0;
    m_store = std::make_unique<KeyValueStore>(
        m_folder.filePath(QStringLiteral("store-%1.json").arg(++n)));
    m_feedback.clear();
    m_feedback.setAudioError(std::nullopt);
    m_lines.clear();
}

void TestSoundManager::cleanup()
{
    SystemFeedback::setShared(nullptr);
}

void TestSoundManager::startsFromTheStoredSwitch_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: never written
    QTest::addColumn<bool>("enabled");
    QTest::addRow("first launch") << QVariant() << true;
    QTest::addRow("stored false") << QVariant(false) << false;
    QTest::addRow("stored true") << QVariant(true) << true;
    QTest::addRow("text false is not a Bool") << QVariant(QStringLiteral("false")) << true;
    QTest::addRow("number 0 is not a Bool") << QVariant(0) << true;
}

void TestSoundManager::startsFromTheStoredSwitch()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, enabled);
    if (stored.isValid()) {
        QSettings raw(m_store->fileName(), KeyValueStore::format());
        raw.setValue(QStringLiteral("soundEnabled"), stored);
    }
    SoundManager manager(*m_store, m_feedback);
    QCOMPARE(manager.isSoundEnabled(), enabled);
    QCOMPARE(manager.property("isSoundEnabled").toBool(), enabled);
}

void TestSoundManager::switchedOffPlaysNothing()
{
    m_store->setBoolean(QStringLiteral("soundEnabled"), false);
    SoundManager manager(*m_store, m_feedback);
    manager.playPlacementSound();
    for (const Event event :
         {Event::Placed, Event::Refused, Event::Selected, Event::SelectedShortDrag, Event::Rotated,
          Event::GameFinished, Event::MyTurn})
        manager.play(event);
    QCOMPARE(m_feedback.calls(), QList<FeedbackCall>());
}

void TestSoundManager::togglingTwiceReturnsAndStores()
{
    SoundManager manager(*m_store, m_feedback);
    QSignalSpy changed(&manager, &SoundManager::isSoundEnabledChanged);

    QVERIFY(QMetaObject::invokeMethod(&manager, "toggleSound"));
    QCOMPARE(manager.isSoundEnabled(), false);
    QCOMPARE(m_store->boolean(QStringLiteral("soundEnabled")), std::optional(false));
    manager.playPlacementSound();
    QVERIFY(m_feedback.calls().isEmpty());

    manager.toggleSound();
    QCOMPARE(manager.isSoundEnabled(), true);
    QCOMPARE(m_store->boolean(QStringLiteral("soundEnabled")), std::optional(true));
    QCOMPARE(changed.count(), 2);

    // The next game screen's manager reads what the last one stored.
    manager.toggleSound();
    KeyValueStore reopened(m_store->fileName());
    SoundManager next(reopened, m_feedback);
    QCOMPARE(next.isSoundEnabled(), false);
}

void TestSoundManager::placementPlaysSoundThenMediumImpact()
{
    SoundManager manager(*m_store, m_feedback);
    QVERIFY(QMetaObject::invokeMethod(&manager, "playPlacementSound"));
    QCOMPARE(m_feedback.calls(), (QList{sound(SystemSound::Placed), haptic(Haptic::MediumImpact)}));

    m_feedback.clear();
    manager.play(Event::SelectedShortDrag);
    QCOMPARE(m_feedback.calls(), QList{sound(SystemSound::Selected)});
}

void TestSoundManager::failedAudioSetUpWritesOneWarningAndGoesOn_data()
{
    QTest::addColumn<std::optional<QString>>("error");
    QTest::addColumn<QStringList>("lines");
    QTest::addRow("audio available") << std::optional<QString>() << QStringList();
    QTest::addRow("no audio output")
        << std::optional(QStringLiteral("no audio output device"))
        << QStringList{QStringLiteral("⚠️ Failed to configure audio session: "
                                      "no audio output device")};
}

void TestSoundManager::failedAudioSetUpWritesOneWarningAndGoesOn()
{
    QFETCH(std::optional<QString>, error);
    QFETCH(QStringList, lines);
    m_feedback.setAudioError(error);
    const int configuredBefore = m_feedback.configureCount();
    SoundManager manager(*m_store, m_feedback);
    QCOMPARE(m_lines, lines);
    QCOMPARE(m_feedback.configureCount(), configuredBefore + 1);
    manager.playPlacementSound();
    QCOMPARE(m_feedback.calls().size(), 2);
}

void TestSoundManager::defaultConstructionUsesTheSharedSeams()
{
    KeyValueStore::shared().setBoolean(QStringLiteral("soundEnabled"), true);
    SystemFeedback::setShared(&m_feedback);
    SoundManager manager;
    manager.toggleSound();
    QCOMPARE(KeyValueStore::shared().boolean(QStringLiteral("soundEnabled")), std::optional(false));
    manager.toggleSound();
    manager.playPlacementSound();
    QCOMPARE(m_feedback.calls().size(), 2);
}

QTEST_GUILESS_MAIN(TestSoundManager)
#include "tst_soundmanager.moc"
