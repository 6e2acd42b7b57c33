#pragma once
// What benchmarks of the whole main window stand in for: no boxes to answer, no shutdown and
// no log-on registration ever, and the task player noting when it is told to play.
#include "platform/GstMediaPlayer.h"
#include "platform/MessageBoxes.h"
#include "platform/ShutdownRequest.h"
#include "platform/StartupRegistration.h"
#include "tests/support/PrivatePulse.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// The middle of the readings (-1 for none).
inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// The task key of the second at ns (realtime), as the task file writes it.
inline QString KeyAt(qint64 ns)
{
    return QDateTime::fromMSecsSinceEpoch(ns / 1'000'000).time().toString(QStringLiteral("HH:mm:ss"));
}

class NoBoxes : public IMessageBoxes {
public:
    int shown = 0;
    BoxAnswer show(QWidget*, const QString&, const QString& text, BoxIcon, BoxButtons) override
    {
        ++shown;
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
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

// The program's player, noting when it is told to play (realtime ns).
class TimedPlayer : public GstMediaPlayer {
public:
    using GstMediaPlayer::GstMediaPlayer;
    std::vector<qint64> playedAt;
    void Play() override
    {
        playedAt.push_back(RealtimeNs());
        GstMediaPlayer::Play();
    }
};

// Waits in the event loop until realtime reaches atNs.
inline void WaitUntil(qint64 atNs)
{
    const qint64 ms = (atNs - RealtimeNs()) / 1'000'000;
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(int(ms));
    loop.exec();
}

inline qint64 NextSecondNs(qint64 afterNs)
{
    return (afterNs / 1'000'000'000 + 1) * 1'000'000'000;
}
