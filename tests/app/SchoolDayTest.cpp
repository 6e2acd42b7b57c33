// A school's IT person sets up an ordinary school day through the real window: 8 periods,
// a class bell and an end bell each, Monday to Friday. Every click and every keystroke counts.
#include "app/Unit1.h"
#include "storage/TaskFile.h"
#include "support/FakeMediaPlayer.h"
#include "support/Fakes.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"
#include "tasks/DayView.h"
#include "tasks/PeriodTimetableDialog.h"
#include "tasks/TaskListPage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

struct User {
    int clicks = 0, keys = 0;
    void click(QWidget* w, QPoint at = QPoint())
    {
        ++clicks;
        QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    }
    void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = {})
    {
        ++keys;
        QTest::keyClick(w, k, m);
    }
    void type(QWidget* w, const QString& text)
    {
        keys += int(text.size());
        QTest::keyClicks(w, text);
    }
    // A new value over the old one: click, select all, type.
    void retype(QSpinBox* box, const QString& text)
    {
        click(box);
        key(box, Qt::Key_A, Qt::ControlModifier);
        type(box, text);
    }
    // Opens the list and clicks the entry.
    void choose(QComboBox* box, int index)
    {
        click(box);
        QAbstractItemView* list = box->view();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 2000));
        const QPoint at = list->visualRect(box->model()->index(index, 0)).center();
        // A pointer comes to the entry before it is pressed, as a hand moves it there.
        QTest::mouseMove(list->viewport(), at);
        click(list->viewport(), at);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }, 2000));
        ASSERT_EQ(box->currentIndex(), index);
    }
};

TEST(SchoolDay, EightPeriodsAndSixteenBellsInAFewActions)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    dir.writeText(TaskFileName, "[Music]\n1=/bells/上课铃.wav\n2=/bells/下课铃.wav\n");
    FakeClock clock;
    clock.set(QDate(2027, 3, 1), QTime(7, 0)); // a Monday
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    FakeMediaPlayer mp1, mp2;
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;
    TfrmMain w(Services{&clock, &boxes, &dialogs, &mp1, &mp2, true, &shutdown, &startup});
    w.show();

    User user;
    bool saved = false;
    AnswerNextModalOf<PeriodTimetableDialog>([&](PeriodTimetableDialog* d) {
        // The first period is there: 08:00 to 08:45. Three more, ten minutes apart.
        for (int i = 0; i < 3; ++i)
            user.click(d->btnAddPeriod);
        // Lunch: the afternoon starts at 14:00.
        user.retype(d->spnBreak, "150");
        user.click(d->btnAddPeriod);
        user.retype(d->spnBreak, "10");
        for (int i = 0; i < 3; ++i)
            user.click(d->btnAddPeriod);
        // The class bell is the library's first file already; the end bell is its second.
        user.choose(d->cbxEndBell, 2);
        user.click(d->btnSave);
        saved = d->result() == QDialog::Accepted;
    });
    TaskListPage* page = w.tsplaylist;
    user.click(page->tlbTimeList->widgetForAction(page->actPeriodTimetable));
    ASSERT_TRUE(saved) << boxes.shown.value(0).text.toStdString();

    const int actions = user.clicks + user.keys;
    std::printf("the school day took %d clicks and %d keystrokes: %d actions\n", user.clicks, user.keys, actions);
    EXPECT_LE(actions, 40);

    QStringList starts, ends;
    for (const Task& task : w.data.timetable().tasks()) {
        ASSERT_EQ(task.paramsValue(), "1,1,1,1,1111100,0,00:00:00") << task.key.toStdString();
        (task.timeValue() == "1,0,1" ? starts : ends) << task.key;
    }
    EXPECT_EQ(starts, QStringList({"08:00:00", "08:55:00", "09:50:00", "10:45:00", "14:00:00", "14:55:00",
                                   "15:50:00", "16:45:00"}));
    EXPECT_EQ(ends, QStringList({"08:45:00", "09:40:00", "10:35:00", "11:30:00", "14:45:00", "15:40:00",
                                 "16:35:00", "17:30:00"}));
    // Monday's bells at a glance: all sixteen ring.
    page->pgTimeList->setCurrentWidget(page->dayView);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->dayView->model()->ringing(), 16);
}

} // namespace
