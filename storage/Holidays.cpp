#include "storage/Holidays.h"

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

} // namespace

Holidays Holidays::Decode(const QStringList& lines)
{
    Holidays holidays;
    holidays.m_lines = lines;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        Range r;
        if (eq >= 0 && ParseMonthDay(QStringView(line).left(eq), r.beginMonth, r.beginDay) &&
            ParseMonthDay(QStringView(line).mid(eq + 1), r.endMonth, r.endDay))
            holidays.m_ranges.push_back(r);
        else
            holidays.m_messages
                << QStringLiteral("Config.ini 的 [Holiday] 中“%1”不是有效的节假日（月-日=月-日），已忽略")
                       .arg(line);
    }
    return holidays;
}

bool Holidays::contains(const QDate& day) const
{
    for (const Range& r : m_ranges) {
        // Whole days, so comparing dates covers 00:00:00 of the first to 23:59:59 of the last.
        if (InYear(day.year(), r.beginMonth, r.beginDay) <= day &&
            day <= InYear(day.year(), r.endMonth, r.endDay))
            return true;
    }
    return false;
}
