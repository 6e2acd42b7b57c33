#include "settings/UsersPage.h"
#include "settings/UserFile.h"

#include "library/UntEnDescrypt.h"
#include "platform/Guard.h"
#include "storage/IniStore.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const QString Zeros46(46, u'0');

class UsersPageTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    UsersPage page{boxes, guard};

    void SetUp() override
    {
        page.resize(960, 540);
        page.show();
    }
    // Adds through the page as a user would; rights are the positions to check.
    void add(const QString& name, const QString& password, int group, QList<int> rights = {})
    {
        page.btnUserAdd->click();
        page.edtUserName->setText(name);
        page.edtPassword->setText(password);
        page.cbbGroupType->setCurrentIndex(group);
        for (int i : rights)
            page.lstchklst1->item(i)->setCheckState(Qt::Checked);
        page.btnUserSave->click();
    }
    // A real click on row i, then "name|password|group position|rights" as the boxes show them.
    QString clickRow(int i)
    {
        QTreeWidget* list = page.lvUserList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(i)).center());
        QString rights;
        for (int r = 0; r < page.lstchklst1->count(); ++r)
            rights += page.lstchklst1->item(r)->checkState() == Qt::Checked ? u'1' : u'0';
        return QStringList{page.edtUserName->text(), page.edtPassword->text(),
                           QString::number(page.cbbGroupType->currentIndex()), rights}.join(u'|');
    }
    // "name|password|group number|group|rights" per row.
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < page.lvUserList->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* r = page.lvUserList->topLevelItem(i);
            out << QStringList{r->text(0), r->text(1), r->text(2), r->text(3),
                               r->data(0, Qt::UserRole).toString()}.join(u'|');
        }
        return out;
    }
    bool editing() const { return page.btnUserSave->isEnabled() && !page.btnUserAdd->isEnabled(); }
};

TEST_F(UsersPageTest, SavesTheTrimmedNameAndTheExactRecord)
{
    add("  王老师 ", " a b,c", 0, {0, 2});
    TEnDescrypt cipher(UserFilePath());
    const QString stored = ReadIniString(UserFilePath(), "UserList", "王老师", {});
    EXPECT_EQ(cipher.Decipher(stored), "王老师\r\n a b,c\r\n1\r\n1010" + Zeros46 + "\r\n");
    EXPECT_EQ(rows(), QStringList{"王老师| a b,c|1|管理员|1010" + Zeros46});
    EXPECT_FALSE(editing());

    page.btnUserAdd->click();
    EXPECT_EQ(clickRow(0), "王老师| a b,c|0|1010");
    EXPECT_EQ(page.edtPassword->displayText(), "******");
}

TEST_F(UsersPageTest, SaveStopsAtTheFirstFaultAndKeepsTheMode)
{
    add("bob", "x", 1);
    const QByteArray before = dir.read("user.dat");
    const std::tuple<QString, int, QString> cases[] = {
        {"  ", -1, "用户名不能为空，请重新填写"},
        {"ann", -1, "组别不能为空"},
        {"BOB", 0, "该用户名已存在，请重新填写"},
        {" bob ", 0, "该用户名已存在，请重新填写"},
    };
    for (const auto& [name, group, text] : cases) {
        boxes.shown.clear();
        add(name, "y", group);
        EXPECT_EQ(boxes.shown.value(0).caption + boxes.texts().join(u'/'), "警告！" + text);
        EXPECT_TRUE(editing() && page.UserEditMode == 1) << text.toStdString();
        EXPECT_EQ(dir.read("user.dat"), before);
    }
    // A refused write reaches the standard error box; the typed user is kept.
    QFile::remove(dir.file("user.dat"));
    QDir().mkdir(dir.file("user.dat"));
    boxes.shown.clear();
    add("ann", "y", 0);
    EXPECT_EQ(boxes.shown.value(0).caption, "T");
    EXPECT_TRUE(editing() && page.edtUserName->text() == "ann");
}

TEST_F(UsersPageTest, EditWithANewNameAddsAUser)
{
    page.btnUserEdit->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请选择需要修改的用户。"});
    EXPECT_FALSE(editing());

    add("bob", "old", 1, {1});
    clickRow(0);
    page.btnUserEdit->click();
    EXPECT_EQ(page.UserEditMode, 2);
    page.edtUserName->setText("bobby");
    page.edtPassword->setText("new");
    page.btnUserSave->click();
    EXPECT_EQ(rows(), (QStringList{"bob|old|2|普通用户|0100" + Zeros46,
                                   "bobby|new|2|普通用户|0100" + Zeros46}));
}

TEST_F(UsersPageTest, DeleteAsksFirstAndWorksForAnEmptyPassword)
{
    page.btnUserDel->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请选择要删除的用户。"});

    add("ann", "", 1);
    add("bob", "b", 0);
    ASSERT_EQ(rows().first(), "ann||2|普通用户|" + QString(50, u'0'));
    clickRow(0);
    boxes.answers.enqueue(BoxAnswer::Cancel);
    page.btnUserDel->click();
    EXPECT_EQ(boxes.shown.last().caption + boxes.shown.last().text, "提示！确定要删除么？");
    EXPECT_EQ(rows().size(), 2);
    clickRow(0);
    page.btnUserDel->click();
    EXPECT_EQ(rows(), QStringList{"bob|b|1|管理员|" + QString(50, u'0')});
}

TEST_F(UsersPageTest, ReadsRecordsOfOtherInstallations)
{
    TEnDescrypt cipher(dir.file("user.dat"));
    // The first two enciphered with openssl des-cfb8 (see UntEnDescryptTest); "abc" has bare LFs.
    dir.writeText("user.dat",
                  "[UserList]\n"
                  "老师=jN6TYCiUJXWTC+qKsdvCoFW4p1sgplLZ2tINCrxL9EayazuF1DwnQ/zA/JGraT5nnfuMaY5Sz+DvGITo+eFhSW8QF+U=\n"
                  "abc=LQZr1qDZgqFc\nempty=\n"
                  "short=" + cipher.Encipher("short\r\npw\r\n1\r\n") + "\n"
                  "odd=" + cipher.Encipher("odd\r\npw\r\nx\r\n1111\r\n") + "\n");
    page.LoadUsers();
    EXPECT_EQ(rows(), (QStringList{"老师|a b,c|2|普通用户|0100" + Zeros46, "abc||1|管理员|1",
                                   "odd|pw|x|普通用户|1111"}));
    EXPECT_EQ(clickRow(1), "abc||0|1000");
    // A group number that names no group leaves the group empty, and raises nothing.
    EXPECT_EQ(clickRow(2), "odd|pw|-1|1111");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

} // namespace
