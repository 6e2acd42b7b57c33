#include "storage/Holidays.h"

#include "storage/TaskFile.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// "M-D" as month and day: digits only, month 1 to 12, day 1 to 31. Whether the day exists in
// a given year is settled when the range is placed in it.
bool ParseMonthDay(QStringView text, int& month, int& day)
{
    const QStringView t = text.trimmed();
    const qsizetype dash = t.indexOf(u'-');
    if (dash < 1 || dash > 2 || t.size() - dash - 1 < 1 || t.size() - dash - 1 > 2)
        return false;
    auto number = [](QStringView digits, int& value) {
        value = 0;
        for (const QChar c : digits) {
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c.unicode() - u'0');
        }
        return true;
    };
    return number(t.left(dash), month) && number(t.mid(dash + 1), day) && month >= 1 &&
           month <= 12 && day >= 1 && day <= 31;
}

// A day past the month's end (4-31, 2-29 in a common year) is the month's last day.
QDate InYear(int year, int month, int day)
{
    return QDate(year, month, qMin(day, QDate(year, month, 1).daysInMonth()));
}

// "yyyy-MM-dd", leading zeros optional, within the calendar's years; a null date for anything
// else.
QDate ParseDate(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(u'-');
    if (parts.size() != 3 || parts[0].size() != 4)
        return QDate();
    int numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (parts[i].isEmpty() || parts[i].size() > 4)
            return QDate();
        for (const QChar c : parts[i]) {
            if (c < u'0' || c > u'9')
                return QDate();
            numbers[i] = numbers[i] * 10 + (c.unicode() - u'0');
        }
    }
    const QDate date(numbers[0], numbers[1], numbers[2]);
    return InCalendarYears(date) ? date : QDate();
}

QString LineMessage(const QString& section, const QString& line, const QString& what)
{
    return QCoreApplication::translate("Holidays", "Config.ini 的 [%1] 中“%2”%3，已忽略").arg(section, line, what);
}

} // namespace

Holidays Holidays::Decode(const QStringList& lines, const QStringList& datedLines,
                          const QStringList& workDayLines)
{
    Holidays holidays;
    holidays.m_lines = lines;
    holidays.m_datedLines = datedLines;
    holidays.m_workDayLines = workDayLines;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        Range r;
        if (eq >= 0 && ParseMonthDay(QStringView(line).left(eq), r.beginMonth, r.beginDay) &&
            ParseMonthDay(QStringView(line).mid(eq + 1), r.endMonth, r.endDay))
            holidays.m_ranges.push_back(r);
        else
            holidays.m_messages
                << QCoreApplication::translate("Holidays", "Config.ini 的 [Holiday] 中“%1”不是有效的节假日（月-日=月-日），已忽略")
                       .arg(line);
    }
    for (const QString& line : datedLines) {
        const qsizetype eq = line.indexOf(u'=');
        const DatedHoliday r{eq < 0 ? QDate() : ParseDate(QStringView(line).left(eq)),
                           eq < 0 ? QDate() : ParseDate(QStringView(line).mid(eq + 1))};
        if (r.begin.isValid() && r.end.isValid() && r.begin <= r.end)
            holidays.m_dated.push_back(r);
        else
            holidays.m_messages << LineMessage(HolidayDatesSection, line,
                                               QCoreApplication::translate("Holidays", "不是有效的节假日（年-月-日=年-月-日）"));
    }
    for (const QString& line : workDayLines) {
        const qsizetype eq = line.indexOf(u'=');
        MakeUpDay d{eq < 0 ? QDate() : ParseDate(QStringView(line).left(eq)), 0};
        if (eq >= 0) {
            const QStringView n = QStringView(line).mid(eq + 1).trimmed();
            if (n.size() == 1 && n[0] >= u'1' && n[0] <= u'7')
                d.weekday = n[0].unicode() - u'0';
        }
        if (!d.date.isValid() || d.weekday == 0)
            holidays.m_messages << LineMessage(
                WorkDaysSection, line,
                QCoreApplication::translate("Holidays", "不是有效的调休上班日（年-月-日=星期几，1 到 7）"));
        else if (holidays.inDatedRange(d.date))
            holidays.m_messages << LineMessage(WorkDaysSection, line,
                                               QCoreApplication::translate("Holidays", "落在节假日内"));
        else
            holidays.m_workDays.push_back(d);
    }
    return holidays;
}

bool Holidays::inDatedRange(const QDate& day) const
{
    for (const DatedHoliday& r : m_dated)
        if (r.begin <= day && day <= r.end)
            return true;
    return false;
}

const MakeUpDay* Holidays::workDay(const QDate& day) const
{
    for (const MakeUpDay& d : m_workDays)
        if (d.date == day)
            return &d;
    return nullptr;
}

