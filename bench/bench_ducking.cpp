// How the bell is heard over the background music, measured on the sound leaving a private
// PulseAudio server (its sink a clock-paced pipe this benchmark reads), with the whole main
// window, its real clock and players.
//
// BM_Ducking: background music (a steady MP3 tone) plays; 20 tasks, one every 4 s, each play
// 1.5 s of silence, so the output is the background alone. Per task: from its Play call to the
// music at its lowered level (20 %, within a tenth), and from the task's end (Play + 1.5 s) to
// the music back at full level (within a twentieth). Goals: down within 300 ms, up within 1 s.
//
// BM_FadeOut: 10 tasks, one every 4 s, play a loud tone with a playing-time limit of 2 s and a
// fade-out of 1 s. Per task: the last sound before silence, against the end (due + 2 s). Goal:
// within 50 ms.
//
// Both print the raw reading of every task beside the result. They skip with a line saying
// why when PulseAudio (package pulseaudio) cannot be started.
#include "app/Unit1.h"
#include "bench/BenchFakes.h"
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/GstMediaPlayer.h"
#include "platform/MessageBoxes.h"
#include "platform/ShutdownRequest.h"
#include "platform/StartupRegistration.h"
#include "tests/support/GstRun.h"
#include "tests/support/PrivatePulse.h"
#include "tests/support/WavFile.h"

#include <QEventLoop>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Run {
    QTemporaryDir dir;
    std::vector<qint64> due;
    std::vector<qint64> played;
    int boxes = 0;
};

