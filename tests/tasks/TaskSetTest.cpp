#include "tasks/uTaskSet.h"

#include "library/MusicLibrary.h"
#include "library/UntEnDescrypt.h"
#include "platform/Guard.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"
#include "tasks/TypedFields.h"
#include "tasks/uMusicList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMetaObject>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class TaskSetTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    FakeClock clock;
    ProgramData data;
    TfrmTaskSet dialog{boxes, guard, clock, data, nullptr};

    void SetUp() override
    {
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
        dir.writeText(TaskFileName, "[Time]\n07:00:00=1,0,1\n8:00:15=1,0,1,9,2\n10:00:00=\n"
                                    "[Music]\n1=/bells/ring.mp3\n2=/songs/晨曲.mp3\n"
                                    "3=/dirs/上午/\n4=/dirs/下午/\n");
        load();
    }

    // What the main window reads at its start.
    void load()
    {
        data.loadSettings();
        data.setLibraryList(LibraryListOf(ReadLibraryEntries(TaskFilePath(), data.settings().enCodeLib)));
        data.loadTimetable();
    }

    // Picks the rows with these keys in the selection dialog of the add button, then confirms.
    void addMusic(bool directories, const QStringList& keys)
    {
        AnswerNextModalOf<TfrmSelMusic>([=](TfrmSelMusic* sel) {
            (directories ? sel->rbDirectory : sel->rbFile)->setChecked(true);
            for (int i = 0; i < sel->lvMusic->topLevelItemCount(); ++i)
                if (keys.contains(sel->lvMusic->topLevelItem(i)->text(0)))
                    sel->lvMusic->topLevelItem(i)->setCheckState(0, Qt::Checked);
            sel->btn1->click();
        });
        dialog.btnMusicAdd->click();
    }

    // Shows the dialog modally, presses "确定" and returns the result; a refused entry leaves
    // the dialog open, and the answer then cancels it.
    int pressOk()
    {
        bool stayedOpen = false;
        AnswerNextModalOf<TfrmTaskSet>([&](TfrmTaskSet* d) {
            d->btn1->click();
            stayedOpen = d->isVisible();
            if (stayedOpen)
                d->btn2->click();
        });
        const int result = dialog.ShowModal();
        EXPECT_EQ(result == TfrmTaskSet::mrCancel, stayedOpen);
        return result;
    }
};

TEST_F(TaskSetTest, DateParametersGoToThePageOfTheirTypeAndReadBack)
{
    struct Case {
        int type;
        QString given;
        QString read;
    };
    const Case cases[] = {
        {1, "0000011", "0000011"},
        {2, "1", "1" + QString(30, '0')},
        {2, "0000000000000000000000000000001", "0000000000000000000000000000001"},
        {3, "2013-01-05", "2013-01-05"},
        {3, "2013-1-5", "2013-01-05"},
        {0, "1111111", ""},
        {4, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.toStdString());
        TfrmTaskSet d(boxes, guard, clock, data, nullptr);
        d.setDateType(c.type);
        d.setDateParams(c.given);
        EXPECT_EQ(d.nbPlayDateParams->currentIndex(), c.type);
        EXPECT_EQ(d.DateType(), c.type);
        EXPECT_EQ(d.DateParams(), c.read);
    }
    TfrmTaskSet d(boxes, guard, clock, data, nullptr);
    d.setDateType(1);
    d.setDateParams("0000011");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(d.chkPlayDateWeek[i]->isChecked(), i >= 5) << d.chkPlayDateWeek[i]->text().toStdString();
    EXPECT_EQ(d.dtpPlayDateFixedDate->date(), clock.current.date()) << "no fixed date: the clock's day";
    d.setPlayMode(2);
    d.setDateType(4);
    d.setEndTime("abc");
    EXPECT_EQ(d.cbbPlayMode->currentText(), "随机");
    EXPECT_EQ(d.PlayMode(), 2);
    EXPECT_EQ(d.cbbPlayDate->currentText(), "临时一次");
    EXPECT_EQ(d.EndTime(), "00:00:00");
}

