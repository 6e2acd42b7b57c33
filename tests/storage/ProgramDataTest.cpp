#include "storage/ProgramData.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(Timetable, FindsAKeyAsTheFileDoesAndNamesEachLineTheListCannotShow)
{
    const Timetable t = Timetable::Decode(
        {"08:00:00=1,0,1", "Bell=1,0,1", "BELL=0,0,1", "École=1,0,1", "09:00:00=x,0,1", "7:05:00=1,0,1"},
        {"08:00:00=2,1,1,0,,0,00:00:00", "bell=1,1,1,1,1000000,0,00:00:00"}, {"1=/b/ring.wav"});
    ASSERT_EQ(t.size(), 6);
    EXPECT_EQ(t.find("08:00:00")->second, 8 * 3600);
    EXPECT_EQ(t.find("7:05:00")->second, 7 * 3600 + 5 * 60);
    EXPECT_EQ(t.find("Bell")->second, -1);
    // ASCII letters fold, as the file's reads fold them; the first line of a key wins.
    EXPECT_EQ(t.find("bELL")->timeValue(), "1,0,1");
    EXPECT_EQ(t.find("bELL")->paramsValue(), "1,1,1,1,1000000,0,00:00:00");
    EXPECT_EQ(t.find("école"), nullptr);
    EXPECT_EQ(TaskCell(*t.find("08:00:00"), 1), "ring.wav");
    EXPECT_EQ(TaskCell(*t.find("08:00:00"), 2), "2");
    EXPECT_EQ(TaskCell(*t.find("bell"), 6), "周一");
    // Unlisted, but still in the timetable: the due-time check reads its flags by place.
    EXPECT_FALSE(t.find("09:00:00")->listed());
    EXPECT_EQ(t.messages(),
              QStringList{"TimeMusicList.ini 的 [Time] 中 09:00:00 一行有误：“x”不是有效的布尔值"});
    EXPECT_EQ(t.ScheduleList().value(4), "09:00:00=x,0,1");
}

TEST(ProgramData, AOnceOnlyTaskLeavesTheFileAtItsStartAndTheTimetableAtItsEnd)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n09:00:00=1,0,1\n"
                                "[TimeParams]\n08:00:00=1,1,1,4,,0,00:00:00\n09:00:00=1,1,1,0,,0,00:00:00\n");
    ProgramData data;
    int changes = 0;
    QObject::connect(&data, &ProgramData::changed, [&] { ++changes; });
    EXPECT_TRUE(data.loadTimetable().isEmpty());

    data.startOnceOnly("08:00:00");
    EXPECT_FALSE(dir.readText(TaskFileName).contains("08:00:00"));
    EXPECT_EQ(data.ScheduleList(), QStringList{"09:00:00=1,0,1"}) << "it falls due no more";
    ASSERT_NE(data.timetable().find("08:00:00"), nullptr) << "it is listed while it plays";

    // A change of another task reads the file again; the playing task stays listed.
    data.setTaskEnabled("09:00:00", false);
    EXPECT_EQ(data.ScheduleList(), QStringList{"09:00:00=0,0,1"});
    ASSERT_NE(data.timetable().find("08:00:00"), nullptr);
    EXPECT_TRUE(data.timetable().find("08:00:00")->leaving);

    data.endLeaving("08:00:00");
    EXPECT_EQ(data.timetable().find("08:00:00"), nullptr);
    EXPECT_EQ(changes, 4);
}

TEST(ProgramData, TheCalendarIsReadFromItsThreeSections)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n[Holiday]\n10-1=10-7\n"
                                "[HolidayDates]\n2027-02-05=2027-02-13\n[WorkDays]\n2026-09-27=1\n2027-02-20=bad\n");
    ProgramData data;
    EXPECT_EQ(data.loadHolidays().size(), 1) << "the bad make-up day is named";
    EXPECT_EQ(data.HolidayList(), QStringList{"10-1=10-7"});
    EXPECT_TRUE(data.holidays().contains(QDate(2027, 2, 10)));
    EXPECT_EQ(data.holidays().weekdayOf(QDate(2026, 9, 27)), 1);
}

} // namespace

namespace {

// Each addition is written whole or, when any part of it conflicts, not at all.
TEST(ProgramData, CalendarDatesAreAddedWholeOrNotAtAll)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    ProgramData data;
    data.loadHolidays();
    const DatedHoliday spring{QDate(2027, 2, 5), QDate(2027, 2, 13)};
    data.addCalendarDates({{spring}, {{QDate(2027, 2, 20), 6}}});
    const QString written = dir.readText("Config.ini");
    EXPECT_TRUE(written.contains("[HolidayDates]\r\n2027-02-05=2027-02-13\r\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("[WorkDays]\r\n2027-02-20=6\r\n")) << written.toStdString();

    struct Refused {
        CalendarDates dates;
        const char* reason;
    };
    const Refused refused[] = {
        {{{{QDate(2027, 2, 13), QDate(2027, 2, 14)}}, {}}, "节假日 2027-02-13 至 2027-02-14 与节假日 2027-02-05 至 2027-02-13 重叠"},
        {{{{QDate(2027, 3, 2), QDate(2027, 3, 1)}}, {}}, "结束日期早于开始日期"},
        {{{}, {{QDate(2027, 2, 7), 1}}}, "调休上班日 2027-02-07 落在节假日 2027-02-05 至 2027-02-13 内"},
        {{{}, {{QDate(2027, 2, 20), 1}}}, "2027-02-20 已是调休上班日（按周六上课）"},
        {{{{QDate(2027, 2, 19), QDate(2027, 2, 21)}}, {}}, "调休上班日 2027-02-20 落在节假日 2027-02-19 至 2027-02-21 内"},
        // One good date beside a bad one: neither is written.
        {{{{QDate(2027, 5, 1), QDate(2027, 5, 5)}}, {{QDate(2027, 5, 3), 1}}}, "调休上班日 2027-05-03 落在节假日"},
    };
    for (const Refused& r : refused) {
        try {
            data.addCalendarDates(r.dates);
            ADD_FAILURE() << "taken: " << r.reason;
        } catch (const InputError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(r.reason))) << e.message().toStdString();
        }
        EXPECT_EQ(dir.readText("Config.ini"), written) << r.reason;
    }
    // What the calendar holds already is left out without a word.
    data.addCalendarDates({{spring}, {{QDate(2027, 2, 20), 6}}});
    EXPECT_EQ(dir.readText("Config.ini"), written);

    data.deleteDatedHoliday(spring.begin);
    data.deleteMakeUpDay(QDate(2027, 2, 20));
    EXPECT_TRUE(data.holidays().datedHolidays().empty());
    EXPECT_TRUE(data.holidays().makeUpDays().empty());
    EXPECT_FALSE(dir.readText("Config.ini").contains("2027-02"));
}

TEST(Holidays, AMakeUpDayIsProposedTheWeekdayOfTheNextWorkingDay)
{
    const Holidays calendar = Holidays::Decode({"10-1=10-7"}, {"2026-02-15=2026-02-23"}, {"2026-10-10=3"});
    EXPECT_EQ(calendar.nextWorkingWeekday(QDate(2026, 2, 14)), 2) << "after the Spring Festival, a Tuesday";
    EXPECT_EQ(calendar.nextWorkingWeekday(QDate(2026, 9, 27)), 1) << "a Sunday stands in for Monday";
    EXPECT_EQ(calendar.nextWorkingWeekday(QDate(2026, 10, 9)), 3) << "the make-up Saturday runs as Wednesday";
}

} // namespace
