#include "tasks/TaskListPage.h"

#include "platform/Guard.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"
#include "tasks/TaskTableModel.h"
#include "tasks/RingNowDialog.h"
#include "tasks/uMusicList.h"
#include "tasks/TypedFields.h"
#include "tasks/uTaskSet.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString Library = "[Music]\n1=/bells/ring.mp3\n2=/songs/a.mp3\n";

class TaskCommandsTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    FakeClock clock;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    ProgramData data;
    TaskListPage page{data, boxes, clock, guard};
    TaskTableModel& model = *page.model();

    void SetUp() override
    {
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
        data.setLibraryList({"1=/bells/ring.mp3", "2=/songs/a.mp3"});
    }
    void load(const QString& text)
    {
        dir.writeText(TaskFileName, text);
        data.loadTimetable();
    }
    QStringList scheduleList() const { return data.ScheduleList(); }
    QString file() const { return dir.readText(TaskFileName).replace("\r\n", "\n"); }
    QStringList captions() const
    {
        QStringList c;
        for (int i = 0; i < model.rowCount(); ++i)
            c << model.index(i, 0).data().toString();
        return c;
    }
    Qt::CheckState checkState(int row) const
    {
        return Qt::CheckState(model.index(row, 0).data(Qt::CheckStateRole).toInt());
    }
    QModelIndex select(const QString& caption)
    {
        page.lvMusicTime->clearSelection();
        const QModelIndex index = model.index(model.rowOf(caption), 0);
        if (!index.isValid())
            ADD_FAILURE() << "no row " << caption.toStdString();
        else
            page.lvMusicTime->setCurrentIndex(index);
        return index;
    }
    // Answers the editor that the command opens: fill changes it, then "确定".
    void answerEditor(std::function<void(TfrmTaskSet*)> fill)
    {
        AnswerNextModalOf<TfrmTaskSet>([fill](TfrmTaskSet* d) {
            fill(d);
            d->btn1->click();
            if (d->isVisible())
                d->btn2->click();
        });
    }
    static void addAudio(TfrmTaskSet* d, const QString& key)
    {
        AnswerNextModalOf<TfrmSelMusic>([key](TfrmSelMusic* sel) {
            for (int i = 0; i < sel->lvMusic->topLevelItemCount(); ++i)
                if (sel->lvMusic->topLevelItem(i)->text(0) == key)
                    sel->lvMusic->topLevelItem(i)->setCheckState(0, Qt::Checked);
            sel->btn1->click();
        });
        d->btnMusicAdd->click();
    }
};

TEST_F(TaskCommandsTest, AddEditDisableClearDisabledAndClearAll)
{
    load(Library);
    clock.set(QDate(2026, 3, 2), QTime(8, 0, 0));
    QString proposed, caption;
    answerEditor([&](TfrmTaskSet* d) {
        proposed = d->StartTime();
        caption = d->windowTitle();
        addAudio(d, "1");
    });
    page.actAddTask->trigger();
    EXPECT_EQ(proposed, "08:00:15");
    EXPECT_EQ(caption, "新增定时任务");
    EXPECT_EQ(file(), Library + "[Time]\n08:00:15=1,0,1\n[TimeParams]\n08:00:15=1,1,1,0,,0,00:00:00\n");
    EXPECT_EQ(scheduleList(), QStringList{"08:00:15=1,0,1"});
    EXPECT_EQ(captions(), QStringList{"08:00:15"});

    select("08:00:15");
    answerEditor([&](TfrmTaskSet* d) {
        caption = d->windowTitle();
        EXPECT_EQ(d->MusicLines(), QStringList{"1=ring.mp3"});
        d->dtpTime->setTime(QTime(8, 30, 0));
        d->edtCycle->setText("2");
        d->setDateType(1);
        d->setDateParams("1111100");
        EXPECT_TRUE(d->chkRejectHoliday->isChecked()) << "stored 0: silent on holidays";
        d->chkRejectHoliday->setChecked(false);
        addAudio(d, "2");
    });
    page.actEditTask->trigger();
    EXPECT_EQ(caption, "修改定时任务");
    EXPECT_EQ(file(), Library + "[Time]\n08:30:00=1,1,1,2\n[TimeParams]\n08:30:00=2,1,1,1,1111100,0,00:00:00\n");
    EXPECT_EQ(scheduleList(), QStringList{"08:30:00=1,1,1,2"});

    select("08:30:00");
    page.actVaildTask->trigger();
    EXPECT_EQ(file(), Library + "[Time]\n08:30:00=0,1,1,2\n[TimeParams]\n08:30:00=2,1,1,1,1111100,0,00:00:00\n");
    EXPECT_EQ(scheduleList(), QStringList{"08:30:00=0,1,1,2"});
    EXPECT_EQ(checkState(0), Qt::Unchecked);

    page.actClearVaildTask->trigger();
    EXPECT_EQ(file(), Library + "[Time]\n[TimeParams]\n");
    EXPECT_TRUE(scheduleList().isEmpty());
    EXPECT_TRUE(captions().isEmpty());

    answerEditor([&](TfrmTaskSet* d) { addAudio(d, "2"); });
    page.actAddTask->trigger();
    EXPECT_EQ(scheduleList(), QStringList{"08:00:15=1,0,2"});
    page.actClearAllTask->trigger();
    EXPECT_EQ(file(), Library);
    EXPECT_TRUE(scheduleList().isEmpty());
    EXPECT_TRUE(captions().isEmpty());
    EXPECT_EQ(boxes.texts(), QStringList({"确定清除所有已禁用的任务么？", "确定要清空所有播放任务么？"}));
}

