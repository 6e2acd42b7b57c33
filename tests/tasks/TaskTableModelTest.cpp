#include "tasks/TaskTableModel.h"

#include "storage/IniStore.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct TaskTableFixture : ::testing::Test {
    TempAppDir dir;
    ProgramData data;
    TaskTableModel model{data};
    TaskTableFixture() { data.setLibraryList({"1=/music/abc.mp3", "2=/music/Bells/", "3=/m/ABD", "4=/m/啊", "5=/m/吧"}); }

    QStringList load(const QString& text)
    {
        dir.writeText(TaskFileName, text);
        return data.loadTimetable();
    }
    QStringList column(int c) const
    {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells << model.index(row, c).data().toString();
        return cells;
    }
    Qt::CheckState checkState(int row) const
    {
        return Qt::CheckState(model.index(row, 0).data(Qt::CheckStateRole).toInt());
    }
};

TEST_F(TaskTableFixture, ShowsTheReadableTasksSortedAscendingWithTheirCells)
{
    const QStringList messages =
        load("[Time]\n08:00:00=1,0,1\n10:00:00=0,1,2\n8:30:00=1,0,1\n07:00:00=maybe,0,1\n09:00:00=1,0,1\n"
             "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n10:00:00=1,2,2,0,,15,11:00:00\n"
             "09:00:00=1,x,1,0,,0,00:00:00\n");
    EXPECT_EQ(messages, QStringList({"TimeMusicList.ini 的 [Time] 中 07:00:00 一行有误：“maybe”不是有效的布尔值",
                                     "TimeMusicList.ini 的 [TimeParams] 中 09:00:00 一行有误：“x”不是有效的整数"}));
    // Text order, not time order: "8:30:00" after "10:00:00".
    ASSERT_EQ(column(0), (QStringList{"08:00:00", "10:00:00", "8:30:00"}));
    EXPECT_EQ(model.columnCount(), 10);
    EXPECT_EQ(checkState(0), Qt::Checked);
    EXPECT_EQ(checkState(1), Qt::Unchecked);
    EXPECT_EQ(column(1), (QStringList{"abc.mp3", "Bells", ""}));
    EXPECT_EQ(model.index(1, 7).data().toString(), "否") << "flag 1: rings on holidays too";
    EXPECT_EQ(model.index(0, 7).data().toString(), "是");
    EXPECT_EQ(model.index(1, 8).data().toString(), "15");
    EXPECT_EQ(model.index(1, 9).data().toString(), "11:00:00");
    ASSERT_TRUE(model.taskAt(1)->record());
    EXPECT_FALSE(model.taskAt(1)->record()->ExcludeHolidays);
    // A task without parameters has its caption alone.
    EXPECT_FALSE(model.taskAt(2)->record());
    EXPECT_FALSE(model.index(2, 1).data().isValid());
    EXPECT_EQ(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable, Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "歌曲铃声");
    EXPECT_FALSE(model.headerData(7, Qt::Horizontal, Qt::ToolTipRole).toString().isEmpty());

    QFile::remove(dir.file(TaskFileName));
    data.loadTimetable();
    EXPECT_EQ(model.rowCount(), 0);
}

// Cells compare as GB18030 bytes with a-z taken as A-Z; a row lacking the cell compares
// equal to every row; equal rows keep their order. Each click turns the direction, and a
// reload keeps the column and direction of the last click.
TEST_F(TaskTableFixture, ColumnClicksOrderAsTheListAlwaysHas)
{
    load("[Time]\n10:00:00=1,0,1\n08:00:00=1,0,3\n8:00:00=1,0,4\nx=1,0,5\n09:00:00=1,0,1\n"
         "[TimeParams]\n10:00:00=1,1,1,0,,0,00:00:00\n08:00:00=2,1,1,0,,0,00:00:00\n"
         "8:00:00=1,1,1,0,,0,00:00:00\nx=3,1,1,0,,0,00:00:00\n");
    ASSERT_EQ(column(0), (QStringList{"08:00:00", "09:00:00", "10:00:00", "8:00:00", "x"}));
    const struct {
        int click; // -1: the file read again
        QStringList order;
    } steps[] = {
        {0, {"x", "8:00:00", "10:00:00", "09:00:00", "08:00:00"}},
        {-1, {"x", "8:00:00", "10:00:00", "09:00:00", "08:00:00"}},
        // ABC.MP3 < ABD < 啊 (B0A1) < 吧 (B0C9); 09:00:00 has no music cell, so it orders
        // against no row, and the rows on either side of it order among themselves.
        {1, {"10:00:00", "09:00:00", "08:00:00", "8:00:00", "x"}},
        {1, {"08:00:00", "10:00:00", "09:00:00", "x", "8:00:00"}},
        {2, {"10:00:00", "08:00:00", "09:00:00", "8:00:00", "x"}},
        {-1, {"10:00:00", "08:00:00", "09:00:00", "8:00:00", "x"}},
        {2, {"08:00:00", "10:00:00", "09:00:00", "x", "8:00:00"}},
        {12, {"08:00:00", "10:00:00", "09:00:00", "x", "8:00:00"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.click);
        if (step.click < 0)
            data.loadTimetable();
        else
            model.sortByColumn(step.click);
        EXPECT_EQ(column(0), step.order);
    }
    EXPECT_EQ(model.sortColumn(), 12);
}

TEST_F(TaskTableFixture, CheckBoxWritesThroughTheOwner)
{
    load("[Time]\n07:00:00=1,0,1\n08:00:00=0,0,1\n[TimeParams]\n07:00:00=1,1,1,0,,0,00:00:00\n");
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    const struct {
        int row, column;
        Qt::CheckState state;
        bool accepted;
        QStringList schedule;
        Qt::CheckState shown; // the row's box afterwards
    } cases[] = {
        {0, 0, Qt::Unchecked, true, {"07:00:00=0,0,1", "08:00:00=0,0,1"}, Qt::Unchecked},
        {1, 0, Qt::Checked, true, {"07:00:00=0,0,1", "08:00:00=1,0,1"}, Qt::Checked},
        {1, 0, Qt::Checked, false, {"07:00:00=0,0,1", "08:00:00=1,0,1"}, Qt::Checked}, // no change
        {0, 1, Qt::Checked, false, {"07:00:00=0,0,1", "08:00:00=1,0,1"}, Qt::Unchecked}, // not a box
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column << "," << c.state);
        const int before = resets;
        EXPECT_EQ(model.setData(model.index(c.row, c.column), c.state, Qt::CheckStateRole), c.accepted);
        EXPECT_EQ(data.ScheduleList(), c.schedule);
        EXPECT_EQ(resets - before, c.accepted ? 1 : 0);
        EXPECT_EQ(checkState(c.row), c.shown);
    }
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "08:00:00", ""), "1,0,1");

    // A task gone from the file meanwhile: nothing is written and its row goes.
    DeleteIniKey(TaskFilePath(), TimeSection, "07:00:00");
    EXPECT_TRUE(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(column(0), QStringList{"08:00:00"});
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", "gone"), "gone");
}

} // namespace
