// The whole window with the real clock and the real GStreamer player on a fake sink:
// a task that falls due two seconds ahead plays its two files twice.
#include "app/Unit1.h"
#include "platform/Clock.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "support/RecordingPlayer.h"
#include "support/WavFile.h"
#include "tasks/TaskListPage.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PlaybackEndToEnd, ADueTaskPlaysItsTwoFilesTwiceAndTheWindowGoesIdle)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    dir.write("a.wav", SilentWav(500));
    dir.write("b.wav", SilentWav(500));
    SystemClock clock;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    RecordingPlayer mp1;
    GstMediaPlayer background(QStringLiteral("fakesink sync=true"));

    const QString key = QTime::currentTime().addSecs(2).toString("HH:mm:ss");
    dir.writeText("TimeMusicList.ini", "[Time]\n" + key + "=1,0,1,2\n[TimeParams]\n" + key +
                                           "=2,1,1,0,,0,00:00:00\n[Music]\n1=" + dir.file("a.wav") +
                                           "\n2=" + dir.file("b.wav") + "\n");
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;
    TfrmMain w(Services{&clock, &boxes, &dialogs, &mp1, &background, true, &shutdown, &startup});
    TaskListPage* page = w.tsplaylist;

    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->currentTaskKey().isEmpty(); }, 6000));
    EXPECT_EQ(page->currentTaskKey(), key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.statPanels[1]->text().startsWith("正在播放"); }, 3000));
    EXPECT_TRUE(w.statPanels[1]->text().endsWith(".wav"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page->btnPlay->isEnabled(); }, 3000))
        << "the buttons follow the file once it plays";

    ASSERT_TRUE(QTest::qWaitFor([&] { return page->currentTaskKey().isEmpty(); }, 20000));
    EXPECT_EQ(mp1.played, QStringList({dir.file("a.wav"), dir.file("b.wav"), dir.file("a.wav"),
                                        dir.file("b.wav")}));
    EXPECT_TRUE(w.statPanels[1]->text().isEmpty());
    EXPECT_FALSE(w.tmrCycle.isActive());
    EXPECT_TRUE(page->btnPlay->isEnabled());
    EXPECT_FALSE(page->btnStop->isEnabled());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

} // namespace
