#include "zones/ZoneBells.h"

#include "platform/Errors.h"
#include "storage/ProgramData.h"
#include "zones/GatedPlayer.h"

#include <algorithm>

namespace {

// The server dates the first block of a stream one block before it has read it (its blocks
// are 20 ms), so that block sounds this much earlier than a buffer after it was sent.
constexpr qint64 kFirstBlockMs = 20;
// The zones' streams all begin this long after their second: time enough to set every zone
// going first, so that none waits for another.
constexpr qint64 kStartMarginMs = 60;
// The playing file is looked at late in the zones' second, as the task player's is in its own.
constexpr int kCyclePastSecondMs = 700;
// The music leaves a zone's stream this long before a bell there, and stays off that much
// longer in case the bell does not come after all. A stream that pauses only briefly between the
// music and the bell leaves Snapcast's clients out of step, and they drop part of the bell.
constexpr int kMusicYieldMs = 2500;
constexpr int kBellComingMs = kMusicYieldMs + 1500;
// The music comes back this long after a bell, not between the files of one task.
constexpr int kAfterBellMs = 1000;
constexpr int kMusicRetryMs = 30000;
// Past the zones' second; this computer's comes a buffer later.
constexpr int kMusicPastSecondMs = 400;

} // namespace

QString ZoneSinkDescription(const QString& host, int port)
{
    // Sent in blocks of a tenth of a second, each 50 ms before its time: the server reads at its
    // own pace and finds each block there before it asks.
    return QStringLiteral("audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=48000,channels=2 ! "
                          "audiobuffersplit output-buffer-duration=1/10 ! "
                          "tcpclientsink host=%1 port=%2 sync=true ts-offset=-50000000")
        .arg(host)
        .arg(port);
}

// A zone's feed: its player, a playback that shows nothing, and the music between bells.
struct ZoneBells::Feed : ITaskPlaybackView {
    BroadcastZone zone;
    std::unique_ptr<GatedPlayer> player;
    std::unique_ptr<IMediaPlayer> music;
    // The music keeps off the stream until then: a bell is on its way or has just ended.
    QDateTime quietUntil;
    // The stream could not be reached for the music; tried again then, or when the server is up.
    QDateTime musicRetryAt;
    std::unique_ptr<TaskPlayback> playback;
    QTimer cycle;
    bool sounding = false;
    // A failure has been told; the zone stays quiet about the next ones until it plays again.
    bool failing = false;
    std::function<void(const QString&)> onFailure;

    void setStatusText(const QString&) override {}
    void setStatusHint(const QString&) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
    void setPlayButtons(bool) override {}
    void setCycleTimerEnabled(bool enabled) override
    {
        if (!enabled)
            cycle.stop();
        else if (!cycle.isActive())
            cycle.start();
    }
    void currentTaskChanged() override {}
    void showFailure(const QString& message) override { onFailure(message); }
};

ZoneBells::ZoneBells(const IClock& clock, ProgramData& data, MakePlayer makePlayer)
    : m_clock(clock), m_comingClock(clock), m_data(data), m_makePlayer(std::move(makePlayer))
{
    m_check.setPrepare([this](const QString& key) { prepareTask(key); });
    m_comingCheck.setLateGrace(0);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        m_timer.start(DueTimeCheck::MsUntilNextTick(m_clock.msecsSinceEpoch()));
        tick();
        if (m_timer.isActive())
            m_timer.start(m_check.MsUntilTick(m_clock.msecsSinceEpoch()));
    });
    // Looked at once a second, halfway between the seconds, where no bell starts.
    m_musicTimer.setSingleShot(true);
    m_musicTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_musicTimer, &QTimer::timeout, [this] {
        m_musicTimer.start(DueTimeCheck::MsUntilPastSecond(m_clock.msecsSinceEpoch(), kMusicPastSecondMs));
        checkMusic();
    });
}

ZoneBells::~ZoneBells() = default;

