#include "platform/Errors.h"
#include "storage/TaskFile.h"
#include "storage/TextSplit.h"
#include "storage/TimeText.h"
#include "storage/Timetable.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitDelimitedText, SplitsAsTheFileValuesAreRead)
{
    struct Case {
        const char* name;
        QString text;
        QStringList fields;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"blanks only", "  \t", {}},
        {"plain", "3,7,12", {"3", "7", "12"}},
        {"leading blanks skipped", "  3, 7", {"3", "7"}},
        {"blank inside splits", "a b,c", {"a", "b", "c"}},
        {"double comma", "a,,b", {"a", "", "b"}},
        {"only commas", ",,", {"", "", ""}},
        {"trailing comma", "a,b,", {"a", "b", ""}},
        {"comma then blank at end", "a, ", {"a"}},
        {"quoted keeps comma and blank", "\"x, y\",z", {"x, y", "z"}},
        {"doubled quote", "\"a\"\"b\"", {"a\"b"}},
        {"unclosed quote runs to end", "\"abc", {"abc"}},
        {"control char ends field", "a\tb", {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitDelimitedText(c.text), c.fields);
    }
}

TEST(TimeText, FormatsWithZerosAndReadsBothForms)
{
    EXPECT_EQ(FormatTimeText(QTime(8, 0, 15)), "08:00:15");
    struct Case {
        QString text;
        bool ok;
        QTime time;
    };
    const Case cases[] = {
        {"08:00:15", true, QTime(8, 0, 15)}, {"8:00:15", true, QTime(8, 0, 15)},
        {"23:59:59", true, QTime(23, 59, 59)}, {"24:00:00", false, QTime(0, 0)},
        {"8:0:15", false, QTime(0, 0)},       {"", false, QTime(0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        bool ok = !c.ok;
        EXPECT_EQ(ParseTimeText(c.text, &ok), c.time);
        EXPECT_EQ(ok, c.ok);
    }
}

TEST(FormatDateParams, ShowsEachDateType)
{
    QString monthly(31, u'0');
    monthly[30] = u'1';
    QString firstAndFifteenth(31, u'0');
    firstAndFifteenth[0] = firstAndFifteenth[14] = u'1';
    struct Case {
        int type;
        QString text;
        QString shown;
    };
    const Case cases[] = {
        {0, "", ""},
        {1, "1111100", "周一周二周三周四周五"},
        {1, "0000011", "周六周日"},
        {1, "000000110", "周日"}, // places past Sunday ignored
        {2, monthly, "31日"},
        {2, firstAndFifteenth, "1日15日"},
        {3, "2026-03-02", "2026-03-02"},
        {4, "", ""},
        {5, "1111111", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(FormatDateParams(c.type, c.text), c.shown);
    }
}

TEST(ParseDateTime, AcceptsValidDatesOnly)
{
    EXPECT_EQ(ParseDateTime("2013-2-28 23:59:59"), QDateTime(QDate(2013, 2, 28), QTime(23, 59, 59)));
    EXPECT_EQ(ParseDateTime("2013-05-01"), QDateTime(QDate(2013, 5, 1), QTime(0, 0)));
    EXPECT_EQ(ParseDateTime("2013-5-1 00:00:01"), QDateTime(QDate(2013, 5, 1), QTime(0, 0, 1)));
    for (const char* bad : {"2013-2-29 00:00:01", "2013-2-30", "2013/5/1", "2013-5-1 25:00:00", "", "x"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseDateTime(bad), ConversionError);
    }
    try {
        ParseDateTime("2013-2-30");
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), "“2013-2-30”不是有效的日期和时间");
    }
}

const QStringList kLibrary = {"3=/music/one.mp3", "7=/music/sub/two.mp3", "9=/music/Bells/"};

// The cells the task list shows of a task: its caption alone when it has no parameters.
QStringList cellsOf(const Task& task)
{
    QStringList cells;
    for (int column = 0; column < (task.record() ? TaskListColumns : 1); ++column)
        cells << TaskCell(task, column);
    return cells;
}

// The tasks the list shows, in file order.
std::vector<Task> listed(const Timetable& timetable)
{
    std::vector<Task> tasks;
    for (const Task& task : timetable.tasks())
        if (task.listed())
            tasks.push_back(task);
    return tasks;
}

Task decodeOne(const QString& time, const QString& params)
{
    const std::vector<Task> tasks =
        listed(Timetable::Decode({time}, params.isNull() ? QStringList() : QStringList{params}, kLibrary));
    EXPECT_EQ(tasks.size(), 1u);
    return tasks.empty() ? Task() : tasks.front();
}

TEST(TaskListCells, FillsCellsAndRecord)
{
    const Task row = decodeOne("08:00:00=1,1,3,7", "08:00:00=2,1,1,1,1111100,15,08:30:00");
    EXPECT_TRUE(row.enabledInList());
    EXPECT_EQ(cellsOf(row), (QStringList{"08:00:00", "one.mp3,two.mp3", "2", "音频文件", "顺序", "每周",
                                      "周一周二周三周四周五", "否", "15", "08:30:00"}));
    ASSERT_TRUE(row.record());
    // Flag 1: the holiday ranges are not consulted, so holidays do not keep it silent.
    TTaskRecord expected{"08:00:00", 2, 1, 1, "one.mp3,two.mp3", 1, "1111100", "08:30:00", 15, false};
    EXPECT_EQ(*row.record(), expected);
}

TEST(TaskListCells, EdgeCases)
{
    struct Case {
        const char* name;
        QString time;
        QString params; // null: no TimeParams entry
        bool enabled;
        QStringList cells;
        QString endTime;
        int playLength;
    };
    const QString nc = NoControlText();
    const Case cases[] = {
        {"five fields", "08:00:00=1,0,3", "08:00:00=1,1,2,0,", true,
         {"08:00:00", "one.mp3", "1", "音频文件", "随机", "每日", "", "是", nc, nc}, "00:00:00", 0},
        {"six fields", "08:00:00=1,0,3", "08:00:00=1,1,1,4,,20", true,
         {"08:00:00", "one.mp3", "1", "音频文件", "顺序", "临时一次", "", "是", nc, nc}, "00:00:00", 0},
        {"limit 0", "08:00:00=1,0,3", "08:00:00=1,1,1,0,,0,09:00:00", true,
         {"08:00:00", "one.mp3", "1", "音频文件", "顺序", "每日", "", "是", nc, "09:00:00"}, "09:00:00", 0},
        {"end earlier than start", "08:00:00=1,0,3", "08:00:00=1,1,1,0,,15,07:59:59", true,
         {"08:00:00", "one.mp3", "1", "音频文件", "顺序", "每日", "", "是", "15", nc}, "00:00:00", 15},
        {"end equal to start", "8:00:00=1,0,3", "8:00:00=1,1,1,0,,0,08:00:00", true,
         {"8:00:00", "one.mp3", "1", "音频文件", "顺序", "每日", "", "是", nc, "08:00:00"}, "08:00:00", 0},
        {"midnight end is none", "00:00:00=1,0,3", "00:00:00=1,1,1,0,,0,00:00:00", true,
         {"00:00:00", "one.mp3", "1", "音频文件", "顺序", "每日", "", "是", nc, nc}, "00:00:00", 0},
        {"directory task", "09:00:00=1,0,9", "09:00:00=1,2,2,3,2026-03-02,0,0:00:00", true,
         {"09:00:00", "Bells", "1", "目录", "随机", "指定日期", "2026-03-02", "是", nc, nc}, "00:00:00", 0},
        {"disabled task, missing key in middle", "10:00:00=0,0,3,5,7", "10:00:00=1,1,1,0,,0,0:00:00", false,
         {"10:00:00", "one.mp3,（编号 5 不存在）,two.mp3", "1", "音频文件", "顺序", "每日", "", "是", nc, nc},
         "00:00:00", 0},
        {"directory task, number gone", "09:00:00=1,0,8", "09:00:00=1,2,1,0,,0,0:00:00", true,
         {"09:00:00", "（编号 8 不存在）", "1", "目录", "顺序", "每日", "", "是", nc, nc}, "00:00:00", 0},
        {"params key differs in case", "aB=1,0,3", "ab=1,1,1,0,,0,0:00:00", true,
         {"aB", "one.mp3", "1", "音频文件", "顺序", "每日", "", "是", nc, nc}, "00:00:00", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Task row = decodeOne(c.time, c.params);
        EXPECT_EQ(row.enabledInList(), c.enabled);
        EXPECT_EQ(cellsOf(row), c.cells);
        ASSERT_TRUE(row.record());
        EXPECT_EQ(row.record()->EndTime, c.endTime);
        EXPECT_EQ(row.record()->PlayLength, c.playLength);
        EXPECT_EQ(row.record()->ExcludeHolidays, true) << "flag 0";
    }
}

// Parameters and library paths are found as the file finds a key: ASCII letters in either
// case, any other character exactly, the first of two equal keys.
TEST(TaskListCells, FindsLinesByKeyAsTheFileDoes)
{
    const std::vector<Task> rows = listed(Timetable::Decode(
        {"aB=1,0,x3", "Ä=1,0,3", "é=1,0,3"},
        {"Ä=1,1,1,0,,0,0:00:00", "ab=2,1,1,0,,0,0:00:00", "AB=3,1,1,0,,0,0:00:00",
         "é=4,1,1,0,,0,0:00:00"},
        {"X3=/music/first.mp3", "x3=/music/second.mp3"}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(TaskCell(rows[0], 1), "first.mp3");
    EXPECT_EQ(TaskCell(rows[0], 2), "2");
    EXPECT_EQ(TaskCell(rows[1], 2), "1");
    // Only ASCII letters fold: "é" does not find "É" (nor "Ä" "ä"), as playback would not.
    EXPECT_EQ(TaskCell(rows[2], 2), "4");
    const std::vector<Task> folded = listed(Timetable::Decode(
        {"ä=1,0,3", "É=1,0,3"}, {"Ä=1,1,1,0,,0,0:00:00", "é=4,1,1,0,,0,0:00:00"}, kLibrary));
    ASSERT_EQ(folded.size(), 2u);
    EXPECT_FALSE(folded[0].record());
    EXPECT_FALSE(folded[1].record());
}

TEST(TaskListCells, RowWithoutParamsHasCaptionOnly)
{
    for (const QString& params : {QString(), QString("08:00:00="), QString("09:00:00=1,1,1,0,,0,0:00:00")}) {
        SCOPED_TRACE(params.toStdString());
        const Task row = decodeOne("08:00:00=True,0,3", params);
        EXPECT_TRUE(row.enabledInList());
        EXPECT_EQ(cellsOf(row), QStringList{"08:00:00"});
        EXPECT_FALSE(row.record());
    }
}

TEST(TaskListCells, BadLinesGetNoRowAndEachIsNamed)
{
    const QStringList params = {"07:00:00=1,1,1,0,,0,0:00:00", "08:00:00=1,1,1,0,,0,0:00:00",
                                "09:00:00=x,1,1,0,,0,0:00:00", "10:00:00=1,1,1", "11:00:00=1"};
    const QString time = "TimeMusicList.ini 的 [Time] 中 ";
    const QString taskParams = "TimeMusicList.ini 的 [TimeParams] 中 ";
    const struct {
        QString line;
        QString message;
    } cases[] = {
        {"08:00:00=yes,0,3", time + "08:00:00 一行有误：“yes”不是有效的布尔值"},
        {"08:00:00=1", time + "08:00:00 一行有误：“1”不是有效的布尔值"},
        {"08:00:00=1,x,3", time + "08:00:00 一行有误：“x”不是有效的整数"},
        {"08:00:00=1,", time + "08:00:00 一行有误：“1,”中缺少节假日标志"},
        {"09:00:00=1,0,3", taskParams + "09:00:00 一行有误：“x”不是有效的整数"},
        {"10:00:00=1,0,3", taskParams + "10:00:00 一行有误：“1,1,1”只有 3 项，至少应有 4 项"},
        {"11:00:00=1,0,3", taskParams + "11:00:00 一行有误：“1”只有 1 项，至少应有 4 项"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const Timetable timetable = Timetable::Decode(
            {"07:00:00=1,0,3", c.line, "12:00:00=1,0,3", "13:00:00=no,0,3"}, params, kLibrary);
        EXPECT_EQ(timetable.messages(), QStringList({c.message, time + "13:00:00 一行有误：“no”不是有效的布尔值"}));
        const std::vector<Task> rows = listed(timetable);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].key, "07:00:00");
        EXPECT_EQ(rows[1].key, "12:00:00");
    }
}

} // namespace
