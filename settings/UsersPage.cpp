#include "settings/UsersPage.h"

#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportView.h"
#include "settings/UserFile.h"
#include "storage/TaskFile.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int RightsRole = Qt::UserRole;

enum Column { ColumnName, ColumnPassword, ColumnGroupNumber, ColumnGroupName };

const QStringList GroupNames = {QStringLiteral("管理员"), QStringLiteral("普通用户")};
const QStringList RightNames = {QStringLiteral("定时时间列表"), QStringLiteral("音频库"),
                                QStringLiteral("设置"), QStringLiteral("权限")};

// Combo position of a stored group number; -1 for anything that names no group.
int GroupIndexOf(const QString& number)
{
    const std::optional<int> n = ReadWholeNumber(number);
    return n && *n >= 1 && *n <= GroupNames.size() ? *n - 1 : -1;
}

} // namespace

UsersPage::UsersPage(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent)
    : QWidget(parent), m_boxes(boxes), m_guard(guard)
{
    lvUserList = new QTreeWidget(this);
    MakeReportView(lvUserList, QStringLiteral("用户列表"), true);
    lvUserList->setUniformRowHeights(true);
    lvUserList->setHeaderLabels(
        {QStringLiteral("用户名"), QStringLiteral("密码"), QString(), QStringLiteral("组别")});
    lvUserList->header()->setSectionsClickable(false);
    lvUserList->header()->setSectionsMovable(false);
    // The group number column is there for the rows' sake, not to be read.
    lvUserList->header()->setMinimumSectionSize(1);
    lvUserList->setColumnWidth(ColumnName, 160);
    lvUserList->setColumnWidth(ColumnPassword, 160);
    lvUserList->setColumnWidth(ColumnGroupNumber, 1);
    lvUserList->setColumnWidth(ColumnGroupName, 100);
    lvUserList->viewport()->installEventFilter(this);

    grpUserInfo = new QGroupBox(QStringLiteral("用户信息"), this);
    edtUserName = new QLineEdit(grpUserInfo);
    edtPassword = new QLineEdit(grpUserInfo);
    edtPassword->setEchoMode(QLineEdit::Password);
    // "*" whatever the style's own mask character.
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    cbbGroupType = new QComboBox(grpUserInfo);
    cbbGroupType->addItems(GroupNames);
    cbbGroupType->setCurrentIndex(-1);
    lblUserName = new QLabel(QStringLiteral("用户名"), grpUserInfo);
    lblPassword = new QLabel(QStringLiteral("密码"), grpUserInfo);
    lblGroupType = new QLabel(QStringLiteral("组别"), grpUserInfo);
    lblUserName->setBuddy(edtUserName);
    lblPassword->setBuddy(edtPassword);
    lblGroupType->setBuddy(cbbGroupType);
    auto* info = new QGridLayout(grpUserInfo);
    info->addWidget(lblUserName, 0, 0);
    info->addWidget(edtUserName, 0, 1);
    info->addWidget(lblPassword, 1, 0);
    info->addWidget(edtPassword, 1, 1);
    info->addWidget(lblGroupType, 2, 0);
    info->addWidget(cbbGroupType, 2, 1);

    pgcPurview = new QTabWidget(this);
    tsPurviewSet = new QWidget;
    lstchklst1 = new QListWidget(tsPurviewSet);
    lstchklst1->setAccessibleName(QStringLiteral("权限设置"));
    for (const QString& right : RightNames) {
        auto* item = new QListWidgetItem(right, lstchklst1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* rights = new QVBoxLayout(tsPurviewSet);
    rights->setContentsMargins(4, 4, 4, 4);
    rights->addWidget(lstchklst1);
    pgcPurview->addTab(tsPurviewSet, QStringLiteral("权限设置"));

    btnUserAdd = new QPushButton(QStringLiteral("添加"), this);
    btnUserEdit = new QPushButton(QStringLiteral("修改"), this);
    btnUserDel = new QPushButton(QStringLiteral("删除"), this);
    btnUserSave = new QPushButton(QStringLiteral("保存"), this);
    btnUserSave->hide();
    btnUserCancel = new QPushButton(QStringLiteral("取消"), this);
    auto* commands = new QHBoxLayout;
    commands->addWidget(btnUserAdd);
    commands->addWidget(btnUserEdit);
    commands->addWidget(btnUserDel);
    commands->addWidget(btnUserSave);
    commands->addWidget(btnUserCancel);

    auto* side = new QVBoxLayout;
    side->addWidget(grpUserInfo);
    side->addWidget(pgcPurview, 1);
    side->addLayout(commands);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lvUserList, 1);
    layout->addLayout(side);

    setEditing(false);

    connect(btnUserAdd, &QPushButton::clicked, this, guard.wrap([this] { btnUserAddClick(); }));
    connect(btnUserEdit, &QPushButton::clicked, this, guard.wrap([this] { btnUserEditClick(); }));
    connect(btnUserDel, &QPushButton::clicked, this, guard.wrap([this] { btnUserDelClick(); }));
    connect(btnUserSave, &QPushButton::clicked, this, guard.wrap([this] { btnUserSaveClick(); }));
    connect(btnUserCancel, &QPushButton::clicked, this,
            guard.wrap([this] { btnUserCancelClick(); }));
}

bool UsersPage::eventFilter(QObject* watched, QEvent* event)
{
    // Every click on the list counts, also one beside the rows: the focused row is loaded again.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        watched == lvUserList->viewport())
        m_guard.run([this] { lvUserListClick(); });
    return QWidget::eventFilter(watched, event);
}

void UsersPage::setEditing(bool editing)
{
    btnUserAdd->setEnabled(!editing);
    btnUserEdit->setEnabled(!editing);
    btnUserDel->setEnabled(!editing);
    btnUserSave->setEnabled(editing);
    btnUserCancel->setEnabled(editing);
    grpUserInfo->setEnabled(editing);
    pgcPurview->setEnabled(editing);
}

QString UsersPage::rightsText() const
{
    QString text;
    for (int i = 0; i < lstchklst1->count(); ++i)
        text += lstchklst1->item(i)->checkState() == Qt::Checked ? u'1' : u'0';
    return text;
}

void UsersPage::LoadUsers()
{
    lvUserList->clear();
    QList<QTreeWidgetItem*> rows;
    for (const UserRecord& user : ReadUsers()) {
        const QString groupName = user.group == u"1" ? GroupNames[0] : GroupNames[1];
        auto* row = new QTreeWidgetItem({user.name, user.password, user.group, groupName});
        row->setData(ColumnName, RightsRole, user.rights);
        rows.append(row);
    }
    lvUserList->addTopLevelItems(rows);
}

void UsersPage::lvUserListClick()
{
    const QTreeWidgetItem* row = lvUserList->currentItem();
    if (!row)
        return;
    edtUserName->setText(row->text(ColumnName));
    edtPassword->setText(row->text(ColumnPassword));
    cbbGroupType->setCurrentIndex(GroupIndexOf(row->text(ColumnGroupNumber)));
    const QString rights = row->data(ColumnName, RightsRole).toString();
    for (int i = 0; i < lstchklst1->count(); ++i)
        lstchklst1->item(i)->setCheckState(i < rights.size() && rights[i] == u'1' ? Qt::Checked
                                                                                  : Qt::Unchecked);
}

void UsersPage::btnUserAddClick()
{
    for (int i = 0; i < lstchklst1->count(); ++i)
        lstchklst1->item(i)->setCheckState(Qt::Unchecked);
    UserEditMode = 1;
    edtUserName->clear();
    edtPassword->clear();
    cbbGroupType->setCurrentIndex(-1);
    setEditing(true);
}

void UsersPage::btnUserEditClick()
{
    if (!lvUserList->currentItem()) {
        m_boxes.WarningBox(this, QStringLiteral("请选择需要修改的用户。"));
        return;
    }
    UserEditMode = 2;
    setEditing(true);
}

void UsersPage::btnUserSaveClick()
{
    const QString name = edtUserName->text().trimmed();
    if (name.isEmpty()) {
        m_boxes.WarningBox(this, QStringLiteral("用户名不能为空，请重新填写"));
        return;
    }
    if (cbbGroupType->currentIndex() < 0) {
        m_boxes.WarningBox(this, QStringLiteral("组别不能为空"));
        return;
    }
    // Looked up under the name the record is written under: " bob " would otherwise miss "bob"
    // and silently overwrite that user.
    if (UserEditMode == 1 && UserExists(name)) {
        m_boxes.WarningBox(this, QStringLiteral("该用户名已存在，请重新填写"));
        return;
    }
    const UserRecord user{name, edtPassword->text(), QString::number(cbbGroupType->currentIndex() + 1),
                          rightsText()};
    // A refused write raises here, and the page stays as it is so that nothing typed is lost.
    WriteUser(user);
    LoadUsers();
    setEditing(false);
}

void UsersPage::btnUserCancelClick()
{
    setEditing(false);
}

void UsersPage::btnUserDelClick()
{
    const QTreeWidgetItem* row = lvUserList->currentItem();
    if (!row) {
        m_boxes.WarningBox(this, QStringLiteral("请选择要删除的用户。"));
        return;
    }
    if (!m_boxes.ConfirmBox(this, QStringLiteral("确定要删除么？")))
        return;
    DeleteUser(row->text(ColumnName));
    LoadUsers();
}
