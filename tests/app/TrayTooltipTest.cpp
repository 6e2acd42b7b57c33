#include "app/TrayTooltip.h"
#include "app/Unit1.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "support/FakeWindowServices.h"
#include "support/TempDir.h"
#include "tasks/TaskListPage.h"

#include <QLabel>
#include <QSystemTrayIcon>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// Wednesday 9 December 2026.
const QDate kWednesday(2026, 12, 9);

TEST(NextTaskFinder, FollowsTheDueTimeChecksRules)
{
    // Time value: enabled flag, holiday flag ("1" plays on holidays too), music keys.
    const QStringList schedule{
        "07:30:00=1,0,1", "08:00:00=0,0,1" /* off */, "08:30:00=1,0,1" /* Mondays only */,
        "09:00:00=1,1,1" /* plays on holidays */, "10:00:00=1,0,1" /* bad parameters */,
        "11:00:00=1,0,1" /* on the 9th */, "12:00:00=1,0,1" /* no parameters */, "bad=1,0,1"};
    const QStringList params{
        "07:30:00=1,1,1,0,,0,00:00:00", "08:00:00=1,1,1,0,,0,00:00:00",
        "08:30:00=1,1,1,1,1000000,0,00:00:00", "09:00:00=1,1,1,0,,0,00:00:00",
        "10:00:00=1,1,1,x", "11:00:00=1,1,1,2,000000001,0,00:00:00"};
    NextTaskFinder finder;
    finder.rebuild(Timetable::Decode(schedule, params, {}));

    struct Case {
        QTime now;
        QStringList holidays;
        std::optional<QString> next;
    } cases[] = {
        {QTime(6, 0), {}, "07:30:00"},
        {QTime(7, 30), {}, "09:00:00"}, // the task starting this second is no longer next
        {QTime(9, 0, 1), {}, "11:00:00"},
        {QTime(11, 0), {}, std::nullopt},
        {QTime(6, 0), {"12-1=12-31"}, "09:00:00"},
        {QTime(6, 0), {"1-1=1-2"}, "07:30:00"},
    };
    for (const Case& c : cases) {
        const auto next = finder.next(Holidays::Decode(c.holidays), QDateTime(kWednesday, c.now));
        EXPECT_EQ(next, c.next) << c.now.toString().toStdString() << " " << c.holidays.join(' ').toStdString();
    }
}

TEST(TrayTooltipText, NamesTheTaskOrSaysNoneIsDue)
{
    EXPECT_EQ(TrayTooltipText("T", QString("08:00:00"), "上课铃.wav"), "T\n下一个任务：08:00:00 上课铃.wav");
    EXPECT_EQ(TrayTooltipText("T", std::nullopt, QString()), "T\n今天没有待播放的任务");
    const QString line = TrayTooltipText("T", QString("08:00:00"), QString(200, 'x')).section('\n', 1);
    EXPECT_LE(line.size(), 70) << "a long music list is cut";
}

struct TrayTooltipWindow : ::testing::Test, FakeWindowServices {
    TempAppDir dir;

    void SetUp() override
    {
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
        dir.writeText("TimeMusicList.ini",
                      "[Music]\n1=/bells/上课铃.wav\n2=/bells/下课铃.wav\n"
                      "[Time]\n08:00:00=1,0,1\n08:45:00=1,0,2\n"
                      "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n08:45:00=1,1,1,0,,0,00:00:00\n");
    }
    QString tooltipAt(TfrmMain& w, QTime time)
    {
        clock.set(kWednesday, time);
        w.tmrSystemTimer();
        const QString line = w.RzTrayIcon1->toolTip().section('\n', 1);
        EXPECT_EQ(w.statPanels[3]->text(), line) << "the status bar shows the next bell too";
        return line;
    }
};

TEST_F(TrayTooltipWindow, ShowsOurIconAndFollowsTheClockAndTheTaskList)
{
    TfrmMain w(services());
    // The icon of our own, at every size rendered from the SVG, on the window and the tray.
    EXPECT_EQ(w.windowIcon().availableSizes().size(), 8);
    EXPECT_EQ(w.RzTrayIcon1->icon().availableSizes(), w.windowIcon().availableSizes());
    EXPECT_TRUE(w.RzTrayIcon1->toolTip().startsWith(TfrmMain::ProductTitle()));
    EXPECT_EQ(tooltipAt(w, QTime(7, 0)), "下一个任务：08:00:00 上课铃.wav");
    EXPECT_EQ(tooltipAt(w, QTime(8, 0)), "下一个任务：08:45:00 下课铃.wav");
    EXPECT_EQ(tooltipAt(w, QTime(9, 0)), "今天没有待播放的任务");
    EXPECT_EQ(tooltipAt(w, QTime(7, 0)), "下一个任务：08:00:00 上课铃.wav") << "clock set back";

    // Switching the first task off in the list is seen at the next tick.
    QAbstractItemModel* tasks = w.tsplaylist->lvMusicTime->model();
    const QModelIndexList first = tasks->match(tasks->index(0, 0), Qt::DisplayRole, "08:00:00", 1, Qt::MatchExactly);
    ASSERT_EQ(first.size(), 1);
    tasks->setData(first[0], Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(tooltipAt(w, QTime(7, 0)), "下一个任务：08:45:00 下课铃.wav");

    // So is an edit that leaves its Time line as it was: the task now plays on Mondays only.
    TaskEntry mondays;
    mondays.MusicKeys = {"2"};
    mondays.DateType = 1;
    mondays.DateParams = "1000000";
    w.data.saveTask("08:45:00", mondays, TaskSound{}, TaskZones{});
    EXPECT_EQ(w.data.ScheduleList().value(1), "08:45:00=1,0,2");
    EXPECT_EQ(tooltipAt(w, QTime(7, 0)), "今天没有待播放的任务");
}

} // namespace
