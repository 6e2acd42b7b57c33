#pragma once
// Watches a Snapcast server through its JSON-RPC control interface (TCP, one request or
// reply a line): which clients listen to which stream, told once each time it changes. Also
// moves a client's group to another stream. Nothing here waits on the network.
#include "platform/SnapcastStatus.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

class SnapcastControl : public QObject {
    Q_OBJECT
public:
    explicit SnapcastControl(QObject* parent = nullptr);
    ~SnapcastControl() override;

    // The server to watch; asks it at once. An empty host stops watching.
    void setServer(const QString& host, int controlPort);
    // How often the server is asked; 5 s unless set.
    void setPollInterval(int ms);
    // Asked afresh before each poll instead of the interval: the wait until the next one. The
    // window keeps its polls, and the answers, clear of the moments its bells start.
    void setPollDelay(std::function<int()> delayMs);
    // Asks the server now rather than at the next poll.
    void refresh();
    // Moves the group (and so its clients) to the stream, then asks for the new status.
    void setGroupStream(const QString& groupId, const QString& streamName);

    // The status last told; unreachable with no error before the first answer.
    const SnapcastStatus& status() const { return m_status; }

signals:
    // Only when the status differs from the one told before.
    void statusChanged(const SnapcastStatus& status);
    // A command the server refused, or that was lost with the connection; for the user.
    void commandFailed(const QString& message);

private:
    void send(int id, const QString& method, const QJsonObject& params);
    void flush();
    void readReplies();
    void take(const QByteArray& line);
    void onSocketError();
    void fail(const QString& reason);
    void dropConnection();
    void publish(const SnapcastStatus& status);

    QTcpSocket m_socket;
    QTimer m_pollTimer;
    QTimer m_answerTimer; // the status request's deadline
    QString m_host;
    quint16 m_port = 0;
    QByteArray m_received; // a reply's start, until its line ends
    QByteArray m_outbox;   // requests waiting for the connection
    int m_nextId = 1;
    int m_statusId = 0;    // the status request awaiting its answer
    bool m_askAgain = false;
    bool m_answered = false; // this connection has answered before
    QHash<int, QString> m_commands; // Group.SetStream requests awaiting an answer: what they ask
    SnapcastStatus m_status;
    std::function<int()> m_pollDelay;
    bool m_told = false;
};
