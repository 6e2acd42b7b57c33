// Against a real sound server of its own: what the desktop's mixer does to the program's
// stream does not silence the next bell, and a muted output device is told.
#include "platform/GstMediaPlayer.h"
#include "platform/OutputMute.h"
#include "tests/support/PrivatePulse.h"
#include "tests/support/WavFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 15000;

// The sink input the server plays the program's stream through; -1 when there is none.
int programStream(const PrivatePulse& pulse)
{
    const QString list = pulse.pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
    const QStringList lines = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? -1 : lines.first().section(QLatin1Char('\t'), 0, 0).toInt();
}

} // namespace

TEST(OutputLevel, TheMixersMuteOfTheProgramIsNotInheritedAndAMutedDeviceIsTold)
{
    PrivatePulse pulse;
    QString why;
    ASSERT_TRUE(pulse.start(&why)) << why.toStdString();
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    {
        QFile file(tone);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SilentWav(700, 16000));
    }
    GstMediaPlayer player(QStringLiteral("autoaudiosink"));
    player.setFileName(tone);

    // The first bell; while it sounds, the user mutes and turns the program right down in
    // the mixer, which the server remembers for the program's next streams.
    qint64 began = RealtimeNs();
    player.Open();
    player.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pulse.onsetIn(began, RealtimeNs()) >= 0; }, kWaitMs));
    const int stream = programStream(pulse);
    ASSERT_GE(stream, 0);
    const QString id = QString::number(stream);
    pulse.pactl({QStringLiteral("set-sink-input-mute"), id, QStringLiteral("1")});
    pulse.pactl({QStringLiteral("set-sink-input-volume"), id, QStringLiteral("0")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.Mode() == MediaMode::Stopped; }, kWaitMs));
    player.Close();
    QTest::qWait(600); // the stream is let go

    // The next bells are heard all the same: one opened at its second, one prepared ahead
    // as a due bell is.
    for (const bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "prepared" : "opened at once");
        if (prepared) {
            player.Prepare(tone);
            QTest::qWait(500);
        }
        began = RealtimeNs();
        player.Open();
        player.Play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return pulse.onsetIn(began, RealtimeNs()) >= 0; }, kWaitMs))
            << "the bell after the mixer's mute was not heard";
        ASSERT_TRUE(QTest::qWaitFor([&] { return player.Mode() == MediaMode::Stopped; }, kWaitMs));
        player.Close();
        QTest::qWait(600);
    }

    // The device itself muted: that no level of ours can pass, so it is told, once.
    OutputMuteWatch watch;
    QSignalSpy told(&watch, &OutputMuteWatch::mutedChanged);
    QTest::qWait(300);
    pulse.pactl({QStringLiteral("set-sink-mute"), QStringLiteral("private"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.muted(); }, kWaitMs));
    pulse.pactl({QStringLiteral("set-sink-volume"), QStringLiteral("private"), QStringLiteral("50%")});
    QTest::qWait(300);
    pulse.pactl({QStringLiteral("set-sink-mute"), QStringLiteral("private"), QStringLiteral("0")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watch.muted(); }, kWaitMs));
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told.at(0).at(0).toBool());
    EXPECT_FALSE(told.at(1).at(0).toBool());
}
