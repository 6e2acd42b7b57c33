#include "app/Unit1.h"
#include "library/MusicLibraryPage.h"
#include "platform/Version.h"
#include "settings/SettingsPage.h"
#include "support/FakeWindowServices.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"
#include "settings/uPasswordSet.h"
#include "tasks/RingNowDialog.h"
#include "tasks/uMusicList.h"
#include "tasks/TypedFields.h"
#include "tasks/uTaskSet.h"
#include "tasks/TaskListPage.h"

#include <QAction>
#include <QApplication>
#include <QTimeEdit>
#include <QCheckBox>
#include <QFile>
#include <QEventLoop>
#include <QTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStatusBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct MainWindowFixture : ::testing::Test, FakeWindowServices {
    TempAppDir dir;

    // The real timers run in these tests: no shutdown unless a test asks for one.
    void SetUp() override { dir.writeText("Config.ini", NoShutdownConfig); }
    static constexpr const char* NoShutdownConfig = "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n";

    std::unique_ptr<TfrmMain> start(bool tray = true)
    {
        return std::make_unique<TfrmMain>(services(tray));
    }
};

TEST_F(MainWindowFixture, PagesCaptionsAndLayout)
{
    auto w = start();
    const QStringList expected = {"定时时间列表", "音频库", "校历", "基本设置", "分区广播", "权限管理", "关于"};
    ASSERT_EQ(w->PageControl1->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(w->PageControl1->tabText(i), expected[i]);
    EXPECT_FALSE(w->PageControl1->isTabVisible(5));
    EXPECT_EQ(w->PageControl1->currentWidget(), w->tsplaylist);

    QTreeView* lv = w->tsplaylist->lvMusicTime;
    const QStringList columns = {"时间", "歌曲铃声", "循环次数", "类型", "播放方式",
                                 "播放日类型", "播放日类型具体参数", "排除节假日", "播放时长", "结束时间"};
    const int widths[] = {90, 260, 60, 70, 60, 72, 120, 72, 70, 70};
    ASSERT_EQ(lv->model()->columnCount(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(lv->model()->headerData(i, Qt::Horizontal).toString(), columns[i]);
        EXPECT_EQ(lv->columnWidth(i), widths[i]) << i;
    }
    EXPECT_EQ(lv->model()->headerData(7, Qt::Horizontal, Qt::ToolTipRole).toString(),
              "是：节假日设置中的日子里该任务不播放；否：节假日照常播放");
    EXPECT_TRUE(lv->uniformRowHeights());
    EXPECT_EQ(w->tsplaylist->btnPlay->text(), "播放");
    EXPECT_EQ(w->tsplaylist->btnPasue->text(), "暂停");
    EXPECT_EQ(w->tsplaylist->btnChangeMusic->text(), "切歌");
    EXPECT_EQ(w->tsplaylist->btnStop->text(), "停止");
    EXPECT_EQ(w->statPanels[0]->width(), 180);
    EXPECT_EQ(w->statPanels[1]->width(), 500);
    EXPECT_EQ(w->statPanels[2]->width(), 50);
    EXPECT_EQ(w->windowTitle(), TfrmMain::ProductTitle() + VersionText());
    EXPECT_EQ(VersionText().split('.').size(), 4);
}

TEST_F(MainWindowFixture, ClockTextFollowsTheClock)
{
    auto w = start();
    clock.set(QDate(2026, 12, 9), QTime(8, 0, 14));
    w->tmrSystemTimer();
    EXPECT_TRUE(w->statPanels[0]->text().isEmpty()) << "not shown, not set";
    w->show();
    EXPECT_TRUE(w->statPanels[0]->text().endsWith(" 08:00:14")) << "set as the window shows";
    clock.set(QDate(2026, 12, 9), QTime(8, 0, 15));
    w->tmrSystemTimer();
    const QString text = w->statPanels[0]->text();
    EXPECT_TRUE(text.startsWith("当前时间：")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" 08:00:15")) << text.toStdString();
    clock.set(QDate(2026, 12, 10), QTime(0, 0, 0));
    w->tmrSystemTimer();
    EXPECT_FALSE(w->statPanels[0]->text().contains(':')) << "midnight shows the date alone";
    EXPECT_TRUE(w->tmrSystem.isActive());
    EXPECT_LE(w->tmrSystem.remainingTime(), 200) << "looked at a fifth of a second past each second";
    EXPECT_TRUE(w->tmrMusicPlay.isActive());
}

TEST_F(MainWindowFixture, CloseHidesToTrayOrMinimizes)
{
    auto w = start(true);
    w->show();
    EXPECT_FALSE(w->close());
    EXPECT_FALSE(w->isVisible());
    w->RestoreFromTray();
    EXPECT_TRUE(w->isVisible());

    auto noTray = start(false);
    noTray->show();
    EXPECT_FALSE(noTray->close());
    EXPECT_TRUE(noTray->isVisible());
    EXPECT_TRUE(noTray->isMinimized());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// F9 rings by hand from any page; the tray's entry stops it.
TEST_F(MainWindowFixture, RingNowFromTheKeyboardAndStopFromTheTray)
{
    dir.writeText("TimeMusicList.ini", "[Music]\n1=/b/上课铃.wav\n");
    auto w = start();
    QStringList entries;
    for (QAction* a : w->pm1->actions())
        if (!a->isSeparator())
            entries << a->text();
    EXPECT_EQ(entries, QStringList({"立即响铃…", "停止响铃", "退出"}));

    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->PageControl1->setCurrentWidget(w->tslib);
    AnswerNextModalOf<RingNowDialog>([](RingNowDialog* d) { d->btnRing->click(); });
    QTest::keyClick(w.get(), Qt::Key_F9);
    EXPECT_TRUE(mp1.log.contains("Open:/b/上课铃.wav"));
    w->miStopRing->trigger();
    w->tmrCycleTimer();
    EXPECT_EQ(mp1.mode, MediaMode::Stopped);
}

TEST_F(MainWindowFixture, FailingHandlerIsShownAndTheNextStillRuns)
{
    auto w = start();
    QPushButton button;
    bool secondRan = false;
    QObject::connect(&button, &QPushButton::clicked, w.get(),
                     w->guard().wrap([] { throw ConversionError("'x' is not a valid integer value"); }));
    QObject::connect(&button, &QPushButton::clicked, w.get(),
                     w->guard().wrap([&] { secondRan = true; }));
    button.click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].caption, TfrmMain::ProductTitle());
    EXPECT_EQ(boxes.shown[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Error);
    EXPECT_TRUE(secondRan);

    // A silent abort ends the handler without a box.
    w->guard().run([] { throw SilentAbort(); });
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST(HandlerGuardText, PeriodRule)
{
    const std::pair<QString, QString> cases[] = {
        {"abc", "abc."}, {"abc.", "abc."}, {"abc!", "abc!"}, {"文件不存在", "文件不存在."},
        {"x)", "x)"},    {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(HandlerGuard::boxText(in), out) << in.toStdString();
}

TEST_F(MainWindowFixture, MessageBoxCaptions)
{
    auto w = start();
    boxes.answers.enqueue(BoxAnswer::Cancel);
    EXPECT_FALSE(w->ConfirmBox("q"));
    EXPECT_TRUE(w->ConfirmBox("q"));
    w->ErrorBox("e");
    w->WarningBox("w");
    w->MainErrorBox("m");
    ASSERT_EQ(boxes.shown.size(), 5);
    EXPECT_EQ(boxes.shown[0].caption, "提示！");
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Question);
    EXPECT_EQ(boxes.shown[2].caption, "错误！");
    EXPECT_EQ(boxes.shown[3].caption, "警告！");
    EXPECT_EQ(boxes.shown[3].icon, BoxIcon::Warning);
    EXPECT_EQ(boxes.shown[4].caption, "错误");
}

TEST_F(MainWindowFixture, StartUpReadsSettingsAndTheLibraryState)
{
    {
        auto w = start();
        EXPECT_TRUE(w->tslib->chkEnCodeLib->isEnabled()) << "empty library";
        EXPECT_FALSE(w->tslib->chkEnCodeLib->isChecked());
    }
    dir.writeText("Config.ini", QString(NoShutdownConfig) + "EnCodeLib=1\nBackgroupMusicFile=/srv/bell.mp3\n"
                                "[Holiday]\n10-1=10-7\n");
    dir.writeText("TimeMusicList.ini", "[Time]\n08:00:00=1,0,1\n[Music]\n1=/srv/a.mp3\n");
    auto w = start();
    EXPECT_TRUE(w->tslib->chkEnCodeLib->isChecked());
    EXPECT_FALSE(w->tslib->chkEnCodeLib->isEnabled()) << "library has an entry";
    EXPECT_EQ(w->tsSet->edtBackgroupMusicFile->text(), "/srv/bell.mp3");
    EXPECT_EQ(w->data.HolidayList(), QStringList{"10-1=10-7"});
    EXPECT_EQ(w->data.ScheduleList(), QStringList{"08:00:00=1,0,1"});
}

TEST_F(MainWindowFixture, StartUpLoadsTheLibraryBeforeTheTaskList)
{
    const QString music = dir.file("bell.mp3");
    dir.write("bell.mp3", "x");
    dir.writeText("TimeMusicList.ini", "[Time]\n08:00:00=1,0,2,1\n[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n"
                                       "[Music]\n1=" + music + "\n2=/gone/x.mp3\n");
    auto w = start();
    EXPECT_EQ(w->data.LibraryList(), QStringList({"1=" + music, "2=/gone/x.mp3"}));
    ASSERT_EQ(w->tslib->lvMusic->topLevelItemCount(), 2);
    EXPECT_EQ(w->tslib->lvMusic->topLevelItem(1)->text(2), "目录或音频文件不存在");
    QAbstractItemModel* tasks = w->tsplaylist->lvMusicTime->model();
    ASSERT_EQ(tasks->rowCount(), 1);
    EXPECT_EQ(tasks->index(0, 1).data().toString(), "x.mp3,bell.mp3");
}

} // namespace

namespace {
// A task whose music number has left the library is named once at start-up, and its cell says so.
TEST_F(MainWindowFixture, ATaskWithAMissingMusicNumberIsNamedAtStartUp)
{
    dir.write("bell.mp3", "x");
    dir.writeText("TimeMusicList.ini", "[Time]\n08:00:00=1,0,1,7,7\n09:00:00=1,0,1\n[TimeParams]\n"
                                       "08:00:00=1,1,1,0,,0,00:00:00\n09:00:00=1,1,1,0,,0,00:00:00\n"
                                       "[Music]\n1=" + dir.file("bell.mp3") + "\n");
    auto w = start();
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.isEmpty(); }, 3000));
    ASSERT_EQ(boxes.shown.size(), 1);
    const QString text = boxes.shown[0].text;
    EXPECT_EQ(text.count("TimeMusicList.ini 的任务 08:00:00 使用的音频库编号 7 不存在"), 1) << text.toStdString();
    EXPECT_FALSE(text.contains("09:00:00")) << text.toStdString();
    QAbstractItemModel* tasks = w->tsplaylist->lvMusicTime->model();
    ASSERT_EQ(tasks->rowCount(), 2);
    EXPECT_EQ(tasks->index(0, 1).data().toString(), "bell.mp3,（编号 7 不存在）,（编号 7 不存在）");
    EXPECT_EQ(tasks->index(1, 1).data().toString(), "bell.mp3");
}
} // namespace

