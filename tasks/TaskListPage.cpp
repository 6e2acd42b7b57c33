#include "tasks/TaskListPage.h"

#include "storage/ProgramData.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportView.h"
#include "storage/IniStore.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"
#include "tasks/TaskListView.h"
#include "tasks/uTaskSet.h"

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
constexpr int ColumnHoliday = 7;

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

TaskListPage::TaskListPage(ProgramData& data, IMessageBoxes& boxes, const IClock& clock, const HandlerGuard& guard,
                           QWidget* parent)
    : QWidget(parent),
      m_data(data),
      m_boxes(boxes),
      m_clock(clock),
      m_guard(guard)
{
    buildPage();
    wireCommands();
}

void TaskListPage::buildPage()
{
    tlbTimeList = new QToolBar(this);
    tlbTimeList->setIconSize(QSize(32, 32));
    tlbTimeList->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The action's text is its menu caption; the toolbar shows the icon with the hint.
    auto addAction = [this](QStyle::StandardPixmap icon, const QString& caption, const QString& hint) {
        QAction* a = tlbTimeList->addAction(style()->standardIcon(icon), caption);
        a->setToolTip(hint);
        return a;
    };
    actAddTask = addAction(QStyle::SP_FileDialogNewFolder, QStringLiteral("添加定时任务"),
                           QStringLiteral("添加任务"));
    actEditTask = addAction(QStyle::SP_FileDialogDetailedView, QStringLiteral("修改定时任务"),
                            QStringLiteral("修改任务"));
    actDeleteTask = addAction(QStyle::SP_TrashIcon, QStringLiteral("删除定时任务"),
                              QStringLiteral("删除任务"));
    tlbTimeList->addSeparator();
    actVaildTask = addAction(QStyle::SP_DialogApplyButton, QStringLiteral("禁止该任务"),
                             QStringLiteral("启用/禁用任务"));
    actClearVaildTask = addAction(QStyle::SP_DialogDiscardButton, QStringLiteral("清除所有禁止的任务"),
                                  QStringLiteral("清除所有禁用任务"));
    tlbTimeList->addSeparator();
    actClearAllTask = addAction(QStyle::SP_DialogResetButton, QStringLiteral("清除所有任务"),
                                QStringLiteral("清除所有任务"));

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
    static_assert(std::size(kColumns) == TaskListColumns);
    for (int i = 0; i < int(std::size(kColumns)); ++i)
        lvMusicTime->setColumnWidth(i, kColumns[i].width);
    // The stored flag means "play on holidays too", which the caption alone does not say.
    lvMusicTime->headerItem()->setToolTip(ColumnHoliday, QStringLiteral("是：不受节假日设置影响，节假日照常播放"));

    pmTimeList = new QMenu(this);
    pmTimeList->addAction(actAddTask);
    pmTimeList->addAction(actEditTask);
    pmTimeList->addAction(actDeleteTask);
    pmTimeList->addSeparator();
    pmTimeList->addAction(actVaildTask);
    pmTimeList->addAction(actClearVaildTask);
    pmTimeList->addAction(actClearAllTask);

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

void TaskListPage::wireCommands()
{
    auto on = [this](QAction* action, void (TaskListPage::*handler)()) {
        connect(action, &QAction::triggered, this, m_guard.wrap([this, handler] { (this->*handler)(); }));
    };
    on(actAddTask, &TaskListPage::actAddTaskExecute);
    on(actEditTask, &TaskListPage::actEditTaskExecute);
    on(actDeleteTask, &TaskListPage::actDeleteTaskExecute);
    on(actVaildTask, &TaskListPage::actVaildTaskExecute);
    on(actClearVaildTask, &TaskListPage::actClearVaildTaskExecute);
    on(actClearAllTask, &TaskListPage::actClearAllTaskExecute);
    connect(lvMusicTime, &QTreeWidget::itemDoubleClicked, this,
            m_guard.wrap([this] { actEditTaskExecute(); }));
    connect(pmTimeList, &QMenu::aboutToShow, this, m_guard.wrap([this] { pmTimeListPopup(); }));
    connect(lvMusicTime, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        pmTimeList->exec(lvMusicTime->viewport()->mapToGlobal(pos));
    });
    connect(lvMusicTime, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        // The whole row takes its new colour, not only the cell whose box changed.
        lvMusicTime->viewport()->update();
        if (column == 0 && !m_settingCheck)
            m_guard.run([this, item] { lvMusicTimeCheckChanged(item); });
    });
    connect(lvMusicTime->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_guard.run([this, column] { lvMusicTimeColumnClick(column); }); });
}

