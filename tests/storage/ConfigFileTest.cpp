#include "storage/ConfigFile.h"

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