// Every entry that cannot be stored is refused with its own message, and the entries stay.
TEST_F(TaskSetTest, OkRefusesEveryEntryThatCannotBeStored)
{
    addMusic(false, {"1"});
    struct Case {
        const char *cycle, *start, *end, *length;
        int dateType;
        const char* date;
        const char* refusal; // nullptr: accepted
    };
    const char* badTime = "（时为 0 到 23，分和秒为 0 到 59，如 08:05:00）";
    const Case cases[] = {
        {"", "08:00:00", "00:00:00", "00:00:00", 0, "", "循环次数不能为空"},
        {"-1", "08:00:00", "00:00:00", "00:00:00", 0, "", "循环次数必须为数字"},
        {"0", "08:00:00", "00:00:00", "00:00:00", 0, "", "循环次数至少为 1：为 0 的任务到时什么也不播放"},
        {"1", "25:00:00", "00:00:00", "00:00:00", 0, "", nullptr},
        {"1", "8:0:0", "00:00:00", "00:00:00", 0, "", nullptr},
        {"1", "08:00:00", "07:59:59", "00:00:00", 0, "", "结束时间 07:59:59 必须晚于开始时间 08:00:00（00:00:00 表示不设结束时间）"},
        {"1", "08:00:00", "08:00:00", "00:00:00", 0, "", "结束时间 08:00:00 必须晚于开始时间 08:00:00（00:00:00 表示不设结束时间）"},
        {"1", "08:00:00", "08:60:00", "00:00:00", 0, "", nullptr},
        {"1", "08:00:00", "00:00:00", "24:00:00", 0, "", "播放时长“24:00:00”无效：请按 时:分:秒 填写，最长 23:59:59"},
        {"1", "08:00:00", "00:00:00", "600", 0, "", "播放时长“600”无效：请按 时:分:秒 填写，最长 23:59:59"},
        {"1", "08:00:00", "00:00:00", "00:00:00", 1, "", "请至少选择一个周工作日"},
        {"1", "08:00:00", "00:00:00", "00:00:00", 3, "2026-2-30", "日期“2026-2-30”不存在：请按 年-月-日 填写，如 2026-09-01"},
        {"1", "08:00:00", "00:00:00", "00:00:00", 3, "2026-13-01", "日期“2026-13-01”不存在：请按 年-月-日 填写，如 2026-09-01"},
        {"99", "08:00:00", "09:00:00", "23:59:59", 3, "2028-2-29", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cycle) + " " + c.start + " " + c.end + " " + c.length + " " + c.date);
        boxes.shown.clear();
        dialog.edtCycle->setText(c.cycle);
        dialog.dtpTime->lineEdit()->setText(c.start);
        dialog.dtpEndTime->lineEdit()->setText(c.end);
        dialog.edtPlayLength->lineEdit()->setText(c.length);
        dialog.setDateType(c.dateType);
        if (c.dateType == 1)
            dialog.setDateParams("0000000");
        dialog.dtpPlayDateFixedDate->lineEdit()->setText(c.date);
        // The answer to "discard?" after a refusal: leave.
        const int result = pressOk();
        QString expected = c.refusal;
        if (QString(c.start) != "08:00:00" && QString(c.start) != "")
            expected = QString("开始时间“%1”不是有效的时间").arg(c.start) + badTime;
        if (QString(c.end) == "08:60:00")
            expected = QString("结束时间“08:60:00”不是有效的时间") + badTime;
        if (expected.isEmpty()) {
            EXPECT_EQ(result, TfrmTaskSet::mrOk);
            EXPECT_TRUE(boxes.shown.isEmpty());
            continue;
        }
        ASSERT_FALSE(boxes.shown.isEmpty());
        EXPECT_EQ(boxes.shown[0].text, expected);
        EXPECT_EQ(boxes.shown[0].caption, "错误！");
        EXPECT_EQ(dialog.edtCycle->text(), c.cycle) << "entries are kept";
        EXPECT_EQ(dialog.dtpTime->text(), c.start);
    }
    EXPECT_EQ(dialog.PlayLength(), 86399);
    EXPECT_EQ(dialog.DateParams(), "2028-02-29");
    dialog.btnMusicClear->click();
    pressOk();
    EXPECT_EQ(boxes.texts().value(0), "歌曲铃声不能为空");
}

