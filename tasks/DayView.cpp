#include "tasks/DayView.h"

#include "platform/Clock.h"
#include "platform/ReportView.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTreeView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Translated when drawn: the catalogue is installed after start.
constexpr const char* kCaptions[] = {
    QT_TRANSLATE_NOOP("DayBellsModel", "时间"), QT_TRANSLATE_NOOP("DayBellsModel", "音乐"),
    QT_TRANSLATE_NOOP("DayBellsModel", "日期类型"), QT_TRANSLATE_NOOP("DayBellsModel", "播放日期"),
    QT_TRANSLATE_NOOP("DayBellsModel", "当天")};
constexpr int kColumnWidths[] = {80, 300, 80, 150, 240};

int SecondOfDay(const QDateTime& now)
{
    return now.time().msecsSinceStartOfDay() / 1000;
}

QString DecisionText(DayDecision decision)
{
    switch (decision) {
    case DayDecision::Rings:
        return QCoreApplication::translate("DayBellsModel", "将播放");
    case DayDecision::SwitchedOff:
        return QCoreApplication::translate("DayBellsModel", "不播放：任务已禁用");
    case DayDecision::Holiday:
        return QCoreApplication::translate("DayBellsModel", "不播放：节假日");
    case DayDecision::NotItsDay:
        return QCoreApplication::translate("DayBellsModel", "不播放：不是它的播放日");
    }
    return QString();
}

} // namespace

void DayBellsModel::show(const Timetable& timetable, const Holidays& holidays, const QDate& day,
                         const QDateTime& now)
{
    beginResetModel();
    m_timetable = timetable;
    m_bells = DayBells(m_timetable, holidays, day, now);
    m_day = day;
    m_next = -1;
    m_pastBefore = 0;
    endResetModel();
    setNow(now);
}

bool DayBellsModel::setNow(const QDateTime& now)
{
    const int pastBefore = m_day < now.date() ? 24 * 3600 : m_day == now.date() ? SecondOfDay(now) + 1 : 0;
    int next = -1;
    if (m_day == now.date())
        for (std::size_t i = 0; i < m_bells.size() && next < 0; ++i)
            if (m_bells[i].task->second >= pastBefore && m_bells[i].rings())
                next = int(i);
    if (pastBefore == m_pastBefore && next == m_next)
        return false;
    m_pastBefore = pastBefore;
    m_next = next;
    if (!m_bells.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    return true;
}

int DayBellsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_bells.size());
}

int DayBellsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int DayBellsModel::ringing() const
{
    return int(std::count_if(m_bells.begin(), m_bells.end(), [](const DayBell& b) { return b.rings(); }));
}

QString DayBellsModel::stateText(int row) const
{
    const DayBell& b = bell(row);
    if (!b.fault.isEmpty())
        return tr("不播放：参数有误");
    if (b.onceOnlyElsewhere)
        return b.onceOnlyDay.isValid()
                   ? tr("不播放：仅播放一次，在 %1").arg(CalendarDateText(b.onceOnlyDay))
                   : tr("不播放：仅播放一次");
    if (!b.rings())
        return DecisionText(b.decision);
    if (row == m_next)
        return tr("下一个");
    if (b.task->second < m_pastBefore) {
        const QString record = m_record ? m_record(b.task->key, m_day) : QString();
        return record.isEmpty() ? tr("已过") : record;
    }
    return DecisionText(b.decision);
}

QVariant DayBellsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const DayBell& b = bell(index.row());
    static constexpr int kTaskColumns[] = {0, 1, 5, 6};
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == ColumnState ? stateText(index.row())
                                             : TaskCell(*b.task, kTaskColumns[index.column()]);
    case Qt::ToolTipRole:
        return b.fault.isEmpty() ? QVariant() : QVariant(b.fault);
    case Qt::ForegroundRole:
        // Greyed: will not ring that day, or has rung already.
        if (!b.rings() || (index.row() != m_next && b.task->second < m_pastBefore))
            return QPalette().color(QPalette::Disabled, QPalette::Text);
        return QVariant();
    case Qt::FontRole:
        if (index.row() == m_next) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant DayBellsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount || role != Qt::DisplayRole)
        return QVariant();
    return tr(kCaptions[section]);
}

