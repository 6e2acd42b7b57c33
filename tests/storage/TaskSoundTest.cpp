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
        {"80,2,5", {80, 2, 5}, ""},
        {" 0 , 60,60", {0, 60, 60}, ""},
        {"150,0,0", {150, 0, 0}, ""},
        {"200,-1,61", {150, 0, 60},
         "音量 200 不在 0～150 之内，按 150% 播放；淡入 -1 不在 0～60 之内，按 0 秒播放；"
         "淡出 61 不在 0～60 之内，按 60 秒播放"},
        {"80,2", {}, "“80,2”应为“音量,淡入秒数,淡出秒数”三个整数，已按默认音量 100%、不淡入淡出播放"},
        {"80,2,5,1", {}, "“80,2,5,1”应为"},
        {"loud,2,5", {}, "“loud,2,5”应为"},
        {"80.5,2,5", {}, "“80.5,2,5”应为"},
        {"", {}, "“”应为"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        QString problem = "stale";
        EXPECT_EQ(ReadTaskSound(c.value, &problem), c.sound);
        if (*c.problem) {
            EXPECT_TRUE(problem.startsWith(QString::fromUtf8(c.problem))) << problem.toStdString();
        } else {
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
            EXPECT_EQ(ReadTaskSound(FormatTaskSound(c.sound)), c.sound) << "written as read";
        }
    }
}

TEST(TaskSound, EachTaskHasTheSoundOfItsLineAndEachBadLineIsNamed)
{
    const Timetable t = Timetable::Decode({"08:00:00=1,0,1", "Bell=1,0,1", "09:00:00=1,0,1", "10:00:00=1,0,1"}, {}, {},
                                          {"bell=80,2,5", "09:00:00=x", "10:00:00=151,0,0", "11:00:00=oops"});
    EXPECT_TRUE(t.find("08:00:00")->sound().isDefault());
    EXPECT_EQ(t.find("Bell")->sound(), (TaskSound{80, 2, 5})) << "keys fold as the file's reads fold them";
    EXPECT_TRUE(t.find("09:00:00")->sound().isDefault());
    EXPECT_EQ(t.find("10:00:00")->sound().volume, 150);
    EXPECT_TRUE(t.messages().isEmpty()) << "the tasks are listed";
    // The line of 11:00:00 has no task and is not named.
    ASSERT_EQ(t.soundMessages().size(), 2);
    EXPECT_TRUE(t.soundMessages()[0].startsWith("TimeMusicList.ini 的 [TaskSound] 中 09:00:00 一行有误：“x”应为"));
    EXPECT_EQ(t.soundMessages()[1],
              "TimeMusicList.ini 的 [TaskSound] 中 10:00:00 一行有误：音量 151 不在 0～150 之内，按 150% 播放");
}

class TaskSoundFileTest : public ::testing::Test {
protected:
    TempAppDir dir;
    ProgramData data;
    void SetUp() override
    {
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    }
    static TaskEntry Entry(bool enabled = true)
    {
        TaskEntry e;
        e.Enabled = enabled;
        e.MusicKeys = {"1"};
        return e;
    }
};

TEST_F(TaskSoundFileTest, AFileWithoutSoundsIsReadAndSavedByteForByte)
{
    const QString tasks = "[Time]\n08:00:00=1,0,1\n[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n[Music]\n1=/b/ring.wav\n";
    dir.writeText(TaskFileName, tasks);
    const QByteArray before = dir.read(TaskFileName);
    EXPECT_TRUE(data.loadTimetable().isEmpty());
    data.saveTask("08:00:00", Entry(), TaskSound{});
    EXPECT_EQ(dir.read(TaskFileName), before);

    // A bad line is named by the load and left as it is.
    dir.writeText(TaskFileName, tasks + "[TaskSound]\n08:00:00=80\n");
    const QByteArray bad = dir.read(TaskFileName);
    const QStringList messages = data.loadTimetable();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("[TaskSound] 中 08:00:00")) << messages[0].toStdString();
    EXPECT_EQ(dir.read(TaskFileName), bad);
}

TEST_F(TaskSoundFileTest, TheLineFollowsItsTaskThroughEveryWrite)
{
    const QString tasks = "[Time]\n08:00:00=1,0,1\n09:00:00=0,0,1\n"
                          "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n09:00:00=1,1,1,0,,0,00:00:00\n"
                          "[TaskSound]\n08:00:00=80,2,5\n09:00:00=50,0,0\n";
    struct Case {
        const char* name;
        std::function<void()> command;
        QStringList after; // the TaskSound section; empty: none at all
    };
    const Case cases[] = {
        {"saved with another sound", [&] { data.saveTask("08:00:00", Entry(), {60, 0, 3}); },
         {"08:00:00=60,0,3", "09:00:00=50,0,0"}},
        {"saved with the default sound", [&] { data.saveTask("08:00:00", Entry(), {}); }, {"09:00:00=50,0,0"}},
        {"moved to another time", [&] { data.saveTask("08:30:00", Entry(), {80, 2, 5}, "08:00:00"); },
         {"09:00:00=50,0,0", "08:30:00=80,2,5"}},
        {"deleted", [&] { data.deleteTask("08:00:00"); }, {"09:00:00=50,0,0"}},
        {"cleared as switched off", [&] { data.clearDisabledTasks(); }, {"08:00:00=80,2,5"}},
        {"cleared with all", [&] { data.clearAllTasks(); }, {}},
        {"started once only", [&] { data.startOnceOnly("08:00:00"); }, {"09:00:00=50,0,0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeText(TaskFileName, tasks);
        data.loadTimetable();
        c.command();
        QStringList lines;
        ReadWholeIniSection(TaskFilePath(), TaskSoundSection, lines);
        EXPECT_EQ(lines, c.after);
        if (c.after.isEmpty()) {
            EXPECT_FALSE(dir.readText(TaskFileName).contains("[TaskSound]"));
        }
        for (const QString& line : c.after) {
            const Task* task = data.timetable().find(LineName(line));
            ASSERT_NE(task, nullptr) << line.toStdString();
            EXPECT_EQ(FormatTaskSound(task->sound()), LineValue(line)) << "the timetable holds what the file does";
        }
    }
    // A once-only task plays at its sound after its lines have left the file.
    ASSERT_NE(data.timetable().find("08:00:00"), nullptr);
    EXPECT_EQ(data.timetable().find("08:00:00")->sound(), (TaskSound{80, 2, 5}));
}

} // namespace