TaskListItem* TaskListPage::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = lvMusicTime->selectedItems();
    return selected.isEmpty() ? nullptr : static_cast<TaskListItem*>(selected.first());
}

void TaskListPage::rereadSchedule()
{
    m_data.loadTimetable();
}

void TaskListPage::refresh()
{
    rereadSchedule();
    const QStringList messages = ReadTaskList(*lvMusicTime, TaskFilePath(), m_data.LibraryList());
    SortAscending = !SortAscending;
    SortTaskRows(*lvMusicTime, SortColumn);
    SortAscending = !SortAscending;
    // Reported once the list is whole and in its order.
    if (!messages.isEmpty())
        throw ConversionError(messages.join(u'\n'));
}

bool TaskListPage::editAndSave(const QString& caption, const std::function<void(TfrmTaskSet&)>& fill,
                               QString& savedKey)
{
    TfrmTaskSet dialog(m_boxes, m_guard, m_clock, window());
    dialog.setWindowTitle(caption);
    fill(dialog);
    if (dialog.ShowModal() != TfrmTaskSet::mrOk)
        return false;

    // Every value is taken before anything is written.
    TaskEntry entry;
    entry.Enabled = true;
    entry.HolidayFlag = dialog.ExcludeHolidays() ? 1 : 0;
    for (const QString& line : dialog.MusicLines())
        entry.MusicKeys << LineName(line);
    entry.LoopCount = dialog.LoopCount();
    entry.SourceType = dialog.SourceType;
    entry.PlayMode = dialog.PlayMode();
    entry.DateType = dialog.DateType();
    entry.DateParams = dialog.DateParams();
    entry.PlayLength = dialog.PlayLength();
    entry.EndTime = dialog.EndTime();
    savedKey = dialog.StartTime();

    changeTaskFile([&] {
        const QString taskFile = TaskFilePath();
        WriteIniStringChecked(taskFile, TimeSection, savedKey, FormatTimeValue(entry));
        WriteIniStringChecked(taskFile, TimeParamsSection, savedKey, FormatTimeParamsValue(entry));
    });
    return true;
}

void TaskListPage::changeTaskFile(const std::function<void()>& change)
{
    try {
        change();
    } catch (const FileError&) {
        // What the file holds now, part of the change or none of it, is what the list shows.
        refresh();
        throw;
    }
}

void TaskListPage::actAddTaskExecute()
{
    QString key;
    const bool saved = editAndSave(QStringLiteral("新增定时任务"), [this](TfrmTaskSet& d) {
        d.DialogMode = TfrmTaskSet::AddMode;
        d.setStartTime(FormatTimeText(m_clock.now().addSecs(15).time()));
        d.setEndTime(QStringLiteral("00:00:00"));
        d.setLoopCount(1);
        d.setPlayLength(0);
        d.LoadTaskMusic(false);
        d.setPlayMode(1);
        d.setDateType(0);
        d.setExcludeHolidays(false);
        d.SourceType = 1;
    }, key);
    if (saved)
        refresh();
}

void TaskListPage::actEditTaskExecute()
{
    TaskListItem* row = selectedRow();
    if (!row) {
        m_boxes.WarningBox(window(), QStringLiteral("请选择要修改的定时任务"));
        return;
    }
    const QString oldKey = row->text(0);
    // A task without parameters is edited with the values of a new one, at its time and with
    // the music its Time entry names.
    TTaskRecord rec{oldKey, 1, 1, 1, QString(), 0, QString(), QStringLiteral("00:00:00"), 0, false};
    const std::optional<TTaskRecord> record = row->record();
    const bool hasRecord = record.has_value();
    if (hasRecord)
        rec = *record;
    QString newKey;
    const bool saved = editAndSave(QStringLiteral("修改定时任务"), [&rec, hasRecord](TfrmTaskSet& d) {
        d.DialogMode = TfrmTaskSet::EditMode;
        d.setStartTime(rec.StartTime);
        d.setEndTime(rec.EndTime);
        d.setLoopCount(rec.LoopCount);
        d.setPlayLength(rec.PlayLength);
        d.LoadTaskMusic(!hasRecord || !rec.MusicText.isEmpty());
        d.setPlayMode(rec.PlayMode);
        d.setDateType(rec.DateType);
        d.setDateParams(rec.DateParams);
        d.setExcludeHolidays(rec.ExcludeHolidays);
        d.SourceType = rec.SourceType;
    }, newKey);
    if (!saved)
        return;
    // Written first, deleted second: an interrupted edit leaves the task twice, never lost.
    // Keys that the file takes as one (letter case) are the entry just written.
    if (newKey.compare(oldKey, Qt::CaseInsensitive) != 0)
        changeTaskFile([&] { DeleteTaskEntries(TaskFilePath(), oldKey); });
    refresh();
}

