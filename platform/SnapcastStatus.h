#pragma once
// What a Snapcast server says of its clients, as its control interface reports it.
#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

struct SnapClient {
    QString id;       // the client's host ID
    QString name;     // the name given to it on the server, else its host's name
    QString ip;
    QString groupId;  // the group it is in; a group listens to one stream
    bool connected = false;

    bool operator==(const SnapClient&) const = default;
};

struct SnapcastStatus {
    bool reachable = false; // the control interface answered
    QString error;          // why not, for the user, when it did not
    // The clients by the stream their group listens to, in the server's order.
    std::map<QString, std::vector<SnapClient>> clientsByStream;
    std::vector<QString> streams; // the server's stream names

    bool operator==(const SnapcastStatus&) const = default;
    // Clients of the stream that are connected now.
    int connectedClients(const QString& stream) const;
};

// The status from the reply to Server.GetStatus (one JSON-RPC line). A reply that cannot be
// read, or an error reply, gives reachable=false with the reason.
SnapcastStatus ParseServerStatus(const QByteArray& json);
