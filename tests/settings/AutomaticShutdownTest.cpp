#include "schedule/AutomaticShutdown.h"
#include "platform/Guard.h"
#include "settings/ShotdownHint.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "storage/ProgramData.h"
#include "storage/TimeText.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace {

class ShutdownTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeClock clock;
    FakeShutdownRequest request;
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("铃声"); }};
    QTimer tmrShotdown;
    QCheckBox chkShotdown{QStringLiteral("自动关闭计算机")};
    QDateTimeEdit dtpShotdownTime;
    QCheckBox chkShowGuanjiHint{QStringLiteral("显示剩余倒计时")};
    QLineEdit edtGuanjiHintFengzhong{QStringLiteral("1")};
    int exits = 0;
    ProgramData data;
    AutomaticShutdown shutdown{
        {&chkShotdown, &dtpShotdownTime, &chkShowGuanjiHint, &edtGuanjiHintFengzhong},
        tmrShotdown, data, clock, request, guard, [this] { ++exits; },
        [this] { return std::make_unique<TfrmShotdownHint>(clock); }};
    TfrmShotdownHint* hint() const { return static_cast<TfrmShotdownHint*>(shutdown.countdownWindow()); }
    // As the start-up does.
    void load()
    {
        data.loadSettings();
        shutdown.LoadShutdownSettings();
    }

    void SetUp() override
    {
        dtpShotdownTime.setDisplayFormat(QStringLiteral("HH:mm:ss"));
        chkShowGuanjiHint.setEnabled(false);
    }
    void at(int day, const QTime& t) { clock.set(QDate(2026, 3, day), t); }
    void tick(int day, const QTime& t)
    {
        at(day, t);
        shutdown.tmrShotdownTimer();
    }
    // Switched on at 08:00 of day 2 for the given time, with the given countdown lead.
    void switchOn(const QTime& time, const QString& minutes, bool countdown = true)
    {
        at(2, QTime(8, 0));
        dtpShotdownTime.setTime(time);
        edtGuanjiHintFengzhong.setText(minutes);
        chkShotdown.setChecked(true);
        chkShowGuanjiHint.setChecked(countdown);
    }
    bool windowShown() const
    {
        return shutdown.countdownWindow() && hint()->isVisible();
    }
    // Shotdown|ShotdownTime|ShotdownHint|GuanjiHintFengzhong as stored.
    static QString stored()
    {
        QStringList v;
        for (const char* key : {"Shotdown", "ShotdownTime", "ShotdownHint", "GuanjiHintFengzhong"})
            v << ReadConfigString("base", key, "-");
        return v.join('|');
    }
};

TEST_F(ShutdownTest, FreshStartWritesTheDefaultsCountsDownAndPowersOffOnceAtMidnight)
{
    load();
    EXPECT_EQ(stored(), "1|00:00:00|1|1");
    EXPECT_TRUE(tmrShotdown.isActive());
    EXPECT_TRUE(chkShowGuanjiHint.isEnabled());
    EXPECT_EQ(dtpShotdownTime.date(), QDate(2026, 3, 3)); // midnight is past at 08:00

    tick(2, QTime(23, 58, 59));
    EXPECT_EQ(shutdown.countdownWindow(), nullptr);
    tick(2, QTime(23, 59, 0));
    ASSERT_TRUE(windowShown());
    EXPECT_EQ(hint()->CountdownText(), "00:01:00");
    at(2, QTime(23, 59, 45));
    hint()->tmr1Timer();
    EXPECT_EQ(hint()->CountdownText(), "00:00:15");

    for (int s = 0; s <= 5; ++s)
        tick(3, QTime(0, 0, s));
    EXPECT_EQ(request.requests, 1);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ShutdownTest, TheSetSecondIsServedByTheFirstTickUpToFiveSecondsLate)
{
    struct Case {
        const char* name;
        QTime set;
        std::vector<std::pair<int, QTime>> ticks; // day offset, time
        int requests;
    };
    const std::vector<Case> cases = {
        {"skipped second", QTime(0, 0), {{0, QTime(23, 59, 59)}, {1, QTime(0, 0, 1)}}, 1},
        {"six seconds late", QTime(0, 0), {{0, QTime(23, 59, 59)}, {1, QTime(0, 0, 6)}}, 0},
        {"five seconds late", QTime(12, 0), {{0, QTime(12, 0, 5)}}, 1},
        {"across midnight", QTime(23, 59, 58), {{0, QTime(23, 59, 57)}, {1, QTime(0, 0, 1)}}, 1},
        {"six late across midnight", QTime(23, 59, 58), {{1, QTime(0, 0, 4)}}, 0},
        {"a second early", QTime(12, 0), {{0, QTime(11, 59, 59)}}, 0},
        {"next day asks again", QTime(12, 0), {{0, QTime(12, 0)}, {1, QTime(12, 0, 2)}}, 2},
    };
    switchOn(QTime(0, 0), "1", false);
    int day = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = request.requests;
        data.changeSettings([&] { WriteShotdownTime(FormatTimeText(c.set)); });
        for (const auto& [offset, t] : c.ticks)
            tick(day + offset, t);
        EXPECT_EQ(request.requests - before, c.requests);
        day += 3; // clear of the previous case's window
    }
    EXPECT_EQ(exits, request.requests);
}

