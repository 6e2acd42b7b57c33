#include "app/AboutPage.h"
#include "support/TempDir.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

// Whoever backs up a school's setup finds the data folder on the About page, after the steps
// and before the closing request.
TEST(AboutPage, NamesTheDataFolderAndItsThreeFiles)
{
    TempAppDir dir;
    AboutPage page("TavuroMP3");
    const QString text = page.findChild<QPlainTextEdit*>()->toPlainText();
    const qsizetype at = text.indexOf(dir.path());
    ASSERT_GE(at, 0) << text.toStdString();
    EXPECT_GT(at, text.indexOf("软件使用步骤："));
    EXPECT_LT(at, text.indexOf("欢迎捐助"));
    for (const char* file : {"Config.ini", "TimeMusicList.ini", "user.dat"})
        EXPECT_TRUE(text.contains(file)) << file;
}
