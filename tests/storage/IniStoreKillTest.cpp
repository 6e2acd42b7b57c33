// A writer killed at random moments: the settings files always read whole, each key with its
// old or its new value, and the next write leaves no temporary file behind.
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "support/TempDir.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Entry {
    const char* section;
    const char* key;
    const char* first;
    const char* second;
};

const Entry kTasks[] = {
    {"Time", "08:00:00", "1,0,1,2", "0,1,2"},
    {"Time", "08:45:00", "1,0,3", "1,1,3,1"},
    {"Time", "12:00:00", "1,0,1", "0,0,1"},
    {"TimeParams", "08:00:00", "1,1,1,0,,0,00:00:00", "3,1,2,1,1111100,600,08:10:00"},
    {"TimeParams", "08:45:00", "1,1,1,2,1000000000000001,0,00:00:00", "2,1,1,0,,90,00:00:00"},
    {"TimeParams", "12:00:00", "1,1,1,3,2026-09-01,0,00:00:00", "1,1,1,4,,0,00:00:00"},
    {"Music", "1", "/srv/铃声/上课.mp3", "/srv/铃声/下课铃（新）.mp3"},
    {"Music", "2", "/srv/铃声/下课.wav", "/srv/广播/早操音乐/"},
    {"Music", "3", "/srv/铃声/午休.mid", "/srv/铃声/午休.mid"},
};

const Entry kConfig[] = {
    {"base", "Shotdown", "0", "0"},
    {"base", "ShotdownHint", "0", "0"},
    {"base", "AutoStart", "0", "0"},
    {"base", "ShotdownTime", "00:00:00", "17:30:00"},
    {"base", "GuanjiHintFengzhong", "1", "5"},
    {"base", "IsBackgroup", "0", "1"},
    {"base", "BackgroupMusicFile", "/srv/背景/轻音乐.mp3", "/srv/背景/钢琴曲.mp3"},
    {"Week", "Monday", "1", "0"},
    {"Week", "Saturday", "0", "1"},
    {"Holiday", "10-1", "10-7", "10-8"},
};

template <size_t N>
void writeAll(const QString& file, const Entry (&entries)[N], bool second)
{
    for (const Entry& e : entries)
        WriteIniString(file, e.section, e.key, QString::fromUtf8(second ? e.second : e.first));
}

// The file's lines are headers or key=value entries only, all ending in CR LF, and each key
// written holds one of its two values; returns what is wrong, or nothing.
template <size_t N>
QString checkFile(const TempAppDir& dir, const QString& name, const Entry (&entries)[N])
{
    const QByteArray bytes = dir.read(name);
    if (!bytes.endsWith("\r\n"))
        return name + ": does not end with a whole line";
    for (const QByteArray& line : bytes.chopped(1).split('\n')) {
        if (!line.endsWith('\r') || line.chopped(1).contains('\r'))
            return name + ": a line without its CR LF";
        const QByteArray text = line.chopped(1);
        if (!(text.startsWith('[') && text.endsWith(']')) && text.indexOf('=') <= 0)
            return name + ": a line that is neither header nor entry: " + QString::fromLatin1(text);
    }
    QStringList section;
    int found = 0;
    for (const Entry& e : entries) {
        const QString value = ReadIniString(dir.file(name), e.section, e.key, QStringLiteral("<missing>"));
        if (value != QString::fromUtf8(e.first) && value != QString::fromUtf8(e.second))
            return QStringLiteral("%1: [%2] %3 holds '%4'").arg(name, e.section, e.key, value);
    }
    for (const char* s : {"Time", "TimeParams", "Music", "base", "Week", "Holiday"}) {
        ReadIniSection(dir.file(name), s, section);
        found += section.size();
    }
    if (found != int(N))
        return QStringLiteral("%1: %2 keys instead of %3").arg(name).arg(found).arg(N);
    return {};
}

TEST(IniStoreKillTest, KilledWriterLeavesWholeFilesAndTheNextWriteCleansUp)
{
    TempAppDir dir;
    const QString tasks = dir.file("TimeMusicList.ini");
    writeAll(tasks, kTasks, false);
    writeAll(ConfigFilePath(), kConfig, false);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicros(200, 25000);
    const QStringList dataFiles{"Config.ini", "TimeMusicList.ini"};
    int kills = 0, torn = 0, leftBehind = 0, leftAfterWrite = 0;

    for (int round = 0; round < 200; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (bool second = true;; second = !second) {
                writeAll(tasks, kTasks, second);
                writeAll(ConfigFilePath(), kConfig, second);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        for (const QString& problem : {checkFile(dir, "TimeMusicList.ini", kTasks),
                                       checkFile(dir, "Config.ini", kConfig)}) {
            if (!problem.isEmpty()) {
                ++torn;
                ADD_FAILURE() << "round " << round << ": " << problem.toStdString();
            }
        }
        QDir data(dir.path());
        leftBehind += int(data.entryList(QDir::Files | QDir::Hidden).size()) - 2;
        // The same key again: a write that changes nothing in the content still saves.
        WriteIniString(tasks, "Music", "3", "/srv/铃声/午休.mid");
        WriteConfigString("base", "Shotdown", "0");
        QStringList after = data.entryList(QDir::Files | QDir::Hidden);
        // A leftover whose random letters happen to look like a name a person gives is kept.
        after.removeIf([](const QString& name) {
            return !IsInterruptedSaveOf(name, "TimeMusicList.ini") && !IsInterruptedSaveOf(name, "Config.ini")
                && name != "TimeMusicList.ini" && name != "Config.ini";
        });
        leftAfterWrite += int(after.size()) - 2;
        EXPECT_EQ(after, dataFiles) << "round " << round;
    }
    std::cout << "kills " << kills << ", torn files " << torn << ", temporary files left by a kill "
              << leftBehind << ", left after the next write " << leftAfterWrite << " (seed " << seed
              << ")\n";
    EXPECT_EQ(kills, 200);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(leftAfterWrite, 0);
}

} // namespace
