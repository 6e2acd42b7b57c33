// The due-time check's tick with 1,000 and 86,400 tasks. Goal: a tick in a second where a task
// falls due under 0.05 ms with 1,000 tasks and under 1 ms with 86,400. Each iteration serves a
// new second, so the index look-up, the start memory and the served-second logic all run.
// The task in such a second is disabled: the check decides that without the task file, and
// what a started task then does belongs to playback. BM_TickDueEnabled shows, apart, what the
// parameter read from a task file of 86,400 tasks costs.
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "schedule/DueTimeCheck.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class StepClock : public IClock {
public:
    QDateTime current;
    QDateTime now() const override { return current; }
};

const QDate kFirstDay(2026, 3, 2);

// Task i falls due at second `spacing * i` of the day.
QStringList MakeSchedule(int tasks, int spacing, const QString& flags)
{
    QStringList list;
    list.reserve(tasks);
    for (int i = 0; i < tasks; ++i)
        list << FormatTimeText(QTime(0, 0).addSecs(i * spacing)) + "=" + flags;
    return list;
}

// Sets the clock to the i-th second of the walk: through the tasks' seconds, day after day.
void StepTo(StepClock& clock, qint64 i, int tasks, int spacing, int offset)
{
    const qint64 day = i / tasks, task = i % tasks;
    clock.current = QDateTime(kFirstDay.addDays(day), QTime(0, 0).addSecs(task * spacing + offset));
}

void RunTicks(benchmark::State& state, const QStringList& schedule, int spacing, int offset)
{
    const int tasks = static_cast<int>(schedule.size());
    const QStringList holidays = {"10-1=10-7"};
    StepClock clock;
    DueTimeCheck check;
    qint64 started = 0, reported = 0;
    const DueTimeCheck::StartTask start = [&](const QString&) { ++started; };
    const DueTimeCheck::Report report = [&](const QString&) { ++reported; };
    qint64 i = 0;
    StepTo(clock, i++, tasks, spacing, offset);
    check.Tick(clock, schedule, holidays, start, report); // builds the index
    started = 0;
    for (auto _ : state) {
        StepTo(clock, i++, tasks, spacing, offset);
        check.Tick(clock, schedule, holidays, start, report);
    }
    state.counters["started"] = static_cast<double>(started);
    if (reported > 0)
        state.SkipWithError("a task was reported");
}

// A second where a disabled task falls due; the list is the same as at the last tick.
void BM_TickDueDisabled(benchmark::State& state)
{
    const int tasks = static_cast<int>(state.range(0));
    const int spacing = 86400 / tasks;
    RunTicks(state, MakeSchedule(tasks, spacing, "0,1,1"), spacing, 0);
}

// A second between two tasks: nothing falls due.
void BM_TickNothingDue(benchmark::State& state)
{
    const int tasks = static_cast<int>(state.range(0));
    const int spacing = 86400 / tasks;
    RunTicks(state, MakeSchedule(tasks, spacing, "0,1,1"), spacing, 1);
}

// The half-second tick that finds its second already served.
void BM_TickSameSecond(benchmark::State& state)
{
    const QStringList schedule = MakeSchedule(static_cast<int>(state.range(0)), 1, "0,1,1");
    StepClock clock;
    clock.current = QDateTime(kFirstDay, QTime(8, 0));
    DueTimeCheck check;
    const DueTimeCheck::StartTask start = [](const QString&) {};
    const DueTimeCheck::Report report = [](const QString&) {};
    check.Tick(clock, schedule, {}, start, report);
    for (auto _ : state)
        check.Tick(clock, schedule, {}, start, report);
}

// A tick after the list has changed (a task edited, or a once-only task removed): the
// list is compared in full and the index is built again.
void BM_TickAfterListChange(benchmark::State& state)
{
    const int tasks = static_cast<int>(state.range(0));
    const int spacing = 86400 / tasks;
    QStringList schedule = MakeSchedule(tasks, spacing, "0,1,1");
    StepClock clock;
    DueTimeCheck check;
    const DueTimeCheck::StartTask start = [](const QString&) {};
    const DueTimeCheck::Report report = [](const QString&) {};
    qint64 i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        schedule[0] = schedule[0].endsWith('0') ? "00:00:00=0,1,1" : "00:00:00=0,1,0";
        StepTo(clock, i++, tasks, spacing, 0);
        state.ResumeTiming();
        check.Tick(clock, schedule, {}, start, report);
    }
}

// A second where an enabled daily task falls due: its parameter line is read from a task
// file that holds all 86,400 tasks.
void BM_TickDueEnabled(benchmark::State& state)
{
    const int tasks = 86400;
    QTemporaryDir dir;
    SetApplicationDirectoryOverride(dir.path());
    QByteArray text = "[Time]\r\n";
    const QStringList schedule = MakeSchedule(tasks, 1, "1,1,1");
    for (const QString& line : schedule)
        text += line.toLatin1() + "\r\n";
    text += "[TimeParams]\r\n";
    for (const QString& line : schedule)
        text += line.left(8).toLatin1() + "=1,1,1,0,,0,\r\n";
    QFile file(TaskFilePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        state.SkipWithError("cannot write the task file");
        return;
    }
    file.close();
    RunTicks(state, schedule, 1, 0);
    if (state.counters["started"] != static_cast<double>(state.iterations()))
        state.SkipWithError("not every due task started");
    SetApplicationDirectoryOverride(QString());
}

} // namespace

BENCHMARK(BM_TickDueDisabled)->Arg(1000)->Arg(86400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickNothingDue)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickSameSecond)->Arg(86400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickAfterListChange)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickDueEnabled)->Unit(benchmark::kMillisecond);

TAVURO_BENCHMARK_MAIN();
