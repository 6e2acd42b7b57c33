// The day view listing one day's bells: the day decided for every task, the rows reset and the
// visible rows painted, for a timetable of 200 tasks (a large school's week) and of 1,000 and
// 86,400 for scale. The days walked include a dated holiday and a make-up Sunday.
// Goal: 200 tasks in under 50 ms. "ms" is the mean per day shown; "max ms" the slowest day;
// "rows" and "ringing" what the last day listed, to check the view had the work it should.
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "tasks/DayView.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// Every kind of day rule: weekly, every day, monthly, one date, once only, switched off,
// ringing on holidays.
QByteArray taskFile(int tasks)
{
    QString time = QStringLiteral("[Time]\n"), params = QStringLiteral("[TimeParams]\n"),
            music = QStringLiteral("[Music]\n");
    for (int i = 1; i <= 50; ++i)
        music += QStringLiteral("%1=/music/第%1节铃声.mp3\n").arg(i);
    const QString rules[] = {QStringLiteral("1,1111100,0,"), QStringLiteral("0,,0,"),
                             QStringLiteral("2,1000000000000010000000000000001,0,"),
                             QStringLiteral("3,2026-9-28,0,"), QStringLiteral("4,,0,"),
                             QStringLiteral("1,0000011,0,")};
    for (int i = 0; i < tasks; ++i) {
        const QString key = QTime(0, 0).addSecs(int(qint64(i) * 86400 / tasks)).toString(QStringLiteral("HH:mm:ss"));
        time += key + QStringLiteral("=%1,%2,%3\n").arg(i % 7 ? 1 : 0).arg(i % 3 ? 0 : 1).arg(i % 50 + 1);
        params += key + QStringLiteral("=1,1,1,") + rules[i % 6] + QLatin1Char('\n');
    }
    return (music + time + params).toUtf8();
}

void BM_DayViewShowsADay(benchmark::State& state)
{
    const int tasks = int(state.range(0));
    QTemporaryDir dir;
    SetApplicationDirectoryOverride(dir.path());
    QFile config(dir.filePath(QStringLiteral("Config.ini")));
    config.open(QIODevice::WriteOnly);
    config.write("[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n[Holiday]\n10-1=10-7\n"
                 "[HolidayDates]\n2026-09-29=2026-09-30\n[WorkDays]\n2026-09-27=1\n");
    config.close();
    QFile file(dir.filePath(TaskFileName));
    file.open(QIODevice::WriteOnly);
    file.write(taskFile(tasks));
    file.close();

    ProgramData data;
    QStringList library;
    for (int i = 1; i <= 50; ++i)
        library << QStringLiteral("%1=/music/第%1节铃声.mp3").arg(i);
    data.setLibraryList(library);
    data.loadHolidays();
    data.loadTimetable();
    FakeClock clock;
    clock.set(QDate(2026, 9, 25), QTime(10, 30));
    DayView view(data, clock);
    view.resize(960, 420);
    view.show();

    std::vector<double> ms;
    int day = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        // A fortnight from a school Friday: weekend, make-up Sunday, dated holiday, yearly one.
        view.showDay(QDate(2026, 9, 25).addDays(day++ % 14));
        view.lvDayBells->viewport()->repaint();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    double total = 0;
    for (const double m : ms)
        total += m;
    state.counters["ms"] = total / double(ms.size());
    state.counters["max ms"] = *std::max_element(ms.begin(), ms.end());
    state.counters["rows"] = view.model()->rowCount();
    state.counters["ringing"] = view.model()->ringing();
    // The raw readings of the first fortnight, to look at beside the mean.
    std::fprintf(stderr, "%d tasks, ms per day shown:", tasks);
    for (std::size_t i = 0; i < std::min<std::size_t>(ms.size(), 14); ++i)
        std::fprintf(stderr, " %.2f", ms[i]);
    std::fprintf(stderr, "\n");
    SetApplicationDirectoryOverride(QString());
}
BENCHMARK(BM_DayViewShowsADay)->Arg(200)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);

} // namespace

TAVURO_BENCHMARK_MAIN();