namespace {
// A volume or a task's sound that a hand-edited file holds out of shape is named once at start-up.
TEST_F(MainWindowFixture, BadVolumesAndSoundLinesAreNamedOnceAtStartUp)
{
    dir.writeText("Config.ini", QString(NoShutdownConfig) + "TaskVolume=loud\nMusicVolume=70\n");
    dir.writeText("TimeMusicList.ini", "[Time]\n08:00:00=1,0,1\n[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n"
                                       "[TaskSound]\n08:00:00=80,2\n[Music]\n1=/srv/bell.mp3\n");
    auto w = start();
    EXPECT_EQ(w->tsSet->spnMusicVolume->value(), 70);
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.shown.size() >= 2; }, 3000));
    QTest::qWait(50);
    const QString text = boxes.texts().join('\n');
    EXPECT_EQ(text.count("[base] 中 TaskVolume=loud"), 1) << text.toStdString();
    EXPECT_EQ(text.count("[TaskSound] 中 08:00:00"), 1) << text.toStdString();
}
} // namespace

namespace {
TEST_F(MainWindowFixture, ExitEndsEveryEventLoop)
{
    auto w = start();
    bool nestedEnded = false;
    // "退出" pressed while a modal loop (a box or a dialog) is open ends that loop and the main one.
    QTimer::singleShot(0, [&] {
        QEventLoop nested;
        QTimer::singleShot(10, [&] { w->N4->trigger(); });
        nested.exec();
        nestedEnded = true;
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(nestedEnded);
    EXPECT_TRUE(boxes.shown.isEmpty());
}
} // namespace

namespace {
TEST_F(MainWindowFixture, ABadTaskLineIsShownAndTheDueTimeCheckStillStarts)
{
    dir.writeText("TimeMusicList.ini", "[Time]\n07:00:00=1,0,1\n08:00:00=x,0,1\n09:00:00=1,0,1\n"
                                       "[TimeParams]\n07:00:00=1,1,1,0,,0,00:00:00\n"
                                       "08:00:00=1,1,1,0,,0,00:00:00\n[Music]\n1=/srv/bell.mp3\n");
    auto w = start();
    EXPECT_TRUE(boxes.shown.isEmpty()) << "a box before the window is up holds the start-up";
    EXPECT_TRUE(w->tmrMusicPlay.isActive());
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.isEmpty(); }, 3000));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].caption, TfrmMain::ProductTitle());
    EXPECT_TRUE(boxes.shown[0].text.startsWith(
        "TimeMusicList.ini 的 [Time] 中 08:00:00 一行有误：“x”不是有效的布尔值"))
        << boxes.shown[0].text.toStdString();
    EXPECT_EQ(w->tsplaylist->lvMusicTime->model()->rowCount(), 2) << "only the bad line is left out";
}
} // namespace

