#pragma once
// The users and rights page: the users of user.dat, section UserList, one enciphered record
// per user under the trimmed user name.
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

// One user as user.dat keeps it.
struct UserRecord {
    QString name;
    QString password;
    QString group;  // "1" 管理员, "2" 普通用户
    QString rights; // one "1"/"0" per right, in the order of the rights list
};

// The text that is enciphered: name, password, group and rights, each line ended by CR LF;
// the rights are padded with "0" to 50 characters.
QString FormatUserRecord(const UserRecord& record);
// Reads the lines of a deciphered record (CR LF or a bare LF); false when it has fewer than four.
// The name comes from the key, so line 1 is not read back.
bool ParseUserRecord(const QString& text, UserRecord& record);

class UsersPage : public QWidget {
public:
    UsersPage(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent = nullptr);

    void LoadUsers();
    void lvUserListClick();
    void btnUserAddClick();
    void btnUserEditClick();
    void btnUserSaveClick();
    void btnUserCancelClick();
    void btnUserDelClick();

    // Full path of user.dat in the application directory, formed anew at each call.
    static QString UserFilePath();

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
