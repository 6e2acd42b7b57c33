#include "platform/Errors.h"
#include "schedule/TaskPlayback.h"
#include "storage/ConfigFile.h"
#include "storage/IniStore.h"
#include "storage/TaskFile.h"
#include "support/FakeMediaPlayer.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct RecordingView : ITaskPlaybackView {
    QString status, hint;
    QStringList statuses;
    int progressMax = -1, progressPos = -1;
    bool playing = false;
    bool cycle = false;
    int repaints = 0;
    QStringList failures;

    void setStatusText(const QString& t) override { status = t; statuses << t; }
    void setStatusHint(const QString& t) override { hint = t; }
    void setProgressMaximum(int s) override { progressMax = s; }
    void setProgressPosition(int s) override { progressPos = s; }
    void setPlayButtons(bool p) override { playing = p; }
    void setCycleTimerEnabled(bool e) override { cycle = e; }
    void currentTaskChanged() override { ++repaints; }
    void showFailure(const QString& m) override { failures << m; }
};

class PlaybackTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeClock clock;
    FakeMediaPlayer mp1;
    RecordingView view;
    QStringList libraryList{"1=/m/a.mp3", "2=/m/b.wav", "3=/m/c.mid"};
    ProgramData data;
    TaskPlayback playback{mp1, clock, view, data};

    // Task lines "key=value" for Time and TimeParams, and TaskSound when given.
    void tasks(const QStringList& time, const QStringList& params, const QStringList& sound = {})
    {
        dir.writeText(TaskFileName, "[Time]\n" + time.join('\n') + "\n[TimeParams]\n" +
                                        params.join('\n') + "\n[TaskSound]\n" + sound.join('\n') + "\n");
        data.setLibraryList(libraryList);
        data.loadTimetable();
    }
    QStringList opened() const
    {
        QStringList files;
        for (const QString& entry : mp1.log)
            if (entry.startsWith("Open:"))
                files << entry.mid(5);
        return files;
    }
    // The current file ends and the next tick comes.
    void endFile()
    {
        mp1.finish();
        playback.tmrCycleTimer();
    }
    void at(int h, int m, int s, int day = 2) { clock.set(QDate(2026, 3, day), QTime(h, m, s)); }
};

TEST_F(PlaybackTest, PassesPlayEveryKeyOnceAndTheTaskEndsAfterItsLoopCount)
{
    tasks({"08:00:00=1,0,1,2"}, {"08:00:00=3,1,1,0,,0,00:00:00"});
    mp1.length = 61500;
    playback.StartTask("08:00:00");
    EXPECT_EQ(view.statuses.value(0), "时间到了，进入播放");
    EXPECT_EQ(view.status, "正在播放/m/a.mp3");
    EXPECT_EQ(view.hint, "正在播放/m/a.mp3");
    EXPECT_EQ(view.progressMax, 61);
    EXPECT_TRUE(view.playing);
    EXPECT_TRUE(view.cycle);
    EXPECT_EQ(playback.CurrentTaskKey(), "08:00:00");

    playback.tmrCycleTimer();
    EXPECT_EQ(opened().size(), 1) << "a tick while the file plays changes nothing";
    for (int i = 0; i < 5; ++i)
        endFile();
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3", "/m/b.wav", "/m/a.mp3", "/m/b.wav", "/m/a.mp3",
                                     "/m/b.wav"}));
    EXPECT_EQ(playback.CurrentTaskKey(), "08:00:00");
    endFile();
    EXPECT_EQ(opened().size(), 6);
    EXPECT_TRUE(playback.CurrentTaskKey().isEmpty());
    EXPECT_FALSE(view.cycle);
    EXPECT_FALSE(view.playing);
    EXPECT_TRUE(view.status.isEmpty());
}

TEST_F(PlaybackTest, RandomModePlaysEachKeyOncePerPass)
{
    tasks({"08:00:00=1,0,1,2,3"}, {"08:00:00=4,1,2,0,,0,00:00:00"});
    playback.StartTask("08:00:00");
    for (int i = 0; i < 11; ++i)
        endFile();
    const QStringList files = opened();
    ASSERT_EQ(files.size(), 12);
    for (int pass = 0; pass < 4; ++pass) {
        QStringList one = files.mid(pass * 3, 3);
        one.sort();
        EXPECT_EQ(one, QStringList({"/m/a.mp3", "/m/b.wav", "/m/c.mid"})) << pass;
    }
}

