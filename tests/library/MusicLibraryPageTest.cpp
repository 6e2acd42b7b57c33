#include "library/MusicLibraryPage.h"
#include "storage/ProgramData.h"
#include "library/UntEnDescrypt.h"
#include "platform/AudioProbe.h"
#include "platform/Guard.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "support/WavFile.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// Takes every file unless told otherwise; answer runs on the page's worker thread.
class FakeAudioProbe : public IAudioProbe {
public:
    std::function<QString(const QString&)> answer;
    std::atomic<int> calls{0};
    QString problem(const QString& path) override
    {
        ++calls;
        return answer ? answer(path) : QString();
    }
};

class LibraryPageTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    ProgramData data;
    MusicLibraryPage page{data, dialogs, boxes, guard};
    std::shared_ptr<FakeAudioProbe> probe = std::make_shared<FakeAudioProbe>();

    LibraryPageTest() { page.setAudioProbe(probe); }

    QString audio(const QString& name) const
    {
        const QString path = dir.file(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }
    void addFiles(const QStringList& files)
    {
        dialogs.fileAnswers.enqueue(files);
        page.miAddFile->trigger();
    }
    QStringList keys() const
    {
        QStringList k;
        ReadIniKeys(TaskFilePath(), MusicSection, k);
        return k;
    }
    QStringList row(int i) const
    {
        const QTreeWidgetItem* r = page.lvMusic->topLevelItem(i);
        return {r->text(0), r->text(1), r->text(2), r->text(3)};
    }
    QString stored(const QString& key) const
    {
        return ReadIniString(TaskFilePath(), MusicSection, key, "<none>");
    }
};

