#pragma once
// Sending the bells to other buildings through a Snapcast server: the server, the zones (one
// Snapcast stream each, fed by this program over TCP) and whether the local sound device
// plays too. Kept in Config.ini's [Broadcast] and [BroadcastZones] sections; a file without
// them broadcasts nothing, and an older reader ignores them.
#include <QString>
#include <QStringList>

#include <vector>

inline const QString BroadcastSection = QStringLiteral("Broadcast");
inline const QString BroadcastZonesSection = QStringLiteral("BroadcastZones");

// The port the first zone's stream listens on; the next zones take the ports after it.
constexpr int FirstZonePort = 4953;
constexpr int MinBroadcastBufferMs = 200;
constexpr int MaxBroadcastBufferMs = 5000;

struct BroadcastZone {
    QString name; // the Snapcast stream's name, shown to the building's clients
    int port = 0; // where the stream takes this program's sound (TCP)

    bool operator==(const BroadcastZone&) const = default;
};

struct BroadcastSettings {
    bool enabled = false;    // Enabled=1
    // Server=: empty for the server the program starts itself on this computer.
    QString server;
    int streamPort = 1704;   // StreamPort: where the building's snapclients connect
    int controlPort = 1705;  // ControlPort: Snapcast's JSON-RPC over TCP
    // Buffer: the Snapcast server's buffer, ms; the zones are fed this much ahead.
    int bufferMs = 1000;
    bool localDevice = true; // LocalDevice: this computer's own sound device plays as well
    bool music = false;      // Music: the background music goes to the zones between bells
    std::vector<BroadcastZone> zones; // [BroadcastZones] name=port lines, in order

    bool operator==(const BroadcastSettings&) const = default;
    // The program's own server, on this computer.
    bool ownServer() const { return server.trimmed().isEmpty(); }
    // The host the zones' streams and the control interface are reached at.
    QString host() const { return ownServer() ? QStringLiteral("127.0.0.1") : server.trimmed(); }
    const BroadcastZone* zone(const QString& name) const;
    // Only the zones sound: this computer's own device is switched off. Never while nothing is
    // broadcast, so that some place always hears the bells.
    bool localDeviceSilent() const { return enabled && !zones.empty() && !localDevice; }
};

// Why name cannot name a zone (empty, too long, a character the stream address cannot hold,
// or the name of another zone in others); empty when it can. For the user.
QString ZoneNameProblem(const QString& name, const std::vector<BroadcastZone>& others);

// Writes both sections as settings holds them (the zone lines replace the old ones); raises
// FileError when Config.ini refuses. ReadSettings reads them back into Settings::broadcast.
void WriteBroadcastSettings(const BroadcastSettings& settings);