TEST(EffectiveEnd, EarlierOfEndTimeAndLimit)
{
    struct Case {
        const char *start, *end;
        int limit;
        bool active;
        const char* effective;
        qint64 seconds;
    } cases[] = {
        {"08:00:00", "00:00:00", 0, false, "00:00:00", 0},
        {"08:00:00", "07:00:00", 0, false, "00:00:00", 0},
        {"08:00:00", "07:00:00", 30, true, "08:00:30", 8 * 3600 + 30},
        {"08:00:00", "08:30:00", 90, true, "08:01:30", 8 * 3600 + 90},
        {"08:29:00", "08:30:00", 90, true, "08:30:00", 8 * 3600 + 1800},
        {"08:00:00", "00:00:00", 45, true, "08:00:45", 8 * 3600 + 45},
        {"09:00:00", "09:00:00", 0, true, "09:00:00", 9 * 3600},
        {"09:00:00", "09:00:00", 20, true, "09:00:00", 9 * 3600},
        {"08:00:00", "garbage", 0, false, "00:00:00", 0},
        // A task at midnight with a limit stops at its limit, not at once.
        {"00:00:00", "00:00:00", 45, true, "00:00:45", 45},
        // The limit carries the task past midnight.
        {"23:59:50", "00:00:00", 30, true, "00:00:20", 86420},
        {"23:59:50", "23:59:59", 30, true, "23:59:59", 86399},
        // A hand-edited limit at the top of the range: no overflow, the task plays on for years.
        {"23:59:59", "00:00:00", 2147483647, true, "03:14:06", 86399 + qint64(2147483647)},
        {"08:00:00", "23:00:00", 2147483647, true, "23:00:00", 23 * 3600},
    };
    for (const Case& c : cases) {
        const EffectiveEnd e = ComputeEffectiveEnd(c.start, c.end, c.limit);
        EXPECT_EQ(e.active, c.active) << c.start << " " << c.end << " " << c.limit;
        EXPECT_EQ(e.endTime, c.effective) << c.start << " " << c.end << " " << c.limit;
        if (c.active) {
            EXPECT_EQ(e.endSeconds, c.seconds) << c.start << " " << c.end << " " << c.limit;
        }
    }
}

TEST_F(PlaybackTest, TheEndTimeStopsTheTaskInTheTickAfterIt)
{
    struct Case {
        const char* name;
        QTime start;
        const char* key;
        const char* params;
        QTime lastPlaying; // the tick at this time keeps playing
        int endDay;
        QTime stopped; // the tick at this time ends the task
    } cases[] = {
        {"limit before end time", QTime(8, 0), "08:00:00", "1,1,1,0,,90,08:30:00", QTime(8, 1, 30), 2,
         QTime(8, 1, 31)},
        {"end time before limit", QTime(8, 29), "08:29:00", "1,1,1,0,,90,08:30:00", QTime(8, 30), 2,
         QTime(8, 30, 1)},
        {"limit past midnight", QTime(23, 59, 50), "23:59:50", "1,1,1,0,,30,00:00:00", QTime(0, 0, 20),
         3, QTime(0, 0, 21)},
        {"started after its end", QTime(9, 0), "08:00:00", "1,1,1,0,,0,08:30:00", QTime(), 2,
         QTime(9, 0, 1)},
    };
    for (const Case& c : cases) {
        mp1.log.clear();
        tasks({QString(c.key) + "=1,0,1"}, {QString(c.key) + "=" + c.params});
        clock.set(QDate(2026, 3, 2), c.start);
        playback.StartTask(c.key);
        ASSERT_EQ(mp1.mode, MediaMode::Playing) << c.name;
        if (c.lastPlaying.isValid()) {
            clock.set(QDate(2026, 3, c.endDay), c.lastPlaying);
            playback.tmrCycleTimer();
            EXPECT_EQ(playback.CurrentTaskKey(), c.key) << c.name;
        }
        clock.set(QDate(2026, 3, c.endDay), c.stopped);
        playback.tmrCycleTimer();
        EXPECT_TRUE(playback.CurrentTaskKey().isEmpty()) << c.name;
        EXPECT_EQ(mp1.mode, MediaMode::Stopped) << c.name;
        EXPECT_EQ(opened().size(), 1) << c.name;
    }
}

