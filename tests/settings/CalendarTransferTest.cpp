#include "settings/CalendarTransfer.h"

#include "platform/Errors.h"
#include "settings/CalendarImportDialog.h"
#include "storage/ProgramData.h"
#include "support/Fakes.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString BaseConfig = QStringLiteral("[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");

QByteArray Event(const QByteArray& lines)
{
    return "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
}

class CalendarTransferTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    ProgramData data;

    void SetUp() override { useConfig(BaseConfig); }
    void useConfig(const QString& text)
    {
        dir.writeText("Config.ini", text);
        data.loadHolidays();
    }
    void offerFile(const QString& name, const QByteArray& bytes)
    {
        dir.write(name, bytes);
        dialogs.fileAnswers.enqueue({dir.file(name)});
    }
    static QStringList column(const QTreeWidget* list, int column)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
};

TEST_F(CalendarTransferTest, TheDialogSkipsWhatIsHeldOrClashesAndImportsTheRowsAsShown)
{
    useConfig(BaseConfig + "[HolidayDates]\n2026-10-01=2026-10-07\n2026-05-03=2026-05-06\n");
    offerFile("school.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//test//ZH\r\n" +
                  Event("DTSTART;VALUE=DATE:20261001\r\nDTEND;VALUE=DATE:20261008\r\nSUMMARY:国庆节\r\n") +
                  Event("DTSTART;VALUE=DATE:20260501\r\nDTEND;VALUE=DATE:20260506\r\nSUMMARY:劳动节\r\n") +
                  Event("DTSTART;VALUE=DATE:20260925\r\nDTEND;VALUE=DATE:20260928\r\nSUMMARY:中秋节\r\n") +
                  Event("DTSTART;VALUE=DATE:20260920\r\nSUMMARY:国庆节调休上班\r\n") +
                  Event("DTSTART;VALUE=DATE:20261107\r\nSUMMARY:运动会\r\nCATEGORIES:学校上班日\r\n") +
                  Event("DTSTART:20260901T080000\r\nSUMMARY:开学典礼\r\n") + "END:VCALENDAR\r\n");

    bool answered = false;
    AnswerNextModalOf<CalendarImportDialog>([&](CalendarImportDialog* d) {
        answered = true;
        EXPECT_EQ(d->windowTitle(), "导入日历");
        EXPECT_TRUE(d->lblFile->text().contains("school.ics"));
        EXPECT_EQ(column(d->lvAdded, 1), QStringList({"2026-09-25 至 2026-09-27", "2026-11-07", "2026-09-20"}));
        EXPECT_EQ(column(d->lvSkipped, 0), QStringList({"劳动节", "国庆节", "开学典礼"}));
        const QStringList reasons = column(d->lvSkipped, 2);
        EXPECT_TRUE(reasons.value(0).contains("重叠")) << reasons.value(0).toStdString();
        EXPECT_EQ(reasons.value(1), "校历中已有");

        QComboBox* sunday = d->weekdayBox(QDate(2026, 9, 20));
        ASSERT_NE(sunday, nullptr);
        EXPECT_EQ(sunday->currentText(), "按周一上课");
        sunday->setCurrentIndex(2);
        // The category makes the sports day a working day; the weekday picked above stays.
        d->cbWorkingCategory->setEditText("学校上班日");
        EXPECT_EQ(column(d->lvAdded, 0), QStringList({"放假", "调休上班", "调休上班"}));
        ASSERT_NE(d->weekdayBox(QDate(2026, 9, 20)), nullptr);
        EXPECT_EQ(d->weekdayBox(QDate(2026, 9, 20))->currentText(), "按周三上课");
        d->btnImport->click();
    });
    ImportCalendar(nullptr, data, dialogs, boxes);
    ASSERT_TRUE(answered);

    const QString config = dir.readText("Config.ini");
    EXPECT_TRUE(config.contains("2026-05-03=2026-05-06\r\n2026-09-25=2026-09-27\r\n")) << config.toStdString();
    EXPECT_TRUE(config.contains("[WorkDays]\r\n2026-09-20=3\r\n2026-11-07=1")) << config.toStdString();
    EXPECT_EQ(data.holidays().weekdayOf(QDate(2026, 9, 20)), 3);
    EXPECT_EQ(dialogs.filters, QStringList({"日历文件 (*.ics)"}));
    EXPECT_EQ(boxes.texts(), QStringList({"已从“school.ics”导入 1 段节假日、2 个调休上班日。"}));
}

TEST_F(CalendarTransferTest, AFileThatIsNoCalendarOrIsCancelledWritesNothing)
{
    const QString before = dir.readText("Config.ini");
    offerFile("notes.ics", "元旦放假一天\r\n");
    dialogs.fileAnswers.enqueue({dir.file("missing.ics")});
    for (const QString name : {"notes.ics", "missing.ics"}) {
        try {
            ImportCalendar(nullptr, data, dialogs, boxes);
            ADD_FAILURE() << "imported " << name.toStdString();
        } catch (const AppError& e) {
            EXPECT_TRUE(e.message().contains(name)) << e.message().toStdString();
        }
    }

    offerFile("ok.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" +
                            Event("DTSTART;VALUE=DATE:20260101\r\nSUMMARY:元旦\r\n") + "END:VCALENDAR\r\n");
    AnswerNextModalOf<CalendarImportDialog>([](CalendarImportDialog* d) { d->btnCancel->click(); });
    ImportCalendar(nullptr, data, dialogs, boxes);

    EXPECT_EQ(dir.readText("Config.ini"), before);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CalendarTransferTest, ExportWritesTheCalendarAndAnEmptyOneIsNotWritten)
{
    ExportCalendar(nullptr, data, dialogs, boxes);
    EXPECT_TRUE(dialogs.titles.isEmpty()) << "no file is asked for";
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains("没有导出"));

    useConfig(BaseConfig + "[HolidayDates]\n2026-02-15=2026-02-23\n[WorkDays]\n2026-02-14=6\n");
    dialogs.saveAnswers.enqueue(dir.file("out.ics"));
    ExportCalendar(nullptr, data, dialogs, boxes);
    EXPECT_EQ(dialogs.suggestedNames, QStringList({"校历.ics"}));
    EXPECT_TRUE(boxes.shown.last().text.contains("1 段节假日、1 个调休上班日"))
        << boxes.shown.last().text.toStdString();
    const CalendarDates back = ReadCalendar(dir.read("out.ics"), {}, Holidays()).dates();
    EXPECT_EQ(back.holidays, data.holidays().datedHolidays());
    EXPECT_EQ(back.workDays, data.holidays().makeUpDays());

    const QString refused = dir.file("no-such-folder/out.ics");
    dialogs.saveAnswers.enqueue(refused);
    try {
        ExportCalendar(nullptr, data, dialogs, boxes);
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(refused)) << e.message().toStdString();
    }
}

} // namespace
