#include "library/FileSearch.h"
#include "support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SearchFilesTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString dir() const { return tmp.path(); }
    void touch(const QString& name) const
    {
        QFile f(tmp.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    QStringList lines(const QStringList& names) const
    {
        QStringList out;
        for (int i = 0; i < names.size(); ++i)
            out << QString("%1=%2/%3").arg(i + 1).arg(dir(), names[i]);
        return out;
    }
};

const QString kMusic = ".mp3.wav.mid.avi";

TEST_F(SearchFilesTest, SelectsByExtension)
{
    struct Case {
        const char* name;
        QStringList files;
        QString extList;
        QStringList expected;
    } cases[] = {
        {"case ignored, other extension skipped",
         {"a.mp3", "b.MP3", "c.wma", "d.mid"}, kMusic, {"a.mp3", "b.MP3", "d.mid"}},
        {"pieces of the list qualify",
         {"x.mp", "x.m", "x.wa", "x.av", "x.mi", "x.3", "x.v"}, kMusic,
         {"x.av", "x.m", "x.mi", "x.mp", "x.wa"}},
        {"extension from the last dot", {"song.mp3.bak", "old.bak.wav"}, kMusic, {"old.bak.wav"}},
        {"no extension, bare dot", {"README", "song.", ".mp3"}, kMusic, {".mp3"}},
        {"empty list takes all, hidden too", {"README", ".hidden", "c.wma"}, QString(),
         {".hidden", "c.wma", "README"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir fresh;
        tmp.swap(fresh);
        for (const QString& f : c.files)
            touch(f);
        QStringList list;
        SearchFiles(dir(), c.extList, list);
        EXPECT_EQ(list, lines(c.expected));
    }
}

TEST_F(SearchFilesTest, SkipsDirectoriesAndDoesNotDescend)
{
    touch("a.mp3");
    ASSERT_TRUE(QDir(dir()).mkpath("e.mp3/inner"));
    touch("e.mp3/inner.mp3");
    ASSERT_TRUE(QFile::link(tmp.filePath("e.mp3"), tmp.filePath("link.mp3")));
    QStringList list;
    SearchFiles(dir(), kMusic, list);
    EXPECT_EQ(list, lines({"a.mp3"}));
}

TEST_F(SearchFilesTest, NumbersInNaturalOrder)
{
    for (const char* f : {"10.mp3", "2.mp3", "1.mp3", "b.mp3", "a10.mp3", "a9.mp3"})
        touch(f);
    QStringList list;
    SearchFiles(dir(), kMusic, list);
    EXPECT_EQ(list, lines({"1.mp3", "2.mp3", "10.mp3", "a9.mp3", "a10.mp3", "b.mp3"}));
}

TEST_F(SearchFilesTest, InsertsExactlyOneSeparator)
{
    touch("a.mp3");
    QStringList list;
    SearchFiles(dir() + "/", kMusic, list);
    EXPECT_EQ(list, QStringList{"1=" + dir() + "//a.mp3"});
}

TEST_F(SearchFilesTest, MissingDirectoryClearsList)
{
    QStringList list{"1=/old/entry.mp3"};
    SearchFiles(tmp.filePath("absent"), kMusic, list);
    EXPECT_TRUE(list.isEmpty());
    list = QStringList{"1=/old/entry.mp3"};
    SearchFiles(QString(), QString(), list);
    EXPECT_TRUE(list.isEmpty());
}

// Writes an answer and still reports a cancel.
class LeakyDialogs : public FakeDialogs {
public:
    bool chooseFolder(QWidget*, const QString&, QString& folder) override
    {
        folder = "/leaked";
        return false;
    }
};

TEST(ChooseFolder, SetsFolderOnlyWhenConfirmed)
{
    FakeDialogs dialogs;
    dialogs.folderAnswers << "/srv/Music" << QString();
    QString folder = "before";
    EXPECT_TRUE(ChooseFolder(dialogs, nullptr, "请选择一个目录", folder));
    EXPECT_EQ(folder, "/srv/Music");
    EXPECT_FALSE(ChooseFolder(dialogs, nullptr, "请选择一个目录", folder));
    EXPECT_EQ(folder, "/srv/Music");
    EXPECT_EQ(dialogs.titles, QStringList({"请选择一个目录", "请选择一个目录"}));

    LeakyDialogs leaky;
    EXPECT_FALSE(ChooseFolder(leaky, nullptr, "t", folder));
    EXPECT_EQ(folder, "/srv/Music");
}

} // namespace
