#include "systemfeedback.h"

#include <QTest>

using namespace korvana;

namespace {

// A voice that behaves as QSoundEffect does: a play() while it claims to play starts nothing.
// Its sound lasts lengthMs of the test's clock; a stuck voice goes on claiming to play after
// that, as an effect does without an audio device and at times on PulseAudio.
class FakeVoice final : public SoundVoice
{
public:
    FakeVoice(const qint64 &now, QList<qint64> &heard, qint64 lengthMs, bool stuck)
        : m_now(now)
        , m_heard(heard)
        , m_lengthMs(lengthMs)
        , m_stuck(stuck)
    {
    }

    bool isPlaying() const override { return m_playing && (m_stuck || m_now < m_endsAtMs); }
    void play() override
    {
        if (isPlaying())
            return;
        m_playing = true;
        m_endsAtMs = m_now + m_lengthMs;
        m_heard.append(m_now);
    }
    void stop() override { m_playing = false; }

private:
    const qint64 &m_now;
    QList<qint64> &m_heard;
    qint64 m_lengthMs;
    bool m_stuck;
    bool m_playing = false;
    qint64 m_endsAtMs = 0;
};

} // namespace

// Every event sounds, however fast they come and whatever the effects claim.
class TestVoicePool : public QObject
{
    Q_OBJECT
private slots:
    void everyPlayIsHeard_data();
    void everyPlayIsHeard();
};

void TestVoicePool::everyPlayIsHeard_data()
{
    QTest::addColumn<qint64>("lengthMs");
    QTest::addColumn<QList<qint64>>("gapsMs");
    QTest::addColumn<bool>("stuck");
    // Tile clicks and rotations a second or so apart, then a burst faster than the sound.
    const QList<qint64> pace{900, 1500, 700, 1200};
    const QList<qint64> burst{120, 80, 150, 100};
    QTest::addRow("a player's pace") << qint64(300) << pace << false;
    QTest::addRow("overlapping") << qint64(600) << burst << false;
    QTest::addRow("effects that stay playing, a player's pace") << qint64(300) << pace << true;
    QTest::addRow("effects that stay playing, overlapping") << qint64(600) << burst << true;
}

void TestVoicePool::everyPlayIsHeard()
{
    QFETCH(qint64, lengthMs);
    QFETCH(QList<qint64>, gapsMs);
    QFETCH(bool, stuck);
    qint64 now = 0;
    QList<qint64> heard;
    std::vector<std::unique_ptr<SoundVoice>> voices;
    for (int i = 0; i < DesktopFeedback::voicesPerSound; ++i)
        voices.push_back(std::make_unique<FakeVoice>(now, heard, lengthMs, stuck));
    VoicePool pool(std::move(voices));

    // An hour of play: a few hundred plays of one sound.
    QList<qint64> played;
    for (int i = 0; i < 400; ++i) {
        pool.play();
        played.append(now);
        now += gapsMs.at(i % gapsMs.size());
    }
    QCOMPARE(heard, played);
}

QTEST_GUILESS_MAIN(TestVoicePool)
#include "tst_voicepool.moc"
