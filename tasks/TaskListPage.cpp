#include "tasks/TaskListPage.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportView.h"
#include "storage/ProgramData.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"
#include "storage/Timetable.h"
#include "tasks/DayView.h"
#include "tasks/PeriodTimetableDialog.h"
#include "tasks/RingNowDialog.h"
#include "tasks/TaskTableModel.h"
#include "tasks/TypedFields.h"
#include "tasks/uTaskSet.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
constexpr int kColumnWidths[] = {90, 260, 60, 70, 60, 72, 120, 72, 70, 70};
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

TaskListPage::TaskListPage(ProgramData& data, IMessageBoxes& boxes, const IClock& clock,
                           const HandlerGuard& guard, QWidget* parent)
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
    actAddTask = addAction(QStyle::SP_FileDialogNewFolder, tr("添加定时任务"),
                           tr("添加任务"));
    actEditTask = addAction(QStyle::SP_FileDialogDetailedView, tr("修改定时任务"),
                            tr("修改任务"));
    actCopyTask = addAction(QStyle::SP_FileDialogStart, tr("复制定时任务"),
                            tr("复制任务到另一开始时间"));
    actDeleteTask = addAction(QStyle::SP_TrashIcon, tr("删除定时任务"),
                              tr("删除任务"));
    tlbTimeList->addSeparator();
    actVaildTask = addAction(QStyle::SP_DialogApplyButton, tr("禁止该任务"),
                             tr("启用/禁用任务"));
    actClearVaildTask = addAction(QStyle::SP_DialogDiscardButton, tr("清除所有禁止的任务"),
                                  tr("清除所有禁用任务"));
    tlbTimeList->addSeparator();
    actClearAllTask = addAction(QStyle::SP_DialogResetButton, tr("清除所有任务"),
                                tr("清除所有任务"));
    tlbTimeList->addSeparator();
    // The quick way to a school day, so it says what it is beside its icon.
    actPeriodTimetable = addAction(QStyle::SP_FileDialogContentsView, tr("作息时间表"),
                                   tr("按节次设置上课铃、下课铃和预备铃"));
    tlbTimeList->addSeparator();
    // Rung by hand when there is no time to look for it: shown with its caption, and F9 from
    // every page (the main window takes the action too).
    actRingNow = addAction(QStyle::SP_MediaPlay, tr("立即响铃"),
                           tr("立即播放音频库中的一个铃声或音乐（F9）"));
    actRingNow->setShortcut(QKeySequence(Qt::Key_F9));
    for (QAction* a : {actPeriodTimetable, actRingNow})
        if (auto* button = qobject_cast<QToolButton*>(tlbTimeList->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    pgTimeList = new QTabWidget(this);
    lvMusicTime = new QTreeView(pgTimeList);
    MakeReportView(lvMusicTime, tr("定时时间列表"), true);
    lvMusicTime->setUniformRowHeights(true);
    lvMusicTime->setContextMenuPolicy(Qt::CustomContextMenu);
    m_model = new TaskTableModel(m_data, this);
    lvMusicTime->setModel(m_model);
    lvMusicTime->header()->setSectionsClickable(true);
    lvMusicTime->header()->setStretchLastSection(false);
    static_assert(std::size(kColumnWidths) == TaskListColumns);
    for (int i = 0; i < TaskListColumns; ++i)
        lvMusicTime->setColumnWidth(i, kColumnWidths[i]);

    dayView = new DayView(m_data, m_clock, pgTimeList);
    pgTimeList->addTab(lvMusicTime, tr("全部任务"));
    pgTimeList->addTab(dayView, tr("当日铃声"));

    // The selected task's commands first, those on the whole list after them.
    pmTimeList = new QMenu(this);
    pmTimeList->addAction(actEditTask);
    pmTimeList->addAction(actCopyTask);
    pmTimeList->addAction(actVaildTask);
    pmTimeList->addAction(actDeleteTask);
    pmTimeList->addSeparator();
    pmTimeList->addAction(actAddTask);
    pmTimeList->addAction(actClearVaildTask);
    pmTimeList->addAction(actClearAllTask);

    grpMusicProcess = new QGroupBox(tr("当前任务播放控制"), this);
    trbMusicProcess = new QSlider(Qt::Horizontal, grpMusicProcess);
    trbMusicProcess->setAccessibleName(tr("播放进度"));
    trbMusicProcess->setRange(0, 0);
    btnPlay = new QPushButton(tr("播放"), grpMusicProcess);
    btnPasue = new QPushButton(tr("暂停"), grpMusicProcess);
    btnChangeMusic = new QPushButton(tr("切歌"), grpMusicProcess);
    btnStop = new QPushButton(tr("停止"), grpMusicProcess);
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
    layout->addWidget(pgTimeList, 1);
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
    const Task* task = selectedTask();
    return task ? task->key : QString();
}

const Task* TaskListPage::selectedTask() const
{
    const QModelIndexList rows = lvMusicTime->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : m_model->taskAt(rows.first().row());
}

void TaskListPage::wireCommands()
{
    auto on = [this](QAction* action, void (TaskListPage::*handler)()) {
        connect(action, &QAction::triggered, this, m_guard.wrap([this, handler] { (this->*handler)(); }));
    };
    on(actAddTask, &TaskListPage::actAddTaskExecute);
    on(actEditTask, &TaskListPage::actEditTaskExecute);
    on(actCopyTask, &TaskListPage::actCopyTaskExecute);
    on(actDeleteTask, &TaskListPage::actDeleteTaskExecute);
    on(actVaildTask, &TaskListPage::actVaildTaskExecute);
    on(actClearVaildTask, &TaskListPage::actClearVaildTaskExecute);
    on(actClearAllTask, &TaskListPage::actClearAllTaskExecute);
    on(actPeriodTimetable, &TaskListPage::actPeriodTimetableExecute);
    on(actRingNow, &TaskListPage::actRingNowExecute);
    connect(lvMusicTime, &QTreeView::doubleClicked, this, m_guard.wrap([this] { actEditTaskExecute(); }));
    connect(pmTimeList, &QMenu::aboutToShow, this, m_guard.wrap([this] { pmTimeListPopup(); }));
    connect(lvMusicTime, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showTaskMenu(pos); });
    // Shift+F10 opens the menu as the Menu key does, where the system does not map it.
    lvMusicTime->installEventFilter(this);
    // A check box changed by a click or the keyboard.
    m_model->setEnabledWriter([this](const QString& key, bool enabled) {
        m_guard.run([&] { setTaskEnabled(key, enabled); });
    });
    connect(lvMusicTime->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_guard.run([this, column] { lvMusicTimeColumnClick(column); }); });
    // A command reloads the rows: the selected task stays selected (connected after the view,
    // which clears the selection first).
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_keptKey = selectedTaskKey(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        const int row = m_keptKey.isEmpty() ? -1 : m_model->rowOf(m_keptKey);
        if (row >= 0)
            lvMusicTime->setCurrentIndex(m_model->index(row, 0));
        m_keptKey.clear();
    });
}