DayView::DayView(const ProgramData& data, const IClock& clock, QWidget* parent)
    : QWidget(parent), m_data(data), m_clock(clock), m_model(new DayBellsModel(this))
{
    btnPrevDay = new QPushButton(tr("前一天"), this);
    dtpDay = new QDateEdit(this);
    dtpDay->setDisplayFormat(QStringLiteral("yyyy-MM-dd dddd"));
    dtpDay->setCalendarPopup(true);
    dtpDay->setAccessibleName(tr("日期"));
    btnNextDay = new QPushButton(tr("后一天"), this);
    btnToday = new QPushButton(tr("今天"), this);
    lblDaySummary = new QLabel(this);
    lblDaySummary->setAccessibleName(tr("当天概况"));
    auto* label = new QLabel(tr("日期："), this);
    label->setBuddy(dtpDay);

    lvDayBells = new QTreeView(this);
    MakeReportView(lvDayBells, tr("当日铃声"), true);
    lvDayBells->setUniformRowHeights(true);
    lvDayBells->setModel(m_model);
    lvDayBells->header()->setStretchLastSection(true);
    for (int i = 0; i < DayBellsModel::ColumnCount; ++i)
        lvDayBells->setColumnWidth(i, kColumnWidths[i]);

    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(btnPrevDay);
    bar->addWidget(dtpDay);
    bar->addWidget(btnNextDay);
    bar->addWidget(btnToday);
    bar->addSpacing(12);
    bar->addWidget(lblDaySummary, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(lvDayBells, 1);

    connect(btnPrevDay, &QPushButton::clicked, this, [this] { showDay(m_day.addDays(-1)); });
    connect(btnNextDay, &QPushButton::clicked, this, [this] { showDay(m_day.addDays(1)); });
    connect(btnToday, &QPushButton::clicked, this, [this] { showDay(m_clock.now().date()); });
    connect(dtpDay, &QDateEdit::dateChanged, this, [this](const QDate& day) {
        if (day != m_day)
            showDay(day);
    });
    connect(&m_data, &ProgramData::changed, this, [this] { dataChanged(); });
    m_today = m_clock.now().date();
    showDay(m_today);
}

void DayView::showDay(const QDate& day)
{
    if (!day.isValid())
        return;
    m_day = day;
    dtpDay->setDate(day);
    reload();
}

void DayView::dataChanged()
{
    m_stale = true;
    if (!isVisible() || m_reloadQueued)
        return;
    m_reloadQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_reloadQueued = false;
        if (m_stale && isVisible())
            reload();
    });
}

void DayView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale)
        reload();
    tick(m_clock.now());
}

void DayView::reload()
{
    m_stale = false;
    // A day of another season runs another timetable of periods than the file holds today.
    m_model->show(m_data.timetableOn(m_day), m_data.holidays(), m_day, m_clock.now());
    showSummary();
}

void DayView::tick(const QDateTime& now)
{
    // Unseen, nothing is kept current; showing the view brings it up to now.
    if (m_stale || !isVisible())
        return;
    // Past midnight, a view of the day that was today moves on with it.
    if (now.date() != m_today) {
        const bool followToday = m_day == m_today;
        m_today = now.date();
        if (followToday) {
            showDay(m_today);
            return;
        }
    }
    if (m_model->setNow(now))
        showSummary();
}

void DayView::showSummary()
{
    const Holidays& holidays = m_data.holidays();
    QString kind;
    if (holidays.contains(m_day))
        kind = tr("节假日");
    else if (holidays.isMakeUpDay(m_day))
        kind = tr("调休上班日，按%1上课").arg(WeekdayNames().value(holidays.weekdayOf(m_day)));
    QStringList parts;
    if (const PeriodTimetable* periods = m_data.periodTimetableOn(m_day))
        parts << periods->name;
    if (!kind.isEmpty())
        parts << kind;
    const int ringing = m_model->ringing();
    parts << tr("%1 个铃声播放，%2 个不播放").arg(ringing).arg(m_model->rowCount() - ringing);
    if (m_model->nextRow() >= 0)
        parts << tr("下一个：%1").arg(TaskCell(*m_model->bell(m_model->nextRow()).task, 0));
    lblDaySummary->setText(parts.join(tr("；", "between parts of the day's summary")));
}