// The stored flag keeps its meaning (0: the holiday ranges silence the task); the box and the
// column say so: checked and "是" for 0.
TEST_F(TaskCommandsTest, TheHolidayBoxAndColumnTellWhatTheStoredFlagDoes)
{
    load(Library + "[Time]\n07:00:00=1,0,1\n08:00:00=1,1,1\n09:00:00=1,5,1\n[TimeParams]\n"
                   "07:00:00=1,1,1,0,,0,00:00:00\n08:00:00=1,1,1,0,,0,00:00:00\n"
                   "09:00:00=1,1,1,0,,0,00:00:00\n");
    struct Case {
        const char* key;
        const char* cell;
        bool checked;
        const char* saved; // the Time value after OK with nothing changed
    };
    const Case cases[] = {
        {"07:00:00", "是", true, "1,0,1"},
        {"08:00:00", "否", false, "1,1,1"},
        {"09:00:00", "否", false, "1,1,1"}, // any flag but 0 lets the task ring on holidays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(model.index(model.rowOf(c.key), 7).data().toString(), c.cell);
        select(c.key);
        bool checked = !c.checked;
        answerEditor([&](TfrmTaskSet* d) { checked = d->chkRejectHoliday->isChecked(); });
        page.actEditTask->trigger();
        EXPECT_EQ(checked, c.checked);
        EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, c.key, ""), c.saved);
    }
    EXPECT_TRUE(model.headerData(7, Qt::Horizontal, Qt::ToolTipRole).toString().startsWith("是：节假日"));

    // Unticked, the task rings on holidays: stored as 1, shown as "否".
    select("07:00:00");
    answerEditor([](TfrmTaskSet* d) { d->chkRejectHoliday->setChecked(false); });
    page.actEditTask->trigger();
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", ""), "1,1,1");
    EXPECT_EQ(model.index(model.rowOf("07:00:00"), 7).data().toString(), "否");
}

