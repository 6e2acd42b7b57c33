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

#include <iterator>

namespace {

constexpr int RightsRole = Qt::UserRole;

enum Column { ColumnName, ColumnPassword, ColumnGroupNumber, ColumnGroupName };

// By stored group number less one, and by position in the rights text. Looked up at each use:
// the catalogue is installed after start.
constexpr const char* GroupNames[] = {QT_TRANSLATE_NOOP("UsersPage", "管理员"),
                                      QT_TRANSLATE_NOOP("UsersPage", "普通用户")};
constexpr const char* RightNames[] = {QT_TRANSLATE_NOOP("UsersPage", "定时时间列表"),
                                      QT_TRANSLATE_NOOP("UsersPage", "音频库"),
                                      QT_TRANSLATE_NOOP("UsersPage", "设置"),
                                      QT_TRANSLATE_NOOP("UsersPage", "权限")};

// Combo position of a stored group number; -1 for anything that names no group.
int GroupIndexOf(const QString& number)
{
    const std::optional<int> n = ReadWholeNumber(number);
    return n && *n >= 1 && *n <= int(std::size(GroupNames)) ? *n - 1 : -1;
}

} // namespace

UsersPage::UsersPage(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent)
    : QWidget(parent), m_boxes(boxes), m_guard(guard)
{
    lvUserList = new QTreeWidget(this);
    MakeReportView(lvUserList, tr("用户列表"), true);
    lvUserList->setUniformRowHeights(true);
    lvUserList->setHeaderLabels({tr("用户名"), tr("密码"), QString(), tr("组别")});
    lvUserList->header()->setSectionsClickable(false);
    lvUserList->header()->setSectionsMovable(false);
    // The group number column is there for the rows' sake, not to be read.
    lvUserList->header()->setMinimumSectionSize(1);
    lvUserList->setColumnWidth(ColumnName, 160);
    lvUserList->setColumnWidth(ColumnPassword, 160);
    lvUserList->setColumnWidth(ColumnGroupNumber, 1);
    lvUserList->setColumnWidth(ColumnGroupName, 100);
    lvUserList->viewport()->installEventFilter(this);

    grpUserInfo = new QGroupBox(tr("用户信息"), this);
    edtUserName = new QLineEdit(grpUserInfo);
    edtPassword = new QLineEdit(grpUserInfo);
    edtPassword->setEchoMode(QLineEdit::Password);
    // "*" whatever the style's own mask character.
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    cbbGroupType = new QComboBox(grpUserInfo);
    for (const char* group : GroupNames)
        cbbGroupType->addItem(tr(group));
    cbbGroupType->setCurrentIndex(-1);
    lblUserName = new QLabel(tr("用户名"), grpUserInfo);
    lblPassword = new QLabel(tr("密码"), grpUserInfo);
    lblGroupType = new QLabel(tr("组别"), grpUserInfo);
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
    lstchklst1->setAccessibleName(tr("权限设置"));
    for (const char* right : RightNames) {
        auto* item = new QListWidgetItem(tr(right), lstchklst1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* rights = new QVBoxLayout(tsPurviewSet);
    rights->setContentsMargins(4, 4, 4, 4);
    rights->addWidget(lstchklst1);
    pgcPurview->addTab(tsPurviewSet, tr("权限设置"));

    btnUserAdd = new QPushButton(tr("添加"), this);
    btnUserEdit = new QPushButton(tr("修改"), this);
    btnUserDel = new QPushButton(tr("删除"), this);
    btnUserSave = new QPushButton(tr("保存"), this);
    btnUserSave->hide();
    btnUserCancel = new QPushButton(tr("取消"), this);
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
        const QString groupName = tr(user.group == u"1" ? GroupNames[0] : GroupNames[1]);
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
        m_boxes.WarningBox(this, tr("请选择需要修改的用户。"));
        return;
    }
    UserEditMode = 2;
    setEditing(true);
}

void UsersPage::btnUserSaveClick()
{
    const QString name = edtUserName->text().trimmed();
    if (name.isEmpty()) {
        m_boxes.WarningBox(this, tr("用户名不能为空，请重新填写"));
        return;
    }
    if (cbbGroupType->currentIndex() < 0) {
        m_boxes.WarningBox(this, tr("组别不能为空"));
        return;
    }
    // Looked up under the name the record is written under: " bob " would otherwise miss "bob"
    // and silently overwrite that user.
    if (UserEditMode == 1 && UserExists(name)) {
        m_boxes.WarningBox(this, tr("该用户名已存在，请重新填写"));
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
        m_boxes.WarningBox(this, tr("请选择要删除的用户。"));
        return;
    }
    if (!m_boxes.ConfirmBox(this, tr("确定要删除么？")))
        return;
    DeleteUser(row->text(ColumnName));
    LoadUsers();
}
