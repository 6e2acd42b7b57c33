// A calendar file is whatever a school downloads: arbitrary bytes through libical either read
// as whole days or are refused with ConversionError, never anything else. What is read is sane
// (ranges in order within the calendar's years, make-up weekdays 1 to 7), the school calendar says why any of it cannot be
// added without raising, and what is written reads back as the same days.
#include "fuzz/FuzzCheck.h"
#include "platform/Errors.h"
#include "storage/CalendarExchange.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    static const Holidays school = Holidays::Decode({QStringLiteral("10-1=10-7")},
                                                    {QStringLiteral("2026-02-15=2026-02-23")},
                                                    {QStringLiteral("2026-02-14=2")});
    CalendarImport imported;
    try {
        imported = ReadCalendar(text, {QStringLiteral("上班")}, school);
    } catch (const ConversionError&) {
        return 0;
    }
    const CalendarDates dates = imported.dates();
    QStringList dated, workDays;
    for (const DatedHoliday& r : dates.holidays) {
        FUZZ_CHECK(InCalendarYears(r.begin) && InCalendarYears(r.end) && r.begin <= r.end, QString::fromUtf8(text));
        dated << CalendarDateText(r.begin) + u'=' + CalendarDateText(r.end);
    }
    for (const MakeUpDay& d : dates.workDays) {
        FUZZ_CHECK(InCalendarYears(d.date) && d.weekday >= 1 && d.weekday <= 7, QString::fromUtf8(text));
        workDays << CalendarDateText(d.date) + u'=' + QString::number(d.weekday);
    }
    school.conflicts(dates);

    // Written and read again: the same days (a make-up day inside a holiday stays out of both).
    const Holidays held = Holidays::Decode({}, dated, workDays);
    // A calendar without a day is not exported (it would not read back).
    if (held.datedHolidays().empty() && held.makeUpDays().empty())
        return 0;
    const CalendarImport again = ReadCalendar(WriteCalendar(held), {}, Holidays());
    const CalendarDates back = again.dates();
    FUZZ_CHECK(back.holidays == held.datedHolidays(), QString::fromUtf8(text));
    FUZZ_CHECK(back.workDays == held.makeUpDays(), QString::fromUtf8(text));
    return 0;
}
