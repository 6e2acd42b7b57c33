#include "settings/CalendarImportDialog.h"

#include "platform/Errors.h"
#include "platform/ReportView.h"
#include "storage/TaskFile.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum AddedColumn { ColumnKind, ColumnDates, ColumnSummary, ColumnWeekday };
enum SkippedColumn { SkippedSummary, SkippedDates, SkippedReason };

QString RangeText(const DatedHoliday& r)
{
    return r.begin == r.end ? CalendarDateText(r.begin)
                            : QCoreApplication::translate("CalendarImportDialog", "%1 至 %2")
                                  .arg(CalendarDateText(r.begin), CalendarDateText(r.end));
}

} // namespace

CalendarImportDialog::CalendarImportDialog(const QString& fileName, const QByteArray& icsText,
                                           const Holidays& existing, QWidget* owner)
    : QDialog(owner), m_text(icsText), m_existing(existing)
{
    setWindowTitle(tr("导入日历"));
    setAttribute(Qt::WA_WindowPropagation);
    resize(680, 480);

    lblFile = new QLabel(tr("文件：%1").arg(fileName), this);

    auto* categoryLabel = new QLabel(tr("表示上班日的类别："), this);
    cbWorkingCategory = new QComboBox(this);
    cbWorkingCategory->setEditable(true);
    cbWorkingCategory->setInsertPolicy(QComboBox::NoInsert);
    cbWorkingCategory->setMinimumWidth(200);
    cbWorkingCategory->setAccessibleName(tr("表示上班日的类别"));
    categoryLabel->setBuddy(cbWorkingCategory);

    auto* addedLabel = new QLabel(tr("将导入："), this);
    lvAdded = new QTreeWidget(this);
    MakeReportView(lvAdded, tr("将导入"), false);
    lvAdded->setHeaderLabels({tr("类型"), tr("日期"), tr("说明"), tr("上课安排")});
    lvAdded->setColumnWidth(ColumnKind, 80);
    lvAdded->setColumnWidth(ColumnDates, 190);
    lvAdded->setColumnWidth(ColumnSummary, 200);
    addedLabel->setBuddy(lvAdded);

    auto* skippedLabel = new QLabel(tr("不导入："), this);
    lvSkipped = new QTreeWidget(this);
    MakeReportView(lvSkipped, tr("不导入"), false);
    lvSkipped->setHeaderLabels({tr("日程"), tr("日期"), tr("原因")});
    lvSkipped->setColumnWidth(SkippedSummary, 160);
    lvSkipped->setColumnWidth(SkippedDates, 190);
    skippedLabel->setBuddy(lvSkipped);

    btnImport = new QPushButton(tr("导入"), this);
    btnImport->setAccessibleName(tr("导入"));
    btnImport->setDefault(true);
    btnCancel = new QPushButton(tr("取消"), this);
    btnCancel->setAccessibleName(tr("取消"));

    auto* category = new QHBoxLayout;
    category->addWidget(categoryLabel);
    category->addWidget(cbWorkingCategory);
    category->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnImport);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFile);
    layout->addLayout(category);
    layout->addWidget(addedLabel);
    layout->addWidget(lvAdded, 3);
    layout->addWidget(skippedLabel);
    layout->addWidget(lvSkipped, 2);
    layout->addLayout(buttons);

    // The categories are the file's, whatever marks a working day: offered once.
    cbWorkingCategory->addItem(QString());
    cbWorkingCategory->addItems(ReadCalendar(m_text, {}, m_existing).categories);
    cbWorkingCategory->setCurrentIndex(0);
    reread();

    connect(cbWorkingCategory, &QComboBox::currentTextChanged, this, [this] {
        // The text read once already, so it reads again; kept safe all the same, as no
        // exception may leave a slot.
        try {
            reread();
        } catch (const AppError&) {
        }
    });
    connect(btnImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CalendarImportDialog::reread()
{
    static const QRegularExpression separators(QStringLiteral("[,，、;；]"));
    QStringList marks;
    for (const QString& m : cbWorkingCategory->currentText().split(separators, Qt::SkipEmptyParts))
        if (!m.trimmed().isEmpty())
            marks << m.trimmed();
    const CalendarImport read = ReadCalendar(m_text, marks, m_existing);

    lvAdded->clear();
    lvSkipped->clear();
    m_rows.clear();
    for (const ImportedHoliday& h : read.holidays)
        addHoliday(h);
    for (const ImportedMakeUpDay& w : read.workDays)
        addMakeUpDay(w);
    for (const IgnoredEvent& e : read.ignored)
        skip(e.summary, QString(), e.reason);
    btnImport->setEnabled(!m_rows.empty());
}

void CalendarImportDialog::addHoliday(const ImportedHoliday& h)
{
    // One holiday may come from several events of the file; their titles are listed.
    const QString summary = h.summaries.join(tr("、"));
    const QString dates = RangeText(h.range);
    CalendarDates one;
    one.holidays.push_back(h.range);
    if (m_existing.newIn(one).empty())
        return skip(summary, dates, tr("校历中已有"));
    // Checked with the rows taken so far, so that two items of the file cannot clash either.
    CalendarDates trial = chosen();
    trial.holidays.push_back(h.range);
    const QStringList conflicts = m_existing.conflicts(trial);
    if (!conflicts.isEmpty())
        return skip(summary, dates, conflicts.join(tr("；")));
    lvAdded->addTopLevelItem(new QTreeWidgetItem({tr("放假"), dates, summary}));
    m_rows.push_back({h.range, nullptr});
}

void CalendarImportDialog::addMakeUpDay(const ImportedMakeUpDay& w)
{
    const QDate date = w.day.date;
    const QString dates = CalendarDateText(date);
    const auto& held = m_existing.makeUpDays();
    const auto same = std::find_if(held.begin(), held.end(), [&](const MakeUpDay& d) { return d.date == date; });
    if (same != held.end())
        return skip(w.summary, dates,
                    tr("校历中已是调休上班日（按%1上课）").arg(WeekdayNames().value(same->weekday)));
    CalendarDates trial = chosen();
    trial.workDays.push_back(w.day);
    const QStringList conflicts = m_existing.conflicts(trial);
    if (!conflicts.isEmpty())
        return skip(w.summary, dates, conflicts.join(tr("；")));

    auto* item = new QTreeWidgetItem({tr("调休上班"), dates, w.summary});
    lvAdded->addTopLevelItem(item);
    auto* box = new QComboBox;
    for (int day = 1; day <= 7; ++day)
        box->addItem(tr("按%1上课").arg(WeekdayNames().value(day)), day);
    box->setCurrentIndex(m_pickedWeekdays.value(date, w.day.weekday) - 1);
    box->setAccessibleName(tr("%1 上课安排").arg(dates));
    connect(box, &QComboBox::currentIndexChanged, this,
            [this, date, box] { m_pickedWeekdays.insert(date, box->currentData().toInt()); });
    lvAdded->setItemWidget(item, ColumnWeekday, box);
    m_rows.push_back({{date, date}, box});
}

void CalendarImportDialog::skip(const QString& summary, const QString& dates, const QString& reason)
{
    lvSkipped->addTopLevelItem(new QTreeWidgetItem({summary, dates, reason}));
}

CalendarDates CalendarImportDialog::chosen() const
{
    CalendarDates dates;
    for (const Row& row : m_rows) {
        if (row.weekday)
            dates.workDays.push_back({row.range.begin, row.weekday->currentData().toInt()});
        else
            dates.holidays.push_back(row.range);
    }
    return dates;
}

QComboBox* CalendarImportDialog::weekdayBox(const QDate& date) const
{
    for (const Row& row : m_rows)
        if (row.weekday && row.range.begin == date)
            return row.weekday;
    return nullptr;
}
