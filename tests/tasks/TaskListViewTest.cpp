#include "platform/Errors.h"
#include "storage/TaskFile.h"
#include "support/TempDir.h"
#include "tasks/TaskListView.h"

#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QStringList captions(const QTreeWidget& list)
{
    QStringList c;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        c << list.topLevelItem(i)->text(0);
    return c;
}

struct TaskListFixture : ::testing::Test {
    TempAppDir dir;
    QTreeWidget list;
    QString file = dir.file(TaskFileName);
    const QStringList library = {"1=/music/a.mp3", "2=/music/Bells/"};
    TaskListFixture()
    {
        list.setColumnCount(10);
        SortAscending = false;
    }
};

TEST_F(TaskListFixture, LoadsOutOfOrderFileSortedAscending)
{
    dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n10:00:00=0,1,2\n8:30:00=1,0,1\n07:00:00=1,0,1\n"
                                "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n10:00:00=1,2,2,0,,15,11:00:00\n"
                                "07:00:00=1,1,1,0,,0,00:00:00\n");
    LoadTaskList(list, file, library);
    // Text order, not time order: "8:30:00" after "10:00:00".
    EXPECT_EQ(captions(list), (QStringList{"07:00:00", "08:00:00", "10:00:00", "8:30:00"}));
    EXPECT_FALSE(SortAscending);

    auto* ten = static_cast<TaskListItem*>(list.topLevelItem(2));
    EXPECT_EQ(ten->checkState(0), Qt::Unchecked);
    EXPECT_EQ(ten->text(1), "Bells");
    EXPECT_EQ(ten->text(7), "是");
    EXPECT_EQ(ten->text(8), "15");
    EXPECT_EQ(ten->text(9), "11:00:00");
    ASSERT_TRUE(ten->record());
    EXPECT_TRUE(ten->record()->ExcludeHolidays);
    EXPECT_EQ(list.topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_FALSE(static_cast<TaskListItem*>(list.topLevelItem(3))->record());

    // A second load replaces the rows and keeps the order.
    LoadTaskList(list, file, library);
    EXPECT_EQ(captions(list), (QStringList{"07:00:00", "08:00:00", "10:00:00", "8:30:00"}));
}

TEST_F(TaskListFixture, LoadFollowsLastColumnClickDirection)
{
    dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n10:00:00=1,0,1\n[TimeParams]\n");
    SortAscending = true; // a column click sorted descending last
    LoadTaskList(list, file, library);
    EXPECT_EQ(captions(list), (QStringList{"10:00:00", "08:00:00"}));
    EXPECT_TRUE(SortAscending);
}

TEST_F(TaskListFixture, BadLinesAreLeftOutAndAllNamedAfterTheListIsSorted)
{
    dir.writeText(TaskFileName, "[Time]\n09:00:00=1,0,1\n07:00:00=maybe,0,1\n08:00:00=1,0,1\n"
                                "06:00:00=1,0,1\n05:00:00=1,0,1\n"
                                "[TimeParams]\n05:00:00=1,x,1,0,,0,00:00:00\n");
    const QStringList expected = {"TimeMusicList.ini 的 [Time] 中 07:00:00 一行有误：“maybe”不是有效的布尔值",
                                  "TimeMusicList.ini 的 [TimeParams] 中 05:00:00 一行有误：“x”不是有效的整数"};
    EXPECT_EQ(ReadTaskList(list, file, library), expected);
    EXPECT_EQ(captions(list), (QStringList{"06:00:00", "08:00:00", "09:00:00"}));
    EXPECT_FALSE(SortAscending);

    try {
        LoadTaskList(list, file, library);
        ADD_FAILURE() << "no failure";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), expected.join('\n'));
    }
    EXPECT_EQ(captions(list), (QStringList{"06:00:00", "08:00:00", "09:00:00"}));
}

TEST_F(TaskListFixture, MissingFileGivesEmptyList)
{
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"old"}));
    LoadTaskList(list, file, library);
    EXPECT_EQ(list.topLevelItemCount(), 0);
}

