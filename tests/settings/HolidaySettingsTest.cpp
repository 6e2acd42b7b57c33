#include "settings/HolidaySettings.h"

#include "platform/Guard.h"
#include "settings/SettingsPage.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "storage/ProgramData.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class HolidaySettingsTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    SettingsPage page;
    ProgramData data;
    FakeClock clock = [] {
        FakeClock c;
        c.set(QDate(2026, 9, 14), QTime(8, 0));
        return c;
    }();
    HolidaySettings holidays{page, data, boxes, guard, clock};

    void SetUp() override
    {
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    }
    void save(int beginMonth, int beginDay, int endMonth, int endDay)
    {
        page.dtpHolidayBegin->setDate(QDate(2000, beginMonth, beginDay));
        page.dtpHolidayEnd->setDate(QDate(2000, endMonth, endDay));
        page.btnHolidaySave->click();
    }
    QStringList rows() const
    {
        QStringList r;
        for (int i = 0; i < page.lvHoliday->topLevelItemCount(); ++i)
            r << page.lvHoliday->topLevelItem(i)->text(0) + "=" + page.lvHoliday->topLevelItem(i)->text(1);
        return r;
    }
};

TEST_F(HolidaySettingsTest, SaveAndDeleteKeepListFileAndDueCheckTogether)
{
    EXPECT_EQ(page.dtpHolidayBegin->text(), "09-14") << "today's month and day";
    EXPECT_EQ(page.dtpHolidayEnd->text(), "09-14");
    struct Step {
        int bm, bd, em, ed;
        QStringList after; // as the file holds them
        QStringList rows;  // as the list shows them: by date
    };
    const Step steps[] = {
        {5, 1, 5, 7, {"5-1=5-7"}, {"5-1=5-7"}},
        {5, 1, 5, 3, {"5-1=5-3"}, {"5-1=5-3"}},
        {10, 1, 10, 1, {"5-1=5-3", "10-1=10-1"}, {"5-1=5-3", "10-1=10-1"}},
        {2, 29, 3, 1, {"5-1=5-3", "10-1=10-1", "2-29=3-1"}, {"2-29=3-1", "5-1=5-3", "10-1=10-1"}},
    };
    for (const Step& s : steps) {
        save(s.bm, s.bd, s.em, s.ed);
        EXPECT_EQ(rows(), s.rows);
        EXPECT_EQ(data.HolidayList(), s.after);
    }
    page.lvHoliday->topLevelItem(2)->setSelected(true);
    page.btnHolidayDel->click();
    EXPECT_EQ(data.HolidayList(), QStringList({"5-1=5-3", "2-29=3-1"}));
    EXPECT_EQ(rows(), QStringList({"2-29=3-1", "5-1=5-3"}));

    page.lvHoliday->clearSelection();
    page.btnHolidayDel->click();
    EXPECT_EQ(rows().size(), 2) << "nothing selected deletes nothing";
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(HolidaySettingsTest, ARangeOverTheNewYearIsKeptAsItsTwoPartsOnceConfirmed)
{
    boxes.answers.enqueue(BoxAnswer::Cancel);
    save(12, 30, 1, 2);
    EXPECT_TRUE(data.HolidayList().isEmpty());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains("12-30至12-31，1-1至1-2")) << boxes.shown[0].text.toStdString();

    save(12, 30, 1, 2);
    EXPECT_EQ(data.HolidayList(), QStringList({"12-30=12-31", "1-1=1-2"}));
    // The due-time check now holds the bells back on both sides of the turn of the year.
    for (const QDate& day : {QDate(2026, 12, 31), QDate(2027, 1, 2)})
        EXPECT_TRUE(data.holidays().contains(day)) << day.toString().toStdString();
    EXPECT_FALSE(data.holidays().contains(QDate(2027, 1, 3)));
}

TEST_F(HolidaySettingsTest, AHandEditedBadLineIsNamedAtEachRefillAndCanBeDeleted)
{
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n"
                                "[Holiday]\n4-xx=5-1\n");
    // As the start-up reads it.
    EXPECT_EQ(data.loadHolidays().size(), 1);
    EXPECT_EQ(data.HolidayList(), QStringList({"4-xx=5-1"}));

    holidays.LoadHolidays();
    save(5, 1, 5, 3);
    EXPECT_EQ(data.HolidayList(), QStringList({"4-xx=5-1", "5-1=5-3"}));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].caption, "警告！");
    EXPECT_EQ(boxes.shown[0].text, "Config.ini 的 [Holiday] 中“4-xx=5-1”不是有效的节假日（月-日=月-日），已忽略");

    // A line that names no day is listed last.
    ASSERT_EQ(page.lvHoliday->topLevelItem(1)->text(0), "4-xx");
    page.lvHoliday->topLevelItem(1)->setSelected(true);
    page.btnHolidayDel->click();
    EXPECT_EQ(data.HolidayList(), QStringList({"5-1=5-3"}));
    EXPECT_EQ(boxes.shown.size(), 1);
}

// Config.ini refuses the save and the delete: each is reported naming the file, and the list
// and the due-time check's ranges stay as the file holds them.
TEST_F(HolidaySettingsTest, AChangeTheFileRefusesIsReportedAndNothingIsTakenIn)
{
    save(5, 1, 5, 3);
    const QString before = dir.readText("Config.ini");
    SetIniSaveInterruptedForTesting(true);
    save(10, 1, 10, 7);
    page.lvHoliday->topLevelItem(0)->setSelected(true);
    page.btnHolidayDel->click();
    SetIniSaveInterruptedForTesting(false);
    EXPECT_EQ(dir.readText("Config.ini"), before);
    EXPECT_EQ(data.HolidayList(), QStringList({"5-1=5-3"}));
    EXPECT_EQ(rows(), data.HolidayList());
    ASSERT_EQ(boxes.shown.size(), 2);
    for (const auto& box : boxes.shown)
        EXPECT_TRUE(box.text.contains("Config.ini")) << box.text.toStdString();
}

} // namespace
