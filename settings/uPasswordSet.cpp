#include "settings/uPasswordSet.h"

#include "library/UntEnDescrypt.h"
#include "platform/Guard.h"
#include "storage/ConfigFile.h"
#include "storage/IniStore.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPasswordSet::TfrmPasswordSet(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* owner)
    : TfmBaseFrm(boxes, owner)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("frmPasswordSet"));
    setFixedSize(319, 211);

    auto field = [this](QLabel*& label, QLineEdit*& edit, const QString& caption) {
        edit = new QLineEdit(this);
        label = new QLabel(caption, this);
        label->setBuddy(edit);
    };
    field(lbl1, edtOldPassword, tr("旧密码："));
    field(lbl2, edtNewPassword, tr("新密码："));
    field(lbl3, edtNewPassword2, tr("再次输入新密码："));
    btnOK = new QPushButton(tr("确定"), this);
    btnCancel = new QPushButton(tr("取消"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(lbl1, 0, 0);
    grid->addWidget(edtOldPassword, 0, 1);
    grid->addWidget(lbl2, 1, 0);
    grid->addWidget(edtNewPassword, 1, 1);
    grid->addWidget(lbl3, 2, 0);
    grid->addWidget(edtNewPassword2, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, guard.wrap([this] { btnOKClick(); }));
    // A cancel button that does nothing would only puzzle; it closes the dialog.
    connect(btnCancel, &QPushButton::clicked, this, [this] { CloseModal(mrCancel); });
}

void TfrmPasswordSet::btnOKClick()
{
    const QString stored =
        ReadEncryptedString(ConfigFilePath(), LibraryPasswordSection, LibraryPasswordKey, QString());
    if (edtOldPassword->text() != stored) {
        ErrorBox(tr("密码不正确，请重新输入。"));
        edtOldPassword->clear();
        edtOldPassword->setFocus();
        return;
    }
    if (edtNewPassword2->text() != edtNewPassword->text()) {
        WarningBox(tr("新密码不一致。"));
        return;
    }
    if (edtNewPassword->text().isEmpty()) {
        WarningBox(tr("新密码不能为空。"));
        return;
    }
    WriteEncryptedString(ConfigFilePath(), LibraryPasswordSection, LibraryPasswordKey, edtNewPassword->text());
}

void ShowPasswordSet(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* owner,
                     const QString& caption)
{
    TfrmPasswordSet dialog(boxes, guard, owner);
    if (!caption.isEmpty())
        dialog.setWindowTitle(caption);
    dialog.ShowModal();
}
