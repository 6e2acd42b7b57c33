#include "settings/WeekAndAutoStart.h"

#include "platform/Guard.h"
#include "platform/XdgAutostart.h"
#include "storage/ProgramData.h"
#include "settings/SettingsPage.h"
#include "storage/IniStore.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Exe = QStringLiteral("/opt/tavuro/TavuroMP3");
const char* const Days[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

class WeekAndAutoStartTest : public ::testing::Test {
protected:
    // First of all: no case may reach the real autostart folder.
    QTemporaryDir configHome;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    bool configHomeWasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    TempAppDir dir;
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    SettingsPage page;
    ProgramData data;
    FakeStartupRegistration fake;
    XdgAutostart xdg{configHome.path()};

    WeekAndAutoStartTest() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path())); }
    ~WeekAndAutoStartTest() override
    {
        configHomeWasSet ? qputenv("XDG_CONFIG_HOME", savedConfigHome) : qunsetenv("XDG_CONFIG_HOME");
    }
    void load(IStartupRegistration& registration, const QString& stored = QString())
    {
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\n" + stored);
        data.loadSettings();
        w = std::make_unique<WeekAndAutoStart>(page, data, registration, boxes, guard, &page, Exe);
        w->LoadWeekAndAutoStart();
    }
    QCheckBox* weekday(int i) const
    {
        return QList<QCheckBox*>{page.chkMonday, page.chkTuesday, page.chkWednesday, page.chkThursday,
                                 page.chkFriday, page.chkSaturday, page.chkSunday}[i];
    }
    QString checkedDays() const
    {
        QStringList d;
        for (int i = 0; i < 7; ++i)
            if (weekday(i)->isChecked())
                d << Days[i];
        return d.join(' ');
    }
    static QString week(const char* key) { return ReadConfigString("Week", key, "<none>"); }
    static QString autoStart() { return ReadConfigString("Base", "AutoStart", "<none>"); }

    std::unique_ptr<WeekAndAutoStart> w;
};

TEST_F(WeekAndAutoStartTest, NothingStoredRegistersAndWritesTheDefaultsBack)
{
    load(fake);
    EXPECT_EQ(checkedDays(), "Monday Tuesday Wednesday Thursday Friday");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(week(Days[i]), i < 5 ? "1" : "<none>") << Days[i];
    EXPECT_TRUE(page.chkAutoStart->isChecked());
    EXPECT_EQ(fake.log, QStringList{"register:" + Exe});
    EXPECT_EQ(autoStart(), "1");
    page.chkAutoStart->click();
    EXPECT_EQ(fake.log.last(), "unregister");
    EXPECT_EQ(autoStart(), "0");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(WeekAndAutoStartTest, StoredValuesLoadAsTheyAreAndEachBoxWritesItsOwnKey)
{
    load(fake, "AutoStart=0\n[Week]\nMonday=\nTuesday=0\nWednesday=1\nThursday=yes\nSATURDAY=1\nSunday=1\n");
    EXPECT_EQ(checkedDays(), "Wednesday Friday Saturday Sunday");
    EXPECT_EQ(week("Monday"), "") << "a cleared box writes nothing back";
    EXPECT_EQ(week("Thursday"), "yes");
    EXPECT_FALSE(page.chkAutoStart->isChecked());
    EXPECT_TRUE(fake.log.isEmpty()) << "neither registered nor removed";
    for (int i = 6; i >= 0; --i) {
        const bool was = weekday(i)->isChecked();
        weekday(i)->click();
        EXPECT_EQ(week(Days[i]), was ? "0" : "1") << Days[i];
    }
    EXPECT_EQ(checkedDays(), "Monday Tuesday Thursday");
}

TEST_F(WeekAndAutoStartTest, APlaceThatCannotBeOpenedWritesNothing)
{
    fake.canOpen = false;
    load(fake);
    page.chkAutoStart->click();
    page.chkAutoStart->click();
    EXPECT_TRUE(fake.log.isEmpty());
    EXPECT_EQ(autoStart(), "<none>");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(WeekAndAutoStartTest, AFailingRegistrationAtStartGetsItsOwnBoxAndTheLoadGoesOn)
{
    QDir().mkpath(xdg.entryPath()); // a folder where the entry goes
    ASSERT_NO_THROW(load(xdg));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].caption, "错误！");
    EXPECT_EQ(boxes.shown[0].text, "开启随系统自启动失败：无法写入自动启动目录。");
    EXPECT_EQ(autoStart(), "<none>");
    EXPECT_EQ(week("Friday"), "1");

    // Cleared with no entry there is no error; clicked by the user, the failure is the standard box.
    QDir().rmdir(xdg.entryPath());
    page.chkAutoStart->click();
    EXPECT_EQ(autoStart(), "0");
    QDir().mkpath(xdg.entryPath());
    page.chkAutoStart->click();
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].caption, "T");
    EXPECT_TRUE(boxes.shown[1].text.startsWith("无法写入自动启动目录：" + xdg.entryPath()));
    EXPECT_EQ(autoStart(), "0");

    QDir().rmdir(xdg.entryPath());
    page.chkAutoStart->click();
    page.chkAutoStart->click();
    EXPECT_TRUE(QFile::exists(xdg.entryPath()));
    EXPECT_EQ(autoStart(), "1");
}

} // namespace
