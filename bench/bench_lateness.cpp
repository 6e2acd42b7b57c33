// How late bells sound. The whole main window, with the real clock and timers, plays 240 MP3
// bells due one per second through the real player and its real audio sink, against a private
// PulseAudio server started here whose default sink is a pipe this benchmark reads; the server
// paces the pipe by the system clock, as a sound card paces its buffer. Per task: the second
// boundary to the player's Play call, and to the first sound of the bell leaving the server.
// Beside them, in the same run, two floors: a bare precise timer aimed at the second, and the
// same bell opened and played at the second in a fresh player.
// Goals: audible start median <= 10 ms, p99 <= 25 ms; the bells later than that are counted
// and named. Runs for about five minutes; skips with a line saying why when PulseAudio
// (package pulseaudio) cannot be started, or when the bells would run past midnight.
//
// The pipe sink (tests/support/PrivatePulse.h) writes 4096-byte blocks, each as its time
// comes; its format (the bell's own rate, so the server does not resample) makes a block
// 2.9 ms, a short sound card period. A sound counts from the moment its block is written plus
// its place in the block. The bell file's own lead-in (an MP3 encoder's priming samples)
// is measured by decoding it and taken off, so the figures are the program's.
#include "app/Unit1.h"
#include "bench/BenchFakes.h"
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/GstMediaPlayer.h"
#include "platform/ShutdownRequest.h"
#include "platform/StartupRegistration.h"
#include "tests/support/GstRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gst/gst.h>

#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Enough that the 99th percentile is not simply the latest bell.
constexpr int kTasks = 240;
constexpr double kLateMs = 25;
constexpr int kFloorTrials = 20;
double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    // Nearest rank: with fewer than 100 values the 99th percentile is the largest.
    const std::size_t rank = std::size_t(std::ceil(p * double(values.size())));
    return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

// A 300 ms bell tone as MP3.
bool writeBell(const QString& path)
{
    return WriteMp3Bell(path, 300);
}

struct LeadIn {
    qint64 ns = -1;
};

void onDecoded(GstElement*, GstBuffer* buffer, GstPad*, gpointer data)
{
    auto* lead = static_cast<LeadIn*>(data);
    if (lead->ns >= 0)
        return;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const auto* samples = reinterpret_cast<const float*>(map.data);
    const gsize count = map.size / sizeof(float);
    for (gsize i = 0; i < count; ++i)
        if (std::fabs(samples[i]) > PrivatePulse::kLoud) {
            lead->ns = qint64(GST_BUFFER_PTS(buffer)) + qint64(i) * 1'000'000'000 / 48000;
            break;
        }
    gst_buffer_unmap(buffer, &map);
}

// Time from the start of the decoded file to its first sound.
qint64 measureLeadIn(const QString& path)
{
    const QString description =
        QStringLiteral("filesrc location=\"%1\" ! decodebin ! audioconvert ! audioresample ! "
                       "audio/x-raw,format=F32LE,channels=1,rate=48000 ! "
                       "fakesink name=out signal-handoffs=true sync=false")
            .arg(path);
    GstElement* pipeline = ParsePipeline(description);
    if (!pipeline)
        return -1;
    LeadIn lead;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(onDecoded), &lead);
    gst_object_unref(out);
    return RunToEnd(pipeline) ? lead.ns : -1;
}

