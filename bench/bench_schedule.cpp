// The due-time check's tick at up to 86,400 tasks. Goal: a tick in a second where a task falls
// due under 0.05 ms with 1,000 tasks and under 1 ms with 86,400, and with an enabled task the
// tick plus starting it, up to the player's Play call, under 1 ms at 86,400 tasks once the
// timetable has been read. Each iteration serves a new second, so the index look-up, the
// start memory and the served-second logic all run; below 86,400 tasks each step is a jump of
// the clock past the catch-up gap, so the skipped seconds are looked over for missed bells too.
// BM_TickDueDisabled decides on the flags alone. BM_TickDueEnabled decides on the due task's
// parameters, in a timetable read from a task file on disk holding every task;
// BM_TickAndStart also starts it in a real TaskPlayback on a player that plays nothing.
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "schedule/DueTimeCheck.h"
#include "schedule/TaskPlayback.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"
#include "tests/support/FakeMediaPlayer.h"
#include "tests/support/WavFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

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

Timetable MakeTimetable(int tasks, int spacing, const QString& flags)
{
    return Timetable::Decode(MakeSchedule(tasks, spacing, flags), {}, {});
}

// Sets the clock to the i-th second of the walk: through the tasks' seconds, day after day.
void StepTo(StepClock& clock, qint64 i, int tasks, int spacing, int offset)
{
    const qint64 day = i / tasks, task = i % tasks;
    clock.current = QDateTime(kFirstDay.addDays(day), QTime(0, 0).addSecs(task * spacing + offset));
}

// onStart, when given, is what starting a due task does besides counting it.
void RunTicks(benchmark::State& state, const Timetable& schedule, int spacing, int offset,
              StepClock& clock, const std::function<void(const QString&)>& onStart = {})
{
    const int tasks = static_cast<int>(schedule.size());
    const Holidays holidays = Holidays::Decode({"10-1=10-7"});
    DueTimeCheck check;
    qint64 started = 0, reported = 0;
    const DueTimeCheck::StartTask start = [&](const QString& key) {
        ++started;
        if (onStart)
            onStart(key);
    };
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

void RunTicks(benchmark::State& state, const Timetable& schedule, int spacing, int offset)
{
    StepClock clock;
    RunTicks(state, schedule, spacing, offset, clock);
}

// A second where a disabled task falls due; the list is the same as at the last tick.
void BM_TickDueDisabled(benchmark::State& state)
{
    const int tasks = static_cast<int>(state.range(0));
    const int spacing = 86400 / tasks;
    RunTicks(state, MakeTimetable(tasks, spacing, "0,1,1"), spacing, 0);
}

// A second between two tasks: nothing falls due.
void BM_TickNothingDue(benchmark::State& state)
{
    const int tasks = static_cast<int>(state.range(0));
    const int spacing = 86400 / tasks;
    RunTicks(state, MakeTimetable(tasks, spacing, "0,1,1"), spacing, 1);
}

// The half-second tick that finds its second already served.
void BM_TickSameSecond(benchmark::State& state)
{
    const Timetable schedule = MakeTimetable(static_cast<int>(state.range(0)), 1, "0,1,1");
    StepClock clock;
    clock.current = QDateTime(kFirstDay, QTime(8, 0));
    DueTimeCheck check;
    const DueTimeCheck::StartTask start = [](const QString&) {};
    const DueTimeCheck::Report report = [](const QString&) {};
    check.Tick(clock, schedule, {}, start, report);
    for (auto _ : state)
        check.Tick(clock, schedule, {}, start, report);
}

// A tick after the timetable has changed (a task edited, or a once-only task started): the
// index is built again, and the task due is started. "to start" is the time from the tick's
// call to the start, the part a bell waits for; the rest of the tick frees the timetable the
// change replaced.
void BM_TickAfterListChange(benchmark::State& state)
{
    const int tasks = static_cast<int>(state.range(0));
    const int spacing = 86400 / tasks;
    QStringList lines = MakeSchedule(tasks, spacing, "1,1,1");
    QStringList params;
    for (const QString& line : lines)
        params << LineName(line) + "=1,1,1,0,,0,00:00:00";
    StepClock clock;
    DueTimeCheck check;
    QElapsedTimer sinceTick;
    double toStart = 0;
    qint64 started = 0;
    const DueTimeCheck::StartTask start = [&](const QString&) {
        toStart += double(sinceTick.nsecsElapsed());
        ++started;
    };
    const DueTimeCheck::Report report = [](const QString&) {};
    qint64 i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        lines[0] = lines[0].endsWith('0') ? "00:00:00=1,1,1" : "00:00:00=1,1,0";
        const Timetable schedule = Timetable::Decode(lines, params, {});
        StepTo(clock, i++, tasks, spacing, 0);
        state.ResumeTiming();
        sinceTick.start();
        check.Tick(clock, schedule, {}, start, report);
    }
    state.counters["to start ms"] = started ? toStart / double(started) / 1e6 : 0;
    if (started != state.iterations())
        state.SkipWithError("not every due task started");
}

