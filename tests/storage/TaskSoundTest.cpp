#include "storage/TaskSound.h"

#include "storage/IniStore.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(TaskSound, AStoredValueIsReadClampedOrTheDefaultAndTheReasonIsGiven)
{
    struct Case {
        const char* value;
        TaskSound sound;
        const char* problem; // "" when the value is taken as it stands
    };
    const Case cases[] = {
        {" 0 , 60,60", {0, 60, 60}, ""},
        {"150,2,5", {150, 2, 5}, ""},
        {"200,-1,61", {150, 0, 60},
         "音量 200 不在 0～150 之内，按 150% 播放；淡入 -1 不在 0～60 之内，按 0 秒播放；"
         "淡出 61 不在 0～60 之内，按 60 秒播放"},
        {"80,2", {}, "“80,2”应为“音量,淡入秒数,淡出秒数”三个整数，已按默认音量 100%、不淡入淡出播放"},
        {"80,2,5,1", {}, "“80,2,5,1”应为"},
        {"80.5,2,5", {}, "“80.5,2,5”应为"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        QString problem = "stale";
        EXPECT_EQ(ReadTaskSound(c.value, &problem), c.sound);
        EXPECT_TRUE(*c.problem ? problem.startsWith(QString::fromUtf8(c.problem)) : problem.isEmpty())
            << problem.toStdString();
    }
    EXPECT_EQ(ReadTaskSound(FormatTaskSound({80, 2, 5})), (TaskSound{80, 2, 5}));
}

TEST(TaskSound, EachTaskHasTheSoundOfItsLineAndEachBadLineIsNamed)
{
    const Timetable t = Timetable::Decode({"08:00:00=1,0,1", "Bell=1,0,1", "09:00:00=1,0,1"}, {}, {},
                                          {"bell=80,2,5", "09:00:00=151,0,0", "11:00:00=oops"});
    EXPECT_TRUE(t.find("08:00:00")->sound().isDefault());
    EXPECT_EQ(t.find("Bell")->sound(), (TaskSound{80, 2, 5})) << "keys fold as the file's reads fold them";
    EXPECT_EQ(t.find("09:00:00")->sound().volume, 150);
    // The line of 11:00:00 has no task and is not named.
    EXPECT_EQ(t.soundMessages(),
              QStringList{"TimeMusicList.ini 的 [TaskSound] 中 09:00:00 一行有误：音量 151 不在 0～150 之内，按 150% 播放"});
    EXPECT_TRUE(t.messages().isEmpty()) << "the task is listed";
}

TEST(TaskSound, AFileWithoutSoundsIsSavedByteForByteAndAReadWritesNothing)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    const QString tasks = "[Time]\n08:00:00=1,0,1\n[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n[Music]\n1=/b/ring.wav\n";
    ProgramData data;
    for (const QString& sounds : {QString(), QString("[TaskSound]\n08:00:00=80\n")}) {
        dir.writeText(TaskFileName, tasks + sounds);
        const QByteArray before = dir.read(TaskFileName);
        EXPECT_EQ(data.loadTimetable().size(), sounds.isEmpty() ? 0 : 1);
        EXPECT_EQ(dir.read(TaskFileName), before);
    }
    dir.writeText(TaskFileName, tasks);
    const QByteArray before = dir.read(TaskFileName);
    data.loadTimetable();
    TaskEntry entry;
    entry.MusicKeys = {"1"};
    data.saveTask("08:00:00", entry, TaskSound{}, TaskZones{});
    EXPECT_EQ(dir.read(TaskFileName), before);
}

TEST(TaskSound, TheLineFollowsItsTaskThroughEveryWrite)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    ProgramData data;
    TaskEntry entry;
    entry.MusicKeys = {"1"};
    struct Case {
        const char* name;
        std::function<void()> command;
        QStringList after; // the TaskSound section; empty: none at all
    };
    const Case cases[] = {
        {"saved with another sound", [&] { data.saveTask("08:00:00", entry, {60, 0, 3}, {}); },
         {"08:00:00=60,0,3", "09:00:00=50,0,0"}},
        {"saved with the default sound", [&] { data.saveTask("08:00:00", entry, {}, {}); }, {"09:00:00=50,0,0"}},
        {"moved to another time", [&] { data.saveTask("08:30:00", entry, {80, 2, 5}, {}, "08:00:00"); },
         {"09:00:00=50,0,0", "08:30:00=80,2,5"}},
        {"deleted", [&] { data.deleteTask("08:00:00"); }, {"09:00:00=50,0,0"}},
        {"cleared as switched off", [&] { data.clearDisabledTasks(); }, {"08:00:00=80,2,5"}},
        {"cleared with all", [&] { data.clearAllTasks(); }, {}},
        {"started once only", [&] { data.startOnceOnly("08:00:00"); }, {"09:00:00=50,0,0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n09:00:00=0,0,1\n"
                                    "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n09:00:00=1,1,1,0,,0,00:00:00\n"
                                    "[TaskSound]\n08:00:00=80,2,5\n09:00:00=50,0,0\n");
        data.loadTimetable();
        c.command();
        QStringList lines;
        ReadWholeIniSection(TaskFilePath(), TaskSoundSection, lines);
        EXPECT_EQ(lines, c.after);
        EXPECT_EQ(dir.readText(TaskFileName).contains("[TaskSound]"), !c.after.isEmpty());
        for (const QString& line : c.after)
            EXPECT_EQ(FormatTaskSound(data.timetable().find(LineName(line))->sound()), LineValue(line));
    }
    // A once-only task plays at its sound after its lines have left the file.
    EXPECT_EQ(data.timetable().find("08:00:00")->sound(), (TaskSound{80, 2, 5}));
}

} // namespace