// Copy proposes the next free second and saves a new task; the menu of the list opens from the
// keyboard; a changed editor asks before its input is thrown away.
TEST_F(TaskCommandsTest, CopyContextMenuAndDiscardingChanges)
{
    const QString tasks = Library + "[Time]\n07:00:00=1,1,1,2\n07:00:01=1,0,1\n[TimeParams]\n"
                                    "07:00:00=3,1,2,1,1010100,0,07:05:00\n07:00:01=1,1,1,0,,0,00:00:00\n";
    load(tasks);
    select("07:00:00");
    QString proposed, caption;
    answerEditor([&](TfrmTaskSet* d) {
        proposed = d->StartTime();
        caption = d->windowTitle();
        EXPECT_EQ(d->MusicLines(), QStringList({"1=ring.mp3", "2=a.mp3"}));
    });
    page.actCopyTask->trigger();
    EXPECT_EQ(proposed, "07:00:02");
    EXPECT_EQ(caption, "复制定时任务");
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:02", ""), "1,1,1,2");
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeParamsSection, "07:00:02", ""), "3,1,2,1,1010100,0,07:05:00");
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", ""), "1,1,1,2") << "the original stays";

    // A new weekly task starts on the working days.
    answerEditor([](TfrmTaskSet* d) {
        d->setDateType(1);
        EXPECT_EQ(d->DateParams(), "1111100");
        d->btn2->click();
    });
    page.actAddTask->trigger();

    // Changed: Esc and "取消" ask; Cancel keeps the editor, OK leaves it; nothing is written.
    load(tasks);
    select("07:00:00");
    boxes.shown.clear();
    boxes.answers = QQueue<BoxAnswer>({BoxAnswer::Cancel, BoxAnswer::Ok});
    bool stayed = false;
    AnswerNextModalOf<TfrmTaskSet>([&](TfrmTaskSet* d) {
        d->edtCycle->setText("0");
        QTest::keyClick(d, Qt::Key_Escape);
        stayed = d->isVisible();
        d->btn1->click(); // refused: loop count 0
        d->btn2->click();
    });
    page.actEditTask->trigger();
    EXPECT_TRUE(stayed);
    const QString discard = "该任务已修改，确定放弃所做的修改么？";
    EXPECT_EQ(boxes.texts(), QStringList({discard, "循环次数至少为 1：为 0 的任务到时什么也不播放", discard}));
    EXPECT_EQ(file(), tasks);

    // Shift+F10 and the Menu key open the menu at the current row; a click after it selects.
    page.resize(900, 400);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QStringList entries;
    for (QAction* a : page.pmTimeList->actions())
        if (!a->isSeparator())
            entries << a->text();
    EXPECT_EQ(entries.mid(0, 4), QStringList({"修改定时任务", "复制定时任务", "禁止该任务", "删除定时任务"}));
    for (auto [key, modifiers] : {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
        select("07:00:00");
        QTest::keyClick(page.lvMusicTime, key, modifiers);
        EXPECT_TRUE(page.pmTimeList->isVisible());
        page.pmTimeList->close();
    }
    const QRect second = page.lvMusicTime->visualRect(model.index(model.rowOf("07:00:01"), 1));
    QTest::mouseClick(page.lvMusicTime->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(page.selectedTaskKey(), "07:00:01");
}

// The editor shows the task's sound, saves what it then holds, and a copy takes it along.
TEST_F(TaskCommandsTest, TheSoundIsEditedAndCopiedWithItsTask)
{
    load(Library + "[Time]\n07:00:00=1,0,1\n[TimeParams]\n07:00:00=1,1,1,0,,0,00:00:00\n[TaskSound]\n07:00:00=80,2,5\n");
    select("07:00:00");
    TaskSound shown;
    bool changed = false;
    answerEditor([&](TfrmTaskSet* d) {
        shown = d->sound();
        d->spnVolume->setValue(60);
        d->spnFadeOut->setValue(10);
        changed = d->Changed();
    });
    page.actEditTask->trigger();
    EXPECT_EQ(shown, (TaskSound{80, 2, 5}));
    EXPECT_TRUE(changed) << "leaving would ask";

    select("07:00:00");
    answerEditor([](TfrmTaskSet*) {});
    page.actCopyTask->trigger();
    QStringList sounds;
    ReadWholeIniSection(TaskFilePath(), TaskSoundSection, sounds);
    EXPECT_EQ(sounds, QStringList({"07:00:00=60,2,10", "07:00:01=60,2,10"}));
}

// The zones field shows the task's zones, keeps names that are zones no more, and saves what
// it then holds; with broadcasting off it offers nothing and the line stays as it was.
TEST_F(TaskCommandsTest, TheZonesAreEditedWithTheirTaskOrKeptWhenNotOffered)
{
    const QString config = "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n[BroadcastZones]\n"
                           "教学楼=4953\n实验楼=4954\n操场=4955\n";
    const auto toggle = [](TfrmTaskSet* d, const QString& text) {
        for (QAction* a : d->btnZones->menu()->actions())
            if (a->text() == text)
                a->trigger();
    };
    struct Case {
        const char* name;
        bool enabled;
        const char* stored;
        QStringList clicks;
        const char* shown;  // the button's text as the editor opens
        const char* after;  // the button's text after the clicks
        const char* saved;  // the task's line; nullptr: none
    };
    const Case cases[] = {
        {"one added, a gone zone kept", true, "旧楼,实验楼", {"教学楼"}, "实验楼", "实验楼、教学楼",
         "旧楼,实验楼,教学楼"},
        {"one left out of all", true, nullptr, {"实验楼"}, "全部分区", "教学楼、操场", "教学楼,操场"},
        {"all taken back", true, "操场", {"全部分区"}, "操场", "全部分区", nullptr},
        {"none", true, nullptr, {"全部分区"}, "全部分区", "仅本机", ""},
        {"broadcasting off", false, "旧楼", {}, "未设置分区", "未设置分区", "旧楼"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeText("Config.ini", config + (c.enabled ? "[Broadcast]\nEnabled=1\n" : ""));
        data.loadSettings();
        load(Library + "[Time]\n07:00:00=1,0,1\n[TimeParams]\n07:00:00=1,1,1,0,,0,00:00:00\n" +
             (c.stored ? "[TaskZones]\n07:00:00=" + QString::fromUtf8(c.stored) + "\n" : QString()));
        select("07:00:00");
        QString shown, after;
        bool offered = true, changed = false;
        answerEditor([&](TfrmTaskSet* d) {
            shown = d->btnZones->text();
            offered = d->btnZones->isEnabled();
            if (!offered) {
                EXPECT_EQ(d->btnZones->toolTip(), "在“分区广播”页中设置分区");
            }
            for (const QString& click : c.clicks)
                toggle(d, click);
            after = d->btnZones->text();
            changed = d->Changed();
            d->spnVolume->setValue(90);
        });
        page.actEditTask->trigger();
        EXPECT_EQ(shown, QString::fromUtf8(c.shown));
        EXPECT_EQ(after, QString::fromUtf8(c.after));
        EXPECT_EQ(offered, c.enabled);
        EXPECT_EQ(changed, !c.clicks.isEmpty());
        const QString missing = "\n";
        EXPECT_EQ(ReadIniString(TaskFilePath(), TaskZonesSection, "07:00:00", missing),
                  c.saved ? QString::fromUtf8(c.saved) : missing);
    }
}

TEST_F(TaskCommandsTest, CommandsWithoutASelectedRowOrConfirmationChangeNothing)
{
    const QString tasks = Library + "[Time]\n07:00:00=1,0,1\n08:00:00=1,0,2\n[TimeParams]\n"
                                    "07:00:00=1,1,1,0,,0,00:00:00\n08:00:00=1,1,1,0,,0,00:00:00\n";
    load(tasks);
    struct Case {
        QAction* action;
        bool selected;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {page.actEditTask, false, "警告！", "请选择要修改的定时任务"},
        {page.actDeleteTask, false, "错误", "请选择要删除的定时时间！"},
        {page.actVaildTask, false, nullptr, nullptr},
        {page.actDeleteTask, true, "提示！", "确定要删除该时间段播放任务么？"},
        {page.actClearAllTask, true, "提示！", "确定要清空所有播放任务么？"},
        {page.actClearVaildTask, true, "提示！", "确定清除所有已禁用的任务么？"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action->text().toStdString());
        boxes.shown.clear();
        boxes.answers = QQueue<BoxAnswer>({BoxAnswer::Cancel});
        page.lvMusicTime->clearSelection();
        if (c.selected)
            select("07:00:00");
        c.action->trigger();
        ASSERT_EQ(boxes.shown.size(), c.text ? 1 : 0);
        if (c.text) {
            EXPECT_EQ(boxes.shown[0].caption, c.caption);
            EXPECT_EQ(boxes.shown[0].text, c.text);
        }
        EXPECT_EQ(file(), tasks);
        EXPECT_EQ(captions(), QStringList({"07:00:00", "08:00:00"}));
    }
    // Clearing disabled tasks when every task is enabled writes nothing and keeps the rows.
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    page.actClearVaildTask->trigger();
    EXPECT_EQ(file(), tasks);
    EXPECT_EQ(resets, 0);

    select("07:00:00");
    page.actDeleteTask->trigger();
    EXPECT_EQ(scheduleList(), QStringList{"08:00:00=1,0,2"});
    EXPECT_EQ(captions(), QStringList{"08:00:00"});
    EXPECT_FALSE(file().contains("07:00:00"));
}

TEST_F(TaskCommandsTest, EditingStoresEnabledAndMovesOrReplacesTasks)
{
    load(Library + "[Time]\n07:00:00=0,0,1\n07:30:00=1,0,2\n10:00:00=1,0,2\n[TimeParams]\n"
                   "07:00:00=1,1,1,0,,0,00:00:00\n07:30:00=3,1,1,0,,0,00:00:00\n");
    select("07:00:00");
    answerEditor([](TfrmTaskSet*) {});
    page.actEditTask->trigger();
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", ""), "1,0,1");
    EXPECT_EQ(checkState(0), Qt::Checked);

    // Moving onto another task asks first; Cancel returns to the dialog, OK replaces it.
    select("07:00:00");
    boxes.answers = QQueue<BoxAnswer>({BoxAnswer::Cancel, BoxAnswer::Ok});
    int asked = 0;
    AnswerNextModalOf<TfrmTaskSet>([&](TfrmTaskSet* d) {
        d->dtpTime->setTime(QTime(7, 30, 0));
        d->btn1->click();
        asked += d->isVisible();
        d->btn1->click();
    });
    page.actEditTask->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(boxes.texts().count("该时间段任务已存在，是否覆盖？"), 2);
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeParamsSection, "07:30:00", ""), "1,1,1,0,,0,00:00:00");
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", "gone"), "gone");
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeParamsSection, "07:00:00", "gone"), "gone");

    // A task without parameters opens with a new task's values and the music it names.
    select("10:00:00");
    answerEditor([](TfrmTaskSet* d) {
        EXPECT_EQ(d->StartTime(), "10:00:00");
        EXPECT_EQ(d->MusicLines(), QStringList{"2=a.mp3"});
        EXPECT_EQ(d->edtCycle->text(), "1");
    });
    page.actEditTask->trigger();
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeParamsSection, "10:00:00", ""), "1,1,1,0,,0,00:00:00");
    EXPECT_EQ(captions(), QStringList({"07:30:00", "10:00:00"}));
}