TEST_F(ShutdownTest, ARefusedPowerOffIsShownOnceAndTheProgramRunsOn)
{
    request.refusal = QStringLiteral("关机请求被系统拒绝：Access denied");
    switchOn(QTime(17, 0), "1", false);
    tick(2, QTime(17, 0));
    tick(2, QTime(17, 0, 1));
    EXPECT_EQ(request.requests, 1);
    EXPECT_EQ(exits, 0);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains(request.refusal));
    EXPECT_TRUE(tmrShotdown.isActive());
}

TEST_F(ShutdownTest, SwitchingOnDatesTheMomentTodayOrTomorrow)
{
    dtpShotdownTime.setTime(QTime(17, 0));
    edtGuanjiHintFengzhong.setText("10");
    at(2, QTime(16, 0));
    chkShotdown.setChecked(true);
    EXPECT_EQ(dtpShotdownTime.dateTime(), QDateTime(QDate(2026, 3, 2), QTime(17, 0)));

    chkShotdown.setChecked(false);
    at(2, QTime(18, 0));
    chkShotdown.setChecked(true);
    chkShowGuanjiHint.setChecked(true);
    EXPECT_EQ(dtpShotdownTime.dateTime(), QDateTime(QDate(2026, 3, 3), QTime(17, 0)));
    tick(2, QTime(18, 0, 1));
    tick(3, QTime(16, 49, 59));
    EXPECT_EQ(shutdown.countdownWindow(), nullptr);
    tick(3, QTime(16, 50));
    EXPECT_TRUE(windowShown());
}

TEST_F(ShutdownTest, TheMinutesTextGivesTheLead)
{
    // "" and "0" open the window on switching on; everything else waits for its lead.
    const std::vector<std::pair<QString, int>> cases = {
        {"", -1}, {"0", -1}, {"05", 5}, {"00", 0}, {"-5", 0}, {"abc", 0}, {"2x", 0}};
    for (const auto& [text, lead] : cases) {
        SCOPED_TRACE(text.toStdString());
        chkShotdown.setChecked(false);
        switchOn(QTime(17, 0), text);
        EXPECT_EQ(windowShown(), lead < 0);
        if (lead < 0)
            continue;
        tick(2, QTime(17, 0).addSecs(-lead * 60 - 1));
        EXPECT_EQ(shutdown.countdownWindow(), nullptr);
        tick(2, QTime(17, 0).addSecs(-lead * 60));
        EXPECT_TRUE(windowShown());
    }
}

TEST_F(ShutdownTest, AWindowClosedByHandStaysClosedAndSwitchingOffDestroysIt)
{
    switchOn(QTime(17, 0), "1");
    tick(2, QTime(16, 59));
    ASSERT_TRUE(windowShown());
    hint()->close();
    tick(2, QTime(16, 59, 30));
    ASSERT_NE(shutdown.countdownWindow(), nullptr);
    EXPECT_FALSE(windowShown());
    chkShowGuanjiHint.setChecked(false);
    chkShowGuanjiHint.setChecked(true);
    tick(2, QTime(16, 59, 31));
    EXPECT_TRUE(windowShown());

    chkShotdown.setChecked(false);
    EXPECT_FALSE(chkShowGuanjiHint.isChecked());
    EXPECT_FALSE(chkShowGuanjiHint.isEnabled());
    EXPECT_TRUE(dtpShotdownTime.isEnabled());
    EXPECT_EQ(shutdown.countdownWindow(), nullptr);
    EXPECT_FALSE(tmrShotdown.isActive());
    EXPECT_EQ(stored(), "0|17:00:00|0|1");
}

