#pragma once
// A timetable of periods (作息时间表): the periods of a school day, the bells chosen once for
// all of them, the weekdays, and the day of the year it applies from (夏季作息 from 05-01,
// 冬季作息 from 10-01). It stands for ordinary tasks of the task file, made by one pure function,
// so the due-time check and older versions of the program ring it unchanged.
#include "storage/TaskEntry.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <array>
#include <utility>
#include <vector>

inline const QString PeriodTimetablesSection = QStringLiteral("PeriodTimetables");
// The one key of [PeriodTimetableInForce]: the name of the timetable whose tasks the file holds.
inline const QString PeriodTimetableInForceSection = QStringLiteral("PeriodTimetableInForce");
inline const QString PeriodTimetableInForceKey = QStringLiteral("Name");

struct Period {
    QString name;
    QTime start, end;
    bool operator==(const Period&) const = default;
};

struct PeriodTimetable {
    QString name;
    int fromMonth = 1, fromDay = 1; // applies from this day of each year until the next one's
    std::array<bool, 7> weekdays{true, true, true, true, true, false, false}; // Monday first
    bool holidaysKeepSilent = true;
    QString classBell;   // library number rung at each period's start
    QString endBell;     // at each period's end; empty: none
    QString warningBell; // warningMinutes before each class bell; empty: none
    int warningMinutes = 2;
    std::vector<Period> periods;
    bool operator==(const PeriodTimetable&) const = default;
};

// One task the timetable stands for: its key (the time of day) and its values.
struct PeriodTask {
    QString key;
    TaskEntry entry;
    QString what; // "第一节 上课铃", for messages: in the window's language
};

// The tasks, in time order. Two bells of the timetable in one second are a fault that
// PeriodTimetableProblems names; here the first one wins.
std::vector<PeriodTask> PeriodTasks(const PeriodTimetable& timetable);

// Why the timetable cannot be saved, one message per fault: no name or one with a character the
// file cannot keep, no class bell, a period without a start or ending before it starts, two
// bells in one second, no weekday.
QStringList PeriodTimetableProblems(const PeriodTimetable& timetable);

// The timetable in force on day: the one whose start day of the year comes last on or before
// it, else (early in the year) the last one of the year before. Null when there is none.
const PeriodTimetable* PeriodTimetableOn(const std::vector<PeriodTimetable>& timetables, const QDate& day);

// The section's lines ("name=value") as timetables; a line that does not read is named in
// messages and skipped.
std::vector<PeriodTimetable> DecodePeriodTimetables(const QStringList& lines, QStringList* messages = nullptr);
// The value a timetable is stored with under its name.
QString FormatPeriodTimetable(const PeriodTimetable& timetable);
