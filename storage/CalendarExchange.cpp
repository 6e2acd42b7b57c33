#include "storage/CalendarExchange.h"

#include "platform/Errors.h"

#include <libical/ical.h>

#include <QCoreApplication>
#include <QMap>

#include <algorithm>
#include <memory>

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

QDate ToDate(const icaltimetype& t)
{
    return QDate(t.year, t.month, t.day);
}

icaltimetype FromDate(const QDate& date)
{
    icaltimetype t = icaltime_null_date();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    return t;
}

QString Summary(icalcomponent* event)
{
    const QString text = QString::fromUtf8(icalcomponent_get_summary(event)).trimmed();
    return text.isEmpty() ? QCoreApplication::translate("CalendarExchange", "（无标题）") : text;
}

QStringList Categories(icalcomponent* event)
{
    QStringList found;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_CATEGORIES_PROPERTY))
        // libical splits a list into one property per value; a writer may still escape commas.
        for (const QString& c : QString::fromUtf8(icalproperty_get_categories(p)).split(u','))
            if (!c.trimmed().isEmpty() && !found.contains(c.trimmed()))
                found << c.trimmed();
    return found;
}

// The weekday our own export wrote, or 0.
int WeekdayProperty(icalcomponent* event)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        if (qstricmp(icalproperty_get_x_name(p), WeekdayPropertyName.constData()) != 0)
            continue;
        bool ok = false;
        const int n = QString::fromUtf8(icalproperty_get_x(p)).trimmed().toInt(&ok);
        if (ok && n >= 1 && n <= 7)
            return n;
    }
    return 0;
}

// The day after the event's last, from DTEND (exclusive), else DURATION, else one day.
// An end at or before the start counts as one day, as some writers leave it.
QDate EndAfter(icalcomponent* event, const QDate& start)
{
    QDate after = start.addDays(1);
    if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const QDate end = ToDate(icalproperty_get_dtend(p));
        if (!end.isValid())
            return QDate();
        after = end;
    } else if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype d = icalproperty_get_duration(p);
        if (!d.is_neg)
            after = start.addDays(qint64(d.weeks) * 7 + d.days);
    }
    return after > start ? after : start.addDays(1);
}

bool InRanges(const std::vector<ImportedHoliday>& ranges, const QDate& day)
{
    return std::any_of(ranges.begin(), ranges.end(), [&](const ImportedHoliday& h) {
        return h.range.begin <= day && day <= h.range.end;
    });
}

std::vector<ImportedHoliday> Merged(std::vector<ImportedHoliday> ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](const ImportedHoliday& a, const ImportedHoliday& b) {
        return a.range.begin < b.range.begin;
    });
    std::vector<ImportedHoliday> merged;
    for (ImportedHoliday& h : ranges) {
        if (!merged.empty() && h.range.begin <= merged.back().range.end.addDays(1)) {
            ImportedHoliday& last = merged.back();
            last.range.end = std::max(last.range.end, h.range.end);
            for (const QString& s : h.summaries)
                if (!last.summaries.contains(s))
                    last.summaries << s;
        } else {
            merged.push_back(std::move(h));
        }
    }
    return merged;
}

// A make-up day without a weekday of its own runs as the next working day after it: a make-up
// day, or a Monday to Friday that no holiday of the file or the school covers.
void FillWeekdays(CalendarImport& result, const Holidays& existing)
{
    QMap<QDate, int> known;
    for (const MakeUpDay& d : existing.makeUpDays())
        known.insert(d.date, d.weekday);
    // Latest first, so a make-up day followed by another takes the later one's weekday.
    for (auto it = result.workDays.rbegin(); it != result.workDays.rend(); ++it) {
        MakeUpDay& day = it->day;
        if (day.weekday == 0)
            day.weekday = NextWorkingWeekday(
                day.date,
                [&](const QDate& d) { return InRanges(result.holidays, d) || existing.contains(d); },
                [&](const QDate& d) { return known.value(d); });
        known.insert(day.date, day.weekday);
    }
}

void ReadEvent(icalcomponent* event, const QStringList& workingMarks, CalendarImport& result,
               std::vector<ImportedHoliday>& ranges)
{
    const QString summary = Summary(event);
    auto ignore = [&](const QString& reason) { result.ignored.push_back({summary, reason}); };
    const QStringList categories = Categories(event);
    for (const QString& c : categories)
        if (!result.categories.contains(c))
            result.categories << c;

    if (icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) ||
        icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY))
        return ignore(QCoreApplication::translate("CalendarExchange", "重复的日程，未导入"));
    icalproperty* startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!startProperty)
        return ignore(QCoreApplication::translate("CalendarExchange", "没有开始日期，未导入"));
    const icaltimetype start = icalproperty_get_dtstart(startProperty);
    if (!start.is_date)
        return ignore(QCoreApplication::translate("CalendarExchange", "有具体时刻，不是全天的日程，未导入"));
    const QDate begin = ToDate(start);
    const QDate after = begin.isValid() ? EndAfter(event, begin) : QDate();
    if (!after.isValid())
        return ignore(QCoreApplication::translate("CalendarExchange", "日期无效，未导入"));
    if (!InCalendarYears(begin) || !InCalendarYears(after.addDays(-1)))
        return ignore(QCoreApplication::translate("CalendarExchange", "日期不在 %1 到 %2 年之间，未导入")
                          .arg(FirstCalendarYear)
                          .arg(LastCalendarYear));

    const bool working =
        summary.contains(WorkingDaySummaryMark) ||
        std::any_of(categories.begin(), categories.end(), [&](const QString& c) {
            return workingMarks.contains(c, Qt::CaseInsensitive);
        });
    if (!working) {
        ranges.push_back({{begin, after.addDays(-1)}, {summary}});
        return;
    }
    const int weekday = WeekdayProperty(event);
    for (QDate d = begin; d < after; d = d.addDays(1)) {
        const bool twice = std::any_of(result.workDays.begin(), result.workDays.end(),
                                       [&](const ImportedMakeUpDay& w) { return w.day.date == d; });
        if (twice)
            ignore(QCoreApplication::translate("CalendarExchange", "%1 在文件中已是调休上班日，未重复导入")
                       .arg(CalendarDateText(d)));
        else
            result.workDays.push_back({{d, weekday}, summary});
    }
}

