#include "settings/CalendarPage.h"

#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/ReportView.h"
#include "settings/CalendarTransfer.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QDateEdit* NewDateEdit(const QDate& date, const QString& name, QWidget* parent)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setDateRange(QDate(FirstCalendarYear, 1, 1), QDate(LastCalendarYear, 12, 31));
    edit->setAccessibleName(name);
    return edit;
}

QTreeWidget* NewList(const QString& name, const QStringList& captions, QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    MakeReportView(list, name, true);
    list->setHeaderLabels(captions);
    for (int i = 0; i < captions.size(); ++i)
        list->setColumnWidth(i, 110);
    return list;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// The date a list row stands for, kept in its first column's data.
QDate RowDate(const QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? QDate() : selected.first()->data(0, Qt::UserRole).toDate();
}

} // namespace

CalendarPage::CalendarPage(ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes, const IClock& clock,
                           const HandlerGuard& guard, QWidget* parent)
    : QWidget(parent), m_data(data), m_dialogs(dialogs), m_boxes(boxes)
{
    buildPage(clock.now().date());
    connect(btnAddHolidayDates, &QPushButton::clicked, this, guard.wrap([this] { btnAddHolidayDatesClick(); }));
    connect(btnDelHolidayDates, &QPushButton::clicked, this, guard.wrap([this] { btnDelHolidayDatesClick(); }));
    connect(btnAddWorkDay, &QPushButton::clicked, this, guard.wrap([this] { btnAddWorkDayClick(); }));
    connect(btnDelWorkDay, &QPushButton::clicked, this, guard.wrap([this] { btnDelWorkDayClick(); }));
    connect(btnImportCalendar, &QPushButton::clicked, this,
            guard.wrap([this] { ImportCalendar(this, m_data, m_dialogs, m_boxes); }));
    connect(btnExportCalendar, &QPushButton::clicked, this,
            guard.wrap([this] { ExportCalendar(this, m_data, m_dialogs, m_boxes); }));
    connect(dtpWorkDay, &QDateEdit::dateChanged, this, [this] { proposeWeekday(); });
    // The end follows a begin moved past it, so a one-day holiday is one change.
    connect(dtpHolidayDatesBegin, &QDateEdit::dateChanged, this, [this](const QDate& begin) {
        if (dtpHolidayDatesEnd->date() < begin)
            dtpHolidayDatesEnd->setDate(begin);
    });
    connect(&m_data, &ProgramData::changed, this, [this] { LoadCalendar(); });
    proposeWeekday();
}