// Typed from wherever the caret is, a digit takes the place of the one there; nothing typed is
// rolled into another value.
TEST_F(TaskSetTest, TimeFieldsTakeTypingAtAnyCaretPlace)
{
    struct Case {
        int caret;
        const char* keys;
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {0, "0930", "09:30:00", true},   {3, "45", "08:45:00", true},
        {2, "15", "08:15:00", true},     {6, "59", "08:00:59", true},
        {0, "09:30:15", "09:30:15", true}, {0, "25", "25:00:00", false},
        {8, "1", "08:00:001", false},    {0, "x", "08:00:00", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        TimeField field;
        field.setTime(QTime(8, 0, 0));
        field.lineEdit()->deselect();
        field.lineEdit()->setCursorPosition(c.caret);
        QTest::keyClicks(&field, c.keys);
        EXPECT_EQ(field.text(), c.text);
        EXPECT_EQ(field.time().isValid(), c.valid);
    }
    // Up steps the part at the caret, within the day.
    TimeField field;
    field.setTime(QTime(23, 59, 0));
    field.lineEdit()->setCursorPosition(4);
    field.stepBy(1);
    EXPECT_EQ(field.text(), "23:59:00") << "no roll past midnight";
    field.stepBy(-2);
    EXPECT_EQ(field.text(), "23:57:00");
    DateField date;
    date.setDate(QDate(2026, 1, 31));
    date.lineEdit()->setCursorPosition(6);
    date.stepBy(1);
    EXPECT_EQ(date.text(), "2026-02-28");
}

TEST_F(TaskSetTest, OverwriteIsAskedWhenTheStartTimeHoldsAnotherTask)
{
    addMusic(false, {"1"});
    struct Case {
        int mode;
        QString given, chosen;
        bool asked;
    };
    const Case cases[] = {
        {TfrmTaskSet::AddMode, "09:00:00", "07:00:00", true},
        {TfrmTaskSet::AddMode, "09:00:00", "09:00:01", false},
        {TfrmTaskSet::EditMode, "07:00:00", "07:00:00", false},
        {TfrmTaskSet::EditMode, "09:00:00", "07:00:00", true},
        {TfrmTaskSet::EditMode, "8:00:15", "08:00:15", false},
        {TfrmTaskSet::AddMode, "09:00:00", "10:00:00", false}, // a line without a value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        dialog.DialogMode = c.mode;
        dialog.setStartTime(c.given);
        dialog.dtpTime->setTime(QTime::fromString(c.chosen, "HH:mm:ss"));
        boxes.shown.clear();
        boxes.answers = QQueue<BoxAnswer>({BoxAnswer::Cancel});
        EXPECT_EQ(pressOk(), c.asked ? TfrmTaskSet::mrCancel : TfrmTaskSet::mrOk);
        EXPECT_EQ(boxes.texts(), c.asked ? QStringList{"该时间段任务已存在，是否覆盖？"} : QStringList{});
        EXPECT_EQ(dialog.StartTime(), c.chosen);
    }
    boxes.answers = QQueue<BoxAnswer>({BoxAnswer::Ok});
    EXPECT_EQ(pressOk(), TfrmTaskSet::mrOk) << "OK overwrites";

    // A started once-only task has left the file: saving at its time replaces nothing.
    data.startOnceOnly("07:00:00");
    boxes.shown.clear();
    dialog.DialogMode = TfrmTaskSet::AddMode;
    EXPECT_EQ(pressOk(), TfrmTaskSet::mrOk);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(TaskSetTest, AddingMusicKeepsOneKindAndOneDirectory)
{
    struct Step {
        bool directories;
        QStringList keys;
        const char* refusal;
        QStringList lines;
        int sourceType;
    };
    const char* mixed = "不能在同一时段添加同时添加音频文件和目录，如要更改类型，请先清空之前的数据。";
    const char* twoDirs = "不能在同一时段添加多个目录。";
    const Step steps[] = {
        {true, {"3", "4"}, twoDirs, {}, 1},
        {true, {"3"}, nullptr, {"3=上午"}, 2},
        {true, {"4"}, twoDirs, {"3=上午"}, 2},
        {false, {"1"}, mixed, {"3=上午"}, 2},
    };
    for (const Step& s : steps) {
        boxes.shown.clear();
        addMusic(s.directories, s.keys);
        EXPECT_EQ(boxes.texts(), s.refusal ? QStringList{s.refusal} : QStringList{});
        EXPECT_EQ(dialog.MusicLines(), s.lines);
        EXPECT_EQ(dialog.SourceType, s.sourceType);
    }
    dialog.btnMusicClear->click();
    addMusic(false, {"1", "2"});
    addMusic(false, {"1"});
    EXPECT_EQ(dialog.MusicLines(), QStringList({"1=ring.mp3", "2=晨曲.mp3", "1=ring.mp3"}));
    EXPECT_EQ(dialog.SourceType, 1);

    boxes.shown.clear();
    dialog.lstMusic->clearSelection();
    dialog.btnMusicDel->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].caption, "提示");
    EXPECT_EQ(boxes.shown[0].text, "请选择要删除的歌曲铃声！");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Information);
    dialog.lstMusic->setCurrentRow(1);
    dialog.btnMusicDel->click();
    EXPECT_EQ(dialog.MusicLines(), QStringList({"1=ring.mp3", "1=ring.mp3"}));
}

