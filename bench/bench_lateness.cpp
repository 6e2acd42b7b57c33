// How late tasks start: the whole main window with the real clock, the real timers and the real
// player on a fake sink plays 61 tasks due one per second; lateness is the time from each task's
// second boundary to the player's Play call. Goal: 99th percentile under 50 ms.
// Runs for about 65 s.
#include "app/Unit1.h"
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ShutdownRequest.h"
#include "platform/StartupRegistration.h"
#include "tests/support/RecordingPlayer.h"
#include "tests/support/WavFile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace {

class NoBoxes : public IMessageBoxes {
public:
    int shown = 0;
    BoxAnswer show(QWidget*, const QString&, const QString&, BoxIcon, BoxButtons) override
    {
        ++shown;
        return BoxAnswer::Ok;
    }
};

class NoShutdown : public IShutdownRequest {
public:
    bool requestPowerOff(QString* error) override
    {
        if (error)
            *error = QStringLiteral("benchmark");
        return false;
    }
};

class NoStartupRegistration : public IStartupRegistration {
public:
    bool open() override { return false; }
    void registerProgram(const QString&) override {}
    void unregisterProgram() override {}
};

void BM_TaskLateness(benchmark::State& state)
{
    constexpr int kTasks = 61;
    for (auto _ : state) {
        QTemporaryDir dir;
        SetApplicationDirectoryOverride(dir.path());
        const QString wav = dir.path() + QStringLiteral("/bell.wav");
        QFile f(wav);
        f.open(QIODevice::WriteOnly);
        f.write(SilentWav(300));
        f.close();

        // Tasks at whole seconds from 3 s ahead on, one per second.
        const QDateTime first = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + 3);
        QString time, params;
        QList<qint64> due;
        for (int i = 0; i < kTasks; ++i) {
            const QDateTime at = first.addSecs(i);
            const QString key = at.time().toString(QStringLiteral("HH:mm:ss"));
            time += key + QStringLiteral("=1,0,1\r\n");
            params += key + QStringLiteral("=1,1,1,0,,0,00:00:00\r\n");
            due << at.toMSecsSinceEpoch();
        }
        QFile task(dir.path() + QStringLiteral("/TimeMusicList.ini"));
        task.open(QIODevice::WriteOnly);
        task.write(QStringEncoder("GB18030").encode(QStringLiteral("[Time]\r\n") + time +
                                                   QStringLiteral("[TimeParams]\r\n") + params +
                                                   QStringLiteral("[Music]\r\n1=") + wav +
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
        RecordingPlayer mp1;
        GstMediaPlayer background(QStringLiteral("fakesink sync=true"));
        TfrmMain window(Services{&clock, &boxes, &dialogs, &mp1, &background, true, &shutdown, &startup});
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (mp1.playedAt.size() >= kTasks)
                loop.quit();
        });
        poll.start(100);
        QTimer::singleShot((kTasks + 8) * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        if (mp1.playedAt.size() != kTasks || boxes.shown != 0) {
            state.SkipWithError("not every task started exactly once");
            return;
        }
        QList<double> late;
        for (int i = 0; i < kTasks; ++i)
            late << double(mp1.playedAt[i] - due[i]);
        std::sort(late.begin(), late.end());
        state.counters["median_ms"] = late[late.size() / 2];
        state.counters["p99_ms"] = late[std::min<qsizetype>(late.size() - 1, (late.size() * 99) / 100)];
        state.counters["max_ms"] = late.last();
        state.counters["min_ms"] = late.first();
        SetApplicationDirectoryOverride(QString());
    }
}

} // namespace

BENCHMARK(BM_TaskLateness)->Iterations(1)->Unit(benchmark::kSecond);

TAVURO_BENCHMARK_MAIN();
