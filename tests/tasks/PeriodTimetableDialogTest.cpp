#include "tasks/PeriodTimetableDialog.h"

#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

// A time that does not read stops the save with its reason; a bell in a hand-made task's second
// is asked about, and "取消" keeps the hand-made task; a second timetable keeps its own start day.
TEST(PeriodTimetableDialog, RefusesWhatDoesNotReadAndAsksBeforeTouchingAHandMadeTask)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    dir.writeText(TaskFileName, "[Music]\n1=/b/上课铃.wav\n2=/b/下课铃.wav\n"
                                "[Time]\n08:00:00=1,0,2\n[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n");
    ProgramData data;
    data.setLibraryList({"1=/b/上课铃.wav", "2=/b/下课铃.wav"});
    data.loadTimetable();
    data.loadPeriodTimetables();
    FakeMessageBoxes boxes;
    FakeClock clock;
    const QString before = dir.readText(TaskFileName);

    PeriodTimetableDialog d(data, boxes, clock);
    d.btnAddPeriod->click();
    d.tblPeriods->item(1, 1)->setText("8:6x");
    EXPECT_FALSE(d.save());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains("第二节“8:6x”不是有效的时刻")) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(dir.readText(TaskFileName), before);

    d.tblPeriods->item(1, 1)->setText("9:00");
    d.cbxEndBell->setCurrentIndex(2);
    d.newTimetable();
    d.edtName->setText("冬季作息");
    d.dtpFrom->setDate(QDate(2000, 10, 1));
    d.cbxTimetable->setCurrentIndex(0); // back to the first: the winter one keeps its edits
    boxes.answers.enqueue(BoxAnswer::Cancel);
    EXPECT_TRUE(d.save());
    EXPECT_TRUE(boxes.shown[1].text.contains("08:00:00（第一节 上课铃）")) << boxes.shown[1].text.toStdString();
    EXPECT_TRUE(boxes.shown[2].text.contains("08:00:00 第一节 上课铃：该时刻已有手工任务，未写入"));
    EXPECT_EQ(data.timetable().find("08:00:00")->timeValue(), "1,0,2") << "the hand-made task stays";
    EXPECT_NE(data.timetable().find("09:00:00"), nullptr);
    ASSERT_EQ(data.periodTimetables().size(), 2u);
    EXPECT_EQ(data.periodTimetables()[1].name, "冬季作息");
    EXPECT_EQ(data.periodTimetables()[1].fromMonth, 10);
    EXPECT_EQ(data.periodTimetableApplied(), "作息时间表");

    // A bell that has left the library is named, not replaced in silence.
    data.setLibraryList({"1=/b/上课铃.wav"});
    PeriodTimetableDialog again(data, boxes, clock);
    EXPECT_FALSE(again.lblBellsGone->isHidden());
    EXPECT_EQ(again.lblBellsGone->text(), "下课铃（音频库编号 2）已不在音频库中，请重新选择后保存。");

    // Both deleted: their bells go, the hand-made task stays.
    again.deleteTimetable();
    again.deleteTimetable();
    EXPECT_FALSE(again.btnAddPeriod->isEnabled());
    EXPECT_TRUE(again.save());
    EXPECT_TRUE(data.periodTimetables().empty());
    EXPECT_EQ(data.timetable().size(), 1);
    EXPECT_NE(data.timetable().find("08:00:00"), nullptr);
}

} // namespace
