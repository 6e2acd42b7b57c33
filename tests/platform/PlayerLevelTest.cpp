// The player's own gain, read back from the samples its pipeline puts out: a square wave of
// known peak goes in, and every 10 ms of the output shows the gain it met.
#include "platform/GstMediaPlayer.h"
#include "tests/support/WavFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kWaitMs = 15000;
constexpr qint16 kPeak = 16000;
constexpr int kWindow = 80; // samples: 10 ms at 8 kHz

struct Output {
    QTemporaryDir dir;
    QString tone(int ms)
    {
        const QString path = dir.filePath(QStringLiteral("tone%1.wav").arg(ms));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SilentWav(ms, kPeak));
        return path;
    }
    QString raw() const { return dir.filePath(QStringLiteral("out.raw")); }
    // Written as it is played, paced by the clock like a sound card.
    QString sink() const
    {
        return QStringLiteral("audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=8000"
                              " ! filesink sync=true location=\"%1\"")
            .arg(raw());
    }
    // The gain of each 10 ms of what came out.
    std::vector<double> gains() const
    {
        QFile file(raw());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
        const qsizetype count = bytes.size() / 2;
        std::vector<double> out;
        for (qsizetype w = 0; w + kWindow <= count; w += kWindow) {
            int peak = 0;
            for (int i = 0; i < kWindow; ++i)
                peak = std::max(peak, std::abs(int(samples[w + i])));
            out.push_back(double(peak) / kPeak);
        }
        return out;
    }
};

bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, kWaitMs);
}

// The largest step between neighbouring windows: a click is a sudden one.
double largestStep(const std::vector<double>& g)
{
    double step = 0;
    for (std::size_t i = 1; i < g.size(); ++i)
        step = std::max(step, std::fabs(g[i] - g[i - 1]));
    return step;
}

bool allNear(const std::vector<double>& g, std::size_t from, std::size_t to, double gain, double tolerance)
{
    for (std::size_t i = from; i < std::min(to, g.size()); ++i)
        if (std::fabs(g[i] - gain) > tolerance)
            return false;
    return from < std::min(to, g.size());
}

struct Scenario {
    const char* name;
    int fileMs;
    double level;
    int fadeInMs;
    // What is done while it plays: given the player, after it has started.
    std::function<void(GstMediaPlayer&)> during;
    std::function<void(const std::vector<double>&)> check;
};

void waitPosition(GstMediaPlayer& player, qint64 ms)
{
    ASSERT_TRUE(waitFor([&] { return player.Position() >= ms; }));
}

} // namespace

TEST(PlayerLevel, EverySampleMeetsTheGainAsSetRampedWithoutAClick)
{
    const std::vector<Scenario> scenarios{
        {"a level of its own", 600, 0.5, 0, {},
         [](const std::vector<double>& g) { EXPECT_TRUE(allNear(g, 1, g.size(), 0.5, 0.02)); }},
        {"a fade-in from silence", 1000, 1.0, 400, {},
         [](const std::vector<double>& g) {
             EXPECT_LT(g.at(0), 0.05);
             EXPECT_NEAR(g.at(20), 0.5, 0.06); // 200 ms into a 400 ms fade
             EXPECT_TRUE(allNear(g, 41, g.size(), 1.0, 0.02));
         }},
        {"lowered under a bell and brought back", 2500, 1.0, 0,
         [](GstMediaPlayer& p) {
             waitPosition(p, 500);
             p.setLevel(0.2, 150);
             waitPosition(p, 1500);
             p.setLevel(1.0, 300);
         },
         [](const std::vector<double>& g) {
             EXPECT_TRUE(allNear(g, 1, 40, 1.0, 0.02));
             // Somewhere in the middle it stays down for at least 300 ms.
             std::size_t run = 0, longest = 0;
             for (double v : g) {
                 run = std::fabs(v - 0.2) < 0.02 ? run + 1 : 0;
                 longest = std::max(longest, run);
             }
             EXPECT_GE(longest, 30u);
             EXPECT_TRUE(allNear(g, g.size() - 30, g.size(), 1.0, 0.02));
         }},
        {"a fade-out ending where it was aimed", 2500, 1.0, 0,
         [](GstMediaPlayer& p) {
             waitPosition(p, 300);
             p.fadeOut(900, 400);
         },
         [](const std::vector<double>& g) {
             // Silent from about 1.2 s of the file on, full until the fade began.
             EXPECT_TRUE(allNear(g, 1, 60, 1.0, 0.02));
             EXPECT_TRUE(allNear(g, 135, g.size(), 0.0, 0.001));
             std::size_t firstSilent = 0;
             while (firstSilent < g.size() && g[firstSilent] > 0.001)
                 ++firstSilent;
             EXPECT_NEAR(double(firstSilent) * 10, 1200, 150);
         }},
        {"a rewound player keeps the level it was brought to", 800, 1.0, 0,
         [](GstMediaPlayer& p) {
             waitPosition(p, 200);
             p.setLevel(0.3, 100);
             ASSERT_TRUE(waitFor([&] { return p.Mode() == MediaMode::Stopped; }));
             p.Rewind();
             p.Play();
         },
         [](const std::vector<double>& g) {
             // Starting again reopens the output file: it holds the second pass, all of it
             // at the new level.
             EXPECT_TRUE(allNear(g, 0, g.size(), 0.3, 0.02));
         }},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        Output out;
        {
            GstMediaPlayer player(out.sink());
            player.setLevel(s.level);
            player.setFadeIn(s.fadeInMs);
            player.setFileName(out.tone(s.fileMs));
            player.Open();
            player.Play();
            ASSERT_TRUE(waitFor([&] { return player.Mode() == MediaMode::Playing; }));
            if (s.during)
                s.during(player);
            ASSERT_TRUE(waitFor([&] { return player.Mode() == MediaMode::Stopped; }));
        }
        const std::vector<double> g = out.gains();
        ASSERT_GT(g.size(), std::size_t(s.fileMs / 10 - 5));
        s.check(g);
        EXPECT_LT(largestStep(g), 0.2) << "a sudden step in the gain";
    }
}
