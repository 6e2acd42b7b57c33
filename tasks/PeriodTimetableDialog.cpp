#include "tasks/PeriodTimetableDialog.h"

#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "storage/IniStore.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString ShortTime = QStringLiteral("HH:mm");

// A new period's name, which the user may change: the first ten by their own names, so a
// catalogue can spell each one out.
QString PeriodName(int n)
{
    static const char* const names[] = {
        QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第一节"), QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第二节"),
        QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第三节"), QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第四节"),
        QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第五节"), QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第六节"),
        QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第七节"), QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第八节"),
        QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第九节"), QT_TRANSLATE_NOOP("PeriodTimetableDialog", "第十节")};
    if (n >= 1 && n <= 10)
        return QCoreApplication::translate("PeriodTimetableDialog", names[n - 1]);
    return QCoreApplication::translate("PeriodTimetableDialog", "第%1节").arg(n);
}

// "8:00", "08:00" or "08:00:00"; null when it is no time of day.
QTime ReadTime(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const QTime full = ParseTimeText(t.count(u':') == 1 ? t + QStringLiteral(":00") : t, &ok);
    return ok ? full : QTime();
}

QLabel* Caption(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// The library's entries as "number  file name", with the number as data; optional bells start
// with "不响".
void FillBells(QComboBox* box, const QStringList& library, bool optional)
{
    if (optional)
        box->addItem(QCoreApplication::translate("PeriodTimetableDialog", "（不响）"), QString());
    for (const QString& line : library) {
        const QString path = LineValue(line);
        box->addItem(LineName(line) + QStringLiteral("  ") + QFileInfo(path).fileName(), LineName(line));
    }
}

// False when the number has left the library: the box then shows its first entry.
bool SelectBell(QComboBox* box, const QString& number)
{
    const int at = box->findData(number);
    box->setCurrentIndex(at >= 0 ? at : 0);
    return at >= 0 || number.isEmpty();
}

PeriodTimetable NewTimetable(const QString& name)
{
    PeriodTimetable t;
    t.name = name;
    t.periods = {{PeriodName(1), QTime(8, 0), QTime(8, 45)}};
    return t;
}

} // namespace

