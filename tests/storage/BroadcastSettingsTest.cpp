#include "storage/BroadcastConfig.h"

#include "platform/Errors.h"
#include "storage/ConfigFile.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Base = "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n";

// Hand-edited sections: what does not read is the default, what is out of range is clamped,
// a zone line that cannot be a zone is left out; each is named once and nothing is written.
TEST(BroadcastSettings, HandEditedValuesReadClampedOrDefaultEachNamed)
{
    struct Case {
        const char* name;
        const char* sections;
        std::function<void(BroadcastSettings&)> expect; // applied to the defaults
        int problems;
    };
    const Case cases[] = {
        {"none", "", [](BroadcastSettings&) {}, 0},
        {"every key",
         "[Broadcast]\nEnabled=1\nServer=10.0.0.5\nStreamPort=1800\nControlPort=1801\nBuffer=200\n"
         "LocalDevice=0\nMusic=1\n[BroadcastZones]\n教学楼=4953\n实验楼 = 4954\n",
         [](BroadcastSettings& b) {
             b.enabled = b.music = true;
             b.localDevice = false;
             b.server = "10.0.0.5";
             b.streamPort = 1800;
             b.controlPort = 1801;
             b.bufferMs = 200;
             b.zones = {{"教学楼", 4953}, {"实验楼", 4954}};
         },
         0},
        {"out of range clamped", "[BROADCAST]\nStreamPort=0\nControlPort=70000\nBuffer=9000\n",
         [](BroadcastSettings& b) {
             b.streamPort = 1;
             b.controlPort = 65535;
             b.bufferMs = MaxBroadcastBufferMs;
         },
         3},
        {"unreadable is the default", "[Broadcast]\nEnabled=yes\nLocalDevice=off\nBuffer=1s\nStreamPort=\n",
         [](BroadcastSettings&) {}, 4},
        {"zones left out",
         "[BroadcastZones]\nA楼=4953\na楼=4954\nB楼=port\nC楼=0\nD#楼=4955\nE楼=4956\n",
         [](BroadcastSettings& b) { b.zones = {{"A楼", 4953}, {"E楼", 4956}}; }, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppDir dir;
        dir.writeText("Config.ini", Base + QString::fromUtf8(c.sections));
        const QByteArray before = dir.read("Config.ini");
        QStringList problems;
        BroadcastSettings expected;
        c.expect(expected);
        EXPECT_TRUE(ReadSettings(&problems).broadcast == expected);
        EXPECT_EQ(problems.size(), c.problems) << problems.join('\n').toStdString();
        EXPECT_EQ(dir.read("Config.ini"), before) << "a read writes nothing";
    }
}

TEST(BroadcastSettings, TheMessagesNameTheLineAndWhatIsUsed)
{
    TempAppDir dir;
    dir.writeText("Config.ini", Base + "[Broadcast]\nBuffer=100\nMusic=2\n[BroadcastZones]\n楼=99999\n");
    QStringList problems;
    ReadSettings(&problems);
    EXPECT_EQ(problems, QStringList({"Config.ini 的 [Broadcast] 中 Buffer=100 不在 200～5000 之内，按 200 毫秒使用",
                                     "Config.ini 的 [Broadcast] 中 Music=2 不是 1 或 0，按默认值 0 使用",
                                     "Config.ini 的 [BroadcastZones] 中 楼=99999 一行未用：端口应为 1～65535 之内的整数"}));
}

// Each write reads back as written: zones in order, a renamed one in its place, a removed one
// gone; other sections stay byte for byte, and bad input writes nothing.
TEST(BroadcastSettings, WritesReadBackAndBadInputWritesNothing)
{
    TempAppDir dir;
    dir.writeText("Config.ini", Base + "[Holiday]\n5-1=5-3\n");
    BroadcastSettings b;
    b.enabled = b.music = true;
    b.server = "192.168.1.2";
    b.bufferMs = 1500;
    b.zones = {{"教学楼", 4953}, {"实验楼", 4954}, {"操场", 4955}};
    struct Step {
        const char* name;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"first write", [] {}},
        {"reordered and renamed", [&] { b.zones = {{"操场", 4955}, {"一号楼", 4953}, {"实验楼", 4954}}; }},
        {"one removed, local device off", [&] {
             b.zones.erase(b.zones.begin() + 1);
             b.localDevice = false;
         }},
        {"no zones", [&] { b.zones.clear(); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.change();
        WriteBroadcastSettings(b);
        EXPECT_TRUE(ReadSettings().broadcast == b);
        EXPECT_TRUE(dir.readText("Config.ini").startsWith(QString(Base).replace("\n", "\r\n") + "[Holiday]\r\n5-1=5-3\r\n"));
    }
    EXPECT_FALSE(dir.readText("Config.ini").contains("[BroadcastZones]"));

    const QByteArray before = dir.read("Config.ini");
    for (const std::vector<BroadcastZone>& bad : {std::vector<BroadcastZone>{{"楼", 4953}, {"楼", 4954}},
                                                  std::vector<BroadcastZone>{{"楼", 0}},
                                                  std::vector<BroadcastZone>{{"a,b", 4953}}}) {
        BroadcastSettings refused = b;
        refused.enabled = false;
        refused.zones = bad;
        EXPECT_THROW(WriteBroadcastSettings(refused), InputError);
        EXPECT_EQ(dir.read("Config.ini"), before);
    }
}

} // namespace
