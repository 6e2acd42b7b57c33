#include "settings/CalendarPage.h"

#include "platform/Guard.h"
#include "storage/ProgramData.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + " " + list->topLevelItem(i)->text(list->columnCount() - 1);
    return rows;
}

// The page's controls reach the file through the owner; a refused entry is shown as the reason
// and leaves the file and the rows as they were.
TEST(CalendarPage, AddsAndDeletesDatesAndShowsWhyOneIsRefused)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    HandlerGuard guard(boxes, [] { return QStringLiteral("T"); });
    ProgramData data;
    FakeClock clock;
    CalendarPage page(data, dialogs, boxes, clock, guard);
    EXPECT_EQ(page.dtpWorkDay->date(), clock.now().date());
    data.loadHolidays();

    page.dtpHolidayDatesBegin->setDate(QDate(2027, 2, 5));
    EXPECT_EQ(page.dtpHolidayDatesEnd->date(), QDate(2027, 2, 5)) << "the end follows the begin";
    page.dtpHolidayDatesEnd->setDate(QDate(2027, 2, 13));
    page.btnAddHolidayDates->click();
    // The weekday proposed is that of the next working day: after Saturday 2027-02-20, Monday.
    page.dtpWorkDay->setDate(QDate(2027, 2, 20));
    EXPECT_EQ(page.cbxWorkDayWeekday->currentText(), "按周一上课");
    page.cbxWorkDayWeekday->setCurrentIndex(5);
    page.btnAddWorkDay->click();
    EXPECT_EQ(Rows(page.lvHolidayDates), QStringList({"2027-02-05 9"}));
    EXPECT_EQ(Rows(page.lvWorkDays), QStringList({"2027-02-20 按周六上课"}));
    const QString written = dir.readText("Config.ini");
    EXPECT_TRUE(written.contains("[WorkDays]\r\n2027-02-20=6")) << written.toStdString();

    page.dtpWorkDay->setDate(QDate(2027, 2, 7));
    page.btnAddWorkDay->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains("调休上班日 2027-02-07 落在节假日 2027-02-05 至 2027-02-13 内"));
    EXPECT_EQ(dir.readText("Config.ini"), written);
    EXPECT_EQ(Rows(page.lvWorkDays).size(), 1);

    page.lvHolidayDates->setCurrentItem(page.lvHolidayDates->topLevelItem(0));
    page.btnDelHolidayDates->click();
    EXPECT_TRUE(Rows(page.lvHolidayDates).isEmpty());
    EXPECT_FALSE(dir.readText("Config.ini").contains("[HolidayDates]\r\n2027"));
    page.btnDelWorkDay->click(); // nothing selected: nothing happens
    EXPECT_EQ(Rows(page.lvWorkDays).size(), 1);
}

} // namespace