// Ticked first, the time is still set afterwards: each change is stored and aimed at.
TEST_F(ShutdownTest, TheTimeChangesWhileTheShutdownIsOn)
{
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    load();
    at(2, QTime(8, 0));
    chkShotdown.setChecked(true);
    EXPECT_TRUE(dtpShotdownTime.isEnabled());
    struct Step {
        QTime time;
        const char* stored;
        QDateTime moment;
    };
    const Step steps[] = {
        {QTime(17, 30), "1|17:30:00|0|-", QDateTime(QDate(2026, 3, 2), QTime(17, 30))},
        {QTime(7, 0), "1|07:00:00|0|-", QDateTime(QDate(2026, 3, 3), QTime(7, 0))},
    };
    for (const Step& s : steps) {
        dtpShotdownTime.setTime(s.time);
        EXPECT_EQ(stored(), s.stored);
        EXPECT_EQ(dtpShotdownTime.dateTime(), s.moment);
    }
    tick(3, QTime(7, 0, 1));
    EXPECT_EQ(request.requests, 1);
    // Off, a change is shown only.
    chkShotdown.setChecked(false);
    dtpShotdownTime.setTime(QTime(9, 0));
    EXPECT_EQ(stored(), "0|07:00:00|0|-");
}

TEST_F(ShutdownTest, StoredSettingsAreLoadedAndABadTimeStopsTheLoad)
{
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=1\nAutoStart=0\n"
                                "ShotdownTime=7:30:00\nGuanjiHintFengzhong=3\n");
    load();
    EXPECT_EQ(dtpShotdownTime.time(), QTime(7, 30));
    EXPECT_EQ(edtGuanjiHintFengzhong.text(), "3");
    EXPECT_FALSE(tmrShotdown.isActive());
    // Checked by the load even though it stays disabled while the shutdown is off.
    EXPECT_TRUE(chkShowGuanjiHint.isChecked());
    EXPECT_FALSE(chkShowGuanjiHint.isEnabled());

    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n"
                                "ShotdownTime=25:00:00\nGuanjiHintFengzhong=7\n");
    EXPECT_FALSE(guard.run([this] { load(); }));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains("ShotdownTime"));
    EXPECT_EQ(edtGuanjiHintFengzhong.text(), "3");
}

TEST(ShotdownHint, CountsDownAndHidesAfterItsTarget)
{
    FakeClock clock;
    TfrmShotdownHint hint(clock);
    EXPECT_TRUE(hint.tmr1.isActive());

    const QDateTime target(QDate(2026, 3, 2), QTime(17, 0));
    clock.current = target.addMSecs(-89500);
    hint.SetCountdownTarget(target);
    hint.show();
    EXPECT_EQ(hint.CountdownText(), "00:01:29");
    clock.current = target.addSecs(-30 * 3600);
    hint.tmr1Timer();
    EXPECT_EQ(hint.CountdownText(), "30:00:00");
    clock.current = target;
    hint.tmr1Timer();
    EXPECT_TRUE(hint.isVisible());
    clock.current = target.addSecs(1);
    hint.tmr1Timer();
    EXPECT_EQ(hint.CountdownText(), "00:00:00");
    EXPECT_FALSE(hint.isVisible());

    hint.show();
    hint.close();
    EXPECT_FALSE(hint.isVisible());
}

// Config.ini refuses the switch: the refusal is shown, and the boxes and the timer stay as
// the file has them, so no shutdown is armed that a restart would not keep.
TEST_F(ShutdownTest, ASwitchTheFileRefusesIsShownAndNothingIsArmed)
{
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    load();
    at(2, QTime(8, 0));
    dtpShotdownTime.setTime(QTime(17, 0));
    SetIniSaveInterruptedForTesting(true);
    chkShotdown.click();
    SetIniSaveInterruptedForTesting(false);
    EXPECT_FALSE(chkShotdown.isChecked());
    EXPECT_FALSE(tmrShotdown.isActive());
    EXPECT_TRUE(dtpShotdownTime.isEnabled());
    EXPECT_FALSE(chkShowGuanjiHint.isEnabled());
    EXPECT_EQ(stored(), "0|-|0|-");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains("Config.ini")) << boxes.shown[0].text.toStdString();
    tick(2, QTime(17, 0));
    EXPECT_EQ(request.requests, 0);
}

} // namespace
