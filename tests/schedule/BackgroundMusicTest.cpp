#include "schedule/BackgroundMusic.h"

#include "library/AudioFileFilter.h"
#include "platform/Guard.h"
#include "storage/ConfigFile.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "storage/ProgramData.h"
#include "support/FakeMediaPlayer.h"
#include "support/Fakes.h"
#include "support/RecordingPlayer.h"
#include "support/TempDir.h"
#include "support/WavFile.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The three controls and the class over any player.
struct Rig {
    explicit Rig(IMediaPlayer& p) : player(p) {}
    IMediaPlayer& player;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    QCheckBox chk;
    QLineEdit edt;
    QPushButton btn;
    ProgramData data;
    BackgroundMusic music{&chk, &edt, &btn, player, data, dialogs, guard};
    // As if chosen earlier: the stored file.
    void setFile(const QString& path)
    {
        data.changeSettings([&] { WriteBackgroupMusicFile(path); });
    }
};

class BackgroundMusicTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMediaPlayer player;
    void SetUp() override { dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n"); }
    QString file(const QString& name) const
    {
        dir.write(name, "x");
        return dir.file(name);
    }
    static QString stored(const QString& key) { return ReadConfigString("base", key, "<none>"); }
};

TEST_F(BackgroundMusicTest, ClearingPausesCheckingResumesAndANewFilePlaysFromTheStart)
{
    const QString a = file("a.mp3"), b = file("b.wav");
    WriteConfigString("Base", "BackgroupMusicFile", a);
    WriteConfigString("Base", "IsBackgroup", "1");
    Rig rig{player};
    rig.data.loadSettings();
    rig.music.LoadBackgroupMusic();
    EXPECT_EQ(player.log, QStringList({"Close", "Open:" + a, "Play"}));
    EXPECT_FALSE(rig.btn.isEnabled());

    player.position = 1234;
    rig.chk.click();
    EXPECT_EQ(stored("IsBackgroup"), "0");
    EXPECT_TRUE(rig.btn.isEnabled());
    rig.chk.click();
    EXPECT_EQ(player.log.mid(3), QStringList({"Pause", "Play"})) << "no reopening";
    EXPECT_EQ(player.position, 1234);

    rig.chk.click();
    rig.btn.click(); // cancelled: nothing changes
    rig.dialogs.fileAnswers << QStringList{b};
    rig.btn.click();
    EXPECT_EQ(rig.dialogs.filters, QStringList({AudioFileFilter, AudioFileFilter}));
    EXPECT_EQ(rig.edt.text(), b);
    EXPECT_EQ(stored("BackgroupMusicFile"), b);
    EXPECT_EQ(player.log.last(), "Pause") << "choosing neither opens nor plays";
    rig.chk.click();
    EXPECT_EQ(player.log.mid(6), QStringList({"Close", "Open:" + b, "Play"}));
    EXPECT_EQ(player.position, 0);
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
}

TEST_F(BackgroundMusicTest, OnlyAnExistingSoundFilePlaysAndTheBoxIsSavedEitherWay)
{
    const struct {
        QString path;
        bool plays;
    } cases[] = {{file("SONG.MP3"), true},  {file("n.Mid"), true},     {file("text.txt"), false},
                 {file("noext"), false},    {file("dot."), false},     {dir.file("gone.mp3"), false},
                 {QString(), false}};
    for (const auto& c : cases) {
        FakeMediaPlayer fresh;
        Rig rig{fresh};
        rig.setFile(c.path);
        rig.chk.setChecked(true);
        EXPECT_EQ(fresh.log, c.plays ? QStringList({"Close", "Open:" + c.path, "Play"}) : QStringList())
            << c.path.toStdString();
        EXPECT_EQ(stored("IsBackgroup"), "1");
        EXPECT_FALSE(rig.btn.isEnabled());
        EXPECT_TRUE(rig.boxes.shown.isEmpty());
    }
}