TEST_F(PlaybackTest, ATaskPlaysAtItsLevelAndFadesOutEndingAtItsEndTimeOrLimit)
{
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nTaskVolume=50\n");
    data.loadSettings();
    struct Case {
        const char* name;
        const char* params;
        const char* sound; // TaskSound value, or none
        double level;
        int fadeInMs;
        QTime early, aimed; // a tick that lays no fade yet, the tick that lays it
        const char* fade;   // what the player is told then
    } cases[] = {
        {"a limit with a fade of 5 s", "1,1,1,0,,90,08:30:00", "80,2,5", 0.4, 2000, QTime(8, 1, 20),
         QTime(8, 1, 23), "FadeOut:7000/5000"},
        {"an end time without a fade of its own", "1,1,1,0,,0,08:00:10", nullptr, 0.5, 0, QTime(8, 0, 7),
         QTime(8, 0, 8), "FadeOut:2000/30"},
        {"neither: never faded", "1,1,1,0,,0,00:00:00", "100,0,9", 0.5, 0, QTime(8, 0, 7), QTime(), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mp1.log.clear();
        tasks({"08:00:00=1,0,1"}, {QString("08:00:00=") + c.params},
              c.sound ? QStringList{QString("08:00:00=") + c.sound} : QStringList{});
        QList<bool> sounding;
        playback.setSounding([&](bool on) { sounding << on; });
        at(8, 0, 0);
        playback.StartTask("08:00:00");
        EXPECT_DOUBLE_EQ(mp1.level(), c.level);
        EXPECT_EQ(mp1.fadeIn(), c.fadeInMs);
        EXPECT_EQ(sounding, QList<bool>{true});
        // The master volume turned while it sounds.
        data.changeSettings([] { WriteTaskVolume(100); });
        EXPECT_DOUBLE_EQ(mp1.level(), c.level * 2);
        data.changeSettings([] { WriteTaskVolume(50); });
        clock.set(QDate(2026, 3, 2), c.early);
        playback.tmrCycleTimer();
        EXPECT_FALSE(mp1.log.join(' ').contains("FadeOut"));
        if (c.aimed.isValid()) {
            clock.set(QDate(2026, 3, 2), c.aimed);
            playback.tmrCycleTimer();
            playback.tmrCycleTimer(); // laid once for the file
            EXPECT_EQ(mp1.log.filter("FadeOut"), QStringList{c.fade});
        }
        // The last file ends: the music behind comes back at once.
        mp1.finish();
        EXPECT_EQ(sounding, (QList<bool>{true, false}));
        playback.tmrCycleTimer();
        EXPECT_EQ(sounding, (QList<bool>{true, false}));
    }
}

TEST_F(PlaybackTest, PauseResumeSkipAndStop)
{
    tasks({"08:00:00=1,0,1,2"}, {"08:00:00=2,1,1,4,,0,08:30:00"});
    bool inFileAtPlay = false, inListAtPlay = false;
    mp1.onPlay = [&] {
        inFileAtPlay = ReadIniString(TaskFilePath(), TimeSection, "08:00:00", "") != "";
        inListAtPlay = !data.ScheduleList().isEmpty();
    };
    playback.StartTask("08:00:00");
    mp1.onPlay = nullptr;
    // A once-only task leaves the timetable as it starts, once its bell has started.
    EXPECT_TRUE(inFileAtPlay);
    EXPECT_TRUE(inListAtPlay);
    EXPECT_TRUE(data.ScheduleList().isEmpty()) << "it falls due no more";
    EXPECT_TRUE(data.timetable().find("08:00:00")->leaving) << "its row stays while it plays";
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeParamsSection, "08:00:00", "gone"), "gone");
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "08:00:00", "gone"), "gone");

    playback.btnPasueClick();
    EXPECT_EQ(mp1.mode, MediaMode::Paused);
    EXPECT_FALSE(view.playing);
    playback.tmrCycleTimer();
    EXPECT_EQ(opened().size(), 1) << "a paused file is not replaced";
    playback.btnPlayClick("08:00:00");
    EXPECT_EQ(mp1.mode, MediaMode::Playing) << "Play resumes";
    EXPECT_EQ(opened().size(), 1);

    // Skip on the last file of the first pass starts the second pass.
    endFile();
    playback.btnChangeMusicClick();
    playback.tmrCycleTimer();
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3", "/m/b.wav", "/m/a.mp3"}));

    playback.btnStopClick();
    EXPECT_FALSE(view.playing);
    playback.tmrCycleTimer();
    EXPECT_TRUE(playback.CurrentTaskKey().isEmpty());
    EXPECT_EQ(data.timetable().find("08:00:00"), nullptr) << "its row goes as it ends";
    EXPECT_EQ(opened().size(), 3);

    // Paused past the end time: the tick ends the task all the same.
    tasks({"09:00:00=1,0,1"}, {"09:00:00=1,1,1,0,,0,09:10:00"});
    at(9, 0, 0);
    playback.StartTask("09:00:00");
    playback.btnPasueClick();
    at(9, 10, 1);
    playback.tmrCycleTimer();
    EXPECT_TRUE(playback.CurrentTaskKey().isEmpty());
}

