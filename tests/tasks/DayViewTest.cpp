#include "tasks/DayView.h"

#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The day view on a make-up Sunday run as Monday, at 08:30: what each bell says, which are
// greyed, and how the marks and the day move on.
TEST(DayView, ShowsEachBellOfTheDayWithWhetherItRingsAndWhy)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n"
                                "[HolidayDates]\n2026-10-01=2026-10-07\n[WorkDays]\n2026-09-27=1\n");
    dir.writeText(TaskFileName, "[Music]\n1=/bells/上课铃.wav\n"
                                "[Time]\n07:00:00=1,0,1\n08:00:00=1,0,1\n09:00:00=1,0,1\n10:00:00=0,0,1\n"
                                "11:00:00=1,0,1\n12:00:00=1,0,1\n13:00:00=1,1,1\n"
                                "[TimeParams]\n07:00:00=1,1,1,4,,0,\n08:00:00=1,1,1,1,1000000,0,\n"
                                "09:00:00=1,1,1,1,1000000,0,\n10:00:00=1,1,1,0,,0,\n"
                                "11:00:00=1,1,1,1,0000001,0,\n12:00:00=1,1,1,x\n13:00:00=1,1,1,0,,0,\n");
    ProgramData data;
    data.setLibraryList({"1=/bells/上课铃.wav"});
    data.loadHolidays();
    data.loadTimetable();
    FakeClock clock;
    clock.set(QDate(2026, 9, 27), QTime(8, 30));
    DayView view(data, clock);
    view.show();
    DayBellsModel* model = view.model();
    const auto states = [&] {
        QStringList s;
        for (int row = 0; row < model->rowCount(); ++row)
            s << model->index(row, DayBellsModel::ColumnTime).data().toString() + " " + model->stateText(row);
        return s;
    };
    const auto greyed = [&](int row) {
        return model->index(row, DayBellsModel::ColumnMusic).data(Qt::ForegroundRole).isValid();
    };

    EXPECT_EQ(states(), QStringList({"07:00:00 不播放：仅播放一次，在 2026-09-28", "08:00:00 已过",
                                     "09:00:00 下一个", "10:00:00 不播放：任务已禁用",
                                     "11:00:00 不播放：不是它的播放日", "12:00:00 不播放：参数有误",
                                     "13:00:00 将播放"}));
    EXPECT_EQ(model->index(1, DayBellsModel::ColumnMusic).data().toString(), "上课铃.wav");
    EXPECT_TRUE(model->index(5, 0).data(Qt::ToolTipRole).toString().contains("[TimeParams]"));
    EXPECT_TRUE(model->index(2, 0).data(Qt::FontRole).value<QFont>().bold());
    for (const auto& [row, grey] : {std::pair{0, true}, {1, true}, {2, false}, {3, true}, {6, false}})
        EXPECT_EQ(greyed(row), grey) << row;
    EXPECT_EQ(view.lblDaySummary->text(), "调休上班日，按周一上课；3 个铃声播放，4 个不播放；下一个：09:00:00");

    // A bell the clock skipped says what became of it instead of "已过".
    model->setRecord([](const QString& key, const QDate&) {
        return key == "08:00:00" ? QStringLiteral("补播：系统时钟向前跳了，晚了 19 秒") : QString();
    });
    EXPECT_EQ(model->stateText(1), "补播：系统时钟向前跳了，晚了 19 秒");

    // The marks move on as the bells pass; past midnight the view moves to the new day.
    clock.set(QDate(2026, 9, 27), QTime(9, 0, 1));
    view.tick(clock.now());
    EXPECT_EQ(model->stateText(2), "已过");
    EXPECT_EQ(model->stateText(6), "下一个");
    clock.set(QDate(2026, 9, 28), QTime(0, 0, 1));
    view.tick(clock.now());
    EXPECT_EQ(view.dtpDay->date(), QDate(2026, 9, 28));
    EXPECT_EQ(model->stateText(0), "下一个") << "the once-only task's day has come";

    // The holiday, a click ahead of the day before it; a changed calendar shows at once.
    view.showDay(QDate(2026, 9, 30));
    view.btnNextDay->click();
    EXPECT_EQ(view.day(), QDate(2026, 10, 1));
    EXPECT_EQ(model->stateText(1), "不播放：节假日");
    EXPECT_EQ(model->stateText(6), "将播放") << "its holiday flag lets it ring";
    EXPECT_TRUE(view.lblDaySummary->text().startsWith("节假日；"));
    data.deleteDatedHoliday(QDate(2026, 10, 1));
    QCoreApplication::processEvents();
    EXPECT_EQ(model->stateText(1), "不播放：不是它的播放日") << "a Thursday again";
    view.btnToday->click();
    EXPECT_EQ(view.day(), QDate(2026, 9, 28));
}

} // namespace
