#include "storage/ProgramData.h"
#include "storage/TaskFile.h"
#include "support/FakeMediaPlayer.h"
#include "support/QtPrinters.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "zones/ZoneBells.h"

#include <gtest/gtest.h>


namespace {

// Says when the zone has let it go for a fresh one.
struct TrackedPlayer : FakeMediaPlayer {
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    ~TrackedPlayer() override { *alive = false; }
};

class ZoneBellsTest : public ::testing::Test {
protected:
    TempAppDir dir;
    FakeClock clock;
    ProgramData data;
    // Every player made, by port; a zone that failed gets a fresh one.
    struct Made {
        int port;
        TrackedPlayer* player;
        std::shared_ptr<bool> alive;
        bool music;
    };
    std::vector<Made> players;
    bool makingMusic = false;
    bool outputUp = true;
    QStringList reports, journal;
    ZoneBells bells{clock, data, [this](const QString&, int port) {
                        auto player = std::make_unique<TrackedPlayer>();
                        player->audioOutput = outputUp;
                        players.push_back({port, player.get(), player->alive, makingMusic});
                        return std::unique_ptr<IMediaPlayer>(std::move(player));
                    }};

    void SetUp() override
    {
        dir.writeText(TaskFileName, "[Time]\n08:00:00=1,0,1\n08:00:05=1,0,1\n08:00:10=1,0,1\n08:00:15=1,0,1\n"
                                    "[TimeParams]\n08:00:00=1,1,1,0,,0,00:00:00\n08:00:05=1,1,1,0,,0,00:00:00\n"
                                    "08:00:10=1,1,1,0,,0,00:00:00\n08:00:15=1,1,1,4,,0,00:00:00\n"
                                    "[TaskZones]\n08:00:00=A\n08:00:10=\n");
        data.setLibraryList({"1=/m/bell.wav"});
        data.loadTimetable();
        clock.set(QDate(2026, 3, 2), QTime(7, 59, 50));
        bells.setReport([this](const QString& m) { reports << m; });
        bells.setJournal([this](const QString& key, const QString&, const QString& e) { journal << key + " " + e; });
        BroadcastSettings settings;
        settings.enabled = true;
        settings.bufferMs = 1000;
        settings.zones = {{"A", 4953}, {"B", 4954}};
        bells.configure(settings);
        bells.tick();
    }
    // The latest player of the zone at port.
    FakeMediaPlayer* player(int port) const
    {
        for (auto it = players.rbegin(); it != players.rend(); ++it)
            if (it->port == port && *it->alive && !it->music)
                return it->player;
        return nullptr;
    }
    int plays(int port) const { return int(player(port)->log.count("Play")); }
    bool playing(int port) const { return plays(port) > 0; }
    std::vector<qsizetype> answered; // per player, the Opens whose notice has come
    // Runs the zones' check at the given time of this computer's clock.
    void at(const QTime& time)
    {
        clock.set(QDate(2026, 3, 2), time);
        bells.tick();
        // Each file opened comes through, as the real player's notice does.
        answered.resize(players.size());
        for (std::size_t i = 0; i < players.size(); ++i) {
            if (!*players[i].alive)
                continue;
            const qsizetype opens = players[i].player->log.filter("Open:").size();
            if (opens > answered[i]) {
                answered[i] = opens;
                players[i].player->notify(MediaNotice::Opened);
            }
        }
    }
    void endBells()
    {
        for (int port : {4953, 4954})
            if (player(port)->mode == MediaMode::Playing)
                player(port)->finish();
    }
};

TEST_F(ZoneBellsTest, EachTaskRingsAheadInItsOwnZonesOnly)
{
    EXPECT_EQ(bells.leadMs(), 1040);
    struct Case {
        QTime before, start;
        bool a, b;
    };
    // Each start comes 1040 ms before the second (one buffer, less the block the server dates
    // early, and the margin to set every zone going), not a moment before.
    const Case cases[] = {
        {QTime(7, 59, 58, 900), QTime(7, 59, 58, 960), true, false},  // A only
        {QTime(8, 0, 3, 900), QTime(8, 0, 3, 960), true, true},     // every zone
        {QTime(8, 0, 8, 900), QTime(8, 0, 8, 960), false, false},   // this computer only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start.toString().toStdString());
        const int a = plays(4953), b = plays(4954);
        at(c.before);
        EXPECT_EQ(plays(4953) + plays(4954), a + b);
        at(c.start);
        EXPECT_EQ(plays(4953) > a, c.a);
        EXPECT_EQ(plays(4954) > b, c.b);
        endBells();
        // The stream is let go for the next sender as soon as the bell is over.
        for (int port : {4953, 4954}) {
            if (port == 4953 ? c.a : c.b) {
                EXPECT_EQ(player(port)->log.last(), "Close");
            }
        }
    }
}

TEST_F(ZoneBellsTest, AOnceOnlyTaskIsLeftToThisComputersPlayer)
{
    at(QTime(8, 0, 14, 20));
    EXPECT_TRUE(playing(4953) && playing(4954));
    EXPECT_NE(data.timetable().find("08:00:15"), nullptr);
}

TEST_F(ZoneBellsTest, AZoneThatCannotBeReachedIsToldOnceUntilItPlaysAgain)
{
    // The server is down: every player plays into nothing.
    outputUp = false;
    for (Made& made : players)
        if (*made.alive)
            made.player->audioOutput = false;
    const auto told = [this] {
        QStringList zones;
        for (const QString& r : reports)
            zones << r.section("”", 0, 0).section("“", 1);
        return zones;
    };
    at(QTime(7, 59, 59, 20)); // A
    endBells();
    at(QTime(8, 0, 4, 20)); // A and B
    endBells();
    EXPECT_EQ(told(), (QStringList{"A", "B"}));
    // Back again, then down once more: that is news again.
    outputUp = true;
    at(QTime(8, 0, 14, 20));
    endBells();
    EXPECT_EQ(reports.size(), 2);
    outputUp = false;
    dir.writeText(TaskFileName, "[Time]\n08:00:30=1,0,1\n[TimeParams]\n08:00:30=1,1,1,0,,0,00:00:00\n");
    data.loadTimetable();
    for (Made& made : players)
        if (*made.alive)
            made.player->audioOutput = false;
    at(QTime(8, 0, 29, 20));
    EXPECT_EQ(told(), (QStringList{"A", "B", "A", "B"}));
}

TEST_F(ZoneBellsTest, AZoneWithoutAConnectedClientIsLoggedWhenATaskRingsThere)
{
    SnapcastStatus status;
    status.reachable = true;
    status.clientsByStream["A"] = {{"pi1", "pi1", "10.0.0.5", "g1", false}};
    status.clientsByStream["B"] = {{"pi2", "pi2", "10.0.0.6", "g2", true}};
    bells.setStatus(status);
    at(QTime(8, 0, 4, 20));
    EXPECT_TRUE(journal.contains("08:00:05 分区“A”没有在线的客户端")) << journal.join('\n').toStdString();
    EXPECT_TRUE(journal.filter("“B”").isEmpty());
}

TEST_F(ZoneBellsTest, MusicGivesWayToEachBellInItsZoneAndComesBackAfter)
{
    makingMusic = true;
    bells.setMusic("/m/music.mp3", 0.8);
    makingMusic = false;
    const auto music = [this](int port) -> FakeMediaPlayer* {
        for (const Made& made : players)
            if (made.port == port && *made.alive && made.music)
                return made.player;
        return nullptr;
    };
    ASSERT_TRUE(music(4953) && music(4954));
    EXPECT_EQ(music(4953)->log.filter("Open:").size(), 1);
    EXPECT_EQ(music(4953)->level(), 0.8);
    // A bell coming in A only: A's music leaves the stream to it two and a half seconds before
    // the zone's second, so that the clients hear a clean pause first.
    at(QTime(7, 59, 55, 900));
    EXPECT_TRUE(bells.musicPlaying("A"));
    at(QTime(7, 59, 56, 500));
    EXPECT_TRUE(bells.musicPlaying("B"));
    EXPECT_FALSE(bells.musicPlaying("A"));
    at(QTime(7, 59, 58, 960));
    bells.checkMusic();
    EXPECT_FALSE(bells.musicPlaying("A"));
    // A second after the bell has ended, the music is back.
    endBells();
    bells.checkMusic();
    EXPECT_FALSE(bells.musicPlaying("A"));
    clock.advance(4000);
    bells.checkMusic();
    EXPECT_TRUE(bells.musicPlaying("A"));
}

TEST_F(ZoneBellsTest, AnotherServerGivesEveryZoneAPlayerForIt)
{
    std::vector<QString> hosts;
    ZoneBells other{clock, data, [&](const QString& host, int) {
                        hosts.push_back(host);
                        return std::make_unique<FakeMediaPlayer>();
                    }};
    BroadcastSettings settings;
    settings.enabled = true;
    settings.zones = {{"A", 4953}, {"B", 4954}};
    other.configure(settings);
    settings.server = "10.0.0.2";
    other.configure(settings);
    EXPECT_EQ(hosts, (std::vector<QString>{"127.0.0.1", "127.0.0.1", "10.0.0.2", "10.0.0.2"}));
}

TEST_F(ZoneBellsTest, BroadcastingOffStopsTheZones)
{
    BroadcastSettings off;
    off.zones = {{"A", 4953}};
    bells.configure(off);
    EXPECT_EQ(bells.zoneCount(), 0);
    at(QTime(7, 59, 59, 20));
    // No player is left to feed a stream.
    EXPECT_EQ(player(4953), nullptr);
}

} // namespace