TEST_F(TaskCommandsTest, CheckBoxClickWritesTheFlagAndTurnsTheRowRed)
{
    load(Library + "[Time]\n07:00:00=1,0,1\n08:00:00=1,0,2\n[TimeParams]\n"
                   "07:00:00=1,1,1,0,,0,00:00:00\n08:00:00=1,1,1,0,,0,00:00:00\n");
    page.resize(900, 400);
    page.show();
    QTreeView* lv = page.lvMusicTime;
    // Looked up anew each time: every change reloads the rows.
    auto row = [&] { return model.index(model.rowOf("07:00:00"), 0); };
    auto rowRect = [&] { return QRect(0, lv->visualRect(row()).top(), lv->viewport()->width(), lv->visualRect(row()).height()); };
    auto checkBoxCentre = [&] {
        QStyleOptionViewItem opt;
        opt.initFrom(lv);
        opt.rect = lv->visualRect(row());
        opt.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        return lv->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, lv).center();
    };
    auto redPixels = [&] {
        lv->clearSelection(); // a selected row shows the highlight colours instead
        const QImage image = lv->viewport()->grab().toImage();
        const QRect r = rowRect().intersected(image.rect());
        int red = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x < r.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return red;
    };
    EXPECT_EQ(redPixels(), 0);

    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, QPoint(lv->columnWidth(0) + 40, checkBoxCentre().y()));
    EXPECT_EQ(scheduleList().value(0), "07:00:00=1,0,1") << "a click beside the box changes nothing";

    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, checkBoxCentre());
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", ""), "0,0,1");
    EXPECT_EQ(scheduleList().value(0), "07:00:00=0,0,1");
    EXPECT_GT(redPixels(), 20);

    // The pop-up offers the opposite of the row's state.
    lv->setCurrentIndex(row());
    page.pmTimeListPopup();
    EXPECT_EQ(page.actVaildTask->text(), "启用该任务");
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, checkBoxCentre());
    EXPECT_EQ(ReadIniString(TaskFilePath(), TimeSection, "07:00:00", ""), "1,0,1");
    page.pmTimeListPopup();
    EXPECT_EQ(page.actVaildTask->text(), "禁止该任务") << "the row stays selected as the list reloads";

    // A row whose task left the file meanwhile writes nothing and goes.
    DeleteIniKey(TaskFilePath(), TimeSection, "07:00:00");
    const QString before = file();
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, checkBoxCentre());
    QCoreApplication::processEvents();
    EXPECT_EQ(file(), before);
    EXPECT_EQ(captions(), QStringList{"08:00:00"});
}

