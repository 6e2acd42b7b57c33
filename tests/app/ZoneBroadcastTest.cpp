// The bells of the other buildings never cost this computer's bell: with the zones' Snapcast
// server missing, then running, then killed while a bell plays, every bell rings here on its
// second and each failure of the zone is told once.
#include "app/Unit1.h"
#include "platform/SnapServer.h"
#include "storage/TaskFile.h"
#include "support/FakeMediaPlayer.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "support/WavFile.h"
#include "zones/ZoneBroadcast.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

int freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

class ZoneBroadcastTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeClock clock;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    FakeMediaPlayer mp1, mp2;
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;
    const int streamPort = freePort(), controlPort = freePort(), zonePort = freePort();

    void SetUp() override
    {
        dir.write("bell.wav", SilentWav(3000, 8000));
        // A server elsewhere: the program starts none itself, so the test decides when it runs.
        dir.writeText("Config.ini", QStringLiteral("[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nStayAwake=0\n"
                                                   "[Broadcast]\nEnabled=1\nServer=127.0.0.1\nStreamPort=%1\n"
                                                   "ControlPort=%2\n[BroadcastZones]\n教学楼=%3\n")
                                        .arg(streamPort).arg(controlPort).arg(zonePort));
        dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n08:00:10=1,0,1\n08:00:20=1,0,1\n[TimeParams]\n"
                                    "08:00:00=1,1,1,0,,0,00:00:00\n08:00:10=1,1,1,0,,0,00:00:00\n"
                                    "08:00:20=1,1,1,0,,0,00:00:00\n[Music]\n1=" + dir.file("bell.wav") + "\n");
        clock.set(QDate(2026, 3, 2), QTime(7, 59, 50));
    }
    // This computer's Play calls, and the play log's lines about the zone.
    int localPlays() const { return int(mp1.log.count("Play")); }
    QStringList zoneLog() const
    {
        return dir.readText("PlayLog.txt").split('\n').filter("教学楼");
    }
    // The times the server was told out of reach.
    int unreachable() const
    {
        return int(dir.readText("PlayLog.txt").split('\n').filter(QStringLiteral("服务器 127.0.0.1:%1").arg(controlPort)).size());
    }
    // The zones' start a buffer ahead, then this computer's second.
    void ring(TfrmMain& w, const QTime& second)
    {
        clock.set(QDate(2026, 3, 2), second.addMSecs(-w.zones->bells().leadMs()));
        w.zones->bells().tick();
        // The zone's stream is opened, or found missing, through the event loop.
        QTest::qWait(600);
        clock.set(QDate(2026, 3, 2), second.addMSecs(1));
        w.tmrMusicPlayTimer();
    }
};

TEST_F(ZoneBroadcastTest, MissingKilledAndBackTheLocalBellRingsAndEachFailureIsToldOnce)
{
    TfrmMain w(Services{&clock, &boxes, &dialogs, &mp1, &mp2, true, &shutdown, &startup});
    w.show();
    ASSERT_EQ(w.zones->bells().zoneCount(), 1);

    // No server: the zone fails, this computer rings; twice, told once.
    ring(w, QTime(8, 0, 0));
    EXPECT_EQ(localPlays(), 1);
    mp1.finish();
    ring(w, QTime(8, 0, 10));
    EXPECT_EQ(localPlays(), 2);
    mp1.finish();
    ASSERT_EQ(zoneLog().filter("未能送出").size(), 1) << zoneLog().join('\n').toStdString();

    // The server comes: the zone plays again, and says nothing.
    QDir().mkpath(dir.path() + "snap");
    SnapServer server;
    QSignalSpy up(&server, &SnapServer::running);
    server.start(SnapServerConfig(dir.path() + "snap", streamPort, controlPort, 1000, {{"教学楼", zonePort}}),
                 dir.path() + "snap");
    ASSERT_TRUE(up.wait(10000));
    // Nobody listens in the zone: the status bar says so while nothing plays here.
    w.tmrCycleTimer();
    w.zones->refreshStatus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.statPanels[1]->text() == "无客户端：教学楼"; }, 3000))
        << w.statPanels[1]->text().toStdString();
    ring(w, QTime(8, 0, 20));
    EXPECT_EQ(localPlays(), 3);
    EXPECT_TRUE(w.zones->bells().sounding("教学楼"));
    EXPECT_EQ(zoneLog().filter("未能送出").size(), 1);
    w.zones->refreshStatus();
    QTest::qWait(500);
    const int told = unreachable();
    EXPECT_EQ(told, 1); // while it was missing at the start

    // Killed while the zone's bell plays: this computer's bell plays on; the server's absence is
    // told once, however often it is looked for.
    server.stop();
    QTest::qWait(1500);
    w.zones->refreshStatus();
    QTest::qWait(2500);
    w.zones->refreshStatus();
    QTest::qWait(2500);
    EXPECT_EQ(mp1.mode, MediaMode::Playing);
    EXPECT_EQ(unreachable(), told + 1) << dir.readText("PlayLog.txt").toStdString();
}

} // namespace