// Rows with the same parameters share them: a change to one row is that row's alone, and the
// list hears of it. A row without parameters lacks every cell but its caption.
TEST_F(TaskListFixture, RowChangesStayInTheRowAndAreReported)
{
    dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n09:00:00=1,0,1\n10:00:00=0,0,1\n[TimeParams]\n"
                                "08:00:00=1,1,1,0,,0,00:00:00\n09:00:00=1,1,1,0,,0,00:00:00\n");
    LoadTaskList(list, file, library);
    auto row = [this](int i) { return static_cast<TaskListItem*>(list.topLevelItem(i)); };
    TaskListItem* eight = row(0);
    TaskListItem* nine = row(1);
    TaskListItem* ten = row(2);
    ASSERT_EQ(captions(list), (QStringList{"08:00:00", "09:00:00", "10:00:00"}));
    EXPECT_EQ(ten->cellCount(), 1);
    EXPECT_EQ(ten->text(1), QString());

    QList<QTreeWidgetItem*> changed;
    int checkColumn = -1; // the page takes a change in column 0 for its check box
    QObject::connect(&list, &QTreeWidget::itemChanged, [&](QTreeWidgetItem* item, int column) {
        changed << item;
        if (changed.size() == 3)
            checkColumn = column;
    });
    nine->setText(1, "other.mp3");
    nine->setText(0, "九点整"); // no Latin-1 caption
    nine->setCheckState(0, Qt::Unchecked);
    nine->setCheckState(0, Qt::Unchecked); // no change, no report
    nine->setBackground(2, Qt::green);
    EXPECT_EQ(changed, (QList<QTreeWidgetItem*>{nine, nine, nine, nine}));
    EXPECT_EQ(checkColumn, 0);
    EXPECT_EQ(nine->text(0), "九点整");
    EXPECT_EQ(nine->text(1), "other.mp3");
    EXPECT_EQ(nine->checkState(0), Qt::Unchecked);
    EXPECT_EQ(nine->background(2).color(), QColor(Qt::green));
    ASSERT_TRUE(nine->record());
    EXPECT_EQ(nine->record()->StartTime, "九点整");
    EXPECT_EQ(eight->text(0), "08:00:00");
    EXPECT_EQ(eight->text(1), "a.mp3");
    EXPECT_EQ(eight->checkState(0), Qt::Checked);

    SortAscending = true;
    EXPECT_LT(CompareTaskRows(eight, nine, 1), 0);
    EXPECT_EQ(CompareTaskRows(eight, ten, 1), 0);
    SortTaskRows(list, 0); // GB18030 of 九 is past every digit
    EXPECT_EQ(captions(list), (QStringList{"08:00:00", "10:00:00", "九点整"}));
    SortAscending = false;
}

TEST(CompareTaskRows, ComparesTextBytesInDirection)
{
    QTreeWidgetItem ten(QStringList{"10:00:00", "abc"});
    QTreeWidgetItem eight(QStringList{"08:00:00", "ABD"});
    QTreeWidgetItem eightNoZero(QStringList{"8:00:00"});
    QTreeWidgetItem chinese(QStringList{"x", "啊"}); // GB18030 B0A1
    QTreeWidgetItem chinese2(QStringList{"x", "吧"}); // GB18030 B0C9
    SortAscending = true;
    EXPECT_GT(CompareTaskRows(&ten, &eight, 0), 0);
    EXPECT_LT(CompareTaskRows(&ten, &eightNoZero, 0), 0);
    EXPECT_LT(CompareTaskRows(&ten, &eight, 1), 0); // letters compare as capitals
    EXPECT_LT(CompareTaskRows(&chinese, &chinese2, 1), 0);
    EXPECT_EQ(CompareTaskRows(&ten, &eightNoZero, 1), 0); // a missing cell
    EXPECT_EQ(CompareTaskRows(&ten, &ten, 0), 0);
    SortAscending = false;
    EXPECT_LT(CompareTaskRows(&ten, &eight, 0), 0);
    EXPECT_GT(CompareTaskRows(&ten, &eightNoZero, 0), 0);
}

TEST(SortTaskRows, KeepsEqualRowsInOrder)
{
    QTreeWidget list;
    for (const char* name : {"b1", "a", "b2", "b3"})
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{"same", name}));
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"first", "z"}));
    SortAscending = true;
    SortTaskRows(list, 0);
    QStringList order;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        order << list.topLevelItem(i)->text(1);
    EXPECT_EQ(order, (QStringList{"z", "b1", "a", "b2", "b3"}));
    SortAscending = false;
}

// The sort keeps exactly the order a stable sort by CompareTaskRows gives, rows lacking the
// cell included (they compare equal to every row).
TEST(SortTaskRows, OrdersAsCompareTaskRows)
{
    const QList<QStringList> rows = {{"b", "吧"}, {"A", "x"}, {"a"}, {"c", "X"}, {"B", "啊"},
                                     {"a", "y"}, {"10:00:00"}, {"8:00:00", "Z"}};
    for (const bool ascending : {true, false})
        for (const int column : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << ascending << " " << column);
            SortAscending = ascending;
            QTreeWidget list;
            QList<QTreeWidgetItem*> expected;
            for (const QStringList& cells : rows) {
                expected << new QTreeWidgetItem(cells);
                list.addTopLevelItem(expected.last());
            }
            std::stable_sort(expected.begin(), expected.end(), [column](auto* a, auto* b) {
                return CompareTaskRows(a, b, column) < 0;
            });
            SortTaskRows(list, column);
            QList<QTreeWidgetItem*> sorted;
            for (int i = 0; i < list.topLevelItemCount(); ++i)
                sorted << list.topLevelItem(i);
            EXPECT_EQ(sorted, expected);
        }
    SortAscending = false;
}

} // namespace
