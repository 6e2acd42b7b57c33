#include "schedule/DayBells.h"

#include "platform/Errors.h"

#include <algorithm>

std::vector<DayBell> DayBells(const Timetable& timetable, const Holidays& holidays, const QDate& day)
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
        } catch (const AppError& e) {
            bell.fault = e.message();
        }
        bells.push_back(bell);
    }
    return bells;
}
