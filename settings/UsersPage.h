#pragma once
// The users and rights page: the users of user.dat, section UserList, one enciphered record
// per user under the trimmed user name.
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QWidget>

class HandlerGuard;
class IMessageBoxes;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;

class UsersPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(UsersPage)

public:
    UsersPage(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent = nullptr);

    void LoadUsers();
    void lvUserListClick();
    void btnUserAddClick();
    void btnUserEditClick();
    void btnUserSaveClick();
    void btnUserCancelClick();
    void btnUserDelClick();

    QTreeWidget* lvUserList;
    QGroupBox* grpUserInfo;
    QLabel* lblUserName;
    QLabel* lblPassword;
    QLabel* lblGroupType;
    QLineEdit* edtUserName;
    QLineEdit* edtPassword;
    QComboBox* cbbGroupType;
    QTabWidget* pgcPurview;
    QWidget* tsPurviewSet;
    QListWidget* lstchklst1;
    QPushButton* btnUserAdd;
    QPushButton* btnUserEdit;
    QPushButton* btnUserDel;
    // Never shown, but wired: the page saves through it.
    QPushButton* btnUserSave;
    QPushButton* btnUserCancel;
    // 0 idle, 1 adding, 2 editing.
    int UserEditMode = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setEditing(bool editing);
    QString rightsText() const;

    IMessageBoxes& m_boxes;
    const HandlerGuard& m_guard;
};