TEST_F(PlaybackTest, PlayStartsTheSelectedTaskAndANewTaskReplacesAPausedOne)
{
    // Disabled, and no day checks: Play starts it all the same.
    tasks({"08:00:00=0,0,3", "10:00:00=1,0,2"},
          {"08:00:00=1,1,1,1,0000000,0,00:00:00", "10:00:00=1,1,1,0,,0,00:00:00"});
    playback.btnPlayClick("");
    EXPECT_TRUE(opened().isEmpty()) << "no row selected";
    playback.btnPlayClick("08:00:00");
    EXPECT_EQ(opened(), QStringList({"/m/c.mid"}));
    playback.btnPasueClick();
    playback.StartTask("10:00:00");
    EXPECT_EQ(opened(), QStringList({"/m/c.mid", "/m/b.wav"}));
    EXPECT_EQ(mp1.mode, MediaMode::Playing);
    EXPECT_EQ(playback.CurrentTaskKey(), "10:00:00");

    // No loops: nothing plays and the playing task stays current.
    tasks({"11:00:00=1,0,1"}, {"11:00:00=0,1,1,0,,0,00:00:00"});
    playback.StartTask("11:00:00");
    EXPECT_EQ(playback.CurrentTaskKey(), "10:00:00");
    EXPECT_EQ(opened().size(), 2);
}

TEST_F(PlaybackTest, DirectoryTaskPlaysWhatTheDirectoryHoldsAtItsStart)
{
    QDir().mkpath(dir.file("bells"));
    for (const char* name : {"2.mp3", "10.WAV", "notes.txt"})
        QFile(dir.file(QString("bells/") + name)).open(QIODevice::WriteOnly);
    libraryList << "4=" + dir.file("bells/");
    tasks({"08:00:00=1,0,4"}, {"08:00:00=1,2,1,0,,0,00:00:00"});
    playback.StartTask("08:00:00");
    endFile();
    // The directory's stored separator and the one the search inserts both stay.
    EXPECT_EQ(opened(), QStringList({dir.file("bells//2.mp3"), dir.file("bells//10.WAV")}));
    EXPECT_EQ(playback.MusicKeys(), QStringList({"1", "2"}));

}