// The VCALENDARs of a parse: the one parsed, or each inside the root libical wraps several in.
std::vector<icalcomponent*> Calendars(icalcomponent* root)
{
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT)
        return {root};
    std::vector<icalcomponent*> found;
    if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT)
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
            found.push_back(c);
    return found;
}

} // namespace

CalendarDates CalendarImport::dates() const
{
    CalendarDates d;
    for (const ImportedHoliday& h : holidays)
        d.holidays.push_back(h.range);
    for (const ImportedMakeUpDay& w : workDays)
        d.workDays.push_back(w.day);
    return d;
}

CalendarImport ReadCalendar(const QByteArray& icsText, const QStringList& workingMarks,
                            const Holidays& existing)
{
    QByteArray text = icsText;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    if (text.trimmed().isEmpty())
        throw ConversionError(QCoreApplication::translate("CalendarExchange", "文件是空的，不是日历"));
    const Component root(icalparser_parse_string(text.constData()), icalcomponent_free);
    if (!root)
        throw ConversionError(
            QCoreApplication::translate("CalendarExchange", "不是有效的 iCalendar 日历（无法解析，内容不完整或格式有误）"));
    const std::vector<icalcomponent*> calendars = Calendars(root.get());
    if (calendars.empty())
        throw ConversionError(QCoreApplication::translate("CalendarExchange", "不是 iCalendar 日历（没有 VCALENDAR 部分）"));

    CalendarImport result;
    std::vector<ImportedHoliday> ranges;
    int events = 0;
    for (icalcomponent* calendar : calendars)
        for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            ReadEvent(e, workingMarks, result, ranges);
            ++events;
        }
    if (events == 0)
        throw ConversionError(QCoreApplication::translate("CalendarExchange", "日历中没有任何日程（VEVENT）"));

    result.holidays = Merged(std::move(ranges));
    std::sort(result.workDays.begin(), result.workDays.end(),
              [](const ImportedMakeUpDay& a, const ImportedMakeUpDay& b) {
                  return a.day.date < b.day.date;
              });
    FillWeekdays(result, existing);
    return result;
}

namespace {

icalcomponent* AddEvent(icalcomponent* calendar, const QByteArray& uid, const QDate& begin,
                        const QDate& end, const QString& summary)
{
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(uid.constData()));
    // Taken from the event's date, not the clock: the same calendar exports to the same
    // bytes, and a changed range or weekday has another UID.
    icaltimetype stamp = FromDate(begin);
    stamp.is_date = 0;
    stamp.hour = stamp.minute = stamp.second = 0; // a null date leaves them at -1
    stamp.zone = icaltimezone_get_utc_timezone();
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(event, icalproperty_new_dtstart(FromDate(begin)));
    icalcomponent_add_property(event, icalproperty_new_dtend(FromDate(end.addDays(1))));
    icalcomponent_add_property(event, icalproperty_new_summary(summary.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    icalcomponent_add_component(calendar, event);
    return event;
}

// The file says the weekday in Chinese whatever the window's language: the same calendar
// always exports to the same bytes.
QString ExportedWeekdayName(int weekday)
{
    static const char16_t* const names[] = {u"周一", u"周二", u"周三", u"周四", u"周五", u"周六", u"周日"};
    return weekday >= 1 && weekday <= 7 ? QString::fromUtf16(names[weekday - 1]) : QString();
}

QByteArray Compact(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

} // namespace

QByteArray WriteCalendar(const Holidays& holidays)
{
    const Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT), icalcomponent_free);
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//TavuroMP3//School calendar//ZH"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));

    std::vector<DatedHoliday> ranges = holidays.datedHolidays();
    std::sort(ranges.begin(), ranges.end(),
              [](const DatedHoliday& a, const DatedHoliday& b) { return a.begin < b.begin; });
    for (const DatedHoliday& r : ranges)
        AddEvent(calendar.get(), "holiday-" + Compact(r.begin) + '-' + Compact(r.end) + "@tavuromp3",
                 r.begin, r.end, QStringLiteral("放假"));

    std::vector<MakeUpDay> days = holidays.makeUpDays();
    std::sort(days.begin(), days.end(),
              [](const MakeUpDay& a, const MakeUpDay& b) { return a.date < b.date; });
    for (const MakeUpDay& d : days) {
        const QByteArray uid =
            "workday-" + Compact(d.date) + '-' + QByteArray::number(d.weekday) + "@tavuromp3";
        icalcomponent* event = AddEvent(calendar.get(), uid, d.date, d.date,
                                        QStringLiteral("补班（按%1上课）").arg(ExportedWeekdayName(d.weekday)));
        icalproperty* weekday = icalproperty_new_x(QByteArray::number(d.weekday).constData());
        icalproperty_set_x_name(weekday, WeekdayPropertyName.constData());
        icalcomponent_add_property(event, weekday);
    }

    char* text = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray out(text);
    icalmemory_free_buffer(text);
    return out;
}
