#include "schedule/DueTimeCheck.h"

#include "platform/Errors.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <QTime>
#include <QTimeZone>

namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;
// How old a second may be and still be served: a tick held up by a busy event loop still
// rings its bell, a clock set forward further does not ring what it jumped over.
constexpr qint64 kCatchUpSeconds = 5;
// A second with a prepared task is ticked this much early and waited out to the millisecond,
// as a timer fires a millisecond or two after its time.
constexpr qint64 kEarlyMs = 3;
// A coming second's tasks are prepared from this far into the second before it.
constexpr int kPrepareFromMs = 250;

// What became of a bell: Chinese in the play log, translated in the day's list.
LoggedText Said(const char* source)
{
    return LoggedText::of("DueTimeCheck", source);
}

bool CharIsOne(const QString& text, qsizetype place)
{
    return place >= 1 && place <= text.size() && text[place - 1] == u'1';
}

// Second s in the time representation of now.
QDateTime LocalAt(qint64 s, const QDateTime& now)
{
    switch (now.timeSpec()) {
    case Qt::TimeZone:
        return QDateTime::fromSecsSinceEpoch(s, now.timeZone());
    case Qt::UTC:
        return QDateTime::fromSecsSinceEpoch(s, Qt::UTC);
    case Qt::OffsetFromUTC:
        return QDateTime::fromSecsSinceEpoch(s, Qt::OffsetFromUTC, now.offsetFromUtc());
    case Qt::LocalTime:
    default:
        return QDateTime::fromSecsSinceEpoch(s, Qt::LocalTime);
    }
}

} // namespace

TaskFlagsSay TaskFlags(const TaskEntryFields& task, bool isHoliday)
{
    if (task.EnabledValid && !task.Entry.Enabled)
        return TaskFlagsSay::SwitchedOff;
    if (isHoliday && task.HolidayValid && task.Entry.HolidayFlag == 0)
        return TaskFlagsSay::KeptOffByHoliday;
    return TaskFlagsSay::PlayDaysDecide;
}

bool IsPlayDay(const QString& params, const QDate& today, int weekday)
{
    TaskEntryFields task;
    ReadTimeParamsValue(params, task);
    // The fields before the date type are playback's business, even when they do not read.
    if (!task.HasParam(DateTypeField))
        throw ListIndexError(QCoreApplication::translate("DueTimeCheck", "“%1”中缺少播放日类型（第 4 项）").arg(params));
    const int type = task.Number(DateTypeField);
    if (type == 0 || type == 4)
        return true;
    if (type < 1 || type > 3)
        return false;
    if (!task.HasParam(DateParamsField))
        throw ListIndexError(QCoreApplication::translate("DueTimeCheck", "“%1”中缺少播放日参数（第 5 项）").arg(params));
    const QString& dates = task.Entry.DateParams;
    switch (type) {
    case 1:
        return CharIsOne(dates, weekday > 0 ? weekday : today.dayOfWeek());
    case 2:
        return CharIsOne(dates, today.day());
    default:
        // Read as the task editor reads it: a hand-written "2025-5-1" is the day the editor
        // shows and saves, so it rings then too. A text that names no date rings on no day.
        try {
            return ParseDateTime(dates).date() == today;
        } catch (const ConversionError&) {
            return false;
        }
    }
}

DayDecision DecideDay(const Task& task, const Holidays& holidays, const QDate& day)
{
    const QString& key = task.key;
    switch (TaskFlags(task.fields(), holidays.contains(day))) {
    case TaskFlagsSay::SwitchedOff:
        return DayDecision::SwitchedOff;
    case TaskFlagsSay::KeptOffByHoliday:
        return DayDecision::Holiday;
    case TaskFlagsSay::PlayDaysDecide:
        break;
    }
    const QString& params = task.paramsValue();
    // The message names the line, so that whoever finds a silent bell can find what to mend.
    auto notPlayed = [](const QString& message) {
        return QCoreApplication::translate("DueTimeCheck", "%1，该任务未播放").arg(message);
    };
    if (params.trimmed().isEmpty())
        throw ListIndexError(notPlayed(QCoreApplication::translate("DueTimeCheck", "%1 的 [%2] 中缺少 %3 一行或该行为空")
                                           .arg(TaskFileName, TimeParamsSection, key)));
    try {
        return IsPlayDay(params, day, holidays.weekdayOf(day)) ? DayDecision::Rings
                                                                 : DayDecision::NotItsDay;
    } catch (const ListIndexError& e) {
        throw ListIndexError(notPlayed(TaskLineMessage(TimeParamsSection, key, e.message())));
    } catch (const ConversionError& e) {
        throw ConversionError(notPlayed(TaskLineMessage(TimeParamsSection, key, e.message())));
    }
}