TEST_F(LibraryPageTest, NumbersFollowTheLargestKeyAndAdditionsKeepDialogOrder)
{
    const QString a = audio("a.mp3"), b = audio("b.wav"), c = audio("c.mid");
    addFiles({a, b, c});
    EXPECT_EQ(keys(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(dialogs.filters.value(0), "音频文件 (*.mp3 *.wav *.mid *.avi)");

    // Deleting the top entry, which no task uses, frees its number for the next addition.
    page.lvMusic->setCurrentItem(page.lvMusic->topLevelItem(2));
    page.btnDelMusic->click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    addFiles({c});
    EXPECT_EQ(keys(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(stored("3"), c);
    EXPECT_EQ(row(0), QStringList({"1", "a.mp3", "正常", "音频文件"}));
    EXPECT_EQ(page.lvMusic->topLevelItem(0)->toolTip(1), a);

    WriteIniString(TaskFilePath(), MusicSection, "7", audio("d.mp3"));
    const QString e = audio("e.mp3"), f = audio("f.wav"), g = audio("g.avi");
    addFiles({e, f, g});
    EXPECT_EQ(keys(), QStringList({"1", "2", "3", "7", "8", "9", "10"}));
    EXPECT_EQ(stored("8"), e);
    EXPECT_EQ(stored("9"), f);
    EXPECT_EQ(stored("10"), g);
    EXPECT_EQ(data.LibraryList().size(), 7);
    EXPECT_EQ(data.LibraryList().value(4), "8=" + e);

    // Only OK clears.
    boxes.answers << BoxAnswer::Cancel << BoxAnswer::Ok;
    page.btnClearMusic->click();
    EXPECT_EQ(keys().size(), 7);
    EXPECT_EQ(page.lvMusic->topLevelItemCount(), 7);
    page.btnClearMusic->click();
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].caption, "提示！");
    EXPECT_EQ(boxes.shown[1].text, "确定要清空音频库中的所有音频文件吗？");
    EXPECT_EQ(page.lvMusic->topLevelItemCount(), 0);
    EXPECT_TRUE(page.chkEnCodeLib->isEnabled());
    addFiles({b});
    EXPECT_EQ(keys(), QStringList({"1"}));
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(probe->calls, 8);
}

TEST_F(LibraryPageTest, NumbersTheTasksStillHoldAreNotGivenAgain)
{
    const QString a = audio("a.mp3"), n = audio("n.mp3"), m = audio("m.mp3");
    const struct {
        const char* name;
        QString file;
        int files;
        QString next; // "" when the addition is refused
    } cases[] = {
        {"task keys above the library",
         "[Time]\n08:00:00=1,0,3,12\n09:00:00=0,1,5\n[Music]\n3=" + a + "\n", 1, "13"},
        {"cleared library", "[Time]\n08:00:00=1,0,4\n", 1, "5"},
        // A hand-edited value's keys follow its first comma, as every reader takes them.
        {"hand-edited flags", "[Time]\n08:00:00=12345,0,3\n09:00:00=,0,7\n", 1, "8"},
        {"hand-edited flags, one task", "[Time]\n08:00:00=12345,0,3\n", 1, "4"},
        {"task keys that are no number",
         "[Time]\n08:00:00=1,0,x,99999999999,,-4\n[Music]\n2=" + a + "\n", 1, "3"},
        {"largest library number", "[Music]\n2147483647=" + a + "\n", 1, ""},
        {"largest task number", "[Time]\n08:00:00=1,0,2147483647\n", 1, ""},
        {"two files past the largest", "[Time]\n08:00:00=1,0,2147483646\n", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        dir.writeText(TaskFileName, c.file);
        const QByteArray before = dir.read(TaskFileName);
        const qsizetype entries = keys().size();
        addFiles(QStringList({n, m}).first(c.files));
        if (c.next.isEmpty()) {
            ASSERT_EQ(boxes.shown.size(), 1);
            EXPECT_EQ(boxes.shown[0].caption, "错误");
            EXPECT_TRUE(boxes.shown[0].text.contains("超出编号上限 2147483647"))
                << boxes.shown[0].text.toStdString();
            EXPECT_EQ(dir.read(TaskFileName), before);
        } else {
            EXPECT_TRUE(boxes.shown.isEmpty());
            EXPECT_EQ(keys().size(), entries + 1);
            EXPECT_EQ(stored(c.next), n);
        }
    }
}

TEST_F(LibraryPageTest, DirectoriesEndWithTheSeparator)
{
    QDir().mkpath(dir.file("Music"));
    dialogs.folderAnswers << dir.file("Music") << "/";
    page.miAddDirectory->trigger();
    page.miAddDirectory->trigger();
    EXPECT_EQ(dialogs.titles.value(0), "请选择一个目录");
    EXPECT_EQ(stored("1"), dir.file("Music/"));
    EXPECT_EQ(stored("2"), "/");
    EXPECT_EQ(row(0), QStringList({"1", "Music", "正常", "目录"}));
    EXPECT_EQ(row(1), QStringList({"2", "", "正常", "目录"}));

    // A cancelled choice writes nothing.
    page.miAddDirectory->trigger();
    EXPECT_EQ(keys().size(), 2);
}

TEST_F(LibraryPageTest, MissingEntriesShowRedAndAreRemovedOnRequest)
{
    const QString kept = audio("ok.mp3");
    const QString gone = audio("Old/gone.mp3");
    QDir().mkpath(dir.file("Gone"));
    dialogs.folderAnswers << dir.file("Gone");
    addFiles({kept, gone});
    page.miAddDirectory->trigger();
    QFile::remove(gone);
    QDir(dir.file("Gone")).removeRecursively();

    page.LoadMusicLibrary();
    EXPECT_EQ(row(0), QStringList({"1", "ok.mp3", "正常", "音频文件"}));
    EXPECT_EQ(row(1), QStringList({"2", "gone.mp3", "目录或音频文件不存在", ""}));
    EXPECT_EQ(page.lvMusic->topLevelItem(1)->toolTip(1), gone);
    EXPECT_EQ(row(2), QStringList({"3", "Gone", "目录或音频文件不存在", ""}));
    EXPECT_EQ(page.lvMusic->topLevelItem(1)->foreground(1).color(), QColor(255, 0, 0));
    EXPECT_NE(page.lvMusic->topLevelItem(0)->foreground(1).color(), QColor(255, 0, 0));

    page.btn1->click();
    EXPECT_EQ(keys(), QStringList({"1"}));
    EXPECT_EQ(page.lvMusic->topLevelItemCount(), 1);
    EXPECT_EQ(data.LibraryList(), QStringList({"1=" + kept}));
}

TEST_F(LibraryPageTest, DeleteKeepsTheLoadedPathsAndTheSwitchFollowsTheRows)
{
    page.btnDelMusic->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].caption, "错误");
    EXPECT_EQ(boxes.shown[0].text, "请选择要删除的音频文件！");

    const QString a = audio("a.mp3");
    addFiles({a});
    EXPECT_FALSE(page.chkEnCodeLib->isEnabled());
    page.lvMusic->setCurrentItem(page.lvMusic->topLevelItem(0));
    page.btnDelMusic->click();
    EXPECT_TRUE(keys().isEmpty());
    EXPECT_EQ(page.lvMusic->topLevelItemCount(), 0);
    EXPECT_TRUE(page.chkEnCodeLib->isEnabled());
    // Tasks still resolve the deleted number until the next load.
    EXPECT_EQ(data.LibraryList(), QStringList({"1=" + a}));
}

TEST_F(LibraryPageTest, EncipheredLibraryStoresBase64AndShowsPlainNames)
{
    page.chkEnCodeLib->setChecked(true);
    EXPECT_EQ(ReadConfigInteger("base", "EnCodeLib", -1), 1);
    const QString a = audio("音乐/上课铃.mp3");
    addFiles({a});
    const QString text = stored("1");
    EXPECT_EQ(text, TEnDescrypt(TaskFilePath()).Encipher(a));
    EXPECT_FALSE(text.contains("mp3"));
    EXPECT_EQ(row(0), QStringList({"1", "上课铃.mp3", "正常", "音频文件"}));
    EXPECT_EQ(data.LibraryList(), QStringList({"1=" + a}));

    // Read as plain, the same file is unreadable text: a missing entry.
    page.chkEnCodeLib->setChecked(false);
    EXPECT_EQ(ReadConfigInteger("base", "EnCodeLib", -1), 0);
    page.LoadMusicLibrary();
    EXPECT_EQ(row(0).value(2), "目录或音频文件不存在");
}

TEST_F(LibraryPageTest, FailuresBeforeOrDuringTheWritesLeaveTheLibraryAsItWas)
{
    const QString a = audio("a.mp3"), b = audio("b.mp3");
    dir.writeText(TaskFileName, "[Music]\n1=" + a + "\nabc=" + a + "\n");
    const QByteArray before = dir.read(TaskFileName);
    addFiles({b});
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("“abc”不是有效的整数")) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(dir.read(TaskFileName), before);
    EXPECT_EQ(page.lvMusic->topLevelItemCount(), 0) << "not reloaded";

    // An enciphered write that fails is shown and ends the addition.
    QFile::remove(dir.file(TaskFileName));
    QDir().mkpath(dir.file(TaskFileName));
    page.chkEnCodeLib->setChecked(true);
    addFiles({a, b});
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[1].text.startsWith("无法写入")) << boxes.shown[1].text.toStdString();
}