TEST_F(TaskCommandsTest, ColumnClicksAlternateAndTheSortSurvivesAnAdd)
{
    load(Library + "[Time]\n07:00:00=1,0,1\n08:00:00=1,0,1\n09:00:00=1,0,1\n[TimeParams]\n"
                   "07:00:00=2,1,1,0,,0,00:00:00\n08:00:00=3,1,1,0,,0,00:00:00\n"
                   "09:00:00=1,1,1,0,,0,00:00:00\n");
    page.lvMusicTime->header()->sectionClicked(2);
    EXPECT_EQ(captions(), QStringList({"08:00:00", "07:00:00", "09:00:00"}));
    page.lvMusicTime->header()->sectionClicked(2);
    EXPECT_EQ(captions(), QStringList({"09:00:00", "07:00:00", "08:00:00"}));
    EXPECT_EQ(model.sortColumn(), 2);

    clock.set(QDate(2026, 3, 2), QTime(6, 0, 0));
    answerEditor([](TfrmTaskSet* d) {
        d->edtCycle->setText("4");
        addAudio(d, "1");
    });
    page.actAddTask->trigger();
    EXPECT_EQ(captions(), QStringList({"09:00:00", "07:00:00", "08:00:00", "06:00:15"}));
}

TEST_F(TaskCommandsTest, ARowThatGoesWhileTheDeleteQuestionIsOpenIsStillDeleted)
{
    load(Library + "[Time]\n07:00:00=1,0,1\n08:00:00=1,0,2\n[TimeParams]\n"
                   "07:00:00=1,1,1,4,,0,00:00:00\n08:00:00=1,1,1,0,,0,00:00:00\n");
    select("07:00:00");
    // The once-only task plays while the box is open: it leaves the file as it starts, and
    // takes its row with it as it ends.
    boxes.whileOpen = [this] {
        data.startOnceOnly("07:00:00");
        data.endLeaving("07:00:00");
        EXPECT_EQ(captions(), QStringList{"08:00:00"});
    };
    page.actDeleteTask->trigger();
    EXPECT_EQ(captions(), QStringList{"08:00:00"});
    EXPECT_EQ(scheduleList(), QStringList{"08:00:00=1,0,2"});
    EXPECT_EQ(boxes.shown.size(), 1) << "the question alone, no failure";
}