TEST_F(BackgroundMusicTest, ASwitchTheFileRefusesIsReportedAndTheBoxShowsTheFile)
{
    Rig rig{player};
    rig.setFile(file("a.mp3"));
    SetIniSaveInterruptedForTesting(true);
    rig.chk.click();
    SetIniSaveInterruptedForTesting(false);
    EXPECT_FALSE(rig.chk.isChecked());
    EXPECT_FALSE(rig.data.settings().isBackgroup);
    EXPECT_TRUE(player.log.isEmpty()) << "nothing plays that the file does not keep";
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_TRUE(rig.boxes.shown[0].text.contains("Config.ini")) << rig.boxes.shown[0].text.toStdString();
}

TEST_F(BackgroundMusicTest, AFailingOpenIsReportedOnceNamingTheFileAndWhy)
{
    const QString bad = file("bad.mp3");
    player.failingPaths << bad;
    Rig rig{player};
    QStringList reported;
    rig.music.setFailureReport([&](const QString& m) { reported << m; });
    rig.setFile(bad);
    rig.chk.setChecked(true);
    ASSERT_TRUE(player.failPendingOpen());
    player.notify(MediaNotice::Aborted);
    player.notify(MediaNotice::Successful);
    EXPECT_EQ(reported, QStringList{"无法播放背景音乐 " + bad + "：无法识别的格式（no decoder）"});
    EXPECT_TRUE(rig.boxes.shown.isEmpty()) << "a failure report replaces the box";
    EXPECT_NE(player.mode, MediaMode::Playing);
    EXPECT_EQ(stored("IsBackgroup"), "1");
    EXPECT_FALSE(rig.btn.isEnabled());
}

TEST_F(BackgroundMusicTest, OnlyTheEndOfTheFileStartsItAgain)
{
    Rig rig{player};
    rig.setFile(file("a.mp3"));
    rig.chk.setChecked(true);
    player.length = 1000;
    player.log.clear();
    player.finish();
    player.finish();
    EXPECT_EQ(player.log, QStringList({"Rewind", "Play", "Rewind", "Play"}));
    player.position = 300;
    for (MediaNotice n : {MediaNotice::Aborted, MediaNotice::Superseded, MediaNotice::Failure})
        player.notify(n);
    EXPECT_EQ(player.log.size(), 4);
    // Cleared between the end and its notice: nothing was playing to pause, nothing restarts.
    rig.chk.setChecked(false);
    player.finish();
    EXPECT_FALSE(player.log.mid(4).contains("Play"));
}

TEST_F(BackgroundMusicTest, TheRealPlayerRepeatsTheFileWhileATaskPlaysBeside)
{
    dir.write("loop.wav", SilentWav(300));
    dir.write("bell.wav", SilentWav(3000));
    RecordingPlayer background;
    Rig rig{background};
    rig.setFile(dir.file("loop.wav"));
    rig.chk.setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return background.Mode() == MediaMode::Playing; }, 6000));

    GstMediaPlayer task(QStringLiteral("fakesink sync=true"));
    task.setFileName(dir.file("bell.wav"));
    task.Open();
    task.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return background.played.size() >= 3; }, 6000));
    EXPECT_EQ(background.Mode(), MediaMode::Playing);
    EXPECT_EQ(task.Mode(), MediaMode::Playing);
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
}

} // namespace

TEST_F(BackgroundMusicTest, GoesDownToTheDuckLevelUnderATaskAndBackAtItsOwnVolume)
{
    WriteConfigString("Base", "MusicVolume", "80");
    WriteConfigString("Base", "DuckLevel", "25");
    Rig rig{player};
    rig.data.loadSettings();
    rig.music.LoadBackgroupMusic();
    EXPECT_DOUBLE_EQ(player.level(), 0.8);
    rig.music.duck(true);
    EXPECT_DOUBLE_EQ(player.level(), 0.2);
    // A change of the settings while ducked keeps it ducked, at the new level.
    rig.data.changeSettings([] { WriteDuckLevel(50); });
    EXPECT_DOUBLE_EQ(player.level(), 0.4);
    rig.music.duck(false);
    EXPECT_DOUBLE_EQ(player.level(), 0.8);
}