int Holidays::weekdayOf(const QDate& day) const
{
    const MakeUpDay* d = workDay(day);
    return d ? d->weekday : day.dayOfWeek();
}

int NextWorkingWeekday(const QDate& day, const std::function<bool(const QDate&)>& isHoliday,
                       const std::function<int(const QDate&)>& makeUpWeekday)
{
    for (int ahead = 1; ahead <= 366; ++ahead) {
        const QDate next = day.addDays(ahead);
        if (const int weekday = makeUpWeekday(next))
            return weekday;
        if (next.dayOfWeek() <= 5 && !isHoliday(next))
            return next.dayOfWeek();
    }
    return day.dayOfWeek();
}

int Holidays::nextWorkingWeekday(const QDate& day) const
{
    return NextWorkingWeekday(
        day, [this](const QDate& d) { return contains(d); },
        [this](const QDate& d) {
            const MakeUpDay* m = workDay(d);
            return m ? m->weekday : 0;
        });
}

bool Holidays::contains(const QDate& day) const
{
    if (inDatedRange(day))
        return true;
    if (workDay(day))
        return false;
    for (const Range& r : m_ranges) {
        // Whole days, so comparing dates covers 00:00:00 of the first to 23:59:59 of the last.
        if (InYear(day.year(), r.beginMonth, r.beginDay) <= day &&
            day <= InYear(day.year(), r.endMonth, r.endDay))
            return true;
    }
    return false;
}

QString CalendarDateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

namespace {

QString RangeText(const DatedHoliday& r)
{
    return r.begin == r.end ? CalendarDateText(r.begin)
                            : QCoreApplication::translate("Holidays", "%1 至 %2")
                                  .arg(CalendarDateText(r.begin), CalendarDateText(r.end));
}

} // namespace

CalendarDates Holidays::newIn(const CalendarDates& added) const
{
    CalendarDates fresh;
    for (const DatedHoliday& r : added.holidays)
        if (std::find(m_dated.begin(), m_dated.end(), r) == m_dated.end() &&
            std::find(fresh.holidays.begin(), fresh.holidays.end(), r) == fresh.holidays.end())
            fresh.holidays.push_back(r);
    for (const MakeUpDay& d : added.workDays)
        if (std::find(m_workDays.begin(), m_workDays.end(), d) == m_workDays.end() &&
            std::find(fresh.workDays.begin(), fresh.workDays.end(), d) == fresh.workDays.end())
            fresh.workDays.push_back(d);
    return fresh;
}

QStringList Holidays::conflicts(const CalendarDates& added) const
{
    const CalendarDates fresh = newIn(added);
    QStringList found;
    std::vector<DatedHoliday> ranges = m_dated;
    for (const DatedHoliday& r : fresh.holidays) {
        if (!InCalendarYears(r.begin) || !InCalendarYears(r.end)) {
            found << QCoreApplication::translate("Holidays", "节假日 %1 不在 %2 到 %3 年之间")
                         .arg(RangeText(r)).arg(FirstCalendarYear).arg(LastCalendarYear);
            continue;
        }
        if (r.end < r.begin) {
            found << QCoreApplication::translate("Holidays", "节假日 %1 的结束日期早于开始日期").arg(RangeText(r));
            continue;
        }
        for (const DatedHoliday& other : ranges)
            if (r.begin <= other.end && other.begin <= r.end) {
                found << QCoreApplication::translate("Holidays", "节假日 %1 与节假日 %2 重叠").arg(RangeText(r), RangeText(other));
                break;
            }
        ranges.push_back(r);
    }
    std::vector<MakeUpDay> days = m_workDays;
    for (const MakeUpDay& d : fresh.workDays) {
        if (!InCalendarYears(d.date) || d.weekday < 1 || d.weekday > 7) {
            found << QCoreApplication::translate("Holidays", "调休上班日 %1 不是有效的日期和星期").arg(CalendarDateText(d.date));
            continue;
        }
        for (const MakeUpDay& other : days)
            if (other.date == d.date) {
                found << QCoreApplication::translate("Holidays", "%1 已是调休上班日（按%2上课）")
                             .arg(CalendarDateText(d.date), WeekdayNames().value(other.weekday));
                break;
            }
        days.push_back(d);
    }
    // A make-up day inside a holiday range, whichever of the two is new.
    for (const MakeUpDay& d : days)
        for (const DatedHoliday& r : ranges)
            if (r.begin <= d.date && d.date <= r.end &&
                (std::find(fresh.workDays.begin(), fresh.workDays.end(), d) != fresh.workDays.end() ||
                 std::find(fresh.holidays.begin(), fresh.holidays.end(), r) != fresh.holidays.end()))
                found << QCoreApplication::translate("Holidays", "调休上班日 %1 落在节假日 %2 内")
                             .arg(CalendarDateText(d.date), RangeText(r));
    return found;
}
