#include "app/SessionWatch.h"

#include "platform/SystemSession.h"
#include "storage/ProgramData.h"
#include "support/TempDir.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

struct FakeSession : ISystemSession {
    bool holding = false, refuse = false;
    std::optional<bool> synchronized;
    int asked = 0, clockAsked = 0;
    bool holdAwake(bool on, QString* error) override
    {
        ++asked;
        if (on && refuse) {
            *error = "没有 logind";
            return false;
        }
        holding = on;
        return true;
    }
    bool holdingAwake() const override { return holding; }
    std::optional<bool> clockSynchronized() const override
    {
        ++const_cast<FakeSession*>(this)->clockAsked;
        return synchronized;
    }
};

// The lock follows the day's bells and the setting; a refusal and an unsynchronised clock are
// each said once (a day for the clock), never each second.
TEST(SessionWatch, HoldsTheMachineAwakeWhileBellsRemainAndWatchesTheClock)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    ProgramData data;
    data.loadSettings();
    FakeSession session;
    QLabel panel;
    QStringList reports;
    SessionWatch watch(&session, data, panel, [&](const QString& m) { reports << m; });
    const QDate monday(2027, 3, 1);

    session.synchronized = false;
    watch.tick(monday, true);
    EXPECT_TRUE(session.holding);
    EXPECT_EQ(panel.text(), "未同步");
    watch.tick(monday, true);
    EXPECT_EQ(session.clockAsked, 1) << "once a day";
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("网络时间"));
    watch.tick(monday, false);
    EXPECT_FALSE(session.holding) << "the day's last bell is done";

    session.synchronized = true;
    watch.tick(monday.addDays(1), true);
    EXPECT_EQ(panel.text(), "已同步");
    data.changeSettings([] { WriteStayAwake(false); });
    watch.tick(monday.addDays(1), true);
    EXPECT_FALSE(session.holding) << "switched off on the settings page";
    EXPECT_EQ(reports.size(), 1);

    data.changeSettings([] { WriteStayAwake(true); });
    session.refuse = true;
    const int asked = session.asked;
    for (int i = 0; i < 3; ++i)
        watch.tick(monday.addDays(1), true);
    EXPECT_EQ(session.asked, asked + 1) << "not asked again each second";
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[1].contains("没有 logind"));
}

} // namespace
