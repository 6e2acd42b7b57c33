#include "storage/PeriodTimetable.h"

#include "storage/IniStore.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

PeriodTimetable Summer()
{
    PeriodTimetable t;
    t.name = "夏季作息";
    t.fromMonth = 5;
    t.classBell = "1";
    t.endBell = "2";
    t.warningBell = "3";
    t.periods = {{"第一节", QTime(8, 0), QTime(8, 45)}, {"第二节", QTime(8, 55), QTime(9, 40)}};
    return t;
}

QStringList Keys(const Timetable& t)
{
    QStringList keys;
    for (const Task& task : t.tasks())
        keys << task.key + " " + task.timeValue() + " " + task.paramsValue();
    keys.sort();
    return keys;
}

TEST(PeriodTimetable, StandsForOrdinaryTasksAndNamesWhatCannotBeSaved)
{
    const std::vector<PeriodTask> bells = PeriodTasks(Summer());
    QStringList lines;
    for (const PeriodTask& b : bells)
        lines << b.key + "=" + FormatTimeValue(b.entry) + "|" + FormatTimeParamsValue(b.entry);
    EXPECT_EQ(lines, QStringList({"07:58:00=1,0,3|1,1,1,1,1111100,0,00:00:00",
                                  "08:00:00=1,0,1|1,1,1,1,1111100,0,00:00:00",
                                  "08:45:00=1,0,2|1,1,1,1,1111100,0,00:00:00",
                                  "08:53:00=1,0,3|1,1,1,1,1111100,0,00:00:00",
                                  "08:55:00=1,0,1|1,1,1,1,1111100,0,00:00:00",
                                  "09:40:00=1,0,2|1,1,1,1,1111100,0,00:00:00"}));
    // Stored and read back whole.
    const PeriodTimetable t = Summer();
    EXPECT_EQ(DecodePeriodTimetables({t.name + "=" + FormatPeriodTimetable(t)}).at(0), t);

    struct Bad {
        std::function<void(PeriodTimetable&)> change;
        const char* problem;
    };
    const Bad bad[] = {
        {[](PeriodTimetable& x) { x.name = "夏;季"; }, "不能以空格开头或结尾"},
        {[](PeriodTimetable& x) { x.classBell.clear(); }, "没有选择上课铃"},
        {[](PeriodTimetable& x) { x.weekdays.fill(false); }, "没有选择星期"},
        {[](PeriodTimetable& x) { x.periods[1].end = QTime(8, 50); }, "第二节 的下课时间不晚于上课时间"},
        {[](PeriodTimetable& x) { x.periods[1].start = QTime(8, 45); }, "第一节 下课铃与第二节 上课铃同在 08:45:00"},
        {[](PeriodTimetable& x) { x.periods[0].start = QTime(0, 1); }, "第一节 的预备铃会落在前一天"},
    };
    EXPECT_TRUE(PeriodTimetableProblems(Summer()).isEmpty());
    for (const Bad& b : bad) {
        PeriodTimetable x = Summer();
        b.change(x);
        EXPECT_TRUE(PeriodTimetableProblems(x).join('\n').contains(QString::fromUtf8(b.problem)))
            << b.problem << ": " << PeriodTimetableProblems(x).join('\n').toStdString();
    }
}

// Saving, moving and removing periods, a clash with a hand-made task, and a season switch: the
// task file always holds the hand-made tasks and the bells of the timetable in force, as an
// older reader of the file sees them.
TEST(PeriodTimetable, TheTaskFileHoldsTheTimetableInForceAndTheHandMadeTasks)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    dir.writeText(TaskFileName, "[Time]\n8:00:00=1,0,4\n12:00:00=1,1,4\n[TimeParams]\n8:00:00=1,1,1,0,,0,\n"
                                "12:00:00=1,1,1,0,,0,\n[TaskSound]\n12:00:00=50,0,0\n");
    ProgramData data;
    data.loadTimetable();
    data.loadPeriodTimetables();
    PeriodTimetable summer = Summer();
    summer.warningBell.clear();
    PeriodTimetable winter = summer;
    winter.name = "冬季作息";
    winter.fromMonth = 10;
    winter.endBell.clear();
    winter.periods = {{"第一节", QTime(8, 30), QTime(9, 15)}};
    const std::vector<PeriodTimetable> both{summer, winter};
    const QDate may1(2027, 5, 1);

    EXPECT_EQ(data.periodClashes(both, may1), QStringList{"8:00:00（第一节 上课铃）"});
    EXPECT_EQ(data.savePeriodTimetables(both, may1, false),
              QStringList{"08:00:00 第一节 上课铃：该时刻已有手工任务，未写入"});
    EXPECT_EQ(Keys(data.timetable()), QStringList({"08:45:00 1,0,2 1,1,1,1,1111100,0,00:00:00",
                                                  "08:55:00 1,0,1 1,1,1,1,1111100,0,00:00:00",
                                                  "09:40:00 1,0,2 1,1,1,1,1111100,0,00:00:00",
                                                  "12:00:00 1,1,4 1,1,1,0,,0,",
                                                  "8:00:00 1,0,4 1,1,1,0,,0,"}));
    // Replacing the hand-made task; then the second period moves and the first goes.
    data.savePeriodTimetables(both, may1, true);
    EXPECT_EQ(data.timetable().size(), 5);
    EXPECT_EQ(data.timetable().find("8:00:00"), nullptr);
    std::vector<PeriodTimetable> moved = both;
    moved[0].periods = {{"第二节", QTime(9, 0), QTime(9, 45)}};
    EXPECT_TRUE(data.savePeriodTimetables(moved, may1, false).isEmpty());
    EXPECT_EQ(Keys(data.timetable()).join(' ').count("1111100"), 2) << Keys(data.timetable()).join('\n').toStdString();
    EXPECT_NE(data.timetable().find("09:45:00"), nullptr);
    EXPECT_NE(data.timetable().find("12:00:00"), nullptr) << "hand-made tasks are never touched";

    // The day view's timetable of a winter day, before the file has switched.
    const QDate oct1(2027, 10, 1);
    EXPECT_EQ(data.timetableOn(oct1).find("09:00:00"), nullptr);
    EXPECT_NE(data.timetableOn(oct1).find("08:30:00"), nullptr);
    EXPECT_EQ(data.timetableOn(oct1).find("12:00:00")->sound().volume, 50) << "a hand-made task keeps its sound";
    EXPECT_EQ(data.periodTimetableApplied(), "夏季作息");
    // The season switch writes the file; an older reader finds ordinary tasks.
    EXPECT_TRUE(data.applyPeriodTimetableOn(QDate(2027, 9, 30)).isEmpty());
    EXPECT_NE(data.timetable().find("09:00:00"), nullptr);
    data.applyPeriodTimetableOn(oct1);
    EXPECT_EQ(data.periodTimetableApplied(), "冬季作息");
    QStringList time, params;
    ReadWholeIniSection(dir.file(TaskFileName), TimeSection, time);
    ReadWholeIniSection(dir.file(TaskFileName), TimeParamsSection, params);
    EXPECT_EQ(time, QStringList({"12:00:00=1,1,4", "08:30:00=1,0,1"}));
    EXPECT_EQ(params, QStringList({"12:00:00=1,1,1,0,,0,", "08:30:00=1,1,1,1,1111100,0,00:00:00"}));
    EXPECT_EQ(PeriodTimetableOn(data.periodTimetables(), QDate(2028, 4, 30))->name, "冬季作息") << "into the next year";
}

} // namespace
