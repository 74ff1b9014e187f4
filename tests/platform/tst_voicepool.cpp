// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "systemfeedback.h"

#include <QTest>

using namespace korvana;

namespace {

// A voice that behaves as a QSoundEffect did on a PulseAudio null sink: each start plays the
// sound for lengthMs of the test's clock, but from its sixth start on it reaches the output no
// more and claims to play for ever. Without an audio device it never stops claiming to play.
class FakeVoice final : public SoundVoice
{
public:
    FakeVoice(const qint64 &now, QList<qint64> &heard, qint64 lengthMs, bool noDevice)
        : m_now(now)
        , m_heard(heard)
        , m_lengthMs(lengthMs)
        , m_noDevice(noDevice)
    {
    }

    bool isPlaying() const override
    {
        return m_started > 0 && (m_noDevice || m_started > stallsAfter || m_now < m_endsAtMs);
    }
    void play() override
    {
        if (++m_started > stallsAfter)
            return;
        m_endsAtMs = m_now + m_lengthMs;
        m_heard.append(m_now);
    }

private:
    static constexpr int stallsAfter = 5;
    const qint64 &m_now;
    QList<qint64> &m_heard;
    qint64 m_lengthMs;
    bool m_noDevice;
    int m_started = 0;
    qint64 m_endsAtMs = 0;
};

} // namespace

// Every event sounds, however often and however fast it comes.
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
    QTest::addColumn<bool>("noDevice");
    // Tile clicks and rotations a second or so apart, then a burst faster than the sound.
    const QList<qint64> pace{900, 1500, 700, 1200};
    const QList<qint64> burst{120, 80, 150, 100};
    QTest::addRow("a player's pace") << qint64(300) << pace << false;
    QTest::addRow("overlapping") << qint64(600) << burst << false;
    QTest::addRow("no audio device") << qint64(300) << pace << true;
}

void TestVoicePool::everyPlayIsHeard()
{
    QFETCH(qint64, lengthMs);
    QFETCH(QList<qint64>, gapsMs);
    QFETCH(bool, noDevice);
    qint64 now = 0;
    QList<qint64> heard;
    VoicePool pool([&] { return std::make_unique<FakeVoice>(now, heard, lengthMs, noDevice); },
                   DesktopFeedback::voicesPerSound);

    // An hour of play: a few hundred plays of one sound.
    QList<qint64> played;
    for (int i = 0; i < 400; ++i) {
        pool.play();
        played.append(now);
        QVERIFY(pool.size() <= DesktopFeedback::voicesPerSound);
        now += gapsMs.at(i % gapsMs.size());
    }
    QCOMPARE(heard, played);
}

QTEST_GUILESS_MAIN(TestVoicePool)
#include "tst_voicepool.moc"
