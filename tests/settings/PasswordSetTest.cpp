#include "settings/uPasswordSet.h"

#include "library/UntEnDescrypt.h"
#include "platform/Guard.h"
#include "storage/IniStore.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class PasswordSetTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    TfrmPasswordSet dialog{boxes, guard, nullptr};

    void SetUp() override { dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n"); }
    QString stored() const { return ReadEncryptedString(ConfigFilePath(), "Base", "libp", "<none>"); }
    // Types the three boxes and presses "确定"; returns the box shown, empty when none.
    QString change(const QString& old, const QString& first, const QString& second)
    {
        boxes.shown.clear();
        dialog.edtOldPassword->setText(old);
        dialog.edtNewPassword->setText(first);
        dialog.edtNewPassword2->setText(second);
        dialog.btnOK->click();
        return boxes.shown.isEmpty() ? QString() : boxes.shown[0].caption + boxes.shown[0].text;
    }
};

TEST_F(PasswordSetTest, TheOldPasswordIsCheckedFirstAndExactly)
{
    EXPECT_EQ(dialog.windowTitle(), "frmPasswordSet");
    struct Case {
        QString old, first, second;
        QString box;
        QString after;
    };
    const Case cases[] = {
        {"", "", "", "警告！新密码不能为空。", "<none>"},
        {"", "", "b", "警告！新密码不一致。", "<none>"},
        {"x", "a", "b", "错误！密码不正确，请重新输入。", "<none>"},
        {"", "开门 1", "开门 1", "", "开门 1"},
        {"开门 1 ", "b", "b", "错误！密码不正确，请重新输入。", "开门 1"},
        {"开门 1", "", "", "警告！新密码不能为空。", "开门 1"},
        {"开门 1", "Abc", "Abc", "", "Abc"},
        {"abc", "d", "d", "错误！密码不正确，请重新输入。", "Abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.old.toStdString() + "|" + c.first.toStdString());
        EXPECT_EQ(change(c.old, c.first, c.second), c.box);
        EXPECT_EQ(stored(), c.after);
        const bool wrongOld = c.box.contains("密码不正确");
        EXPECT_EQ(dialog.edtOldPassword->text(), wrongOld ? QString() : c.old);
        EXPECT_EQ(dialog.edtNewPassword->text(), c.first) << "the new passwords are kept";
    }
    // Stored enciphered, never as plain text.
    EXPECT_FALSE(dir.readText("Config.ini").contains("Abc"));
}

} // namespace
