// How long a file that never delivers holds the user-interface thread: the real player opens
// a pipe nobody writes, a pipe whose writer stalls after four bytes, a pipe it refuses, and a
// good file, while a 5 ms timer on the same thread measures the longest gap between its ticks.
// Goal: the Open call returns in well under a millisecond and no gap passes 50 ms.
// Runs for about 10 s.
#include "bench/BenchMain.h"
#include "platform/GstMediaPlayer.h"
#include "tests/support/WavFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QCoreApplication>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace {

void runEventsUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

enum Source { NobodyWrites, WriterStalls, PipeRefused, GoodFile };

void BM_OpenWhileTheThreadRuns(benchmark::State& state)
{
    const auto source = Source(state.range(0));
    QTemporaryDir dir;
    const QString pipe = dir.filePath("x.mp3");
    mkfifo(QFile::encodeName(pipe).constData(), 0600);
    const QString good = dir.filePath("good.wav");
    {
        QFile f(good);
        f.open(QIODevice::WriteOnly);
        f.write(SilentWav(500));
    }
    std::atomic<bool> release{false};
    std::thread writer;
    if (source == WriterStalls) {
        writer = std::thread([&] {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
            if (fd < 0)
                return;
            [[maybe_unused]] const auto n = ::write(fd, "RIFF", 4);
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::close(fd);
        });
    }

    GstMediaPlayer::Options options;
    options.openTimeout = std::chrono::milliseconds(2000);
    options.regularFilesOnly = source == PipeRefused;
    GstMediaPlayer player(QStringLiteral("fakesink sync=true"), options);
    bool answered = false;
    player.setNoticeHandler([&] {
        if (player.lastNotice() == MediaNotice::Opened || player.lastNotice() == MediaNotice::OpenFailed)
            answered = true;
    });

    double openCallUs = 0, maxGapMs = 0, answerMs = 0;
    for (auto _ : state) {
        answered = false;
        QElapsedTimer gap, total;
        qint64 longest = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, gap.nsecsElapsed());
            gap.restart();
        });
        player.setFileName(source == GoodFile ? good : pipe);
        total.start();
        gap.start();
        ticker.start(5);
        player.Open();
        player.Play();
        openCallUs = total.nsecsElapsed() / 1e3;
        runEventsUntil([&] { return answered; }, 5000);
        answerMs = total.nsecsElapsed() / 1e6;
        player.Close();
        runEventsUntil([] { return false; }, 20);
        maxGapMs = longest / 1e6;
    }
    state.counters["open_call_us"] = openCallUs;
    state.counters["answer_ms"] = answerMs;
    state.counters["max_ui_gap_ms"] = maxGapMs;
    release = true;
    if (writer.joinable()) {
        // A writer still waiting for a reader is let go by opening the pipe ourselves.
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
        writer.join();
        if (fd >= 0)
            ::close(fd);
    }
}
BENCHMARK(BM_OpenWhileTheThreadRuns)
    ->ArgName("source")
    ->Arg(NobodyWrites)
    ->Arg(WriterStalls)
    ->Arg(PipeRefused)
    ->Arg(GoodFile)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace

TAVURO_BENCHMARK_MAIN()
