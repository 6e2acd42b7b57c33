#include "platform/SnapcastControl.h"

#include <QJsonDocument>

#include <utility>

namespace {
constexpr int kDefaultPollMs = 5000;
constexpr int kAnswerMs = 2000;
} // namespace

SnapcastControl::SnapcastControl(QObject* parent) : QObject(parent)
{
    m_pollTimer.setInterval(kDefaultPollMs);
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(kAnswerMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &SnapcastControl::refresh);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] { fail(tr("%1 秒内没有回答").arg(kAnswerMs / 1000)); });
    connect(&m_socket, &QTcpSocket::connected, this, &SnapcastControl::flush);
    connect(&m_socket, &QTcpSocket::readyRead, this, &SnapcastControl::readReplies);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &SnapcastControl::onSocketError);
}

SnapcastControl::~SnapcastControl()
{
    // The socket's last signals must not reach a half-destroyed watcher.
    m_socket.disconnect(this);
    m_socket.abort();
}

void SnapcastControl::setServer(const QString& host, int controlPort)
{
    const QString trimmed = host.trimmed();
    if (trimmed != m_host || quint16(controlPort) != m_port) {
        dropConnection();
        m_host = trimmed;
        m_port = quint16(controlPort);
    }
    if (m_host.isEmpty()) {
        m_pollTimer.stop();
        return;
    }
    m_pollTimer.start();
    refresh();
}

void SnapcastControl::setPollInterval(int ms)
{
    m_pollTimer.setInterval(ms);
}

void SnapcastControl::setPollDelay(std::function<int()> delayMs)
{
    m_pollDelay = std::move(delayMs);
    m_pollTimer.setSingleShot(bool(m_pollDelay));
}

void SnapcastControl::refresh()
{
    if (m_host.isEmpty())
        return;
    if (m_pollDelay)
        m_pollTimer.start(m_pollDelay());
    if (m_statusId) {
        // An answer is on its way, but it may predate what the caller just changed.
        m_askAgain = true;
        return;
    }
    m_statusId = m_nextId++;
    send(m_statusId, QStringLiteral("Server.GetStatus"), {});
    m_answerTimer.start();
}

void SnapcastControl::setGroupStream(const QString& groupId, const QString& streamName)
{
    const QString what = tr("无法把分组 %1 转到分区 %2：%3").arg(groupId, streamName);
    if (m_host.isEmpty()) {
        emit commandFailed(what.arg(tr("没有设置分区广播服务器")));
        return;
    }
    const int id = m_nextId++;
    m_commands.insert(id, what);
    send(id, QStringLiteral("Group.SetStream"),
         QJsonObject{{QStringLiteral("id"), groupId}, {QStringLiteral("stream_id"), streamName}});
}

void SnapcastControl::send(int id, const QString& method, const QJsonObject& params)
{
    QJsonObject request{{QStringLiteral("id"), id}, {QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                        {QStringLiteral("method"), method}};
    if (!params.isEmpty())
        request.insert(QStringLiteral("params"), params);
    m_outbox += QJsonDocument(request).toJson(QJsonDocument::Compact) + "\r\n";
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        flush();
    else if (m_socket.state() == QAbstractSocket::UnconnectedState)
        m_socket.connectToHost(m_host, m_port);
}

void SnapcastControl::flush()
{
    m_socket.write(m_outbox);
    m_outbox.clear();
}

void SnapcastControl::readReplies()
{
    m_received += m_socket.readAll();
    for (qsizetype end; (end = m_received.indexOf('\n')) >= 0;) {
        const QByteArray line = m_received.left(end).trimmed();
        m_received.remove(0, end + 1);
        if (!line.isEmpty())
            take(line);
    }
}

void SnapcastControl::take(const QByteArray& line)
{
    const QJsonObject reply = QJsonDocument::fromJson(line).object();
    // Notifications (a client came or went) carry a method and no id; the next poll sees them.
    if (reply.contains(QLatin1String("method")) && !reply.contains(QLatin1String("id")))
        return;
    const QJsonValue idValue = reply.value(QLatin1String("id"));
    const int id = idValue.isDouble() ? idValue.toInt() : 0;
    m_answered = true;
    if (const auto command = m_commands.find(id); command != m_commands.end()) {
        const QString what = command.value();
        m_commands.erase(command);
        if (reply.contains(QLatin1String("error")))
            emit commandFailed(what.arg(reply.value(QLatin1String("error")).toObject().value(QLatin1String("message")).toString()));
        refresh();
        return;
    }
    // A line that cannot be read at all is taken as the status's answer, so that it is told.
    if (!m_statusId || (id != m_statusId && !reply.isEmpty()))
        return;
    m_statusId = 0;
    m_answerTimer.stop();
    publish(ParseServerStatus(line));
    if (m_askAgain) {
        m_askAgain = false;
        refresh();
    }
}

void SnapcastControl::onSocketError()
{
    if (m_socket.error() == QAbstractSocket::RemoteHostClosedError && m_answered) {
        // A connection that served before may just have been let go (the server restarted,
        // say): a fresh one tells whether the server is still there.
        const bool asking = m_statusId || m_askAgain;
        dropConnection();
        if (asking)
            refresh();
        return;
    }
    fail(m_socket.errorString());
}

void SnapcastControl::fail(const QString& reason)
{
    dropConnection();
    SnapcastStatus status;
    status.error = tr("无法连接分区广播服务器 %1:%2：%3").arg(m_host).arg(m_port).arg(reason);
    publish(status);
}

void SnapcastControl::dropConnection()
{
    m_socket.abort();
    m_received.clear();
    m_outbox.clear();
    m_answerTimer.stop();
    m_statusId = 0;
    m_askAgain = false;
    m_answered = false;
    const auto commands = std::exchange(m_commands, {});
    for (const QString& what : commands)
        emit commandFailed(what.arg(tr("与服务器的连接已断开")));
}

void SnapcastControl::publish(const SnapcastStatus& status)
{
    if (m_told && status == m_status)
        return;
    m_told = true;
    m_status = status;
    emit statusChanged(m_status);
}