// 5,000 keys hold more key text than one key list reads: none may be lost to the timetable
// or the list, after a command that re-reads only the timetable or one that reloads both.
TEST_F(TaskCommandsTest, ATimetablePastTheKeyListLimitIsScheduledAndListedWhole)
{
    constexpr int tasks = 5000;
    QString time = "[Time]\n", params = "[TimeParams]\n";
    for (int i = 0; i < tasks; ++i) {
        const QString key = QTime(0, 0).addSecs(i).toString("HH:mm:ss");
        time += key + "=1,0,1\n";
        params += key + "=1,1,1,0,,0,00:00:00\n";
    }
    load(Library + time + params);
    ASSERT_EQ(model.rowCount(), tasks);
    const QModelIndex last = select("01:23:19");
    ASSERT_TRUE(last.isValid() && model.taskAt(last.row())->record());
    EXPECT_EQ(last.siblingAtColumn(1).data().toString(), "ring.mp3");

    page.actVaildTask->trigger();
    ASSERT_EQ(scheduleList().size(), tasks);
    EXPECT_EQ(scheduleList().last(), "01:23:19=0,0,1");

    clock.set(QDate(2026, 3, 2), QTime(23, 59, 0));
    answerEditor([&](TfrmTaskSet* d) { addAudio(d, "2"); });
    page.actAddTask->trigger();
    ASSERT_EQ(scheduleList().size(), tasks + 1);
    EXPECT_EQ(scheduleList().last(), "23:59:15=1,0,2");
    ASSERT_EQ(model.rowCount(), tasks + 1);
    EXPECT_EQ(captions().value(tasks), "23:59:15");
    EXPECT_EQ(checkState(tasks - 1), Qt::Unchecked);
}

} // namespace