void CalendarPage::buildPage(const QDate& today)
{
    auto* holidays = new QGroupBox(tr("放假日期（含年份）"), this);
    lvHolidayDates = NewList(tr("放假日期"), {tr("开始日期"), tr("结束日期"), tr("天数")}, holidays);
    dtpHolidayDatesBegin = NewDateEdit(today, tr("放假开始日期："), holidays);
    dtpHolidayDatesEnd = NewDateEdit(today, tr("放假结束日期："), holidays);
    btnAddHolidayDates = new QPushButton(tr("添加放假日期"), holidays);
    btnDelHolidayDates = new QPushButton(tr("删除选中的放假日期"), holidays);
    auto* h = new QGridLayout(holidays);
    h->addWidget(lvHolidayDates, 0, 0, 1, 4);
    h->addWidget(Caption(tr("开始日期："), dtpHolidayDatesBegin, holidays), 1, 0);
    h->addWidget(dtpHolidayDatesBegin, 1, 1);
    h->addWidget(Caption(tr("结束日期："), dtpHolidayDatesEnd, holidays), 2, 0);
    h->addWidget(dtpHolidayDatesEnd, 2, 1);
    h->addWidget(btnAddHolidayDates, 1, 2, 1, 2);
    h->addWidget(btnDelHolidayDates, 2, 2, 1, 2);

    auto* workDays = new QGroupBox(tr("调休上班日"), this);
    lvWorkDays = NewList(tr("调休上班日"), {tr("日期"), tr("星期"), tr("按星期几上课")}, workDays);
    dtpWorkDay = NewDateEdit(today, tr("上班日期："), workDays);
    cbxWorkDayWeekday = new QComboBox(workDays);
    for (int weekday = 1; weekday <= 7; ++weekday)
        cbxWorkDayWeekday->addItem(tr("按%1上课").arg(WeekdayNames().value(weekday)));
    cbxWorkDayWeekday->setAccessibleName(tr("按星期几上课："));
    btnAddWorkDay = new QPushButton(tr("添加调休上班日"), workDays);
    btnDelWorkDay = new QPushButton(tr("删除选中的调休上班日"), workDays);
    auto* w = new QGridLayout(workDays);
    w->addWidget(lvWorkDays, 0, 0, 1, 4);
    w->addWidget(Caption(tr("上班日期："), dtpWorkDay, workDays), 1, 0);
    w->addWidget(dtpWorkDay, 1, 1);
    w->addWidget(Caption(tr("按星期几上课："), cbxWorkDayWeekday, workDays), 2, 0);
    w->addWidget(cbxWorkDayWeekday, 2, 1);
    w->addWidget(btnAddWorkDay, 1, 2, 1, 2);
    w->addWidget(btnDelWorkDay, 2, 2, 1, 2);

    btnImportCalendar = new QPushButton(tr("导入日历(.ics)…"), this);
    btnExportCalendar = new QPushButton(tr("导出日历(.ics)…"), this);
    auto* note = new QLabel(tr("每年日期相同的节假日（月-日）在“基本设置”中设置。"
                               "调休上班日按所选星期的任务播放。"),
                            this);
    note->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(note, 1);
    bottom->addWidget(btnImportCalendar);
    bottom->addWidget(btnExportCalendar);

    auto* groups = new QHBoxLayout;
    groups->addWidget(holidays, 1);
    groups->addWidget(workDays, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(bottom);
}

void CalendarPage::LoadCalendar()
{
    const Holidays& calendar = m_data.holidays();
    lvHolidayDates->clear();
    for (const DatedHoliday& r : calendar.datedHolidays()) {
        auto* row = new QTreeWidgetItem({CalendarDateText(r.begin), CalendarDateText(r.end),
                                         QString::number(r.begin.daysTo(r.end) + 1)});
        row->setData(0, Qt::UserRole, r.begin);
        lvHolidayDates->addTopLevelItem(row);
    }
    lvWorkDays->clear();
    for (const MakeUpDay& d : calendar.makeUpDays()) {
        auto* row = new QTreeWidgetItem({CalendarDateText(d.date), WeekdayNames().value(d.date.dayOfWeek()),
                                         tr("按%1上课").arg(WeekdayNames().value(d.weekday))});
        row->setData(0, Qt::UserRole, d.date);
        lvWorkDays->addTopLevelItem(row);
    }
    proposeWeekday();
}

void CalendarPage::btnAddHolidayDatesClick()
{
    CalendarDates added;
    added.holidays.push_back({dtpHolidayDatesBegin->date(), dtpHolidayDatesEnd->date()});
    m_data.addCalendarDates(added);
}

void CalendarPage::btnDelHolidayDatesClick()
{
    const QDate begin = RowDate(lvHolidayDates);
    if (begin.isValid())
        m_data.deleteDatedHoliday(begin);
}

void CalendarPage::btnAddWorkDayClick()
{
    CalendarDates added;
    added.workDays.push_back({dtpWorkDay->date(), cbxWorkDayWeekday->currentIndex() + 1});
    m_data.addCalendarDates(added);
}

void CalendarPage::btnDelWorkDayClick()
{
    const QDate date = RowDate(lvWorkDays);
    if (date.isValid())
        m_data.deleteMakeUpDay(date);
}

void CalendarPage::proposeWeekday()
{
    cbxWorkDayWeekday->setCurrentIndex(m_data.holidays().nextWorkingWeekday(dtpWorkDay->date()) - 1);
}