// A task that would play nothing (a loop count of 0 from an older file, an empty directory, no
// music) does not start: the log says why, the window stays idle, a playing task plays on.
TEST_F(PlaybackTest, ATaskThatPlaysNothingIsLoggedAndLeavesTheWindowIdle)
{
    QDir().mkpath(dir.file("empty"));
    libraryList << "4=" + dir.file("empty/");
    struct Case {
        const char *time, *params, *logged;
    };
    const Case cases[] = {
        {"09:00:00=1,0,1", "09:00:00=0,1,1,0,,0,00:00:00", "未播放：循环次数为 0"},
        {"09:00:00=1,0,4", "09:00:00=1,2,1,0,,0,00:00:00", "未播放：目录中没有音乐文件"},
        {"09:00:00=1,0", "09:00:00=1,1,1,0,,0,00:00:00", "未播放：没有歌曲铃声"},
        {"09:00:00=1,0,1", "07:00:00=1,1,1,0,,0,00:00:00", "未播放：该任务没有播放参数"},
    };
    // Outlives the loop: the playback keeps calling the journal after it.
    QStringList journal;
    playback.setJournal([&](const QString& key, const QString& file, const QString& event) {
        journal << key + "|" + file + "|" + event;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        journal.clear();
        tasks({c.time, "08:00:00=1,0,2"}, {c.params, "08:00:00=1,1,1,0,,0,00:00:00"});
        view = RecordingView();
        mp1.log.clear();
        playback.StartTask("09:00:00");
        EXPECT_EQ(journal, QStringList{QString("09:00:00||") + c.logged});
        EXPECT_TRUE(opened().isEmpty());
        EXPECT_TRUE(view.statuses.isEmpty());
        EXPECT_EQ(view.repaints, 0) << "no green row";
        EXPECT_TRUE(playback.CurrentTaskKey().isEmpty());
    }
    // While another task plays, it plays on and keeps its panel.
    playback.StartTask("08:00:00");
    playback.StartTask("09:00:00");
    EXPECT_EQ(playback.CurrentTaskKey(), "08:00:00");
    EXPECT_EQ(view.status, "正在播放/m/b.wav");
}

TEST_F(PlaybackTest, FilesThatFailToOpenAreSkippedReportedAndLogged)
{
    QStringList journal;
    playback.setJournal([&](const QString& key, const QString& file, const QString& event) {
        journal << key + " " + file + " " + event;
    });
    mp1.failingPaths = {"/m/a.mp3", "/m/c.mid"};
    tasks({"08:00:00=1,0,1,2,3"}, {"08:00:00=1,1,1,0,,0,00:00:00"});
    playback.StartTask("08:00:00");
    playback.tmrCycleTimer();
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3"})) << "the tick waits while the file opens";
    ASSERT_TRUE(mp1.failPendingOpen());
    const QString why = "：无法识别的格式（no decoder）";
    EXPECT_EQ(view.failures, QStringList({"无法播放/m/a.mp3" + why}));
    EXPECT_EQ(view.status, "无法播放/m/a.mp3");
    playback.tmrCycleTimer();
    EXPECT_EQ(mp1.mode, MediaMode::Playing) << "the next file plays";
    mp1.notify(MediaNotice::Opened);
    endFile();
    playback.tmrCycleTimer();
    ASSERT_TRUE(mp1.failPendingOpen());
    playback.tmrCycleTimer();
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3", "/m/b.wav", "/m/c.mid"}));
    EXPECT_EQ(view.failures, QStringList({"无法播放/m/a.mp3" + why, "无法播放/m/c.mid" + why}));
    EXPECT_TRUE(playback.CurrentTaskKey().isEmpty()) << "the task ends after its pass";
    EXPECT_EQ(view.status, "无法播放/m/c.mid");
    EXPECT_EQ(journal.size(), 4);
    EXPECT_EQ(journal.value(0), "08:00:00 /m/a.mp3 播放失败：无法识别的格式（no decoder）");
    EXPECT_TRUE(journal.contains("08:00:00 /m/b.wav 播放结束"));

    // A task whose every file fails gives up after one pass instead of failing again.
    mp1.failingPaths << "/m/b.wav";
    tasks({"09:00:00=1,0,1,2"}, {"09:00:00=5,1,1,0,,0,00:00:00"});
    playback.StartTask("09:00:00");
    for (int i = 0; i < 6; ++i) {
        mp1.failPendingOpen();
        playback.tmrCycleTimer();
    }
    EXPECT_EQ(opened().size(), 3 + 2);
    EXPECT_TRUE(playback.CurrentTaskKey().isEmpty());
}

TEST_F(PlaybackTest, WithoutAudioOutputTheTaskPlaysOnAndTheStatusSaysSo)
{
    mp1.audioOutput = false;
    tasks({"08:00:00=1,0,1,2"}, {"08:00:00=1,1,1,0,,0,00:00:00"});
    playback.StartTask("08:00:00");
    mp1.notify(MediaNotice::Opened);
    EXPECT_EQ(view.status, "没有可用的音频输出设备");
    endFile();
    playback.tmrCycleTimer();
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3", "/m/b.wav"}));
}

TEST_F(PlaybackTest, ATaskWithBadParametersLeavesThePlayingTaskAlone)
{
    tasks({"08:00:00=1,0,1", "09:00:00=1,0,2", "10:00:00=1,0,2"},
          {"08:00:00=1,1,1,0,,0,00:00:00", "09:00:00=x,1,1,0,,0,00:00:00", "10:00:00=1,1"});
    playback.StartTask("08:00:00");
    for (const char* key : {"09:00:00", "10:00:00"}) {
        try {
            playback.StartTask(key);
            ADD_FAILURE() << key << " started";
        } catch (const AppError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("TimeMusicList.ini 的 [TimeParams] 中 ") + key))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(playback.CurrentTaskKey(), "08:00:00");
    EXPECT_EQ(mp1.mode, MediaMode::Playing);
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3"}));
}

} // namespace

