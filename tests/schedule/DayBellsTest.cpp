#include "schedule/DayBells.h"
#include "support/Fakes.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

// For every day of a year, the bells the preview says ring are the ones the due-time check
// starts when the clock comes to each task's second.
TEST(DayBells, AgreeWithTheDueTimeCheckOverAYear)
{
    QString monthly(31, u'0');
    monthly[0] = monthly[14] = u'1';
    const QStringList time{"07:00:00=1,0,1", "07:30:00=1,1,1", "08:00:00=1,0,1", "08:00:00=0,0,1",
                           "09:00:00=1,0,1", "10:00:00=0,1,1", "11:00:00=1,0,1", "12:00:00=1,1,1",
                           "13:00:00=1,0,1"};
    const QStringList params{"07:00:00=1,1,1,1,1111100,0,", "07:30:00=1,1,1,1,0000011,0,",
                             "08:00:00=1,1,1,0,,0,",        "09:00:00=1,1,1,2," + monthly + ",0,",
                             "10:00:00=1,1,1,0,,0,",        "11:00:00=1,1,1,3,2027-1-1,0,",
                             "12:00:00=1,1,1,x",            "13:00:00=1,1,1,5,,0,"};
    const Timetable t = Timetable::Decode(time, params, {});
    const Holidays calendar = Holidays::Decode({"10-1=10-7", "5-1=5-3"}, {"2027-02-05=2027-02-13"},
                                               {"2026-09-27=1", "2027-02-20=6"});
    FakeClock clock;
    DueTimeCheck check;
    int ringing = 0;
    for (QDate day(2026, 9, 1); day < QDate(2027, 9, 1); day = day.addDays(1)) {
        QSet<QString> preview;
        QList<int> seconds;
        for (const DayBell& bell : DayBells(t, calendar, day)) {
            if (bell.rings())
                preview << bell.task->key;
            seconds << bell.task->second;
        }
        QSet<QString> started;
        for (const int second : seconds) {
            clock.set(day, QTime(0, 0).addSecs(second));
            check.Tick(clock, t, calendar, [&](const QString& key) { started << key; },
                       [](const QString&) {});
        }
        EXPECT_EQ(started, preview) << day.toString(Qt::ISODate).toStdString();
        ringing += int(preview.size());
    }
    EXPECT_GT(ringing, 365) << "the year rings";
    const std::vector<DayBell> sunday = DayBells(t, calendar, QDate(2026, 9, 27));
    ASSERT_EQ(sunday.size(), 8u) << "08:00:00 twice is one bell";
    EXPECT_TRUE(sunday[0].rings()) << "a make-up Sunday runs as Monday";
    EXPECT_FALSE(sunday[6].fault.isEmpty()) << "12:00:00's parameters do not read";
}

} // namespace
