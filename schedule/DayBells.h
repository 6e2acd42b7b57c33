#pragma once
// A day's bells at a glance: every task that falls due on a day, in time order, with whether
// it rings then and, if not, why. The due-time check's own decision, so the two always agree.
#include "schedule/DueTimeCheck.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

struct DayBell {
    const Task* task = nullptr; // into the timetable given
    DayDecision decision = DayDecision::NotItsDay;
    // Why the task cannot be decided (its parameters do not read); the due-time check reports
    // the same when it falls due. Empty when decided.
    QString fault;
    // A once-only task rings on the first day it would from now on and then leaves the
    // timetable: on any other day this is that first day (null when it rings on none ahead).
    QDate onceOnlyDay;
    bool onceOnlyElsewhere = false;
    bool rings() const { return fault.isEmpty() && decision == DayDecision::Rings && !onceOnlyElsewhere; }
};

// The tasks with a time of day, by second and in file order within one, the first of each key
// only, as the due-time check serves them; a once-only task that has started is not among them.
// With now given, a once-only task rings only on its first day from now on.
std::vector<DayBell> DayBells(const Timetable& timetable, const Holidays& holidays, const QDate& day,
                              const QDateTime& now = QDateTime());

// A bell that was to ring in a stretch of time, with the moment it was due.
struct DueBell {
    QDateTime at;
    QString key;
};
// The bells that ring after from and up to to, in time order; a stretch longer than a day is
// looked at over its last day only.
std::vector<DueBell> BellsBetween(const Timetable& timetable, const Holidays& holidays, const QDateTime& from,
                                  const QDateTime& to);