void TaskListPage::reportUnlisted() const
{
    const QStringList& messages = m_data.timetable().messages();
    if (!messages.isEmpty())
        throw ConversionError(messages.join(u'\n'));
}

bool TaskListPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvMusicTime && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            const QModelIndex current = lvMusicTime->currentIndex();
            showTaskMenu(current.isValid() ? lvMusicTime->visualRect(current).center() : QPoint(0, 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TaskListPage::showTaskMenu(const QPoint& pos)
{
    // popup, not exec: no event loop of the menu's own runs inside the view's mouse handling,
    // so the click that closes the menu leaves the view ready for the next one.
    pmTimeList->popup(lvMusicTime->viewport()->mapToGlobal(pos));
}

bool TaskListPage::editAndSave(const QString& caption, const std::function<void(TfrmTaskSet&)>& fill,
                               const QString& replacedKey)
{
    TfrmTaskSet dialog(m_boxes, m_guard, m_clock, m_data, window());
    dialog.setWindowTitle(caption);
    fill(dialog);
    if (dialog.ShowModal() != TfrmTaskSet::mrOk)
        return false;

    // Every value is taken before anything is written.
    TaskEntry entry;
    entry.Enabled = true;
    // The stored flag says "holidays not consulted"; the box says the opposite.
    entry.HolidayFlag = dialog.ExcludeHolidays() ? 0 : 1;
    for (const QString& line : dialog.MusicLines())
        entry.MusicKeys << LineName(line);
    entry.LoopCount = dialog.LoopCount();
    entry.SourceType = dialog.SourceType;
    entry.PlayMode = dialog.PlayMode();
    entry.DateType = dialog.DateType();
    entry.DateParams = dialog.DateParams();
    entry.PlayLength = dialog.PlayLength();
    entry.EndTime = dialog.EndTime();
    m_data.saveTask(dialog.StartTime(), entry, dialog.sound(), dialog.zones(), replacedKey);
    return true;
}

void TaskListPage::actAddTaskExecute()
{
    const bool saved = editAndSave(tr("新增定时任务"), [this](TfrmTaskSet& d) {
        d.DialogMode = TfrmTaskSet::AddMode;
        d.setStartTime(FormatTimeText(m_clock.now().addSecs(15).time()));
        d.setEndTime(QStringLiteral("00:00:00"));
        d.setLoopCount(1);
        d.setPlayLength(0);
        d.LoadTaskMusic(false);
        d.setPlayMode(1);
        d.setDateType(0);
        // As new tasks always were: silent on holidays.
        d.setExcludeHolidays(true);
        d.SourceType = 1;
    });
    if (saved)
        reportUnlisted();
}

void TaskListPage::fillFromTask(TfrmTaskSet& d, const Task& task) const
{
    // A task without parameters is edited with the values of a new one, at its time and with
    // the music its Time entry names.
    TTaskRecord rec{task.key, 1, 1, 1, QString(), 0, QString(), QStringLiteral("00:00:00"), 0, false};
    const bool hasRecord = task.record().has_value();
    if (hasRecord) {
        rec = *task.record();
        // The end time as stored, also one before the start that the list does not show:
        // the editor then refuses it rather than dropping it unseen.
        const TaskEntryFields& fields = task.fields();
        if (fields.ParamCount() > EndTimeField && fields.ParamValid[EndTimeField])
            rec.EndTime = fields.Entry.EndTime;
    }
    d.setStartTime(rec.StartTime);
    d.setEndTime(rec.EndTime);
    d.setLoopCount(rec.LoopCount);
    d.setPlayLength(rec.PlayLength);
    d.LoadTaskMusic(!hasRecord || !rec.MusicText.isEmpty());
    d.setPlayMode(rec.PlayMode);
    d.setDateType(rec.DateType);
    d.setDateParams(rec.DateParams);
    // Without parameters the holiday flag is still the task's own.
    d.setExcludeHolidays(task.holidayInList() == 0);
    d.SourceType = rec.SourceType;
    d.setSound(task.sound());
    d.setZones(task.zones());
}

void TaskListPage::actEditTaskExecute()
{
    const Task* task = selectedTask();
    if (!task) {
        m_boxes.WarningBox(window(), tr("请选择要修改的定时任务"));
        return;
    }
    // Taken now: a once-only task that ends while the editor is open reloads the list.
    const QString oldKey = task->key;
    const Task copy = *task;
    // Written first, the old key deleted second: an interrupted edit leaves the task twice,
    // never lost.
    const bool saved = editAndSave(tr("修改定时任务"), [this, &copy](TfrmTaskSet& d) {
        d.DialogMode = TfrmTaskSet::EditMode;
        fillFromTask(d, copy);
    }, oldKey);
    if (saved)
        reportUnlisted();
}

void TaskListPage::actCopyTaskExecute()
{
    const Task* task = selectedTask();
    if (!task) {
        m_boxes.WarningBox(window(), tr("请选择要复制的定时任务"));
        return;
    }
    const Task copy = *task;
    // The first second after the task's own that no task holds, so saving replaces nothing.
    QSet<int> taken;
    for (const Task& t : m_data.timetable().tasks())
        taken.insert(t.second);
    int second = copy.second < 0 ? 0 : copy.second;
    for (int i = 0; i < 86400 && taken.contains(second); ++i)
        second = (second + 1) % 86400;
    const QTime proposed = QTime(0, 0).addSecs(second);
    const bool saved = editAndSave(tr("复制定时任务"), [this, &copy, proposed](TfrmTaskSet& d) {
        fillFromTask(d, copy);
        d.DialogMode = TfrmTaskSet::AddMode;
        d.dtpTime->setTime(proposed);
    });
    if (saved)
        reportUnlisted();
}

void TaskListPage::actDeleteTaskExecute()
{
    const Task* task = selectedTask();
    if (!task) {
        m_boxes.MainErrorBox(window(), tr("请选择要删除的定时时间！"));
        return;
    }
    // Taken before the question: a once-only task that ends while it is open removes its row.
    const QString key = task->key;
    if (!m_boxes.ConfirmBox(window(), tr("确定要删除该时间段播放任务么？")))
        return;
    m_data.deleteTask(key);
}

void TaskListPage::actVaildTaskExecute()
{
    if (const Task* task = selectedTask())
        setTaskEnabled(task->key, !task->enabledInList());
}

void TaskListPage::setTaskEnabled(const QString& key, bool enabled)
{
    // A task that left the file meanwhile (a once-only task that ran) changes nothing; the
    // list then shows the file again.
    if (!m_data.setTaskEnabled(key, enabled))
        reportUnlisted();
}

void TaskListPage::actClearVaildTaskExecute()
{
    if (!m_boxes.ConfirmBox(window(), tr("确定清除所有已禁用的任务么？")))
        return;
    if (m_data.clearDisabledTasks())
        reportUnlisted();
}

void TaskListPage::actClearAllTaskExecute()
{
    if (!m_boxes.ConfirmBox(window(), tr("确定要清空所有播放任务么？")))
        return;
    m_data.clearAllTasks();
}

void TaskListPage::pmTimeListPopup()
{
    if (const Task* task = selectedTask())
        actVaildTask->setText(task->enabledInList() ? tr("禁止该任务")
                                                  : tr("启用该任务"));
}

void TaskListPage::lvMusicTimeColumnClick(int column)
{
    m_model->sortByColumn(column);
}

void TaskListPage::actPeriodTimetableExecute()
{
    PeriodTimetableDialog dialog(m_data, m_boxes, m_clock, this);
    dialog.exec();
}

void TaskListPage::actRingNowExecute()
{
    if (m_data.LibraryList().isEmpty()) {
        m_boxes.WarningBox(window(), tr("音频库中还没有铃声或音乐。请先在“音频库”页中"
                                        "点“增加”添加，再立即响铃。"));
        return;
    }
    // A folder task has no first file to offer.
    QString preferred;
    if (const Task* task = selectedTask();
        task && task->fields().Entry.SourceType == int(SourceType::AudioFiles))
        preferred = task->fields().Entry.MusicKeys.value(0);
    RingNowDialog dialog(m_data.LibraryList(), preferred, window());
    if (dialog.exec() == QDialog::Accepted && m_ringNow)
        m_ringNow(dialog.selectedKey());
}