void TaskListPage::actDeleteTaskExecute()
{
    TaskListItem* row = selectedRow();
    if (!row) {
        m_boxes.MainErrorBox(window(), QStringLiteral("请选择要删除的定时时间！"));
        return;
    }
    // Taken before the question: a once-only task that starts while it is open removes its row.
    const QString key = row->text(0);
    if (!m_boxes.ConfirmBox(window(), QStringLiteral("确定要删除该时间段播放任务么？")))
        return;
    changeTaskFile([&] { DeleteTaskEntries(TaskFilePath(), key); });
    removeTaskRow(key);
    rereadSchedule();
}

void TaskListPage::actVaildTaskExecute()
{
    TaskListItem* row = selectedRow();
    if (!row)
        return;
    m_settingCheck = true;
    row->setCheckState(0, row->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    m_settingCheck = false;
    lvMusicTimeCheckChanged(row);
}

void TaskListPage::lvMusicTimeCheckChanged(QTreeWidgetItem* item)
{
    const QString taskFile = TaskFilePath();
    const QString key = item->text(0);
    QString value = ReadIniString(taskFile, TimeSection, key, QString());
    if (value.isEmpty()) {
        // The task left the file meanwhile (a once-only task that ran): nothing to change, and
        // the stale row goes. Later, since the row may be in the middle of its own change.
        QMetaObject::invokeMethod(this, [this] { m_guard.run([this] { refresh(); }); },
                                  Qt::QueuedConnection);
        return;
    }
    try {
        WriteIniStringChecked(taskFile, TimeSection, key,
                              WithEnabledFlag(value, item->checkState(0) == Qt::Checked));
    } catch (const FileError&) {
        // The box goes back to what the file holds; later, as the row is in its own change.
        QMetaObject::invokeMethod(this, [this] { m_guard.run([this] { refresh(); }); },
                                  Qt::QueuedConnection);
        throw;
    }
    rereadSchedule();
}

void TaskListPage::actClearVaildTaskExecute()
{
    if (!m_boxes.ConfirmBox(window(), QStringLiteral("确定清除所有已禁用的任务么？")))
        return;
    bool deleted = false;
    changeTaskFile([&] {
        for (int i = 0; i < lvMusicTime->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = lvMusicTime->topLevelItem(i);
            if (row->checkState(0) == Qt::Checked)
                continue;
            DeleteTaskEntries(TaskFilePath(), row->text(0));
            deleted = true;
        }
    });
    if (deleted)
        refresh();
}

void TaskListPage::actClearAllTaskExecute()
{
    if (!m_boxes.ConfirmBox(window(), QStringLiteral("确定要清空所有播放任务么？")))
        return;
    changeTaskFile([] {
        EraseIniSectionChecked(TaskFilePath(), TimeSection);
        EraseIniSectionChecked(TaskFilePath(), TimeParamsSection);
    });
    lvMusicTime->clear();
    rereadSchedule();
}

void TaskListPage::pmTimeListPopup()
{
    if (const TaskListItem* row = selectedRow())
        actVaildTask->setText(row->checkState(0) == Qt::Checked ? QStringLiteral("禁止该任务")
                                                                 : QStringLiteral("启用该任务"));
}

void TaskListPage::lvMusicTimeColumnClick(int column)
{
    SortTaskRows(*lvMusicTime, column);
    SortAscending = !SortAscending;
    SortColumn = column;
}
