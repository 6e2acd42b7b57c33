#pragma once
// The bells in the other buildings. Each zone has a feed of its own: a task playback that plays
// the zone's tasks into its Snapcast stream. A stream sounds one server buffer after it is fed,
// so the feeds run on a clock that is that much ahead: a zone's clients then sound on the task's
// second, with this computer. Nothing here touches the local bell: a zone that fails is told
// once and left until its next bell.
#include "platform/Clock.h"
#include "platform/MediaPlayer.h"
#include "platform/SnapcastStatus.h"
#include "schedule/DueTimeCheck.h"
#include "schedule/TaskPlayback.h"
#include "storage/BroadcastConfig.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class ProgramData;

// A clock that reads a fixed time ahead of another.
class LeadClock : public IClock {
public:
    explicit LeadClock(const IClock& base) : m_base(base) {}
    void setLeadMs(qint64 ms) { m_leadMs = ms; }
    qint64 leadMs() const { return m_leadMs; }
    QDateTime now() const override { return m_base.now().addMSecs(m_leadMs); }
    qint64 msecsSinceEpoch() const override { return m_base.msecsSinceEpoch() + m_leadMs; }

private:
    const IClock& m_base;
    qint64 m_leadMs = 0;
};

// The GStreamer output a zone's player plays into: the stream's own format, sent over TCP as
// it is played, with a small head start so the server never waits for the next block.
QString ZoneSinkDescription(const QString& host, int port);

class ZoneBells {
    Q_DECLARE_TR_FUNCTIONS(ZoneBells)
public:
    // Makes a zone's player for its stream at host.
    using MakePlayer = std::function<std::unique_ptr<IMediaPlayer>(const QString& host, int port)>;
    // One failure of a zone, told once until the zone plays again.
    using Report = std::function<void(const QString& message)>;

    ZoneBells(const IClock& clock, ProgramData& data, MakePlayer makePlayer);
    ~ZoneBells();
    ZoneBells(const ZoneBells&) = delete;
    ZoneBells& operator=(const ZoneBells&) = delete;

    // The zones to feed: none while broadcasting is off. Feeds of zones whose stream stays
    // the same are kept, so a bell playing there plays on.
    void configure(const BroadcastSettings& settings);
    void setJournal(PlayJournal journal) { m_journal = std::move(journal); }
    void setReport(Report report) { m_report = std::move(report); }
    // Who listens where: a task ringing in a zone without a connected client is put in the log.
    void setStatus(const SnapcastStatus& status) { m_status = status; }
    // How late a bell skipped by a clock jump or a sleep still rings, as on this computer.
    void setLateGrace(int seconds) { m_check.setLateGrace(seconds); }

    // The background music for the zones between their bells: file repeats without end in every
    // zone at gain, and gives way to each bell from the moment it is known to be coming until it
    // has ended. An empty file sends no music.
    void setMusic(const QString& file, double gain);

    // By hand, at once, in every zone: the zones hear it a buffer after this computer.
    void ringNow(const QString& musicKey);
    void stop();

    // How far ahead of the second the zones are fed, ms.
    qint64 leadMs() const { return m_clock.leadMs(); }
    const LeadClock& clock() const { return m_clock; }
    int zoneCount() const { return int(m_feeds.size()); }
    // The zone's feed is sounding a task.
    bool sounding(const QString& zone) const;
    // The zone's music player is open.
    bool musicPlaying(const QString& zone) const;
    // The due-time check of the zones, run now; the timer runs it at each second otherwise.
    void tick();
    // Starts, restarts or silences each zone's music as things stand; a timer runs it too.
    void checkMusic();
    // The server has come up: music that found no stream tries again at once.
    void serverUp();

private:
    struct Feed;
    Feed* feed(const QString& zone) const;
    void startTask(const QString& key);
    void prepareTask(const QString& key);
    void renew(Feed& feed);
    void zoneEvent(Feed& feed, const QString& key, const QString& file, const QString& event);
    void failed(Feed& feed, const QString& message);
    // A bell is coming in the zone: its music leaves the stream to it now.
    void bellComing(Feed& feed);
    std::vector<Feed*> zonesOf(const QString& key) const;

    LeadClock m_clock;
    // Further ahead still: the bells coming soon, for the music to leave the stream to them.
    LeadClock m_comingClock;
    ProgramData& m_data;
    MakePlayer m_makePlayer;
    QString m_host;
    std::vector<std::unique_ptr<Feed>> m_feeds;
    DueTimeCheck m_check;
    DueTimeCheck m_comingCheck;
    QTimer m_timer;
    PlayJournal m_journal;
    Report m_report;
    SnapcastStatus m_status;
    QString m_musicFile;
    double m_musicGain = 1.0;
    QTimer m_musicTimer;
};
