#include "library/MusicLibrary.h"
#include "storage/TaskFile.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"
#include "tasks/uMusicList.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

QList<QStringList> rows(const TfrmSelMusic& d)
{
    QList<QStringList> r;
    for (int i = 0; i < d.lvMusic->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = d.lvMusic->topLevelItem(i);
        r.append({row->text(0), row->text(1), row->text(2), row->checkState(0) ? "x" : ""});
    }
    return r;
}

// Checks the rows and presses OK on the shown dialog.
void pickAndConfirm(TfrmSelMusic& d, std::initializer_list<int> picks)
{
    d.show();
    for (int i : picks)
        if (QTreeWidgetItem* row = d.lvMusic->topLevelItem(i))
            row->setCheckState(0, Qt::Checked);
        else
            ADD_FAILURE() << "no row " << i;
    QTest::mouseClick(d.btn1, Qt::LeftButton);
}

struct SelMusicTest : ::testing::Test {
    TempAppDir dir;
    // The library's lines as the main window reads them from the file.
    QStringList library(const QString& lines, bool enciphered = false) const
    {
        dir.writeText(TaskFileName, "[Music]\n" + lines);
        return LibraryListOf(ReadLibraryEntries(TaskFilePath(), enciphered));
    }
};

TEST_F(SelMusicTest, EachKindListsItsEntriesAndTheRootIsNeverReturned)
{
    // Enciphered texts from OpenSSL as in UntEnDescryptTest. The file entry's text ends with "/"
    // while its path does not; the root "/" has no name.
    const QString ring = dir.file("Bells/ring.mp3"), songs = dir.file("Songs/");
    const struct {
        bool enciphered;
        QString lines;
        QList<QStringList> files, dirs;
        QString returned;
    } cases[] = {
        {false, "1=" + ring + "\n2=" + songs + "\n3=/\n", {{"1", "ring.mp3", ring, ""}},
         {{"2", "Songs", songs, ""}, {"3", "", "/", ""}}, "2=Songs"},
        {true, "1=Yw0MO7utPMlk4gz37UGrJW8/\n2=Yw0MO7u+FK0kUw==\n3=Yw==\n",
         {{"1", "1008.mp3", "/srv/铃声/1008.mp3", ""}},
         {{"2", "音乐", "/srv/音乐/", ""}, {"3", "", "/", ""}}, "2=音乐"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.enciphered ? "enciphered" : "plain");
        TfrmSelMusic d(library(c.lines, c.enciphered));
        d.rbFile->setChecked(true);
        EXPECT_EQ(d.SelectedKind, 1);
        EXPECT_EQ(rows(d), c.files);
        d.rbDirectory->setChecked(true);
        EXPECT_EQ(d.SelectedKind, 2);
        EXPECT_EQ(rows(d), c.dirs);
        pickAndConfirm(d, {0, 1});
        EXPECT_TRUE(d.Accepted);
        EXPECT_EQ(d.SelectedMusic, QStringList{c.returned});
    }
}

TEST_F(SelMusicTest, OkReturnsCheckedRowsInListOrderAndAKindSwitchDropsTheChecks)
{
    TfrmSelMusic d(library("1=/m/a.mp3\n2=/m/\n3=/m/b.mp3\n4=/m/c.mp3\n"));
    d.rbFile->setChecked(true);
    pickAndConfirm(d, {2, 0});
    EXPECT_TRUE(d.Accepted);
    EXPECT_EQ(d.SelectedMusic, QStringList({"1=a.mp3", "4=c.mp3"}));

    d.rbDirectory->setChecked(true);
    d.rbFile->setChecked(true);
    EXPECT_FALSE(d.Accepted);
    EXPECT_EQ(rows(d).value(0), QStringList({"1", "a.mp3", "/m/a.mp3", ""}));
    // A key already returned keeps its one line.
    pickAndConfirm(d, {0, 1});
    EXPECT_EQ(d.SelectedMusic, QStringList({"1=a.mp3", "4=c.mp3", "3=b.mp3"}));
}

TEST_F(SelMusicTest, CancelEscAndTheCloseBoxReturnNothing)
{
    const QStringList lines = library("1=/m/a.mp3\n");
    const std::function<void(TfrmSelMusic&)> closers[] = {
        [](TfrmSelMusic& d) { QTest::mouseClick(d.btn2, Qt::LeftButton); },
        [](TfrmSelMusic& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](TfrmSelMusic& d) { d.close(); },
    };
    for (const auto& close : closers) {
        TfrmSelMusic d(lines);
        d.rbFile->setChecked(true);
        pickAndConfirm(d, {});
        ASSERT_TRUE(d.Accepted);
        d.show();
        d.lvMusic->topLevelItem(0)->setCheckState(0, Qt::Checked);
        close(d);
        EXPECT_FALSE(d.isVisible());
        EXPECT_FALSE(d.Accepted);
        EXPECT_TRUE(d.SelectedMusic.isEmpty());
    }
}

TEST_F(SelMusicTest, AnEmptyLibraryGivesEmptyListsAndOkReturnsNothing)
{
    TfrmSelMusic d(QStringList{});
    d.LoadAudioFiles();
    EXPECT_EQ(d.lvMusic->topLevelItemCount(), 0);
    d.LoadDirectories();
    EXPECT_EQ(d.lvMusic->topLevelItemCount(), 0);
    pickAndConfirm(d, {});
    EXPECT_TRUE(d.Accepted);
    EXPECT_TRUE(d.SelectedMusic.isEmpty());
}

} // namespace