// A task file in a fresh application directory: `tasks` enabled daily tasks, one every
// 86,400 / tasks seconds, each playing one short WAV file. Its time is set an hour back, as a
// timetable is written long before its bells ring.
class TaskFileOnDisk {
public:
    explicit TaskFileOnDisk(int tasks)
        : spacing(86400 / tasks), schedule(MakeSchedule(tasks, spacing, "1,1,1"))
    {
        SetApplicationDirectoryOverride(m_dir.path());
        const QString bell = m_dir.filePath(QStringLiteral("bell.wav"));
        QFile wav(bell);
        const QByteArray sound = SilentWav(200);
        library = {"1=" + bell};
        QByteArray text = "[Time]\r\n";
        for (const QString& line : schedule)
            text += line.toLatin1() + "\r\n";
        text += "[TimeParams]\r\n";
        for (const QString& line : schedule)
            text += LineName(line).toLatin1() + "=1,1,1,0,,0,00:00:00\r\n";
        text += "[Music]\r\n" + library.first().toUtf8() + "\r\n";
        QFile file(TaskFilePath());
        ok = wav.open(QIODevice::WriteOnly) && wav.write(sound) == sound.size() &&
             file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush() &&
             file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                              QFileDevice::FileModificationTime);
    }
    ~TaskFileOnDisk() { SetApplicationDirectoryOverride(QString()); }

    bool ok = false;
    const int spacing;
    const QStringList schedule;
    QStringList library;

private:
    QTemporaryDir m_dir;
};

class NoView : public ITaskPlaybackView {
public:
    void setStatusText(const QString&) override {}
    void setStatusHint(const QString&) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
    void setPlayButtons(bool) override {}
    void setCycleTimerEnabled(bool) override {}
    void currentTaskChanged() override {}
    void showFailure(const QString&) override {}
};

// A second where an enabled daily task falls due; its parameters decide.
void BM_TickDueEnabled(benchmark::State& state)
{
    const TaskFileOnDisk file(static_cast<int>(state.range(0)));
    ProgramData data;
    data.setLibraryList(file.library);
    if (!file.ok || !data.loadTimetable().isEmpty()) {
        state.SkipWithError("cannot write or read the task file");
        return;
    }
    StepClock clock;
    RunTicks(state, data.timetable(), file.spacing, 0, clock);
    if (state.counters["started"] != static_cast<double>(state.iterations()))
        state.SkipWithError("not every due task started");
}

// As BM_TickDueEnabled, and the due task is started: found in the timetable, its music looked
// up and given to the player, which is told to play.
void BM_TickAndStart(benchmark::State& state)
{
    TaskFileOnDisk file(static_cast<int>(state.range(0)));
    ProgramData data;
    data.setLibraryList(file.library);
    if (!file.ok || !data.loadTimetable().isEmpty()) {
        state.SkipWithError("cannot write or read the task file");
        return;
    }
    StepClock clock;
    FakeMediaPlayer player;
    qint64 plays = 0;
    player.onPlay = [&] {
        ++plays;
        player.log.clear();
    };
    NoView view;
    TaskPlayback playback(player, clock, view, data);
    RunTicks(state, data.timetable(), file.spacing, 0, clock,
             [&](const QString& key) { playback.StartTask(key); });
    if (plays != state.iterations() + 1 || playback.MusicFiles() != file.library)
        state.SkipWithError("not every due task was played");
}


} // namespace

BENCHMARK(BM_TickDueDisabled)->Arg(1000)->Arg(86400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickNothingDue)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickSameSecond)->Arg(86400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickAfterListChange)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickDueEnabled)->Arg(100)->Arg(1000)->Arg(10000)->Arg(86400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickAndStart)->Arg(100)->Arg(1000)->Arg(10000)->Arg(86400)->Unit(benchmark::kMicrosecond);

TAVURO_BENCHMARK_MAIN();