bool TaskPlaysToday(const QString& key, const Timetable& timetable, const Holidays& holidays,
                    const QDateTime& now)
{
    Task none;
    none.key = key;
    const Task* task = timetable.find(key);
    return DecideDay(task ? *task : none, holidays, now.date()) == DayDecision::Rings;
}

void DueTimeCheck::Tick(const IClock& clock, const Timetable& timetable, const Holidays& holidays, const StartTask& startTask,
                        const Report& report)
{
    WaitForPreparedSecond(clock);
    const QDateTime now = clock.now();
    const qint64 current = now.toSecsSinceEpoch();
    qint64 first = current;
    // A second already served has nothing to start; its tick may still prepare the next.
    const bool served = m_lastServed && *m_lastServed == current;
    if (served && !m_prepare)
        return;
    std::optional<std::pair<qint64, qint64>> skipped;
    if (served) {
        first = current + 1;
    } else if (m_lastServed) {
        // Catch up only when every skipped second is still young enough; a clock set back
        // serves the current second alone.
        if (*m_lastServed < current && current - (*m_lastServed + 1) <= kCatchUpSeconds)
            first = *m_lastServed + 1;
        else if (*m_lastServed + 1 < current)
            skipped = std::pair{*m_lastServed + 1, current - 1};
    }
    // Taken before anything is called, so a tick from a nested event loop serves only later
    // seconds.
    m_lastServed = current;
    m_gapMs = m_sinceServed.isValid() ? m_sinceServed.restart() : (m_sinceServed.start(), 0);

    // The replaced index may hold the last copy of a large timetable: freed as the tick ends,
    // after its bells have started, not before.
    std::shared_ptr<const Index> replaced;
    if (!m_index || !m_index->timetable.sameAs(timetable)) {
        replaced = m_index;
        Rebuild(timetable);
    }
    // Kept alive here: a nested tick may put a new index in place while this walk runs.
    const std::shared_ptr<const Index> index = m_index;
    if (skipped)
        AccountSkipped(skipped->first, skipped->second, *index, clock, now, holidays, startTask, report);
    m_slept = false;
    for (qint64 s = first; s <= current; ++s)
        Serve(s, *index, clock, now, holidays, startTask, report);
    // Not in the tick that starts this second's tasks: opening the next file would compete
    // with the bell that is just starting.
    if (m_prepare && now.time().msec() >= kPrepareFromMs)
        PrepareAhead(current + 1, *index, now, holidays);
}

void DueTimeCheck::PrepareAhead(qint64 second, const Index& index, const QDateTime& now,
                                const Holidays& holidays)
{
    if (m_preparedSecond == second)
        return;
    m_preparedSecond = second;
    m_preparedAny = false;
    const QDateTime local = LocalAt(second, now);
    const int sod = local.time().msecsSinceStartOfDay() / 1000;
    for (int i = index.offsets[sod]; i < index.offsets[sod + 1]; ++i) {
        const Task& task = index.task(i);
        try {
            if (DecideDay(task, holidays, local.date()) == DayDecision::Rings) {
                m_preparedAny = true;
                m_prepare(task.key);
            }
        } catch (const AppError&) {
            // Said when the task falls due, where it counts.
        }
    }
}