namespace {

// A task file that cannot be saved (a full disk, a folder made read-only): every command says
// so, naming the file and the reason, and the list shows what the file still holds.
TEST_F(TaskCommandsTest, ACommandTheFileRefusesIsReportedAndTheListShowsTheFile)
{
    const QString tasks = Library + "[Time]\n07:00:00=1,0,1\n08:00:00=0,0,2\n[TimeParams]\n"
                                    "07:00:00=1,1,1,0,,0,00:00:00\n08:00:00=1,1,1,0,,0,00:00:00\n";
    struct Case {
        const char* name;
        std::function<void()> command;
    };
    const Case cases[] = {
        {"add", [&] {
             answerEditor([](TfrmTaskSet* d) { addAudio(d, "2"); });
             page.actAddTask->trigger();
         }},
        {"edit to another time", [&] {
             select("07:00:00");
             answerEditor([](TfrmTaskSet* d) { d->setStartTime("09:00:00"); });
             page.actEditTask->trigger();
         }},
        {"switch off", [&] {
             select("07:00:00");
             page.actVaildTask->trigger();
         }},
        {"delete", [&] {
             select("07:00:00");
             page.actDeleteTask->trigger();
         }},
        {"clear the disabled", [&] { page.actClearVaildTask->trigger(); }},
        {"clear all", [&] { page.actClearAllTask->trigger(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(tasks);
        boxes.shown.clear();
        SetIniSaveInterruptedForTesting(true);
        c.command();
        SetIniSaveInterruptedForTesting(false);
        QTest::qWait(0); // a refresh put off until the row's own change is over
        EXPECT_EQ(file(), tasks);
        EXPECT_EQ(captions(), (QStringList{"07:00:00", "08:00:00"}));
        EXPECT_EQ(checkState(0), Qt::Checked);
        ASSERT_FALSE(boxes.shown.isEmpty());
        EXPECT_TRUE(boxes.shown.last().text.contains(TaskFileName)) << boxes.shown.last().text.toStdString();
        EXPECT_TRUE(boxes.shown.last().text.contains("保存被中断")) << boxes.shown.last().text.toStdString();
    }
}

// Ring now offers the selected task's first file, else the library's first entry, and rings
// what is chosen; an empty library is refused with a word on where to add to it.
TEST_F(TaskCommandsTest, RingNowPreselectsTheSelectedTasksMusicAndRefusesAnEmptyLibrary)
{
    load(Library + "[Time]\n07:00:00=1,0,2,1\n08:00:00=1,0,3\n[TimeParams]\n"
                   "07:00:00=1,1,1,0,,0,00:00:00\n08:00:00=1,2,1,0,,0,00:00:00\n");
    data.setLibraryList({"1=/bells/ring.mp3", "2=/songs/a.mp3", "3=/songs/"});
    QStringList rung;
    page.setRingNow([&](const QString& key) { rung << key; });
    // The selected row, the entry preselected, whether 响铃 or 取消 is pressed.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"07:00:00", "2", true}, {"08:00:00", "1", false}, {nullptr, "1", true}};
    for (const auto& [selected, expected, ring] : cases) {
        page.lvMusicTime->clearSelection();
        if (selected)
            select(selected);
        QString preselected, names;
        AnswerNextModalOf<RingNowDialog>([&, ring = ring](RingNowDialog* d) {
            preselected = d->selectedKey();
            for (int i = 0; i < d->lvMusic->topLevelItemCount(); ++i)
                names += d->lvMusic->topLevelItem(i)->text(1) + " ";
            (ring ? d->btnRing : d->btnCancel)->click();
        });
        page.actRingNow->trigger();
        EXPECT_EQ(preselected, expected) << selected;
        EXPECT_EQ(names, "ring.mp3 a.mp3 songs ");
    }
    EXPECT_EQ(rung, QStringList({"2", "1"}));

    data.setLibraryList({});
    page.actRingNow->trigger();
    EXPECT_EQ(rung.size(), 2);
    EXPECT_EQ(boxes.texts(), QStringList{"音频库中还没有铃声或音乐。请先在“音频库”页中点“增加”添加，再立即响铃。"});
}

} // namespace
