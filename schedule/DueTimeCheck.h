#pragma once
// Which task starts in which second: the day rules of a task's parameters, the holiday
// ranges, and the tick that walks the seconds and starts the tasks due in them.
// No widget in here; the main window owns the lists and the timer.
#include "platform/Clock.h"
#include "platform/LoggedText.h"
#include "storage/Holidays.h"
#include "storage/Timetable.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Whether a task with the parameter line "LoopCount,SourceType,PlayMode,DateType,DateParams,..."
// plays on the given day. Date types: 0 every day, 1 weekdays (place 1..7 = Monday..Sunday),
// 2 days of the month (place n = day n), 3 one date ("yyyy-m-d", read as the editor reads it),
// 4 once only; any other type never plays. A place past the end of the text counts as not
// chosen. weekday, when given (1 to 7), is the weekday the day runs as (a make-up working day).
// Raises ListIndexError when the date type (or, for types 1 to 3, the date text) is missing
// and ConversionError when the date type is no number.
bool IsPlayDay(const QString& params, const QDate& today, int weekday = 0);

// What the flags of a task's Time value say: it is switched off, a holiday keeps it silent
// (isHoliday, and its holiday flag is "0"), or its play days decide. Only a flag that reads 0
// keeps a task off or lets the holidays count; a damaged flag does neither.
enum class TaskFlagsSay { PlayDaysDecide, SwitchedOff, KeptOffByHoliday };
TaskFlagsSay TaskFlags(const TaskEntryFields& task, bool isHoliday);

// Whether a task rings on a day, and if not, why. The one decision the due-time check, the
// tray and whatever shows a day's bells take. The parameters are tested only when the flags let
// the task ring; parameters that are missing or cannot be tested raise with a message naming
// the task file, [TimeParams] and the key. A weekly task runs on a make-up working day as on
// the weekday the calendar gives it.
enum class DayDecision { Rings, SwitchedOff, Holiday, NotItsDay };
DayDecision DecideDay(const Task& task, const Holidays& holidays, const QDate& day);

// Whether the task under key plays at now: its Time value in the timetable (key compared as
// the file compares names) is enabled, it is not kept off by a holiday (when its holiday flag
// is "0"), and its parameters allow the day. The parameters are tested only when the first two
// checks pass. Parameters that are missing or cannot be tested raise with a message naming the
// task file, [TimeParams] and the key.
bool TaskPlaysToday(const QString& key, const Timetable& timetable, const Holidays& holidays,
                    const QDateTime& now);

// Starts each task once in its second. Every tick serves the seconds since the previous tick
// (a gap of up to five seconds is made good; a larger jump of the clock serves only the
// current second), and remembers per task the date and second it last started, so neither a
// tick twice in a second nor a clock set back or the repeated hour of the autumn night starts
// a task again. The tasks due in a second come from an index over the timetable, rebuilt only
// when the timetable has changed. A task leaving the timetable (a once-only task that started)
// is not due again.
class DueTimeCheck {
public:
    using StartTask = std::function<void(const QString& key)>;
    using Report = std::function<void(const QString& message)>;
    // One line of the play log for a task: kept off by a holiday, or started late.
    using Journal = std::function<void(const QString& key, const QString& event)>;

    void setJournal(Journal journal) { m_journal = std::move(journal); }
    // After a clock jump forward or a sleep longer than the catch-up gap, the last bell of the
    // skipped seconds rings late when it is at most this many seconds old (0: never); every
    // other skipped bell goes to the journal with why it did not ring.
    void setLateGrace(int seconds) { m_lateGrace = seconds; }
    // The computer is going to sleep: the next gap is put down to that, not to the clock.
    void noteSleep() { m_slept = true; }
    // What became of the task's bell on date when it did not ring on time (missed, or rung
    // late, and why), as the journal had it; empty when nothing of the kind happened.
    QString record(const QString& key, const QDate& date) const;
    // Told once, on the first tick in the second half of the second before, of each task that
    // will start in the coming second as things stand, so its first file can be made ready.
    // The start itself decides again.
    using PrepareTask = std::function<void(const QString& key)>;
    void setPrepare(PrepareTask prepare) { m_prepare = std::move(prepare); }

    // startTask and report may run a nested event loop that ticks again; the nested tick
    // serves only seconds the outer one has not taken. A failure while checking or starting
    // one task goes to report and the walk goes on with the next.
    // A due task is as the timetable held it at the start of the tick; a change made by
    // startTask counts from the next tick.
    void Tick(const IClock& clock, const Timetable& timetable, const Holidays& holidays,
              const StartTask& startTask, const Report& report);

    // Milliseconds from now to 1 ms past the next whole or half second, in [1, 501].
    static int MsUntilNextTick(qint64 nowMSecs);
    // Milliseconds from now to the next moment pastSecondMs past a whole second that is at
    // least a fifth of a second away, in [200, 1200). Once-a-second work aimed so stays clear
    // of the bells, which start at the whole second and sound within the next few milliseconds.
    static int MsUntilPastSecond(qint64 nowMSecs, int pastSecondMs);
    // As MsUntilNextTick, but a coming second with a prepared task is aimed a few
    // milliseconds early; its tick then waits for the second itself.
    int MsUntilTick(qint64 nowMSecs) const;

private:
    // Tasks due at second-of-day d are tasks()[tasks[offsets[d] .. offsets[d + 1])], in file
    // order, the first of each key only.
    struct Index {
        std::vector<int> offsets;
        std::vector<int> tasks;
        Timetable timetable; // shares the tasks of the timetable it was built from
        const Task& task(int i) const { return timetable.tasks()[std::size_t(tasks[std::size_t(i)])]; }
    };
    struct LastStart {
        QDate date;
        int second = -1;
    };

    Journal m_journal;
    PrepareTask m_prepare;
    struct Record {
        QDate date;
        QString text;
    };
    QHash<QString, Record> m_records;
    struct ServedSecond {
        qint64 epoch;
        QDate date;
        int sod;
    };
    std::optional<ServedSecond> m_prevServed;
    // Journals a bell that did not ring on time, and keeps it (as the window says it) for record().
    void note(const QString& key, const QDate& date, const LoggedText& text);
    std::optional<qint64> m_preparedSecond;
    bool m_preparedAny = false; // a task was prepared for m_preparedSecond

    void Rebuild(const Timetable& timetable);
    void WaitForPreparedSecond(const IClock& clock) const;
    void PrepareAhead(qint64 second, const Index& index, const QDateTime& now,
                      const Holidays& holidays);
    void Serve(qint64 second, const Index& index, const IClock& clock, const QDateTime& now,
               const Holidays& holidays, const StartTask& startTask, const Report& report);
    // The seconds from first to last were skipped by the clock: each bell due in them is rung
    // late (the last within the grace) or put on record.
    void AccountSkipped(qint64 first, qint64 last, const Index& index, const IClock& clock,
                        const QDateTime& now, const Holidays& holidays, const StartTask& startTask,
                        const Report& report);

    std::shared_ptr<const Index> m_index;
    QHash<QString, LastStart> m_started;
    std::optional<qint64> m_lastServed;
    int m_lateGrace = 60;
    bool m_slept = false;
    // Real time between the ticks, which neither a clock set forward nor a sleep advances: a
    // gap it covers was the program held up, not the clock.
    QElapsedTimer m_sinceServed;
    qint64 m_gapMs = 0;
};