PeriodTimetableDialog::PeriodTimetableDialog(ProgramData& data, IMessageBoxes& boxes, const IClock& clock,
                                             QWidget* owner)
    : QDialog(owner), m_data(data), m_boxes(boxes), m_clock(clock), m_timetables(data.periodTimetables())
{
    buildDialog();
    if (m_timetables.empty())
        m_timetables.push_back(NewTimetable(tr("作息时间表")));
    for (const PeriodTimetable& t : m_timetables)
        cbxTimetable->addItem(t.name);
    const PeriodTimetable* inForce = PeriodTimetableOn(m_timetables, clock.now().date());
    showTimetable(inForce ? int(inForce - m_timetables.data()) : 0);
    connect(cbxTimetable, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index != m_shown && index >= 0) {
            keepForm();
            showTimetable(index);
        }
    });
    connect(btnNewTimetable, &QPushButton::clicked, this, [this] { newTimetable(); });
    connect(btnDeleteTimetable, &QPushButton::clicked, this, [this] { deleteTimetable(); });
    connect(btnAddPeriod, &QPushButton::clicked, this, [this] { addPeriod(); });
    connect(btnRemovePeriod, &QPushButton::clicked, this, [this] { removePeriod(); });
    connect(btnUp, &QPushButton::clicked, this, [this] { movePeriod(-1); });
    connect(btnDown, &QPushButton::clicked, this, [this] { movePeriod(1); });
    connect(btnSave, &QPushButton::clicked, this, [this] { save(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PeriodTimetableDialog::buildDialog()
{
    setWindowTitle(tr("作息时间表"));
    cbxTimetable = new QComboBox;
    cbxTimetable->setAccessibleName(tr("作息时间表："));
    btnNewTimetable = new QPushButton(tr("新建作息时间表"));
    btnDeleteTimetable = new QPushButton(tr("删除作息时间表"));
    edtName = new QLineEdit;
    edtName->setAccessibleName(tr("名称："));
    dtpFrom = new QDateEdit;
    dtpFrom->setDisplayFormat(QStringLiteral("MM-dd"));
    dtpFrom->setDateRange(QDate(2000, 1, 1), QDate(2000, 12, 31));
    dtpFrom->setAccessibleName(tr("每年起用日期："));
    auto* top = new QGridLayout;
    top->addWidget(Caption(tr("作息时间表："), cbxTimetable), 0, 0);
    top->addWidget(cbxTimetable, 0, 1);
    top->addWidget(btnNewTimetable, 0, 2);
    top->addWidget(btnDeleteTimetable, 0, 3);
    top->addWidget(Caption(tr("名称："), edtName), 1, 0);
    top->addWidget(edtName, 1, 1);
    top->addWidget(Caption(tr("每年起用日期："), dtpFrom), 1, 2);
    top->addWidget(dtpFrom, 1, 3);

    tblPeriods = new QTableWidget(0, 3);
    tblPeriods->setHorizontalHeaderLabels({tr("节次"), tr("上课时间"), tr("下课时间")});
    tblPeriods->setAccessibleName(tr("节次"));
    tblPeriods->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblPeriods->setSelectionMode(QAbstractItemView::SingleSelection);
    tblPeriods->horizontalHeader()->setStretchLastSection(true);
    tblPeriods->verticalHeader()->hide();
    spnBreak = new QSpinBox;
    spnBreak->setRange(0, 600);
    spnBreak->setValue(10);
    spnBreak->setSuffix(tr(" 分钟"));
    spnBreak->setAccessibleName(tr("课间："));
    btnAddPeriod = new QPushButton(tr("添加一节"));
    btnRemovePeriod = new QPushButton(tr("删除一节"));
    btnUp = new QPushButton(tr("上移"));
    btnDown = new QPushButton(tr("下移"));
    auto* periodButtons = new QVBoxLayout;
    periodButtons->addWidget(Caption(tr("课间："), spnBreak));
    periodButtons->addWidget(spnBreak);
    for (QPushButton* b : {btnAddPeriod, btnRemovePeriod, btnUp, btnDown})
        periodButtons->addWidget(b);
    periodButtons->addStretch();
    auto* periods = new QHBoxLayout;
    periods->addWidget(tblPeriods, 1);
    periods->addLayout(periodButtons);

    auto* bells = new QGroupBox(tr("铃声"));
    cbxClassBell = new QComboBox;
    cbxEndBell = new QComboBox;
    cbxWarningBell = new QComboBox;
    cbxClassBell->setAccessibleName(tr("上课铃："));
    cbxEndBell->setAccessibleName(tr("下课铃："));
    cbxWarningBell->setAccessibleName(tr("预备铃："));
    FillBells(cbxClassBell, m_data.LibraryList(), false);
    FillBells(cbxEndBell, m_data.LibraryList(), true);
    FillBells(cbxWarningBell, m_data.LibraryList(), true);
    spnWarningMinutes = new QSpinBox;
    spnWarningMinutes->setRange(1, 60);
    spnWarningMinutes->setSuffix(tr(" 分钟"));
    spnWarningMinutes->setAccessibleName(tr("预备铃提前："));
    auto* b = new QGridLayout(bells);
    b->addWidget(Caption(tr("上课铃："), cbxClassBell), 0, 0);
    b->addWidget(cbxClassBell, 0, 1);
    b->addWidget(Caption(tr("下课铃："), cbxEndBell), 1, 0);
    b->addWidget(cbxEndBell, 1, 1);
    b->addWidget(Caption(tr("预备铃："), cbxWarningBell), 2, 0);
    b->addWidget(cbxWarningBell, 2, 1);
    b->addWidget(Caption(tr("提前："), spnWarningMinutes), 2, 2);
    b->addWidget(spnWarningMinutes, 2, 3);

    lblBellsGone = new QLabel;
    lblBellsGone->setStyleSheet(QStringLiteral("color: #c00000;"));
    lblBellsGone->setWordWrap(true);
    lblBellsGone->hide();
    b->addWidget(lblBellsGone, 3, 0, 1, 4);

    auto* days = new QGroupBox(tr("星期"));
    auto* d = new QHBoxLayout(days);
    for (int i = 0; i < 7; ++i) {
        chkWeekdays[i] = new QCheckBox(WeekdayNames().value(i + 1));
        d->addWidget(chkWeekdays[i]);
    }
    chkHolidaysKeepSilent = new QCheckBox(tr("节假日不响铃"));
    d->addSpacing(16);
    d->addWidget(chkHolidaysKeepSilent);

    btnSave = new QPushButton(tr("保存"));
    btnSave->setDefault(true);
    btnCancel = new QPushButton(tr("取消"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(tr("保存后，作息时间表的铃声作为普通任务写入定时时间列表。")), 1);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(periods, 1);
    layout->addWidget(bells);
    layout->addWidget(days);
    layout->addLayout(buttons);
    resize(640, 560);
}

void PeriodTimetableDialog::setRow(int row, const Period& period)
{
    tblPeriods->setItem(row, 0, new QTableWidgetItem(period.name));
    tblPeriods->setItem(row, 1, new QTableWidgetItem(period.start.toString(ShortTime)));
    tblPeriods->setItem(row, 2, new QTableWidgetItem(period.end.toString(ShortTime)));
}

void PeriodTimetableDialog::showForm(const PeriodTimetable& t)
{
    edtName->setText(t.name);
    dtpFrom->setDate(QDate(2000, t.fromMonth, t.fromDay));
    tblPeriods->setRowCount(int(t.periods.size()));
    for (int row = 0; row < tblPeriods->rowCount(); ++row)
        setRow(row, t.periods[std::size_t(row)]);
    QStringList gone;
    const std::pair<QComboBox*, QString> bells[] = {{cbxClassBell, tr("上课铃")},
                                                    {cbxEndBell, tr("下课铃")},
                                                    {cbxWarningBell, tr("预备铃")}};
    const QString numbers[] = {t.classBell, t.endBell, t.warningBell};
    for (int i = 0; i < 3; ++i)
        if (!SelectBell(bells[i].first, numbers[i]))
            gone << tr("%1（音频库编号 %2）").arg(bells[i].second, numbers[i]);
    // Said, not mended in silence: saving as shown would ring another file.
    lblBellsGone->setText(gone.isEmpty() ? QString()
                                         : tr("%1已不在音频库中，请重新选择后保存。")
                                               .arg(gone.join(tr("、", "between bell names"))));
    lblBellsGone->setVisible(!gone.isEmpty());
    spnWarningMinutes->setValue(t.warningMinutes);
    for (int i = 0; i < 7; ++i)
        chkWeekdays[i]->setChecked(t.weekdays[std::size_t(i)]);
    chkHolidaysKeepSilent->setChecked(t.holidaysKeepSilent);
}

PeriodTimetable PeriodTimetableDialog::formTimetable(QStringList* problems) const
{
    PeriodTimetable t;
    t.name = edtName->text();
    t.fromMonth = dtpFrom->date().month();
    t.fromDay = dtpFrom->date().day();
    for (int row = 0; row < tblPeriods->rowCount(); ++row) {
        const auto text = [&](int column) {
            const QTableWidgetItem* item = tblPeriods->item(row, column);
            return item ? item->text() : QString();
        };
        Period p{text(0).trimmed(), ReadTime(text(1)), ReadTime(text(2))};
        for (int column : {1, 2})
            if (problems && !ReadTime(text(column)).isValid())
                *problems << tr("%1：%2“%3”不是有效的时刻（时:分）")
                                 .arg(t.name, p.name, text(column));
        t.periods.push_back(p);
    }
    t.classBell = cbxClassBell->currentData().toString();
    t.endBell = cbxEndBell->currentData().toString();
    t.warningBell = cbxWarningBell->currentData().toString();
    t.warningMinutes = spnWarningMinutes->value();
    for (int i = 0; i < 7; ++i)
        t.weekdays[std::size_t(i)] = chkWeekdays[i]->isChecked();
    t.holidaysKeepSilent = chkHolidaysKeepSilent->isChecked();
    return t;
}

void PeriodTimetableDialog::keepForm()
{
    if (m_shown < 0 || m_shown >= int(m_timetables.size()))
        return;
    m_timetables[std::size_t(m_shown)] = formTimetable();
    cbxTimetable->setItemText(m_shown, m_timetables[std::size_t(m_shown)].name);
}

void PeriodTimetableDialog::showTimetable(int index)
{
    setFormEnabled(true);
    m_shown = index;
    cbxTimetable->setCurrentIndex(index);
    showForm(m_timetables[std::size_t(index)]);
}

void PeriodTimetableDialog::addPeriod()
{
    const int rows = tblPeriods->rowCount();
    const int after = tblPeriods->currentRow() >= 0 ? tblPeriods->currentRow() : rows - 1;
    Period next{PeriodName(rows + 1), QTime(8, 0), QTime(8, 45)};
    if (after >= 0) {
        const PeriodTimetable t = formTimetable();
        const Period& before = t.periods[std::size_t(after)];
        if (before.start.isValid() && before.end.isValid() && before.end > before.start) {
            next.start = before.end.addSecs(60 * spnBreak->value());
            next.end = next.start.addSecs(before.start.secsTo(before.end));
        }
    }
    tblPeriods->insertRow(after + 1);
    setRow(after + 1, next);
    tblPeriods->setCurrentCell(after + 1, 0);
}

void PeriodTimetableDialog::removePeriod()
{
    const int row = tblPeriods->currentRow();
    if (row >= 0)
        tblPeriods->removeRow(row);
}

void PeriodTimetableDialog::movePeriod(int by)
{
    const int row = tblPeriods->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= tblPeriods->rowCount())
        return;
    // The names stay in place (第一节 stays first); the times move.
    for (int column : {1, 2}) {
        QTableWidgetItem* a = tblPeriods->takeItem(row, column);
        QTableWidgetItem* b = tblPeriods->takeItem(to, column);
        tblPeriods->setItem(row, column, b);
        tblPeriods->setItem(to, column, a);
    }
    tblPeriods->setCurrentCell(to, tblPeriods->currentColumn());
}

void PeriodTimetableDialog::newTimetable()
{
    keepForm();
    PeriodTimetable copy = formTimetable();
    copy.name = tr("作息时间表%1").arg(m_timetables.size() + 1);
    m_timetables.push_back(copy);
    cbxTimetable->addItem(copy.name);
    showTimetable(int(m_timetables.size()) - 1);
    edtName->setFocus();
    edtName->selectAll();
}

void PeriodTimetableDialog::deleteTimetable()
{
    if (m_shown < 0 || !m_boxes.ConfirmBox(this, tr("删除作息时间表“%1”？保存后它的铃声从定时时间列表中删除。")
                                                     .arg(edtName->text())))
        return;
    m_timetables.erase(m_timetables.begin() + m_shown);
    const int removed = m_shown;
    m_shown = -1;
    cbxTimetable->removeItem(removed);
    // The last one gone: saving removes every bell the timetables wrote.
    if (m_timetables.empty())
        setFormEnabled(false);
    else
        showTimetable(qMin(removed, int(m_timetables.size()) - 1));
}

void PeriodTimetableDialog::setFormEnabled(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             btnDeleteTimetable, edtName, dtpFrom, tblPeriods, spnBreak, btnAddPeriod, btnRemovePeriod, btnUp,
             btnDown, cbxClassBell, cbxEndBell, cbxWarningBell, spnWarningMinutes, chkHolidaysKeepSilent})
        w->setEnabled(enabled);
    for (QCheckBox* box : chkWeekdays)
        box->setEnabled(enabled);
}

bool PeriodTimetableDialog::save()
{
    QStringList problems;
    if (m_shown >= 0)
        m_timetables[std::size_t(m_shown)] = formTimetable(&problems);
    for (std::size_t i = 0; i < m_timetables.size(); ++i) {
        const PeriodTimetable& t = m_timetables[i];
        for (const QString& p : PeriodTimetableProblems(t))
            problems << (m_timetables.size() > 1 ? tr("%1：%2", "timetable name: problem").arg(t.name, p) : p);
        for (std::size_t j = 0; j < i; ++j) {
            if (m_timetables[j].name.compare(t.name, Qt::CaseInsensitive) == 0)
                problems << tr("有两张作息时间表名为“%1”").arg(t.name);
            if (m_timetables[j].fromMonth == t.fromMonth && m_timetables[j].fromDay == t.fromDay)
                problems << tr("“%1”与“%2”的起用日期相同").arg(m_timetables[j].name, t.name);
        }
    }
    if (!problems.isEmpty()) {
        m_boxes.ErrorBox(this, tr("作息时间表没有保存：\n%1").arg(problems.join(u'\n')));
        return false;
    }
    const QDate today = m_clock.now().date();
    const QStringList clashes = m_data.periodClashes(m_timetables, today);
    const bool replace =
        !clashes.isEmpty() &&
        m_boxes.ConfirmBox(this, tr("以下手工任务与作息时间表的铃声在同一时刻：\n%1\n\n"
                                    "选“确定”用作息时间表的铃声替换这些任务；"
                                    "选“取消”保留这些任务，这些铃声不写入。")
                                     .arg(clashes.join(u'\n')));
    const QStringList leftOut = m_data.savePeriodTimetables(m_timetables, today, replace);
    if (!leftOut.isEmpty())
        m_boxes.WarningBox(this, leftOut.join(u'\n'));
    accept();
    return true;
}
