// Loading the task list from a task file of 100, 1,000, 10,000 and 86,400 tasks (one a second,
// the most a day holds): the timetable read and the rows of a real list sorted over it, and
// the timetable decoded from lines already read.
// Goal: growth no faster than linear. "rows" is how many tasks the list shows; "slope" is the
// log-log growth exponent from the next smaller size (1 = linear, 2 = quadratic).
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "tasks/TaskTableModel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <QTreeView>

#include <chrono>
#include <cmath>
#include <map>

namespace {

constexpr int kLibraryEntries = 50;

QStringList libraryList()
{
    QStringList list;
    for (int i = 1; i <= kLibraryEntries; ++i)
        list << QStringLiteral("%1=/music/第%1节铃声.mp3").arg(i);
    return list;
}

// Keys spread over the day, stored out of order so that the load has to sort them.
QString taskKey(int i, int tasks)
{
    const int seconds = int((qint64(i) * 7919 % tasks) * (86400 / tasks));
    return QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss"));
}

void taskLines(int tasks, QStringList& timeLines, QStringList& paramLines)
{
    for (int i = 0; i < tasks; ++i) {
        const QString key = taskKey(i, tasks);
        timeLines << key + QStringLiteral("=%1,0,%2,%3").arg(i % 5 ? 1 : 0).arg(i % kLibraryEntries + 1)
                                                   .arg((i + 7) % kLibraryEntries + 1);
        paramLines << key + QStringLiteral("=1,1,1,1,1111100,0,00:00:00");
    }
}

// Per-iteration seconds by size, for the growth exponent between neighbouring sizes.
void reportGrowth(benchmark::State& state, std::map<int, double>& seconds, int n, double perLoad)
{
    seconds[n] = perLoad;
    const auto at = seconds.find(n);
    if (at != seconds.begin()) {
        const auto prev = std::prev(at);
        state.counters["slope"] =
            std::log(perLoad / prev->second) / std::log(double(n) / double(prev->first));
    }
    state.SetComplexityN(n);
}

template <class Body>
double timeLoop(benchmark::State& state, Body body)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return total / double(state.iterations());
}

void BM_LoadTaskList(benchmark::State& state)
{
    static std::map<int, double> seconds;
    const int tasks = int(state.range(0));
    QTemporaryDir dir;
    SetApplicationDirectoryOverride(dir.path());
    const QString file = dir.filePath(TaskFileName);
    QStringList timeLines, paramLines;
    taskLines(tasks, timeLines, paramLines);
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(("[Time]\r\n" + timeLines.join("\r\n") + "\r\n[TimeParams]\r\n" +
               paramLines.join("\r\n") + "\r\n")
                  .toUtf8()); // the text is ASCII: the same bytes in GB18030
    out.close();

    ProgramData data;
    data.setLibraryList(libraryList());
    TaskTableModel model(data);
    QTreeView list;
    list.setModel(&model);
    const double perLoad = timeLoop(state, [&] {
        if (!data.loadTimetable().isEmpty())
            state.SkipWithError("a line did not read");
        benchmark::DoNotOptimize(model.rowCount());
    });
    state.counters["rows"] = model.rowCount();
    reportGrowth(state, seconds, tasks, perLoad);
    SetApplicationDirectoryOverride(QString());
}

void BM_DecodeTimetable(benchmark::State& state)
{
    static std::map<int, double> seconds;
    const int tasks = int(state.range(0));
    QStringList timeLines, paramLines;
    taskLines(tasks, timeLines, paramLines);
    const QStringList library = libraryList();
    Timetable timetable;
    const double perBuild = timeLoop(state, [&] {
        timetable = Timetable::Decode(timeLines, paramLines, library);
        benchmark::DoNotOptimize(timetable.size());
    });
    state.counters["rows"] = double(timetable.size());
    reportGrowth(state, seconds, tasks, perBuild);
}

} // namespace

BENCHMARK(BM_LoadTaskList)
    ->Arg(100)->Arg(1000)->Arg(10000)->Arg(86400)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_DecodeTimetable)
    ->Arg(100)->Arg(1000)->Arg(10000)->Arg(86400)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

TAVURO_BENCHMARK_MAIN();