void DueTimeCheck::Serve(qint64 second, const Index& index, const IClock& clock,
                         const QDateTime& now, const Holidays& holidays,
                         const StartTask& startTask, const Report& report)
{
    const QDateTime local = LocalAt(second, now);
    const int sod = local.time().msecsSinceStartOfDay() / 1000;
    const QDate date = local.date();
    // The spring night's hour that the local clock leaps over: its bells are on record.
    if (m_prevServed && m_prevServed->epoch == second - 1 && m_prevServed->date == date &&
        sod - m_prevServed->sod > 1)
        for (int d = m_prevServed->sod + 1; d < sod; ++d)
            for (int i = index.offsets[d]; i < index.offsets[d + 1]; ++i)
                try {
                    if (DecideDay(index.task(i), holidays, date) == DayDecision::Rings)
                        note(index.task(i).key, date,
                             Said(QT_TRANSLATE_NOOP("DueTimeCheck", "未播放：夏令时开始，时钟跳过了这个时刻")));
                } catch (const AppError& e) {
                    report(e.message());
                }
    m_prevServed = ServedSecond{second, date, sod};
    const int from = index.offsets[sod], to = index.offsets[sod + 1];
    if (from == to)
        return;
    // A box opened by a task can hold the walk for long; what is left of a second by then
    // too old is dropped rather than started late.
    auto stale = [&] { return clock.msecsSinceEpoch() / 1000 - second > kCatchUpSeconds; };
    // What a long hold-up leaves of the second is on record, not started late.
    auto dropRest = [&](int i) {
        for (; i < to; ++i) {
            const Task& task = index.task(i);
            try {
                if (DecideDay(task, holidays, date) == DayDecision::Rings)
                    note(task.key, date, Said(QT_TRANSLATE_NOOP("DueTimeCheck", "未播放：程序被占用，计时晚了 %1 秒"))
                                             .arg(clock.msecsSinceEpoch() / 1000 - second));
            } catch (const AppError&) {
            }
        }
    };
    for (int i = from; i < to; ++i) {
        const Task& task = index.task(i);
        const QString& key = task.key;
        const auto last = m_started.constFind(key);
        if (last != m_started.cend() && last->date == date && last->second == sod)
            continue;
        if (stale())
            return dropRest(i);
        try {
            const DayDecision decision = DecideDay(task, holidays, local.date());
            if (decision == DayDecision::Holiday && m_journal)
                m_journal(key, QStringLiteral("节假日，不播放"));
            if (decision != DayDecision::Rings)
                continue;
            if (stale())
                return dropRest(i);
            m_started.insert(key, LastStart{date, sod});
            const qint64 late = clock.msecsSinceEpoch() / 1000 - second;
            if (late > 0 && m_journal)
                m_journal(key, QStringLiteral("补播：计时晚了 %1 秒").arg(late));
            startTask(key);
        } catch (const AppError& e) {
            report(e.message());
        }
    }
}

void DueTimeCheck::AccountSkipped(qint64 first, qint64 last, const Index& index, const IClock& clock,
                                  const QDateTime& now, const Holidays& holidays,
                                  const StartTask& startTask, const Report& report)
{
    // Only the last day is looked at: a machine off for longer has nothing worth ringing.
    first = std::max(first, last - kSecondsPerDay + 1);
    struct Missed {
        qint64 second;
        const Task* task;
        QDate date;
        int sod;
    };
    std::vector<Missed> missed;
    // A stretch of one day without a change of the clock's offset runs its seconds of the day in
    // step with the epoch: two conversions for the stretch instead of one per second.
    for (qint64 s = first; s <= last;) {
        const QDateTime local = LocalAt(s, now);
        const int sod = local.time().msecsSinceStartOfDay() / 1000;
        qint64 end = std::min(last, s + (kSecondsPerDay - 1 - sod));
        const QDateTime endLocal = LocalAt(end, now);
        if (endLocal.date() != local.date() || endLocal.time().msecsSinceStartOfDay() / 1000 != sod + (end - s))
            end = s;
        for (qint64 t = s; t <= end; ++t) {
            const int d = sod + int(t - s);
            for (int i = index.offsets[d]; i < index.offsets[d + 1]; ++i) {
                const Task& task = index.task(i);
                const auto started = m_started.constFind(task.key);
                if (started != m_started.cend() && started->date == local.date() && started->second == d)
                    continue;
                try {
                    if (DecideDay(task, holidays, local.date()) == DayDecision::Rings)
                        missed.push_back({t, &task, local.date(), d});
                } catch (const AppError& e) {
                    report(e.message());
                }
            }
        }
        s = end + 1;
    }
    if (missed.empty())
        return;
    const bool heldUp = m_gapMs >= (last - first + 1) * 1000;
    const LoggedText cause = Said(m_slept    ? QT_TRANSLATE_NOOP("DueTimeCheck", "计算机休眠")
                                  : heldUp ? QT_TRANSLATE_NOOP("DueTimeCheck", "程序被占用，计时中断")
                                           : QT_TRANSLATE_NOOP("DueTimeCheck", "系统时钟向前跳了"));
    const qint64 lateSecond = missed.back().second;
    const qint64 late = clock.msecsSinceEpoch() / 1000 - lateSecond;
    const bool ringLate = m_lateGrace > 0 && late <= m_lateGrace;
    for (const Missed& m : missed) {
        if (ringLate && m.second == lateSecond)
            continue;
        note(m.task->key, m.date,
             ringLate ? Said(QT_TRANSLATE_NOOP("DueTimeCheck", "未播放：%1，只补播最后一个铃声")).arg(cause)
                      : Said(QT_TRANSLATE_NOOP("DueTimeCheck", "未播放：%1，错过 %2 秒，超过补播时限 %3 秒"))
                            .arg(cause)
                            .arg(clock.msecsSinceEpoch() / 1000 - m.second)
                            .arg(m_lateGrace));
    }
    if (!ringLate)
        return;
    for (const Missed& m : missed) {
        if (m.second != lateSecond)
            continue;
        m_started.insert(m.task->key, LastStart{m.date, m.sod});
        note(m.task->key, m.date, Said(QT_TRANSLATE_NOOP("DueTimeCheck", "补播：%1，晚了 %2 秒")).arg(cause).arg(late));
        try {
            startTask(m.task->key);
        } catch (const AppError& e) {
            report(e.message());
        }
    }
}

