#include "settings/HolidaySettings.h"

#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "settings/SettingsPage.h"
#include "storage/ConfigFile.h"
#include "storage/Holidays.h"
#include "storage/IniStore.h"
#include "storage/ProgramData.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTreeWidget>

QStringList ReadHolidayList(QStringList& holidayList)
{
    ReadConfigSection(HolidaySection, holidayList);
    return Holidays::Decode(holidayList).messages();
}

QString MonthDayText(int month, int day)
{
    return QStringLiteral("%1-%2").arg(month).arg(day);
}

HolidaySettings::HolidaySettings(SettingsPage& page, ProgramData& data,
                                 IMessageBoxes& boxes, const HandlerGuard& guard)
    : m_page(page), m_data(data), m_boxes(boxes)
{
    QObject::connect(page.btnHolidaySave, &QPushButton::clicked, &page,
                     guard.wrap([this] { btnHolidaySaveClick(); }));
    QObject::connect(page.btnHolidayDel, &QPushButton::clicked, &page,
                     guard.wrap([this] { btnHolidayDelClick(); }));
}

void HolidaySettings::LoadHolidays()
{
    QStringList lines;
    ReadConfigSection(HolidaySection, lines);
    QTreeWidget* list = m_page.lvHoliday;
    list->setUpdatesEnabled(false);
    list->clear();
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
    if (endKey >= beginKey) {
        WriteConfigString(HolidaySection, MonthDayText(begin.month(), begin.day()),
                          MonthDayText(end.month(), end.day()));
    } else {
        // Both ends of a range lie in the current year, so a break over the new year is kept as
        // its two parts; a range that could only be a slip of the picker is asked about first.
        const QString question =
            QStringLiteral("结束日期早于开始日期，将保存为跨年的假期：%1至12-31，1-1至%2。是否保存？")
                .arg(MonthDayText(begin.month(), begin.day()), MonthDayText(end.month(), end.day()));
        if (!m_boxes.ConfirmBox(&m_page, question))
            return;
        WriteConfigString(HolidaySection, MonthDayText(begin.month(), begin.day()),
                          MonthDayText(12, 31));
        WriteConfigString(HolidaySection, MonthDayText(1, 1), MonthDayText(end.month(), end.day()));
    }
    LoadHolidays();
    refillHolidayList();
}

void HolidaySettings::btnHolidayDelClick()
{
    const QList<QTreeWidgetItem*> selected = m_page.lvHoliday->selectedItems();
    if (selected.isEmpty())
        return;
    DeleteConfigKey(HolidaySection, selected.first()->text(0));
    LoadHolidays();
    refillHolidayList();
}

void HolidaySettings::refillHolidayList()
{
    QStringList lines;
    const QStringList bad = ReadHolidayList(lines);
    m_data.setHolidayList(lines);
    // The check skips a hand-edited line that is no range; here, where it can be deleted, the
    // user is told.
    if (!bad.isEmpty())
        m_boxes.WarningBox(&m_page, bad.join(u'\n'));
}