namespace {

TEST_F(MainWindowFixture, ADueTaskPlaysWithItsRowGreenAndTheButtonsFollow)
{
    dir.writeText("TimeMusicList.ini", "[Time]\n07:00:00=1,0,1\n08:00:00=1,0,1\n[TimeParams]\n"
                                       "07:00:00=1,1,1,0,,0,00:00:00\n08:00:00=1,1,1,0,,0,00:00:00\n"
                                       "[Music]\n1=/srv/bell.mp3\n");
    clock.set(QDate(2026, 3, 2), QTime(7, 59, 59, 600));
    auto w = start();
    w->show();
    w->tmrMusicPlayTimer();
    EXPECT_TRUE(mp1.log.isEmpty());
    clock.set(QDate(2026, 3, 2), QTime(8, 0, 0, 5));
    w->tmrMusicPlayTimer();
    EXPECT_EQ(mp1.log.filter("Open:"), QStringList({"Open:/srv/bell.mp3"}));
    EXPECT_EQ(w->statPanels[1]->text(), "正在播放/srv/bell.mp3");
    EXPECT_TRUE(w->tmrCycle.isActive());
    EXPECT_LE(w->tmrCycle.remainingTime(), 695) << "looked at late in the second, clear of the next";
    TaskListPage* page = w->tsplaylist;
    EXPECT_FALSE(page->btnPlay->isEnabled());
    EXPECT_TRUE(page->btnPasue->isEnabled());

    // Rows are sorted: 08:00:00 is the second; it is drawn on green, the other on white.
    QTreeView* lv = page->lvMusicTime;
    const QImage shot = lv->viewport()->grab().toImage();
    const QRect playing = lv->visualRect(lv->model()->index(1, 0));
    const QRect other = lv->visualRect(lv->model()->index(0, 0));
    EXPECT_EQ(shot.pixelColor(200, playing.center().y()), QColor(0, 128, 0));
    EXPECT_EQ(shot.pixelColor(200, other.center().y()), QColor(255, 255, 255));

    page->btnPasue->click();
    EXPECT_EQ(mp1.mode, MediaMode::Paused);
    EXPECT_TRUE(page->btnPlay->isEnabled());
    EXPECT_FALSE(page->btnStop->isEnabled());
    page->btnPlay->click();
    EXPECT_EQ(mp1.mode, MediaMode::Playing);
    page->btnStop->click();
    w->tmrCycleTimer();
    EXPECT_TRUE(page->currentTaskKey().isEmpty());
    EXPECT_FALSE(w->tmrCycle.isActive());
    EXPECT_EQ(mp1.log.filter("Open:").size(), 1);
}

TEST_F(MainWindowFixture, TheDueTimeCheckIsArmedJustAfterEachHalfSecond)
{
    clock.set(QDate(2026, 3, 2), QTime(8, 0, 0, 200));
    auto w = start();
    EXPECT_TRUE(w->tmrMusicPlay.isActive());
    EXPECT_EQ(w->tmrMusicPlay.timerType(), Qt::PreciseTimer);
    EXPECT_EQ(w->tmrMusicPlay.interval(), 301);
    clock.set(QDate(2026, 3, 2), QTime(8, 0, 0, 501));
    w->tmrMusicPlayTimer();
    EXPECT_EQ(w->tmrMusicPlay.interval(), 500);
}

TEST_F(MainWindowFixture, ATaskAddedInTheWindowFiresAtItsSecondAndCommandsLeaveItPlaying)
{
    dir.writeText("TimeMusicList.ini", "[Music]\n1=/srv/bell.mp3\n");
    clock.set(QDate(2026, 3, 2), QTime(9, 0, 0, 300));
    auto w = start();
    AnswerNextModalOf<TfrmTaskSet>([](TfrmTaskSet* d) {
        d->dtpTime->setTime(QTime(9, 0, 20));
        AnswerNextModalOf<TfrmSelMusic>([](TfrmSelMusic* sel) {
            sel->lvMusic->topLevelItem(0)->setCheckState(0, Qt::Checked);
            sel->btn1->click();
        });
        d->btnMusicAdd->click();
        d->btn1->click();
    });
    w->tsplaylist->actAddTask->trigger();
    ASSERT_EQ(w->data.ScheduleList(), QStringList{"09:00:20=1,0,1"});

    clock.set(QDate(2026, 3, 2), QTime(9, 0, 19, 505));
    w->tmrMusicPlayTimer();
    EXPECT_TRUE(mp1.log.filter("Open:").isEmpty());
    clock.set(QDate(2026, 3, 2), QTime(9, 0, 20, 5));
    w->tmrMusicPlayTimer();
    EXPECT_EQ(mp1.log.filter("Open:"), QStringList{"Open:/srv/bell.mp3"});

    // Disabling and deleting the playing task changes the file, not what plays.
    const qsizetype calls = mp1.log.size();
    w->tsplaylist->lvMusicTime->setCurrentIndex(w->tsplaylist->lvMusicTime->model()->index(0, 0));
    w->tsplaylist->actVaildTask->trigger();
    w->tsplaylist->actDeleteTask->trigger();
    EXPECT_TRUE(w->data.ScheduleList().isEmpty());
    EXPECT_EQ(mp1.log.size(), calls);
    EXPECT_EQ(mp1.mode, MediaMode::Playing);
}

TEST_F(MainWindowFixture, AFirstStartWithoutSettingsSwitchesOnShutdownAndLogOnStart)
{
    QFile::remove(dir.file("Config.ini"));
    clock.set(QDate(2026, 3, 2), QTime(8, 0, 0));
    auto w = start();
    SettingsPage* s = w->tsSet;
    EXPECT_TRUE(s->chkShotdown->isChecked());
    EXPECT_TRUE(s->chkShowGuanjiHint->isChecked());
    EXPECT_TRUE(w->tmrShotdown.isActive());
    EXPECT_TRUE(s->chkAutoStart->isChecked());
    EXPECT_EQ(startup.log, QStringList{"register:" + QCoreApplication::applicationFilePath()});
    const QString config = dir.readText("Config.ini");
    for (const char* line : {"Shotdown=1", "ShotdownTime=00:00:00", "ShotdownHint=1", "AutoStart=1",
                             "Monday=1", "Friday=1"})
        EXPECT_TRUE(config.contains(line)) << line;
    EXPECT_FALSE(config.contains("Saturday")) << "a day off is not written back";
    EXPECT_EQ(shutdown.requests, 0);
    EXPECT_TRUE(w->tmrMusicPlay.isActive());
}

TEST_F(MainWindowFixture, BothHiddenPasswordButtonsOpenThePasswordDialog)
{
    auto w = start();
    for (QPushButton* button : {w->tslib->btnSetLibPassword, w->tsSet->btn4}) {
        EXPECT_FALSE(button->isVisibleTo(w.get()));
        QString caption;
        AnswerNextModalOf<TfrmPasswordSet>([&](TfrmPasswordSet* d) {
            caption = d->windowTitle();
            d->btnCancel->click();
        });
        button->click();
        EXPECT_EQ(caption, button == w->tsSet->btn4 ? "frmPasswordSet" : "设置音频库密码");
    }
}

} // namespace

