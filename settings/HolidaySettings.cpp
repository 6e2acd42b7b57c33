#include "settings/HolidaySettings.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "settings/SettingsPage.h"
#include "storage/ConfigFile.h"
#include "storage/IniStore.h"
#include "storage/ProgramData.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

QString MonthDayText(int month, int day)
{
    return QStringLiteral("%1-%2").arg(month).arg(day);
}

HolidaySettings::HolidaySettings(SettingsPage& page, ProgramData& data,
                                 IMessageBoxes& boxes, const HandlerGuard& guard,
                                 const IClock& clock)
    : m_page(page), m_data(data), m_boxes(boxes)
{
    const QDate today = clock.now().date();
    // The pickers' year is a leap year, so 02-29 is a day of it too.
    for (QDateEdit* picker : {page.dtpHolidayBegin, page.dtpHolidayEnd})
        picker->setDate(QDate(2000, today.month(), today.day()));
    QObject::connect(page.btnHolidaySave, &QPushButton::clicked, &page,
                     guard.wrap([this] { btnHolidaySaveClick(); }));
    QObject::connect(page.btnHolidayDel, &QPushButton::clicked, &page,
                     guard.wrap([this] { btnHolidayDelClick(); }));
}

void HolidaySettings::LoadHolidays()
{
    QTreeWidget* list = m_page.lvHoliday;
    list->setUpdatesEnabled(false);
    list->clear();
    // By first day in the year; a line that names no day (hand-edited) goes last, in file order.
    const auto dayOfYear = [](const QString& monthDay) {
        const QStringList parts = monthDay.trimmed().split(u'-');
        bool okMonth = false, okDay = false;
        const int month = parts.value(0).toInt(&okMonth), day = parts.value(1).toInt(&okDay);
        return parts.size() == 2 && okMonth && okDay ? month * 100 + day : 100000;
    };
    QStringList lines = m_data.HolidayList();
    std::stable_sort(lines.begin(), lines.end(), [&](const QString& a, const QString& b) {
        return dayOfYear(LineName(a)) < dayOfYear(LineName(b));
    });
    for (const QString& line : lines)
        list->addTopLevelItem(new QTreeWidgetItem({LineName(line), LineValue(line)}));
    list->setUpdatesEnabled(true);
}

void HolidaySettings::btnHolidaySaveClick()
{
    const QDate begin = m_page.dtpHolidayBegin->date();
    const QDate end = m_page.dtpHolidayEnd->date();
    const int beginKey = begin.month() * 100 + begin.day();
    const int endKey = end.month() * 100 + end.day();
    const QString from = MonthDayText(begin.month(), begin.day());
    const QString to = MonthDayText(end.month(), end.day());
    if (endKey >= beginKey) {
        change([&] { WriteHoliday(from, to); });
    } else {
        // Both ends of a range lie in the current year, so a break over the new year is kept as
        // its two parts; a range that could only be a slip of the picker is asked about first.
        const QString question =
            tr("结束日期早于开始日期，将保存为跨年的假期：%1至12-31，1-1至%2。是否保存？")
                .arg(from, to);
        if (!m_boxes.ConfirmBox(&m_page, question))
            return;
        change([&] {
            WriteHoliday(from, MonthDayText(12, 31));
            WriteHoliday(MonthDayText(1, 1), to);
        });
    }
}

void HolidaySettings::btnHolidayDelClick()
{
    const QList<QTreeWidgetItem*> selected = m_page.lvHoliday->selectedItems();
    if (selected.isEmpty())
        return;
    const QString begin = selected.first()->text(0);
    change([&] { DeleteHoliday(begin); });
}

void HolidaySettings::change(const std::function<void()>& write)
{
    try {
        m_data.changeHolidays(write);
    } catch (const FileError&) {
        // The rows show what the file holds.
        LoadHolidays();
        throw;
    }
    LoadHolidays();
    // The check skips a hand-edited line that is no range; here, where it can be deleted, the
    // user is told.
    const QStringList& bad = m_data.holidays().messages();
    if (!bad.isEmpty())
        m_boxes.WarningBox(&m_page, bad.join(u'\n'));
}