void ZoneBells::configure(const BroadcastSettings& settings)
{
    m_clock.setLeadMs(qint64(settings.bufferMs) - kFirstBlockMs + kStartMarginMs);
    m_comingClock.setLeadMs(m_clock.leadMs() + kMusicYieldMs);
    // A feed is kept only for the same stream: its zone's port on the same host.
    const bool sameHost = settings.host() == m_host;
    m_host = settings.host();
    std::vector<BroadcastZone> wanted;
    if (settings.enabled)
        wanted = settings.zones;
    std::vector<std::unique_ptr<Feed>> feeds;
    for (const BroadcastZone& zone : wanted) {
        auto kept = std::find_if(m_feeds.begin(), m_feeds.end(), [&](const std::unique_ptr<Feed>& f) {
            return f && f->zone == zone && sameHost;
        });
        if (kept != m_feeds.end()) {
            feeds.push_back(std::move(*kept));
            continue;
        }
        auto feed = std::make_unique<Feed>();
        feed->zone = zone;
        Feed* raw = feed.get();
        feed->onFailure = [this, raw](const QString& message) { failed(*raw, message); };
        feed->cycle.setTimerType(Qt::PreciseTimer);
        feed->cycle.setSingleShot(true);
        QObject::connect(&feed->cycle, &QTimer::timeout, [this, raw] {
            raw->cycle.start(DueTimeCheck::MsUntilPastSecond(m_clock.msecsSinceEpoch(), kCyclePastSecondMs));
            try {
                raw->playback->tmrCycleTimer();
            } catch (const AppError& e) {
                failed(*raw, e.message());
            }
        });
        renew(*feed);
        feeds.push_back(std::move(feed));
    }
    m_feeds = std::move(feeds);
    if (m_feeds.empty()) {
        m_timer.stop();
        m_musicTimer.stop();
    } else {
        if (!m_timer.isActive())
            m_timer.start(DueTimeCheck::MsUntilNextTick(m_clock.msecsSinceEpoch()));
        if (!m_musicTimer.isActive())
            m_musicTimer.start(DueTimeCheck::MsUntilPastSecond(m_clock.msecsSinceEpoch(), kMusicPastSecondMs));
    }
    checkMusic();
}

void ZoneBells::setMusic(const QString& file, double gain)
{
    if (file != m_musicFile)
        for (const auto& f : m_feeds)
            if (f->music)
                f->music->Close();
    m_musicFile = file;
    if (gain != m_musicGain)
        for (const auto& f : m_feeds)
            if (f->music)
                f->music->setLevel(gain, 100);
    m_musicGain = gain;
    checkMusic();
}

void ZoneBells::checkMusic()
{
    const QDateTime now = m_clock.now();
    for (const auto& f : m_feeds) {
        const bool wanted = !m_musicFile.isEmpty() && !f->sounding
            && (!f->quietUntil.isValid() || now >= f->quietUntil)
            && (!f->musicRetryAt.isValid() || now >= f->musicRetryAt);
        if (!wanted) {
            if (f->music && f->music->isOpen())
                f->music->Close();
            continue;
        }
        if (f->music && f->music->isOpen() && f->music->Mode() != MediaMode::Open && !f->music->hasAudioOutput()) {
            // The stream could not be reached: its player plays into nothing for good. A fresh
            // one tries again a while later.
            f->music.reset();
            f->musicRetryAt = now.addMSecs(kMusicRetryMs);
            continue;
        }
        if (!f->music) {
            f->music = m_makePlayer(m_host, f->zone.port);
            f->music->setLevel(m_musicGain);
            // Each time round the file comes on a new connection: a stream that stops for the
            // rewind would leave the server waiting, and its clients out of step.
            IMediaPlayer* music = f->music.get();
            music->setNoticeHandler([this, music] {
                if (music->lastNotice() == MediaNotice::Successful) {
                    music->Close();
                    checkMusic();
                }
            });
        }
        // Opened again after a bell or a failure; one at its end starts from the beginning.
        if (!f->music->isOpen() || f->music->fileName() != m_musicFile) {
            f->music->setFileName(m_musicFile);
            f->music->Open();
            f->music->Play();
        } else if (f->music->Mode() == MediaMode::Stopped) {
            f->music->Play();
        }
    }
}

void ZoneBells::serverUp()
{
    for (const auto& f : m_feeds) {
        f->musicRetryAt = QDateTime();
        if (f->music && f->music->isOpen() && f->music->Mode() != MediaMode::Open && !f->music->hasAudioOutput())
            f->music.reset();
    }
    checkMusic();
}

bool ZoneBells::musicPlaying(const QString& zone) const
{
    const Feed* f = feed(zone);
    return f && f->music && f->music->isOpen();
}

void ZoneBells::bellComing(Feed& feed)
{
    feed.quietUntil = m_clock.now().addMSecs(kBellComingMs);
    if (feed.music && feed.music->isOpen())
        feed.music->Close();
}

