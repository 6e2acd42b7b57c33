#include "storage/ConfigFile.h"

#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(ConfigFile, ReadsEachSettingWithItsDefaultAndItsOwnRule)
{
    struct Case {
        const char* name;
        const char* file; // nullptr: no Config.ini at all
        std::function<void(Settings&)> expect; // applied to the defaults
    };
    const Case cases[] = {
        {"no file: shutdown and start with log-on on", nullptr, [](Settings&) {}},
        {"every key set",
         "[base]\nBackgroupMusicFile=/m/早操.mp3\nIsBackgroup=1\nEnCodeLib=1\nAutoStart=0\n"
         "Shotdown=0\nShotdownTime=17:30:00\nShotdownHint=0\nGuanjiHintFengzhong=5\n"
         "[Week]\nMonday=0\nSaturday=1\nSunday=1\n",
         [](Settings& s) {
             s.backgroupMusicFile = "/m/早操.mp3";
             s.isBackgroup = s.enCodeLib = true;
             s.autoStart = s.shotdown = s.shotdownHint = false;
             s.shotdownTime = "17:30:00";
             s.guanjiHintFengzhong = "5";
             s.workingDays = {false, true, true, true, true, true, true};
         }},
        // The two numbers read "01" as 1; the "1"/"0" texts take nothing but "1" as on.
        {"numbers and texts",
         "[BASE]\nIsBackgroup=01\nEnCodeLib= 1\nAutoStart=01\nShotdown=yes\nShotdownHint=1\n",
         [](Settings& s) {
             s.isBackgroup = s.enCodeLib = true;
             s.autoStart = s.shotdown = false;
         }},
        {"kept as stored, checked where used", "[base]\nShotdownTime=25:99\nGuanjiHintFengzhong=\n",
         [](Settings& s) {
             s.shotdownTime = "25:99";
             s.guanjiHintFengzhong = "";
         }},
        {"late bells never", "[base]\nLateBellGrace=0\n", [](Settings& s) { s.lateBellGrace = 0; }},
        // An hour late is no bell anyone wants: the default, not the hand-edited value.
        {"late bells out of range", "[base]\nLateBellGrace=3600\n", [](Settings&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppDir dir;
        if (c.file)
            dir.writeText("Config.ini", QString::fromUtf8(c.file));
        Settings expected;
        c.expect(expected);
        EXPECT_TRUE(ReadSettings() == expected);
    }
}

// A hand-edited volume is clamped or, when it is no number, the default; each is named once and
// nothing is written back.
TEST(ConfigFile, VolumesOutOfRangeAreClampedAndTextIsTheDefaultEachNamed)
{
    struct Case {
        const char* stored;
        int task, music, duck;
        const char* problem; // nullptr: none
    };
    const Case cases[] = {
        {"", 100, 100, 20, nullptr},
        {"TaskVolume=0\nMusicVolume=150\nDuckLevel=100\n", 0, 150, 100, nullptr},
        {"TaskVolume=151\n", 150, 100, 20, "Config.ini 的 [base] 中 TaskVolume=151 不在 0～150 之内，按 150% 使用"},
        {"MusicVolume=-5\n", 100, 0, 20, "Config.ini 的 [base] 中 MusicVolume=-5 不在 0～150 之内，按 0% 使用"},
        {"DuckLevel=120\n", 100, 100, 100, "Config.ini 的 [base] 中 DuckLevel=120 不在 0～100 之内，按 100% 使用"},
        {"TaskVolume=loud\n", 100, 100, 20, "Config.ini 的 [base] 中 TaskVolume=loud 不是整数，按默认值 100% 使用"},
        {"DuckLevel=\n", 100, 100, 20, "Config.ini 的 [base] 中 DuckLevel= 不是整数，按默认值 20% 使用"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        TempAppDir dir;
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n" + QString::fromUtf8(c.stored));
        const QByteArray before = dir.read("Config.ini");
        QStringList problems;
        const Settings s = ReadSettings(&problems);
        EXPECT_EQ(s.taskVolume, c.task);
        EXPECT_EQ(s.musicVolume, c.music);
        EXPECT_EQ(s.duckLevel, c.duck);
        EXPECT_EQ(problems, c.problem ? QStringList{QString::fromUtf8(c.problem)} : QStringList());
        EXPECT_EQ(dir.read("Config.ini"), before);
    }
}

// Each writer leaves the bytes it always has: its own spelling of a section it creates, its
// own text for on and off, and nothing else touched.
TEST(ConfigFile, WritesTheBytesEachSettingHasAlwaysWritten)
{
    struct Case {
        const char* name;
        std::function<void()> write;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"background music file", [] { WriteBackgroupMusicFile("/m/a.mp3"); }, "",
         "[Base]\nBackgroupMusicFile=/m/a.mp3\n"},
        {"background music on", [] { WriteIsBackgroup(true); }, "", "[Base]\nIsBackgroup=1\n"},
        {"enciphered library", [] { WriteEnCodeLib(true); }, "", "[base]\nEnCodeLib=1\n"},
        {"start with log-on off", [] { WriteAutoStart(false); }, "", "[base]\nAutoStart=0\n"},
        {"Saturday on", [] { WriteWorkingDay(6, true); }, "", "[Week]\nSaturday=1\n"},
        {"no eighth day", [] { WriteWorkingDay(8, true); }, "", nullptr},
        {"shutdown and its time", [] { WriteShotdown(true); WriteShotdownTime("17:30:00"); }, "",
         "[base]\nShotdown=1\nShotdownTime=17:30:00\n"},
        {"late bells", [] { WriteLateBellGrace(30); }, "", "[base]\nLateBellGrace=30\n"},
        {"volumes", [] { WriteTaskVolume(80); WriteMusicVolume(150); WriteDuckLevel(0); },
         "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n",
         "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nTaskVolume=80\nMusicVolume=150\nDuckLevel=0\n"},
        {"countdown and its minutes", [] { WriteShotdownHint(false); WriteGuanjiHintFengzhong("3"); },
         "", "[base]\nShotdownHint=0\nGuanjiHintFengzhong=3\n"},
        {"into an existing section, whatever its spelling",
         [] { WriteIsBackgroup(false); WriteEnCodeLib(false); },
         "[BASE]\nShotdown=0\n[Week]\nMonday=1\n",
         "[BASE]\nShotdown=0\nIsBackgroup=0\nEnCodeLib=0\n[Week]\nMonday=1\n"},
        {"a holiday range, then another removed", [] { WriteHoliday("10-1", "10-7"); DeleteHoliday("5-1"); },
         "[Holiday]\n5-1=5-3\n", "[Holiday]\n10-1=10-7\n"},
        {"a value replaced in place", [] { WriteWorkingDay(1, false); },
         "[Week]\nMonday=1\nTuesday=1\n", "[Week]\nMonday=0\nTuesday=1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppDir dir;
        if (*c.before)
            dir.writeText("Config.ini", QString::fromUtf8(c.before));
        c.write();
        if (!c.after) {
            EXPECT_FALSE(dir.exists("Config.ini"));
            continue;
        }
        EXPECT_EQ(dir.read("Config.ini"), QByteArray(c.after).replace("\n", "\r\n"));
    }
}

} // namespace