namespace {

// The bells between the play log's last line and the start are on record as missed, once; the
// bell still ahead is not, nor anything when there is no log to go by.
TEST_F(MainWindowFixture, BellsDueWhileTheProgramWasNotRunningAreOnRecord)
{
    dir.writeText("TimeMusicList.ini", "[Music]\n1=/b/上课铃.wav\n[Time]\n07:30:00=1,0,1\n08:30:00=1,0,1\n"
                                       "[TimeParams]\n07:30:00=1,1,1,0,,0,\n08:30:00=1,1,1,0,,0,\n");
    clock.set(QDate(2027, 3, 1), QTime(8, 0));
    start();
    EXPECT_FALSE(QFile::exists(dir.file("PlayLog.txt"))) << "no log, nothing to go by";

    QStringEncoder gb("GB18030");
    dir.write("PlayLog.txt", QByteArray(gb.encode(QStringLiteral("2027-02-28 17:00:00\t17:00:00\t/b/x.wav\t播放结束\r\n"))));
    start();
    QStringDecoder back("GB18030");
    const QString log = QString(back.decode(dir.read("PlayLog.txt")));
    EXPECT_TRUE(log.contains("\t07:30:00\t\t未播放：程序没有运行（应在 2027-03-01 07:30:00 播放）\r\n")) << log.toStdString();
    EXPECT_FALSE(log.contains("2027-02-28 07:30:00")) << "before the last line";
    EXPECT_FALSE(log.contains("08:30:00")) << "still ahead";
}

} // namespace
