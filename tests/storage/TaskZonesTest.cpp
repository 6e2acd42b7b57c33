#include "storage/TaskZones.h"

#include "storage/IniStore.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(TaskZones, AStoredValueReadsToItsNamesAndFormatsBack)
{
    struct Case {
        const char* value;
        QStringList names;
        const char* formatted;
    };
    const Case cases[] = {
        {"", {}, ""},
        {" , ,", {}, ""},
        {"教学楼", {"教学楼"}, "教学楼"},
        {" 教学楼 ,实验楼,,教学楼", {"教学楼", "实验楼"}, "教学楼,实验楼"},
        {"A楼,a楼", {"A楼", "a楼"}, "A楼,a楼"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const TaskZones z = ReadTaskZones(QString::fromUtf8(c.value));
        EXPECT_FALSE(z.all) << "a line, even an empty one, is not every zone";
        EXPECT_EQ(z.names, c.names);
        EXPECT_EQ(FormatTaskZones(z), QString::fromUtf8(c.formatted));
    }
}

const QString Tasks = "[Time]\n08:00:00=1,0,1\n09:00:00=1,0,1\n"
                      "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n09:00:00=1,1,1,0,,0,00:00:00\n";

TEST(TaskZones, TheLineFollowsItsTaskThroughEveryWrite)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    ProgramData data;
    TaskEntry entry;
    entry.MusicKeys = {"1"};
    const TaskZones lab{false, {"实验楼"}};
    struct Case {
        const char* name;
        std::function<void()> command;
        QStringList after; // the TaskZones section; empty: none at all
    };
    const Case cases[] = {
        {"saved in no zone", [&] { data.saveTask("08:00:00", entry, {}, TaskZones{false, {}}); },
         {"08:00:00=", "09:00:00=教学楼,操场"}},
        {"saved for every zone", [&] { data.saveTask("08:00:00", entry, {}, {}); }, {"09:00:00=教学楼,操场"}},
        {"moved to another time", [&] { data.saveTask("08:30:00", entry, {}, lab, "08:00:00"); },
         {"09:00:00=教学楼,操场", "08:30:00=实验楼"}},
        {"deleted", [&] { data.deleteTask("09:00:00"); }, {"08:00:00="}},
        {"cleared with all", [&] { data.clearAllTasks(); }, {}},
        {"started once only", [&] { data.startOnceOnly("09:00:00"); }, {"08:00:00="}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeText(TaskFileName, Tasks + "[TaskZones]\n08:00:00=\n09:00:00= 教学楼,操场\n");
        data.loadTimetable();
        c.command();
        QStringList lines;
        ReadWholeIniSection(TaskFilePath(), TaskZonesSection, lines);
        EXPECT_EQ(lines, c.after);
        EXPECT_EQ(dir.readText(TaskFileName).contains("[TaskZones]"), !c.after.isEmpty());
        for (const QString& line : c.after)
            EXPECT_EQ(data.timetable().find(LineName(line))->zones(), ReadTaskZones(LineValue(line)));
    }
    // A once-only task rings in its zones after its lines have left the file.
    EXPECT_EQ(data.timetable().find("09:00:00")->zones().names, QStringList({"教学楼", "操场"}));
    EXPECT_FALSE(data.timetable().find("08:00:00")->zones().includes("操场"));
}

} // namespace
