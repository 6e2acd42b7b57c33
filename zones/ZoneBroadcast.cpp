#include "zones/ZoneBroadcast.h"

#include "platform/Guard.h"
#include "schedule/BackgroundMusic.h"
#include "storage/ProgramData.h"
#include "zones/ZonePage.h"

#include <QDir>

ZoneBroadcast::ZoneBroadcast(ZonePage& page, ProgramData& data, const IClock& clock,
                             const HandlerGuard& guard, ZoneBells::MakePlayer makePlayer,
                             const QString& serverDirectory)
    : m_page(page), m_data(data), m_directory(serverDirectory), m_bells(clock, data, std::move(makePlayer))
{
    m_bells.setReport([this](const QString& message) { tell(message); });
    // Every five seconds, a third of a second past the second: clear of this computer's bells
    // and of the zones', which start a buffer before theirs.
    m_control.setPollDelay([&clock] { return 4000 + DueTimeCheck::MsUntilPastSecond(clock.msecsSinceEpoch(), 300); });
    connect(&m_data, &ProgramData::changed, this, [this] { apply(); });
    connect(&m_page, &ZonePage::settingsEdited, this, [this, &guard](const BroadcastSettings& s) {
        guard.run([&] {
            try {
                m_data.changeSettings([&s] { WriteBroadcastSettings(s); });
            } catch (...) {
                // The page shows what the file holds, refused or not.
                m_page.setSettings(m_data.settings().broadcast);
                throw;
            }
        });
    });
    connect(&m_page, &ZonePage::zoneRenamed, this, [this, &guard](const QString& oldName, const QString& newName) {
        guard.run([&] { zoneRenamed(oldName, newName); });
    });
    connect(&m_page, &ZonePage::clientZoneChosen, this,
            [this](const QString& group, const QString& zone) { m_control.setGroupStream(group, zone); });
    connect(&m_control, &SnapcastControl::statusChanged, this,
            [this](const SnapcastStatus& status) { statusChanged(status); });
    connect(&m_control, &SnapcastControl::commandFailed, this, [this](const QString& m) { tell(m); });
    connect(&m_server, &SnapServer::failed, this, [this](const QString& message) {
        m_page.showServerProblem(message);
        tell(message);
    });
    connect(&m_server, &SnapServer::running, this, [this] {
        m_page.showServerProblem(QString());
        m_control.refresh();
        m_bells.serverUp();
    });
}

ZoneBroadcast::~ZoneBroadcast() = default;

void ZoneBroadcast::apply()
{
    const Settings& settings = m_data.settings();
    const BroadcastSettings& b = settings.broadcast;
    // The music follows the settings of the background music as well.
    const bool music = b.enabled && b.music && settings.isBackgroup
        && IsPlayableBackgroupMusic(settings.backgroupMusicFile);
    m_bells.setMusic(music ? settings.backgroupMusicFile : QString(), settings.musicVolume / 100.0);
    m_bells.setLateGrace(settings.lateBellGrace);
    if (m_appliedOnce && b == m_applied)
        return;
    m_appliedOnce = true;
    m_applied = b;
    m_page.setSettings(b);
    m_bells.configure(b);
    std::vector<SnapServerZone> zones;
    for (const BroadcastZone& z : b.zones)
        zones.push_back({z.name, z.port});
    if (b.enabled && b.ownServer() && !zones.empty()) {
        QDir().mkpath(m_directory);
        m_server.start(SnapServerConfig(m_directory, b.streamPort, b.controlPort, b.bufferMs, zones), m_directory);
    } else {
        m_server.stop();
        m_page.showServerProblem(QString());
    }
    m_control.setServer(b.enabled ? b.host() : QString(), b.controlPort);
    if (!b.enabled)
        statusChanged(SnapcastStatus{});
}

void ZoneBroadcast::statusChanged(const SnapcastStatus& status)
{
    m_page.showStatus(status);
    m_bells.setStatus(status);
    const BroadcastSettings& b = m_data.settings().broadcast;
    if (b.enabled && !status.reachable && !status.error.isEmpty()) {
        if (m_unreachable.isEmpty())
            tell(status.error);
        m_unreachable = status.error;
    } else {
        // A server elsewhere that answers again takes the music at once.
        if (!m_unreachable.isEmpty() && status.reachable)
            m_bells.serverUp();
        m_unreachable.clear();
    }
    // A renamed zone's clients, listed again by the restarted server, go into it.
    for (const auto& [stream, clients] : status.clientsByStream)
        for (const SnapClient& c : clients) {
            const auto move = m_moves.find(c.id);
            if (move == m_moves.end())
                continue;
            if (stream != move.value())
                m_control.setGroupStream(c.groupId, move.value());
            m_moves.erase(move);
        }
    QStringList silent;
    if (b.enabled && status.reachable)
        for (const BroadcastZone& z : b.zones)
            if (status.connectedClients(z.name) == 0)
                silent << z.name;
    const QString notice = silent.isEmpty() ? QString()
                                            : tr("无客户端：%1").arg(silent.join(tr("、", "between zone names")));
    if (notice != m_lastNotice && m_notice)
        m_notice(notice);
    m_lastNotice = notice;
}

void ZoneBroadcast::zoneRenamed(const QString& oldName, const QString& newName)
{
    const auto found = m_control.status().clientsByStream.find(oldName);
    if (found != m_control.status().clientsByStream.end())
        for (const SnapClient& c : found->second)
            m_moves.insert(c.id, newName);
    m_data.renameZoneInTasks(oldName, newName);
}

void ZoneBroadcast::tell(const QString& message)
{
    if (m_report)
        m_report(message);
}