TEST_F(TaskSetTest, TaskMusicLoadsFromTheFileKeyAndDropsKeysGoneFromTheLibrary)
{
    dialog.setStartTime("8:00:15");
    dialog.LoadTaskMusic(true);
    EXPECT_EQ(dialog.MusicLines(), QStringList({"1=ring.mp3", "2=晨曲.mp3"}));
    dialog.LoadTaskMusic(false);
    EXPECT_EQ(dialog.MusicLines().size(), 2) << "a clear flag does nothing";

    // An enciphered library is read deciphered.
    dir.writeText("Config.ini", "[base]\nEnCodeLib=1\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    WriteEncryptedString(TaskFilePath(), MusicSection, "1", "/dirs/铃声/");
    load();
    dialog.setStartTime("07:00:00");
    dialog.LoadTaskMusic(true);
    EXPECT_EQ(dialog.MusicLines(), QStringList({"1=铃声"}));
}

TEST_F(TaskSetTest, TheFileChangedBehindTheOwnersBackIsNotWhatTheEditorShows)
{
    dir.writeText(TaskFileName, "[Time]\n07:00:00=1,0,2\n09:00:00=1,0,1\n"
                                "[Music]\n1=/bells/new.mp3\n2=/songs/new.mp3\n");
    dialog.setStartTime("07:00:00");
    dialog.LoadTaskMusic(true);
    EXPECT_EQ(dialog.MusicLines(), QStringList{"1=ring.mp3"});
    addMusic(false, {"2"});
    EXPECT_EQ(dialog.MusicLines(), QStringList({"1=ring.mp3", "2=晨曲.mp3"}));
    dialog.dtpTime->setTime(QTime(9, 0, 0));
    EXPECT_EQ(pressOk(), TfrmTaskSet::mrOk);
    EXPECT_TRUE(boxes.shown.isEmpty()) << "09:00:00 is no task of the owner's";
}

TEST_F(TaskSetTest, EnterConfirmsAndEscCancels)
{
    addMusic(false, {"1"});
    AnswerNextModalOf<TfrmTaskSet>([](TfrmTaskSet* d) {
        d->edtCycle->setFocus();
        QTest::keyClick(d->edtCycle, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.ShowModal(), TfrmTaskSet::mrOk);
    AnswerNextModalOf<TfrmTaskSet>([](TfrmTaskSet* d) { QTest::keyClick(d->dtpTime, Qt::Key_Escape); });
    EXPECT_EQ(dialog.ShowModal(), TfrmTaskSet::mrCancel);
    AnswerNextModalOf<TfrmTaskSet>([](TfrmTaskSet* d) { d->close(); });
    EXPECT_EQ(dialog.ShowModal(), TfrmTaskSet::mrCancel) << "the close box cancels";
}

} // namespace
