#pragma once
// The school calendar of Config.ini as a value: the yearly holiday ranges of [Holiday]
// ("M-D=M-D", taken in whatever year the day asked about lies in), the dated holiday ranges of
// [HolidayDates] ("yyyy-MM-dd=yyyy-MM-dd") and the make-up working days of [WorkDays]
// ("yyyy-MM-dd=N": the date runs as weekday N, 1 Monday to 7 Sunday). Each line is read once.
#include <QDate>
#include <QStringList>

#include <functional>
#include <vector>

inline const QString HolidayDatesSection = QStringLiteral("HolidayDates");
inline const QString WorkDaysSection = QStringLiteral("WorkDays");

// A holiday range with a year, both ends included.
struct DatedHoliday {
    QDate begin, end;
    bool operator==(const DatedHoliday&) const = default;
};
// A date that runs as another weekday (1 Monday to 7 Sunday): a make-up working day.
struct MakeUpDay {
    QDate date;
    int weekday = 0;
    bool operator==(const MakeUpDay&) const = default;
};
// Dated holidays and make-up days, to be added together (by hand or from a calendar file).
struct CalendarDates {
    std::vector<DatedHoliday> holidays;
    std::vector<MakeUpDay> workDays;
    bool empty() const { return holidays.empty() && workDays.empty(); }
};

// The weekday a make-up day on day most likely stands in for: that of the first working day
// after it, which is a make-up day (makeUpWeekday gives its weekday, else 0) or a Monday to
// Friday that is no holiday. The day's own weekday when a year brings none.
int NextWorkingWeekday(const QDate& day, const std::function<bool(const QDate&)>& isHoliday,
                       const std::function<int(const QDate&)>& makeUpWeekday);

// The years a school calendar's dates may lie in: ample for any school, and within what
// calendar files can carry.
constexpr int FirstCalendarYear = 1900;
constexpr int LastCalendarYear = 2199;
inline bool InCalendarYears(const QDate& date)
{
    return date.isValid() && date.year() >= FirstCalendarYear && date.year() <= LastCalendarYear;
}

// "yyyy-MM-dd", the form of the calendar sections' dates.
QString CalendarDateText(const QDate& date);

class Holidays {
public:
    // A yearly range covers its first and last day whole. A day past its month's end (4-31,
    // 2-29 in a common year) counts as the month's last day; a range ending before it begins
    // covers nothing. A dated range may cross the new year. A line that reads as none of these
    // is kept in its lines, counts for nothing, and has a message; so has a make-up day that
    // falls in a dated holiday (the holiday stands).
    static Holidays Decode(const QStringList& lines, const QStringList& datedLines = {},
                           const QStringList& workDayLines = {});

    // The [Holiday] lines as stored, in file order.
    const QStringList& HolidayList() const { return m_lines; }
    const QStringList& DatedList() const { return m_datedLines; }
    const QStringList& WorkDayList() const { return m_workDayLines; }

    // A holiday: in a dated range, or in a yearly one and no make-up working day.
    bool contains(const QDate& day) const;
    // The weekday (1 Monday to 7 Sunday) the day runs as: a make-up day's, else its own.
    int weekdayOf(const QDate& day) const;
    bool isMakeUpDay(const QDate& day) const { return workDay(day) != nullptr; }
    // NextWorkingWeekday over this calendar.
    int nextWorkingWeekday(const QDate& day) const;
    // One message per line that counts for nothing, naming Config.ini, the section and the line.
    const QStringList& messages() const { return m_messages; }

    // The dated ranges and make-up days that count, in file order.
    const std::vector<DatedHoliday>& datedHolidays() const { return m_dated; }
    const std::vector<MakeUpDay>& makeUpDays() const { return m_workDays; }

    // What of added the calendar does not hold yet: the same range or make-up day again is
    // left out, as is a repeat within added.
    CalendarDates newIn(const CalendarDates& added) const;
    // Why added cannot join the calendar, one message per conflict: a range that ends before
    // it begins or overlaps another, a make-up day inside a holiday range, a date made up
    // twice as different weekdays. Empty when it can.
    QStringList conflicts(const CalendarDates& added) const;

private:
    struct Range {
        int beginMonth = 0, beginDay = 0, endMonth = 0, endDay = 0;
    };
    bool inDatedRange(const QDate& day) const;
    const MakeUpDay* workDay(const QDate& day) const;

    QStringList m_lines, m_datedLines, m_workDayLines;
    std::vector<Range> m_ranges;
    std::vector<DatedHoliday> m_dated;
    std::vector<MakeUpDay> m_workDays;
    QStringList m_messages;
};