// A fresh player: one whose output once failed plays into nothing for good, and the server
// may be back.
void ZoneBells::renew(Feed& feed)
{
    feed.playback.reset();
    feed.player = std::make_unique<GatedPlayer>(m_makePlayer(m_host, feed.zone.port));
    feed.playback = std::make_unique<TaskPlayback>(*feed.player, m_clock, feed, m_data);
    feed.playback->setFollower(true);
    Feed* raw = &feed;
    feed.playback->setJournal([this, raw](const QString& key, const QString& file, const QString& event) {
        zoneEvent(*raw, key, file, event);
    });
    feed.playback->setSounding([this, raw](bool sounding) {
        raw->sounding = sounding;
        // The stream takes one sender at a time: the next bell, the music, or the next
        // program must find it free.
        if (!sounding) {
            raw->player->Close();
            raw->quietUntil = m_clock.now().addMSecs(kAfterBellMs);
        }
    });
    feed.sounding = false;
}

ZoneBells::Feed* ZoneBells::feed(const QString& zone) const
{
    for (const auto& f : m_feeds)
        if (f->zone.name == zone)
            return f.get();
    return nullptr;
}

bool ZoneBells::sounding(const QString& zone) const
{
    const Feed* f = feed(zone);
    return f && f->sounding;
}

std::vector<ZoneBells::Feed*> ZoneBells::zonesOf(const QString& key) const
{
    std::vector<Feed*> out;
    const Task* task = m_data.timetable().find(key);
    for (const auto& f : m_feeds)
        if (!task || task->zones().includes(f->zone.name))
            out.push_back(f.get());
    return out;
}

void ZoneBells::tick()
{
    if (m_feeds.empty())
        return;
    // The task player's own check names what is wrong with a task.
    const auto quiet = [](const QString&) {};
    m_comingCheck.Tick(
        m_comingClock, m_data.timetable(), m_data.holidays(),
        [this](const QString& key) {
            for (Feed* f : zonesOf(key))
                bellComing(*f);
        },
        quiet);
    m_check.Tick(m_clock, m_data.timetable(), m_data.holidays(), [this](const QString& key) { startTask(key); }, quiet);
}

void ZoneBells::prepareTask(const QString& key)
{
    for (Feed* f : zonesOf(key)) {
        bellComing(*f);
        if (f->failing && !f->sounding)
            renew(*f);
        f->playback->PrepareTask(key);
    }
}

void ZoneBells::startTask(const QString& key)
{
    const std::vector<Feed*> feeds = zonesOf(key);
    // Each zone is set going in turn, which takes a while; their streams all start together.
    for (Feed* f : feeds) {
        bellComing(*f);
        if (f->failing && !f->sounding)
            renew(*f);
        f->player->hold();
    }
    for (Feed* f : feeds) {
        try {
            f->playback->StartTask(key);
        } catch (const AppError& e) {
            failed(*f, e.message());
        }
    }
    // The margin after the zones' second, on the wall clock the players keep.
    const qint64 now = m_clock.msecsSinceEpoch();
    const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + (now / 1000 * 1000 + kStartMarginMs - now);
    for (Feed* f : feeds)
        f->player->release(startAt);
    for (Feed* f : feeds)
        if (m_status.reachable && m_status.connectedClients(f->zone.name) == 0 && m_journal)
            m_journal(key, QString(), QStringLiteral("分区“%1”没有在线的客户端").arg(f->zone.name));
}

void ZoneBells::ringNow(const QString& musicKey)
{
    for (const auto& f : m_feeds) {
        bellComing(*f);
        if (f->failing && !f->sounding)
            renew(*f);
        try {
            f->playback->RingNow(musicKey);
        } catch (const AppError&) {
            // The task player has told the user already.
        }
    }
}

void ZoneBells::stop()
{
    for (const auto& f : m_feeds)
        f->playback->btnStopClick();
}

void ZoneBells::zoneEvent(Feed& feed, const QString& key, const QString& file, const QString& event)
{
    // The task player logs each file; a zone logs only what went wrong there. The events are
    // the play log's own words, which stay as they are in every language.
    if (event == QStringLiteral("开始播放")) {
        // A player without an output has found no stream to play into.
        if (feed.player->hasAudioOutput())
            feed.failing = false;
        else
            failed(feed, tr("无法连接分区广播服务器 %1:%2").arg(m_host).arg(feed.zone.port));
        return;
    }
    const QString failedPrefix = QStringLiteral("播放失败：");
    if (event.startsWith(failedPrefix)) {
        if (!feed.failing && m_journal)
            m_journal(key, file, QStringLiteral("分区“%1”：%2").arg(feed.zone.name, event));
        // The same failure for the user, in the user's language: the log's words stay Chinese.
        failed(feed, tr("播放失败：%1").arg(feed.player->lastFailure().text()));
    }
}

void ZoneBells::failed(Feed& feed, const QString& message)
{
    if (feed.failing)
        return;
    feed.failing = true;
    if (m_report)
        m_report(tr("分区“%1”的铃声未能送出：%2").arg(feed.zone.name, message));
}
