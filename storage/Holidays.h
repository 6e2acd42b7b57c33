#pragma once
// The school calendar of Config.ini as a value: the yearly holiday ranges of [Holiday]
// ("M-D=M-D", taken in whatever year the day asked about lies in), the dated holiday ranges of
// [HolidayDates] ("yyyy-MM-dd=yyyy-MM-dd") and the make-up working days of [WorkDays]
// ("yyyy-MM-dd=N": the date runs as weekday N, 1 Monday to 7 Sunday). Each line is read once.
#include <QDate>
#include <QStringList>

#include <vector>

inline const QString HolidayDatesSection = QStringLiteral("HolidayDates");
inline const QString WorkDaysSection = QStringLiteral("WorkDays");

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
    // One message per line that counts for nothing, naming Config.ini, the section and the line.
    const QStringList& messages() const { return m_messages; }

private:
    struct Range {
        int beginMonth = 0, beginDay = 0, endMonth = 0, endDay = 0;
    };
    struct DatedRange {
        QDate begin, end;
    };
    struct WorkDay {
        QDate date;
        int weekday = 0;
    };
    bool inDatedRange(const QDate& day) const;
    const WorkDay* workDay(const QDate& day) const;

    QStringList m_lines, m_datedLines, m_workDayLines;
    std::vector<Range> m_ranges;
    std::vector<DatedRange> m_dated;
    std::vector<WorkDay> m_workDays;
    QStringList m_messages;
};