// Ahead of a start only the first file is handed over, and only when it is known then; the
// start itself reads the task again, so an edit in between counts.
TEST_F(PlaybackTest, PreparingHandsOverTheFirstFileKnownAheadAndTheStartReadsAgain)
{
    struct Case {
        const char* name;
        QString time, params;
        QStringList prepared;
    };
    const Case cases[] = {
        {"in order", "08:00:00=1,0,2,1", "08:00:00=1,1,1,0,,0,00:00:00", {"/m/b.wav"}},
        {"random, one file", "08:00:00=1,0,3", "08:00:00=1,1,2,0,,0,00:00:00", {"/m/c.mid"}},
        {"random, two files", "08:00:00=1,0,1,2", "08:00:00=1,1,2,0,,0,00:00:00", {}},
        {"a folder", "08:00:00=1,0,1", "08:00:00=1,2,1,0,,0,00:00:00", {}},
        {"no loops", "08:00:00=1,0,1", "08:00:00=0,1,1,0,,0,00:00:00", {}},
        {"bad parameters", "08:00:00=1,0,1", "08:00:00=x,1,1,0,,0,00:00:00", {}},
        {"no parameters", "08:00:00=1,0,1", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mp1.prepared.clear();
        tasks({c.time}, {c.params});
        playback.PrepareTask("08:00:00");
        EXPECT_EQ(mp1.prepared, c.prepared);
        EXPECT_TRUE(mp1.log.isEmpty()) << "nothing is opened or stopped ahead";
        EXPECT_TRUE(view.statuses.isEmpty());
    }

    tasks({"08:00:00=1,0,1"}, {"08:00:00=1,1,1,0,,0,00:00:00"});
    playback.PrepareTask("08:00:00");
    tasks({"08:00:00=1,0,3"}, {"08:00:00=1,1,1,0,,0,00:00:00"});
    playback.StartTask("08:00:00");
    EXPECT_EQ(opened(), QStringList{"/m/c.mid"});
}

// Rung by hand: once, through the task player, in place of the playing task, on record under
// its own key; a once-only task it cuts short leaves the list.
TEST_F(PlaybackTest, RingNowPlaysTheEntryOnceAndLogsItAsRungByHand)
{
    QStringList journal;
    playback.setJournal([&](const QString& key, const QString& file, const QString& event) {
        journal << key + "|" + file + "|" + event;
    });
    tasks({"08:00:00=1,0,1,2"}, {"08:00:00=2,1,1,4,,0,00:00:00"});
    playback.StartTask("08:00:00");
    playback.RingNow("3");
    EXPECT_EQ(opened(), QStringList({"/m/a.mp3", "/m/c.mid"}));
    EXPECT_TRUE(playback.CurrentTaskKey().isEmpty()) << "no row is green";
    EXPECT_EQ(data.timetable().find("08:00:00"), nullptr);
    mp1.notify(MediaNotice::Opened);
    endFile();
    EXPECT_EQ(opened().size(), 2) << "once";
    EXPECT_FALSE(view.cycle);
    EXPECT_EQ(journal, QStringList({"手动响铃|/m/c.mid|开始播放", "手动响铃|/m/c.mid|播放结束"}));

    // Stop ends it; an entry gone from the library is named and the bell that plays goes on.
    playback.RingNow("2");
    playback.btnStopClick();
    playback.tmrCycleTimer();
    EXPECT_EQ(mp1.mode, MediaMode::Stopped);
    playback.RingNow("1");
    EXPECT_THROW(playback.RingNow("9"), InputError);
    EXPECT_EQ(journal.mid(2), QStringList({"手动响铃|/m/b.wav|播放结束", "手动响铃||未播放：音频库中没有编号 9"}));
    EXPECT_EQ(mp1.mode, MediaMode::Playing);
}

TEST_F(PlaybackTest, AFileANewStartTakesOverFromHasItsEndInThePlayLog)
{
    tasks({"08:00:00=1,0,1", "08:00:01=1,0,2"}, {"08:00:00=1,1,1,0,,0,00:00:00", "08:00:01=1,1,1,0,,0,00:00:00"});
    QStringList journal;
    playback.setJournal([&](const QString& key, const QString& file, const QString& event) {
        journal << key + "|" + file + "|" + event;
    });
    const struct {
        const char* name;
        bool endedBeforeTheTick; // the file ended, the tick that logs it had not come
        const char* event;
    } cases[] = {{"still playing", false, "播放中断：下一个任务开始"}, {"just ended", true, "播放结束"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        journal.clear();
        playback.StartTask("08:00:00");
        mp1.notify(MediaNotice::Opened);
        if (c.endedBeforeTheTick)
            mp1.finish();
        playback.StartTask("08:00:01");
        EXPECT_EQ(journal, (QStringList{"08:00:00|/m/a.mp3|开始播放", QString("08:00:00|/m/a.mp3|") + c.event}));
    }
}