// A precise timer aimed at each of the next seconds: how late it fires.
std::vector<double> timerFloor()
{
    std::vector<double> late;
    for (int i = 0; i < kFloorTrials; ++i) {
        const qint64 boundary = NextSecondNs(RealtimeNs() + 100'000'000);
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        qint64 fired = 0;
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            fired = RealtimeNs();
            loop.quit();
        });
        timer.start(int((boundary - RealtimeNs() + 999'999) / 1'000'000));
        loop.exec();
        late.push_back(double(fired - boundary) / 1e6);
    }
    return late;
}

// The bell opened and played at each of the next seconds in a player made for it.
std::vector<double> freshPlayerFloor(const PrivatePulse& pulse, const QString& bell, qint64 leadIn,
                                     QString* why)
{
    std::vector<double> late;
    for (int i = 0; i < kFloorTrials; ++i) {
        const qint64 boundary = NextSecondNs(RealtimeNs() + 300'000'000);
        auto player = std::make_unique<GstMediaPlayer>(QStringLiteral("autoaudiosink"));
        player->setFileName(bell);
        WaitUntil(boundary);
        // The timer may fire a little early by the realtime clock; Open waits for the second.
        while (RealtimeNs() < boundary) {
        }
        player->Open();
        player->Play();
        WaitUntil(boundary + 700'000'000);
        const qint64 onset = pulse.onsetIn(boundary, boundary + 700'000'000);
        if (onset < 0) {
            *why = QStringLiteral("a fresh player's bell was not heard");
            return {};
        }
        late.push_back(double(onset - leadIn - boundary) / 1e6);
    }
    return late;
}

void report(benchmark::State& state, const char* name, const std::vector<double>& values)
{
    state.counters[std::string(name) + "_median_ms"] = percentile(values, 0.5);
    state.counters[std::string(name) + "_p99_ms"] = percentile(values, 0.99);
}

void BM_BellLateness(benchmark::State& state)
{
    for (auto _ : state) {
        gst_init(nullptr, nullptr);
        PrivatePulse pulse;
        QString why;
        if (!pulse.start(&why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        QTemporaryDir dir;
        SetApplicationDirectoryOverride(dir.path());
        const QString bell = dir.path() + QStringLiteral("/bell.mp3");
        if (!writeBell(bell)) {
            state.SkipWithError("cannot encode the MP3 bell (GStreamer's lamemp3enc)");
            return;
        }
        const qint64 leadIn = measureLeadIn(bell);
        if (leadIn < 0) {
            state.SkipWithError("cannot decode the MP3 bell");
            return;
        }

        // Tasks at whole seconds from 3 s ahead on, one per second.
        const qint64 first = NextSecondNs(RealtimeNs() + 2'000'000'000);
        // The task keys are times of day: a run across midnight would ring the wrong day.
        const qint64 last = first + qint64(kTasks - 1) * 1'000'000'000;
        if (QDateTime::fromMSecsSinceEpoch(first / 1'000'000).date()
            != QDateTime::fromMSecsSinceEpoch(last / 1'000'000 + 2000).date()) {
            state.SkipWithError("the bells would run past midnight; start again later");
            return;
        }
        QString time, params;
        std::vector<qint64> due;
        for (int i = 0; i < kTasks; ++i) {
            const qint64 at = first + qint64(i) * 1'000'000'000;
            const QString key = QDateTime::fromMSecsSinceEpoch(at / 1'000'000)
                                    .time()
                                    .toString(QStringLiteral("HH:mm:ss"));
            time += key + QStringLiteral("=1,0,1\r\n");
            params += key + QStringLiteral("=1,1,1,0,,0,00:00:00\r\n");
            due.push_back(at);
        }
        QFile task(dir.path() + QStringLiteral("/TimeMusicList.ini"));
        task.open(QIODevice::WriteOnly);
        task.write(QStringEncoder("GB18030").encode(QStringLiteral("[Time]\r\n") + time +
                                                   QStringLiteral("[TimeParams]\r\n") + params +
                                                   QStringLiteral("[Music]\r\n1=") + bell +
                                                   QStringLiteral("\r\n")));
        task.close();
        // Neither a shutdown nor a log-on registration may ever come from a benchmark.
        QFile config(dir.path() + QStringLiteral("/Config.ini"));
        config.open(QIODevice::WriteOnly);
        config.write("[base]\r\nShotdown=0\r\nShotdownHint=0\r\nAutoStart=0\r\n");
        config.close();

        NoShutdown shutdown;
        NoStartupRegistration startup;
        SystemClock clock;
        NoBoxes boxes;
        QtDialogs dialogs;
        TimedPlayer mp1(QStringLiteral("autoaudiosink"));
        GstMediaPlayer background(QStringLiteral("fakesink sync=true"));
        {
            TfrmMain window(Services{&clock, &boxes, &dialogs, &mp1, &background, true, &shutdown,
                                     &startup});
            WaitUntil(due.back() + 1'500'000'000);
        }
        SetApplicationDirectoryOverride(QString());
        if (boxes.shown != 0 || mp1.playedAt.size() != std::size_t(kTasks)) {
            state.SkipWithError("not every task started exactly once without a box");
            return;
        }

        std::vector<double> toPlay, toSound;
        std::vector<int> late;
        std::printf("task  to Play (ms)  to sound (ms)\n");
        for (int i = 0; i < kTasks; ++i) {
            const qint64 onset = pulse.onsetIn(due[i], due[i] + 900'000'000);
            if (onset < 0) {
                state.SkipWithError("a bell was not heard");
                return;
            }
            toPlay.push_back(double(mp1.playedAt[i] - due[i]) / 1e6);
            toSound.push_back(double(onset - leadIn - due[i]) / 1e6);
            std::printf("%4d  %12.2f  %13.2f\n", i + 1, toPlay.back(), toSound.back());
            if (toSound.back() > kLateMs)
                late.push_back(i + 1);
        }
        std::printf("%zu of %d bells sounded later than %.0f ms:", late.size(), kTasks, kLateMs);
        for (int i : late)
            std::printf(" %d", i);
        std::printf("\n");
        const std::vector<double> timer = timerFloor();
        const std::vector<double> fresh = freshPlayerFloor(pulse, bell, leadIn, &why);
        if (fresh.empty()) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        report(state, "play", toPlay);
        report(state, "sound", toSound);
        state.counters["sound_max_ms"] = *std::max_element(toSound.begin(), toSound.end());
        state.counters["sound_over_25ms"] = double(late.size());
        report(state, "floor_timer", timer);
        report(state, "floor_fresh_player", fresh);
        state.counters["bell_lead_in_ms"] = double(leadIn) / 1e6;
    }
}

} // namespace

BENCHMARK(BM_BellLateness)->Iterations(1)->Unit(benchmark::kSecond);

TAVURO_BENCHMARK_MAIN();
