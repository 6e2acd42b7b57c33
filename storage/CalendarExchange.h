#pragma once
// The school calendar to and from iCalendar (.ics) text, through libical. Only whole days
// travel: an all-day event is a holiday range, or, when it says it is a working day, one
// make-up day per date it covers. Everything else in a file is named and left out.
#include "storage/Holidays.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

// The mark in an event's summary that makes it a working day ("上班", "补班", "调休上班" all
// hold it).
inline const QString WorkingDaySummaryMark = QStringLiteral("班");
// The weekday property our own export writes on a make-up day (1 Monday to 7 Sunday).
inline const QByteArray WeekdayPropertyName = "X-TAVURO-WEEKDAY";

struct ImportedHoliday {
    DatedHoliday range;
    QStringList summaries; // of every event merged into the range
};
struct ImportedMakeUpDay {
    MakeUpDay day; // its weekday: the file's own, else that of the next working day
    QString summary;
};
// An event of the file that is not taken in, and why.
struct IgnoredEvent {
    QString summary;
    QString reason;
};

struct CalendarImport {
    std::vector<ImportedHoliday> holidays;   // overlapping or touching ranges merged, by date
    std::vector<ImportedMakeUpDay> workDays; // by date, each date once
    std::vector<IgnoredEvent> ignored;       // in file order
    QStringList categories;                  // every category the file's events name, once
    CalendarDates dates() const;
};

// Reads the all-day events of icsText. workingMarks: categories that make an event a working
// day. existing: the school's calendar, whose holidays and make-up days decide which day
// counts as the next working day. Raises ConversionError when the text is not a calendar.
CalendarImport ReadCalendar(const QByteArray& icsText, const QStringList& workingMarks,
                            const Holidays& existing);

// The dated holidays and make-up days of holidays as a VCALENDAR (UTF-8, CR LF lines). The
// same calendar gives the same bytes.
QByteArray WriteCalendar(const Holidays& holidays);