TEST_F(LibraryPageTest, LibraryLargerThanTheKeyListIsReadWholeAndNumberedPastItsEnd)
{
    const QString a = audio("a.mp3");
    QString text = "[Music]\n";
    for (int i = 1; i <= 4000; ++i)
        text += QString("%1=%2\n").arg(i).arg(a);
    dir.writeText(TaskFileName, text);
    QStringList limited;
    ReadIniSection(TaskFilePath(), MusicSection, limited);
    ASSERT_LT(limited.size(), 4000) << "the plain section read stops at the key-list limit";

    page.LoadMusicLibrary();
    EXPECT_EQ(page.lvMusic->topLevelItemCount(), 4000);
    addFiles({audio("new.mp3")});
    EXPECT_EQ(stored("4001"), dir.file("new.mp3"));
    EXPECT_EQ(stored(QString::number(limited.size() + 1)), a) << "an existing entry was overwritten";
}

} // namespace

namespace {

// A task file that cannot be saved: adding, deleting and clearing entries say so, naming the
// file and the reason, and the page shows what the file still holds.
TEST_F(LibraryPageTest, AChangeTheFileRefusesIsReportedAndThePageShowsTheFile)
{
    const QString kept = audio("kept.mp3");
    const QString text = "[Music]\n1=" + kept + "\n2=" + dir.file("gone.mp3") + "\n";
    struct Case {
        const char* name;
        std::function<void()> command;
    };
    const Case cases[] = {
        {"add", [&] { addFiles({audio("new.mp3")}); }},
        {"delete", [&] {
             page.lvMusic->setCurrentItem(page.lvMusic->topLevelItem(0));
             page.btnDelMusic->click();
         }},
        {"clear", [&] { page.btnClearMusic->click(); }},
        {"clear the missing", [&] { page.btn1->click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeText(TaskFileName, text);
        page.LoadMusicLibrary();
        boxes.shown.clear();
        SetIniSaveInterruptedForTesting(true);
        c.command();
        SetIniSaveInterruptedForTesting(false);
        EXPECT_EQ(dir.readText(TaskFileName).replace("\r\n", "\n"), text);
        ASSERT_EQ(page.lvMusic->topLevelItemCount(), 2);
        EXPECT_EQ(row(0).value(0), "1");
        ASSERT_FALSE(boxes.shown.isEmpty());
        EXPECT_TRUE(boxes.shown.last().text.contains(TaskFileName)) << boxes.shown.last().text.toStdString();
        EXPECT_TRUE(boxes.shown.last().text.contains("保存被中断")) << boxes.shown.last().text.toStdString();
    }
}

} // namespace

namespace {

// Deleting entries that tasks use: the tasks are named and the user asked; on yes their numbers
// leave the tasks, a task left silent is switched off and named, and nothing plays a later file.
TEST_F(LibraryPageTest, DeletingMusicThatTasksUseAsksAndTakesItOutOfTheTasks)
{
    const QString a = audio("a.mp3"), c = audio("c.mp3");
    const QString params = "=1,1,1,0,,0,00:00:00\n";
    const QString text = "[Time]\n08:00:00=1,0,1,2\n09:00:00=True,1,2\n10:00:00=1,0,3\n[TimeParams]\n"
                         "08:00:00" + params + "09:00:00" + params + "10:00:00" + params +
                         "[Music]\n1=" + a + "\n2=" + dir.file("gone.mp3") + "\n3=" + c + "\n";
    struct Case {
        const char* name;
        std::function<void()> command;
        QString opening; // the command's own question, in the same box
        QStringList time;
        QStringList music;
        QStringList silenced;
    };
    const Case cases[] = {
        {"delete",
         [&] {
             page.lvMusic->setCurrentItem(page.lvMusic->topLevelItem(1));
             page.btnDelMusic->click();
         },
         "", {"08:00:00=1,0,1", "09:00:00=0,1", "10:00:00=1,0,3"}, {"1", "3"}, {"09:00:00"}},
        {"clear the missing", [&] { page.btn1->click(); }, "",
         {"08:00:00=1,0,1", "09:00:00=0,1", "10:00:00=1,0,3"}, {"1", "3"}, {"09:00:00"}},
        {"clear all", [&] { page.btnClearMusic->click(); }, "确定要清空音频库中的所有音频文件吗？\n\n",
         {"08:00:00=0,0", "09:00:00=0,1", "10:00:00=0,0"}, {}, {"08:00:00", "09:00:00", "10:00:00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeText(TaskFileName, text);
        page.LoadMusicLibrary();
        data.loadTimetable();
        const QByteArray before = dir.read(TaskFileName);
        boxes.shown.clear();

        boxes.answers << BoxAnswer::Cancel;
        c.command();
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::OkCancel);
        const QString question = boxes.shown[0].text;
        EXPECT_TRUE(question.startsWith(c.opening + "以下定时任务使用了要删除的音频：\n")) << question.toStdString();
        EXPECT_TRUE(question.contains("任务 08:00:00 使用 gone.mp3（编号 2）")) << question.toStdString();
        EXPECT_TRUE(question.contains("任务 09:00:00 使用 gone.mp3（编号 2）")) << question.toStdString();
        EXPECT_EQ(dir.read(TaskFileName), before) << "no changes nothing";

        boxes.shown.clear();
        c.command();
        ASSERT_EQ(boxes.shown.size(), 2);
        EXPECT_EQ(boxes.shown[1].text, "以下定时任务已没有音频，已被停用：\n" + c.silenced.join('\n'));
        QStringList time;
        ReadIniSection(TaskFilePath(), TimeSection, time);
        EXPECT_EQ(time, c.time);
        EXPECT_EQ(keys(), c.music);
        EXPECT_FALSE(data.timetable().find("09:00:00")->enabledInList());

        // A file added now is not taken up by any task.
        addFiles({audio("new.mp3")});
        ReadIniSection(TaskFilePath(), TimeSection, time);
        EXPECT_EQ(time, c.time);
        EXPECT_EQ(keys().size(), c.music.size() + 1);
    }
}

// A file that does not play and a path the library holds are not added; one box names them.
TEST_F(LibraryPageTest, FilesThatDoNotPlayOrAreThereAlreadyAreNotAdded)
{
    page.setAudioProbe(std::make_shared<GstAudioProbe>());
    dir.write("bell.wav", SilentWav(200));
    dir.write("text.mp3", "这不是音频文件，只是文字。\n");
    dir.write("empty.mp3", QByteArray());
    const QString bell = dir.file("bell.wav");
    addFiles({dir.file("text.mp3"), bell, dir.file("empty.mp3")});
    EXPECT_EQ(keys(), QStringList({"1"}));
    EXPECT_EQ(stored("1"), bell);
    ASSERT_EQ(boxes.shown.size(), 1);
    const QString refused = boxes.shown[0].text;
    EXPECT_TRUE(refused.startsWith("以下音频无法添加：\n" + dir.file("text.mp3") + "：")) << refused.toStdString();
    EXPECT_TRUE(refused.contains(dir.file("empty.mp3") + "：")) << refused.toStdString();
    EXPECT_FALSE(refused.contains(bell));

    QDir().mkpath(dir.file("Bells"));
    dialogs.folderAnswers << dir.file("Bells") << dir.file("Bells") << dir.file("NoSuch");
    page.miAddDirectory->trigger();
    page.miAddDirectory->trigger();
    page.miAddDirectory->trigger();
    addFiles({bell});
    EXPECT_EQ(keys(), QStringList({"1", "2"}));
    ASSERT_EQ(boxes.shown.size(), 4);
    EXPECT_EQ(boxes.shown[1].text, "以下音频已在音频库中，没有再次添加：\n" + dir.file("Bells/") + "（编号 2）");
    EXPECT_EQ(boxes.shown[2].text, "以下音频无法添加：\n" + dir.file("NoSuch/") + "：文件夹不存在");
    EXPECT_EQ(boxes.shown[3].text, "以下音频已在音频库中，没有再次添加：\n" + bell + "（编号 1）");
}

// Cancelling the check adds the files checked until then and no other.
TEST_F(LibraryPageTest, CancellingTheCheckAddsWhatWasChecked)
{
    QStringList files;
    for (int i = 0; i < 8; ++i)
        files << audio(QString("%1.mp3").arg(i));
    std::atomic<bool> released{false};
    probe->answer = [&](const QString& path) {
        if (path.endsWith("3.mp3"))
            while (!released)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return QString();
    };
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = page.findChild<QProgressDialog*>();
        if (!progress || probe->calls < 4)
            return;
        shown = progress->isVisible();
        auto* cancel = progress->findChild<QPushButton*>();
        ASSERT_TRUE(cancel);
        EXPECT_EQ(cancel->text(), "取消");
        cancel->click();
        released = true;
        watch.stop();
    });
    watch.start(10);
    addFiles(files);
    EXPECT_TRUE(shown) << "eight files show the progress at once";
    EXPECT_EQ(keys(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(probe->calls, 4);
}

} // namespace
