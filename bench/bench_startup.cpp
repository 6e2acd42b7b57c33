// The main window's start-up with 1,000 tasks and a library of 1,000 files: settings, library,
// timetable, holidays and the task list loaded, as the program does before its window shows.
// The players, the shutdown and the start-up registration are fakes: this measures the
// program's own loading, not GStreamer's.
#include "app/Unit1.h"
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "support/FakeMediaPlayer.h"
#include "support/Fakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTime>

namespace {

constexpr int kTasks = 1000;
constexpr int kEntries = 1000;

bool writeCrlf(const QString& path, const QString& text)
{
    QFile f(path);
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const QByteArray bytes = crlf.toUtf8(); // ASCII and paths only
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void BM_WindowStartUp(benchmark::State& state)
{
    QTemporaryDir dir;
    SetApplicationDirectoryOverride(dir.path());
    QString music = QStringLiteral("[Music]\n");
    bool ok = true;
    for (int i = 1; i <= kEntries; ++i) {
        const QString file = dir.filePath(QStringLiteral("bell%1.mp3").arg(i));
        QFile f(file);
        ok = ok && f.open(QIODevice::WriteOnly);
        music += QStringLiteral("%1=%2\n").arg(i).arg(file);
    }
    QString time = QStringLiteral("[Time]\n"), params = QStringLiteral("[TimeParams]\n");
    for (int i = 0; i < kTasks; ++i) {
        const QString key = QTime(6, 0).addSecs(i * 60).toString(QStringLiteral("HH:mm:ss"));
        time += key + QStringLiteral("=%1,0,%2\n").arg(i % 7 ? 1 : 0).arg(i % kEntries + 1);
        params += key + QStringLiteral("=1,1,1,1,1111100,0,00:00:00\n");
    }
    // The shutdown and start with log-on stay off, and their services are fakes besides.
    ok = ok && writeCrlf(dir.filePath(QStringLiteral("TimeMusicList.ini")), music + time + params) &&
         writeCrlf(dir.filePath(QStringLiteral("Config.ini")),
                   QStringLiteral("[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n"
                                  "[Holiday]\n10-1=10-7\n"));
    if (!ok) {
        state.SkipWithError("cannot write the data files");
        return;
    }
    FakeClock clock;
    clock.set(QDate(2026, 12, 10), QTime(5, 0));
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    FakeMediaPlayer mp1, background;
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;
    qint64 rows = 0;
    for (auto _ : state) {
        TfrmMain w(Services{&clock, &boxes, &dialogs, &mp1, &background, false, &shutdown, &startup});
        rows = w.data.timetable().size() + w.data.LibraryList().size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["tasks+entries"] = double(rows);
    if (rows != kTasks + kEntries)
        state.SkipWithError("not everything was loaded");
    SetApplicationDirectoryOverride(QString());
}

} // namespace

BENCHMARK(BM_WindowStartUp)->Unit(benchmark::kMillisecond)->MinTime(3);

TAVURO_BENCHMARK_MAIN();
