#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>

void IMessageBoxes::ErrorBox(QWidget* owner, const QString& text)
{
    show(owner, QCoreApplication::translate("MessageBoxes", "错误！"), text, BoxIcon::Error, BoxButtons::Ok);
}

bool IMessageBoxes::ConfirmBox(QWidget* owner, const QString& text)
{
    return show(owner, QCoreApplication::translate("MessageBoxes", "提示！"), text, BoxIcon::Question,
                BoxButtons::OkCancel) ==
           BoxAnswer::Ok;
}

void IMessageBoxes::WarningBox(QWidget* owner, const QString& text)
{
    show(owner, QCoreApplication::translate("MessageBoxes", "警告！"), text, BoxIcon::Warning, BoxButtons::Ok);
}

void IMessageBoxes::MainErrorBox(QWidget* owner, const QString& text)
{
    show(owner, QCoreApplication::translate("MessageBoxes", "错误"), text, BoxIcon::Error, BoxButtons::Ok);
}

BoxAnswer QtMessageBoxes::show(QWidget* owner, const QString& caption, const QString& text,
                               BoxIcon icon, BoxButtons buttons)
{
    QMessageBox::Icon qtIcon = QMessageBox::Critical;
    switch (icon) {
    case BoxIcon::Error: qtIcon = QMessageBox::Critical; break;
    case BoxIcon::Question: qtIcon = QMessageBox::Question; break;
    case BoxIcon::Warning: qtIcon = QMessageBox::Warning; break;
    case BoxIcon::Information: qtIcon = QMessageBox::Information; break;
    }
    QMessageBox box(qtIcon, caption, text,
                    buttons == BoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                    : QMessageBox::Ok,
                    owner);
    box.setWindowModality(Qt::ApplicationModal);
    if (buttons == BoxButtons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    box.setButtonText(QMessageBox::Ok, QCoreApplication::translate("MessageBoxes", "确定"));
    if (buttons == BoxButtons::OkCancel)
        box.setButtonText(QMessageBox::Cancel, QCoreApplication::translate("MessageBoxes", "取消"));
    return box.exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
}
