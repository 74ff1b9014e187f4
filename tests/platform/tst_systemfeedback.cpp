#include "recordingfeedback.h"
#include "systemfeedback.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTest>

using namespace korvana;
using namespace korvana::feedback;
using korvana::test::FeedbackCall;
using korvana::test::haptic;
using korvana::test::RecordingFeedback;
using korvana::test::sound;

class TestSystemFeedback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachEventPlaysItsSoundThenItsHaptic_data();
    void eachEventPlaysItsSoundThenItsHaptic();
    void recordsCallsInOrder();
    void everySoundIsAShortDistinctBundledWave();
    void desktopStaysWellWithoutWaitingForSounds();
    void sharedCanBeReplacedAndRestored();
};

void TestSystemFeedback::eachEventPlaysItsSoundThenItsHaptic_data()
{
    QTest::addColumn<Event>("event");
    QTest::addColumn<QList<FeedbackCall>>("calls");
    QTest::addRow("placed") << Event::Placed
                            << QList{sound(SystemSound::Placed), haptic(Haptic::MediumImpact)};
    QTest::addRow("refused") << Event::Refused
                             << QList{sound(SystemSound::Refused),
                                      haptic(Haptic::ErrorNotification)};
    QTest::addRow("selected") << Event::Selected
                              << QList{sound(SystemSound::Selected), haptic(Haptic::LightImpact)};
    QTest::addRow("selected by a short drag")
        << Event::SelectedShortDrag << QList{sound(SystemSound::Selected)};
    QTest::addRow("rotated") << Event::Rotated
                             << QList{sound(SystemSound::Rotated), haptic(Haptic::LightImpact)};
    QTest::addRow("game finished")
        << Event::GameFinished
        << QList{sound(SystemSound::GameFinished), haptic(Haptic::SuccessNotification)};
    QTest::addRow("my turn") << Event::MyTurn
                             << QList{sound(SystemSound::MyTurn), haptic(Haptic::MediumImpact)};
}

void TestSystemFeedback::eachEventPlaysItsSoundThenItsHaptic()
{
    QFETCH(Event, event);
    QFETCH(QList<FeedbackCall>, calls);
    RecordingFeedback feedback;
    feedback.play(event);
    QCOMPARE(feedback.calls(), calls);
}

void TestSystemFeedback::recordsCallsInOrder()
{
    RecordingFeedback feedback;
    feedback.haptic(Haptic::LightImpact);
    feedback.play(Event::Rotated);
    feedback.playSound(SystemSound::MyTurn);
    QCOMPARE(feedback.calls(), (QList{haptic(Haptic::LightImpact), sound(SystemSound::Rotated),
                                      haptic(Haptic::LightImpact), sound(SystemSound::MyTurn)}));
    feedback.clear();
    QVERIFY(feedback.calls().isEmpty());
    QVERIFY(feedback.configureAudio().has_value());
    feedback.setAudioError(QStringLiteral("no device"));
    QCOMPARE(feedback.configureAudio().error(), QStringLiteral("no device"));
}

void TestSystemFeedback::everySoundIsAShortDistinctBundledWave()
{
    QSet<QByteArray> seen;
    const auto sounds = {SystemSound::Refused,      SystemSound::Placed,   SystemSound::MyTurn,
                         SystemSound::GameFinished, SystemSound::Selected, SystemSound::Rotated};
    for (const SystemSound s : sounds) {
        QFile file(DesktopFeedback::resourcePath(s));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() > 44);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
        const auto u16 = [&](int at) { return quint8(wav[at]) | quint8(wav[at + 1]) << 8; };
        const auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
        QCOMPARE(u16(22), 1);      // mono
        QCOMPARE(u32(24), 44100u); // sample rate
        QCOMPARE(u16(34), 16);     // bits per sample
        const double seconds = double(u32(40)) / (44100 * 2);
        QVERIFY2(seconds > 0.01 && seconds < 0.3, qPrintable(file.fileName()));
        seen.insert(QCryptographicHash::hash(wav, QCryptographicHash::Sha1));
    }
    QCOMPARE(seen.size(), qsizetype(sounds.size()));
}

void TestSystemFeedback::desktopStaysWellWithoutWaitingForSounds()
{
    // Headless here: no audio device. Playing must neither block nor wait for an end.
    DesktopFeedback feedback;
    const auto configured = feedback.configureAudio();
    QVERIFY(configured.has_value() || !configured.error().isEmpty());
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 3; ++round) {
        for (const Event event : {Event::Placed, Event::Refused, Event::Selected, Event::Rotated,
                                  Event::GameFinished, Event::MyTurn})
            feedback.play(event);
    }
    QVERIFY(clock.elapsed() < 2000);
    QTest::qWait(50); // let any loading finish while the object still lives
}

void TestSystemFeedback::sharedCanBeReplacedAndRestored()
{
    RecordingFeedback recording;
    SystemFeedback::setShared(&recording);
    SystemFeedback::shared().play(Event::MyTurn);
    QCOMPARE(recording.calls().size(), 2);
    SystemFeedback::setShared(nullptr);
    QVERIFY(dynamic_cast<DesktopFeedback *>(&SystemFeedback::shared()));
}

QTEST_GUILESS_MAIN(TestSystemFeedback)
#include "tst_systemfeedback.moc"