void DueTimeCheck::note(const QString& key, const QDate& date, const LoggedText& text)
{
    m_records.insert(key, Record{date, text.shown});
    if (m_journal)
        m_journal(key, text.logged);
}

QString DueTimeCheck::record(const QString& key, const QDate& date) const
{
    const auto it = m_records.constFind(key);
    return it != m_records.cend() && it->date == date ? it->text : QString();
}

void DueTimeCheck::Rebuild(const Timetable& timetable)
{
    auto index = std::make_shared<Index>();
    index->timetable = timetable;
    const std::vector<Task>& tasks = timetable.tasks();
    const int n = int(tasks.size());
    // Counting sort by second, each second's tasks in file order.
    std::vector<int> start(kSecondsPerDay + 1, 0);
    for (const Task& task : tasks)
        if (task.second >= 0 && !task.leaving)
            ++start[task.second + 1];
    for (int d = 0; d < kSecondsPerDay; ++d)
        start[d + 1] += start[d];
    std::vector<int> order(static_cast<std::size_t>(start[kSecondsPerDay]));
    {
        std::vector<int> next(start.begin(), start.end() - 1);
        for (int i = 0; i < n; ++i)
            if (tasks[std::size_t(i)].second >= 0 && !tasks[std::size_t(i)].leaving)
                order[std::size_t(next[std::size_t(tasks[std::size_t(i)].second)]++)] = i;
    }

    index->offsets.assign(kSecondsPerDay + 1, 0);
    index->tasks.reserve(order.size());
    for (int d = 0; d < kSecondsPerDay; ++d) {
        const int bucket = static_cast<int>(index->tasks.size());
        index->offsets[std::size_t(d)] = bucket;
        for (int j = start[std::size_t(d)]; j < start[std::size_t(d) + 1]; ++j) {
            const QString& key = tasks[std::size_t(order[std::size_t(j)])].key;
            // A key listed twice is one task, checked by its first line. Keys of one second
            // differ at most in a leading zero, so the bucket is tiny.
            bool seen = false;
            for (std::size_t k = std::size_t(bucket); k < index->tasks.size() && !seen; ++k)
                seen = tasks[std::size_t(index->tasks[k])].key == key;
            if (!seen)
                index->tasks.push_back(order[std::size_t(j)]);
        }
    }
    index->offsets[kSecondsPerDay] = static_cast<int>(index->tasks.size());
    m_index = std::move(index);
}

void DueTimeCheck::WaitForPreparedSecond(const IClock& clock) const
{
    if (!m_preparedAny || !m_preparedSecond)
        return;
    const qint64 target = *m_preparedSecond * 1000;
    if (clock.msecsSinceEpoch() < target - kEarlyMs - 1)
        return;
    // Bounded by the wall clock too, so a clock that stands still cannot hold the thread.
    QElapsedTimer waited;
    waited.start();
    while (clock.msecsSinceEpoch() < target && waited.elapsed() <= kEarlyMs + 1) {
    }
}

int DueTimeCheck::MsUntilTick(qint64 nowMSecs) const
{
    const int ms = MsUntilNextTick(nowMSecs);
    const qint64 at = nowMSecs + ms;
    if (m_preparedAny && m_preparedSecond && at - 1 == *m_preparedSecond * 1000)
        return int(std::max<qint64>(0, ms - 1 - kEarlyMs));
    return ms;
}

int DueTimeCheck::MsUntilPastSecond(qint64 nowMSecs, int pastSecondMs)
{
    constexpr qint64 second = 1000, nearest = 200;
    const qint64 into = (((nowMSecs - pastSecondMs) % second) + second) % second;
    // Never a moment just ahead: a timer that fires a hair early would run twice in a second,
    // and a clock that stands still would keep it firing.
    const qint64 ms = second - into;
    return static_cast<int>(ms < nearest ? ms + second : ms);
}

int DueTimeCheck::MsUntilNextTick(qint64 nowMSecs)
{
    constexpr qint64 half = 500;
    const qint64 into = ((nowMSecs % half) + half) % half;
    // Just past it, so a bell starts as its second begins; a tick that comes a hair early by
    // the wall clock finds nothing new and is armed again for the second it just missed.
    return static_cast<int>(half - into) + 1;
}