// Writes the task file (Time, TimeParams, optional TaskSound lines for every task, the one
// library entry) and Config.ini, then runs the main window until the last task is long over.
void runWindow(Run& run, int tasks, int spacingS, const QString& params, const QString& sound,
               const QString& bell, const QByteArray& configExtra)
{
    SetApplicationDirectoryOverride(run.dir.path());
    const qint64 first = NextSecondNs(RealtimeNs() + 3'000'000'000);
    QString time, paramLines, soundLines;
    for (int i = 0; i < tasks; ++i) {
        const qint64 at = first + qint64(i) * spacingS * 1'000'000'000;
        time += KeyAt(at) + QStringLiteral("=1,0,1\r\n");
        paramLines += KeyAt(at) + QLatin1Char('=') + params + QStringLiteral("\r\n");
        if (!sound.isEmpty())
            soundLines += KeyAt(at) + QLatin1Char('=') + sound + QStringLiteral("\r\n");
        run.due.push_back(at);
    }
    QString text = QStringLiteral("[Time]\r\n") + time + QStringLiteral("[TimeParams]\r\n") + paramLines;
    if (!soundLines.isEmpty())
        text += QStringLiteral("[TaskSound]\r\n") + soundLines;
    text += QStringLiteral("[Music]\r\n1=") + bell + QStringLiteral("\r\n");
    WriteFile(run.dir.filePath(QStringLiteral("TimeMusicList.ini")), QStringEncoder("GB18030").encode(text));
    // Neither a shutdown nor a log-on registration may ever come from a benchmark.
    WriteFile(run.dir.filePath(QStringLiteral("Config.ini")),
              "[base]\r\nShotdown=0\r\nShotdownHint=0\r\nAutoStart=0\r\nStayAwake=0\r\n" + configExtra);

    NoShutdown shutdown;
    NoStartupRegistration startup;
    SystemClock clock;
    NoBoxes boxes;
    QtDialogs dialogs;
    TimedPlayer mp1(QStringLiteral("autoaudiosink"));
    GstMediaPlayer background(QStringLiteral("autoaudiosink"));
    {
        TfrmMain window(Services{&clock, &boxes, &dialogs, &mp1, &background, true, &shutdown, &startup});
        WaitUntil(run.due.back() + qint64(spacingS) * 1'000'000'000);
    }
    SetApplicationDirectoryOverride(QString());
    run.played = mp1.playedAt;
    run.boxes = boxes.shown;
}

// The first block at or after from whose peak meets test, or -1.
template <class Test>
qint64 firstBlock(const PrivatePulse& pulse, qint64 from, qint64 to, Test test)
{
    for (const PrivatePulse::Block& b : pulse.blocks(from, to))
        if (test(b.peak))
            return b.at;
    return -1;
}

void BM_Ducking(benchmark::State& state)
{
    for (auto _ : state) {
        PrivatePulse pulse;
        QString why;
        if (!pulse.start(&why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        Run run;
        const QString music = run.dir.filePath(QStringLiteral("music.mp3"));
        const QString bell = run.dir.filePath(QStringLiteral("silence.wav"));
        // Music as schools have it: an MP3 at 44.1 kHz (its decoder hands on 26 ms at a time).
        if (!WriteMp3Bell(music, 150'000)) {
            state.SkipWithError("cannot encode the MP3 music (GStreamer's lamemp3enc)");
            return;
        }
        WriteFile(bell, SilentWav(1500));
        constexpr int kTasks = 20;
        runWindow(run, kTasks, 4, QStringLiteral("1,1,1,0,,0,00:00:00"), QString(), bell,
                  "IsBackgroup=1\r\nBackgroupMusicFile=" + QFile::encodeName(music) + "\r\nDuckLevel=20\r\n");
        if (run.boxes != 0 || run.played.size() != std::size_t(kTasks)) {
            state.SkipWithError("not every task started exactly once without a box");
            return;
        }
        std::vector<double> down, up;
        std::printf("task  full peak  Play->down (ms)  end->up (ms)\n");
        for (int i = 0; i < kTasks; ++i) {
            const qint64 play = run.played[i];
            std::vector<float> before;
            for (const PrivatePulse::Block& b : pulse.blocks(play - 600'000'000, play - 50'000'000))
                before.push_back(b.peak);
            std::sort(before.begin(), before.end());
            const float full = before.empty() ? 0 : before[before.size() / 2];
            const qint64 end = play + 1'500'000'000;
            const qint64 lowered =
                firstBlock(pulse, play, end, [&](float p) { return std::fabs(p - 0.2f * full) <= 0.02f * full; });
            const qint64 back = firstBlock(pulse, end, end + 2'500'000'000,
                                           [&](float p) { return p >= 0.95f * full; });
            if (full < 0.05f || lowered < 0 || back < 0) {
                std::printf("%4d  %9.3f  not found\n", i + 1, full);
                state.SkipWithError("the music was not heard going down and back");
                return;
            }
            down.push_back(double(lowered - play) / 1e6);
            up.push_back(double(back - end) / 1e6);
            std::printf("%4d  %9.3f  %15.1f  %12.1f\n", i + 1, full, down.back(), up.back());
        }
        state.counters["down_median_ms"] = Median(down);
        state.counters["down_worst_ms"] = *std::max_element(down.begin(), down.end());
        state.counters["up_median_ms"] = Median(up);
        state.counters["up_worst_ms"] = *std::max_element(up.begin(), up.end());
    }
}

void BM_FadeOut(benchmark::State& state)
{
    for (auto _ : state) {
        PrivatePulse pulse;
        QString why;
        if (!pulse.start(&why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        Run run;
        const QString bell = run.dir.filePath(QStringLiteral("tone.wav"));
        WriteFile(bell, SilentWav(5000, 16000));
        constexpr int kTasks = 10;
        // A limit of 2 s, a fade-out of 1 s.
        runWindow(run, kTasks, 4, QStringLiteral("1,1,1,0,,2,00:00:00"), QStringLiteral("100,0,1"), bell, {});
        if (run.boxes != 0 || run.played.size() != std::size_t(kTasks)) {
            state.SkipWithError("not every task started exactly once without a box");
            return;
        }
        std::vector<double> offset;
        std::printf("task  end -> last sound (ms)\n");
        for (int i = 0; i < kTasks; ++i) {
            const qint64 end = run.due[i] + 2'000'000'000;
            qint64 last = -1;
            for (const PrivatePulse::Block& b : pulse.blocks(run.due[i], run.due[i] + 3'900'000'000))
                if (b.peak > PrivatePulse::kLoud)
                    last = b.at;
            if (last < 0) {
                state.SkipWithError("a task was not heard");
                return;
            }
            offset.push_back(double(last - end) / 1e6);
            std::printf("%4d  %22.1f\n", i + 1, offset.back());
        }
        std::vector<double> magnitude;
        for (double o : offset)
            magnitude.push_back(std::fabs(o));
        state.counters["end_offset_median_ms"] = Median(offset);
        state.counters["end_offset_worst_abs_ms"] = *std::max_element(magnitude.begin(), magnitude.end());
    }
}

} // namespace

BENCHMARK(BM_Ducking)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FadeOut)->Iterations(1)->Unit(benchmark::kSecond);

TAVURO_BENCHMARK_MAIN();
