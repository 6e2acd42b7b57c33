#include "tasks/TaskListPage.h"

#include "platform/ReportView.h"

#include <QTreeWidgetItem>

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
struct Column {
    const char16_t* caption;
    int width;
};
constexpr Column kColumns[] = {
    {u"时间", 90},     {u"歌曲铃声", 260},   {u"循环次数", 60},          {u"类型", 70},
    {u"播放方式", 60}, {u"播放日类型", 72}, {u"播放日类型具体参数", 120}, {u"排除节假日", 72},
    {u"播放时长", 70}, {u"结束时间", 70},
};
} // namespace

namespace {

// Row colours, decided whenever a row is drawn: a disabled task in red text, the playing
// task on green, the others on white; the selection is drawn over them as usual.
class TaskRowDelegate : public GridLineDelegate {
public:
    explicit TaskRowDelegate(TaskListPage* page) : GridLineDelegate(page), m_page(page) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        GridLineDelegate::initStyleOption(option, index);
        const QModelIndex first = index.siblingAtColumn(0);
        if (first.data(Qt::CheckStateRole).toInt() != Qt::Checked) {
            option->palette.setColor(QPalette::Text, QColor(255, 0, 0));
            return;
        }
        const QString current = m_page->currentTaskKey();
        const bool playing = !current.isEmpty() && first.data().toString() == current;
        option->backgroundBrush = playing ? QColor(0, 128, 0) : QColor(255, 255, 255);
    }

private:
    TaskListPage* m_page;
};

} // namespace

TaskListPage::TaskListPage(QWidget* parent) : QWidget(parent)
{
    tlbTimeList = new QToolBar(this);
    tlbTimeList->setIconSize(QSize(32, 32));
    tlbTimeList->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto addAction = [this](QStyle::StandardPixmap icon, const QString& hint) {
        QAction* a = tlbTimeList->addAction(style()->standardIcon(icon), hint);
        a->setToolTip(hint);
        return a;
    };
    actAddTask = addAction(QStyle::SP_FileDialogNewFolder, QStringLiteral("添加任务"));
    actEditTask = addAction(QStyle::SP_FileDialogDetailedView, QStringLiteral("修改任务"));
    actDeleteTask = addAction(QStyle::SP_TrashIcon, QStringLiteral("删除任务"));
    tlbTimeList->addSeparator();
    actVaildTask = addAction(QStyle::SP_DialogApplyButton, QStringLiteral("启用/禁用任务"));
    actClearVaildTask = addAction(QStyle::SP_DialogDiscardButton, QStringLiteral("清除所有禁用任务"));
    tlbTimeList->addSeparator();
    actClearAllTask = addAction(QStyle::SP_DialogResetButton, QStringLiteral("清除所有任务"));

    lvMusicTime = new QTreeWidget(this);
    MakeReportView(lvMusicTime, QStringLiteral("定时时间列表"), true);
    lvMusicTime->setUniformRowHeights(true);
    lvMusicTime->setContextMenuPolicy(Qt::CustomContextMenu);
    QStringList captions;
    for (const Column& c : kColumns)
        captions << QString::fromUtf16(c.caption);
    lvMusicTime->setHeaderLabels(captions);
    lvMusicTime->header()->setSectionsClickable(true);
    lvMusicTime->header()->setStretchLastSection(false);
    for (int i = 0; i < int(std::size(kColumns)); ++i)
        lvMusicTime->setColumnWidth(i, kColumns[i].width);

    pmTimeList = new QMenu(this);
    pmTimeList->addAction(actAddTask);
    pmTimeList->addAction(actEditTask);
    pmTimeList->addAction(actDeleteTask);
    pmTimeList->addSeparator();
    pmTimeList->addAction(actVaildTask);

    grpMusicProcess = new QGroupBox(QStringLiteral("当前任务播放控制"), this);
    trbMusicProcess = new QSlider(Qt::Horizontal, grpMusicProcess);
    trbMusicProcess->setAccessibleName(QStringLiteral("播放进度"));
    trbMusicProcess->setRange(0, 0);
    btnPlay = new QPushButton(QStringLiteral("播放"), grpMusicProcess);
    btnPasue = new QPushButton(QStringLiteral("暂停"), grpMusicProcess);
    btnChangeMusic = new QPushButton(QStringLiteral("切歌"), grpMusicProcess);
    btnStop = new QPushButton(QStringLiteral("停止"), grpMusicProcess);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btnPlay, btnPasue, btnChangeMusic, btnStop})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* group = new QVBoxLayout(grpMusicProcess);
    group->addWidget(trbMusicProcess);
    group->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tlbTimeList);
    layout->addWidget(lvMusicTime, 1);
    layout->addWidget(grpMusicProcess);

    lvMusicTime->setItemDelegate(new TaskRowDelegate(this));
    for (QPushButton* b : {btnPasue, btnChangeMusic, btnStop})
        b->setEnabled(false);
}

void TaskListPage::setCurrentTaskKeySource(std::function<QString()> source)
{
    m_currentTaskKey = std::move(source);
    lvMusicTime->viewport()->update();
}

QString TaskListPage::selectedTaskKey() const
{
    const QList<QTreeWidgetItem*> selected = lvMusicTime->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

void TaskListPage::removeTaskRow(const QString& caption)
{
    for (int i = 0; i < lvMusicTime->topLevelItemCount(); ++i)
        if (lvMusicTime->topLevelItem(i)->text(0) == caption) {
            delete lvMusicTime->takeTopLevelItem(i);
            return;
        }
}
