#include "schedule/DayBells.h"

#include "platform/Errors.h"

#include <algorithm>

namespace {

// The first day from now on that the once-only task would ring on: today only while its second
// is still ahead. A year without one is none.
QDate FirstDay(const Task& task, const Holidays& holidays, const QDateTime& now)
{
    QDate day = now.date();
    if (task.second <= now.time().msecsSinceStartOfDay() / 1000)
        day = day.addDays(1);
    for (int i = 0; i < 366; ++i, day = day.addDays(1))
        if (DecideDay(task, holidays, day) == DayDecision::Rings)
            return day;
    return QDate();
}

} // namespace

std::vector<DayBell> DayBells(const Timetable& timetable, const Holidays& holidays, const QDate& day,
                              const QDateTime& now)
{
    std::vector<const Task*> due;
    for (const Task& task : timetable.tasks())
        if (task.second >= 0 && !task.leaving)
            due.push_back(&task);
    std::stable_sort(due.begin(), due.end(),
                     [](const Task* a, const Task* b) { return a->second < b->second; });
    std::vector<DayBell> bells;
    bells.reserve(due.size());
    for (std::size_t i = 0; i < due.size(); ++i) {
        const Task* task = due[i];
        // A key listed twice in one second is one task, decided by its first line.
        bool seen = false;
        for (std::size_t j = i; j-- > 0 && due[j]->second == task->second && !seen;)
            seen = due[j]->key == task->key;
        if (seen)
            continue;
        DayBell bell;
        bell.task = task;
        try {
            bell.decision = DecideDay(*task, holidays, day);
            if (now.isValid() && bell.decision == DayDecision::Rings &&
                task->dateType() == DateType::OnceOnly) {
                bell.onceOnlyDay = FirstDay(*task, holidays, now);
                bell.onceOnlyElsewhere = bell.onceOnlyDay != day;
            }
        } catch (const AppError& e) {
            bell.fault = e.message();
        }
        bells.push_back(bell);
    }
    return bells;
}

std::vector<DueBell> BellsBetween(const Timetable& timetable, const Holidays& holidays, const QDateTime& from,
                                  const QDateTime& to)
{
    std::vector<DueBell> due;
    const QDateTime start = std::max(from, to.addDays(-1));
    for (QDate day = start.date(); day <= to.date(); day = day.addDays(1))
        for (const DayBell& bell : DayBells(timetable, holidays, day)) {
            const QDateTime at(day, QTime(0, 0).addSecs(bell.task->second));
            if (bell.rings() && at > start && at <= to)
                due.push_back({at, bell.task->key});
        }
    return due;
}
