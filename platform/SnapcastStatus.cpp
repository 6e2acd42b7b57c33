#include "platform/SnapcastStatus.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

int SnapcastStatus::connectedClients(const QString& stream) const
{
    const auto it = clientsByStream.find(stream);
    if (it == clientsByStream.end())
        return 0;
    return int(std::count_if(it->second.begin(), it->second.end(), [](const SnapClient& c) { return c.connected; }));
}

namespace {

SnapcastStatus Unreachable(const QString& error)
{
    SnapcastStatus status;
    status.error = error;
    return status;
}

SnapClient ReadClient(const QJsonObject& json, const QString& groupId)
{
    SnapClient client;
    client.id = json.value(QLatin1String("id")).toString();
    const QJsonObject host = json.value(QLatin1String("host")).toObject();
    client.name = json.value(QLatin1String("config")).toObject().value(QLatin1String("name")).toString();
    if (client.name.isEmpty())
        client.name = host.value(QLatin1String("name")).toString();
    client.ip = host.value(QLatin1String("ip")).toString();
    client.groupId = groupId;
    client.connected = json.value(QLatin1String("connected")).toBool();
    return client;
}

} // namespace

SnapcastStatus ParseServerStatus(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject())
        return Unreachable(
            QCoreApplication::translate("SnapcastStatus", "分区广播服务器的回答无法读取：%1")
                .arg(parseError.error != QJsonParseError::NoError
                         ? parseError.errorString()
                         : QCoreApplication::translate("SnapcastStatus", "不是 JSON 对象")));
    const QJsonObject reply = doc.object();
    if (reply.contains(QLatin1String("error"))) {
        const QJsonObject error = reply.value(QLatin1String("error")).toObject();
        return Unreachable(QCoreApplication::translate("SnapcastStatus", "分区广播服务器报告错误：%1（%2）")
                               .arg(error.value(QLatin1String("message")).toString())
                               .arg(error.value(QLatin1String("code")).toInt()));
    }
    const QJsonValue server = reply.value(QLatin1String("result")).toObject().value(QLatin1String("server"));
    if (!server.isObject())
        return Unreachable(
            QCoreApplication::translate("SnapcastStatus", "分区广播服务器的回答无法读取：缺少 result.server"));

    SnapcastStatus status;
    status.reachable = true;
    for (const QJsonValue& stream : server.toObject().value(QLatin1String("streams")).toArray())
        status.streams.push_back(stream.toObject().value(QLatin1String("id")).toString());
    for (const QJsonValue& value : server.toObject().value(QLatin1String("groups")).toArray()) {
        const QJsonObject group = value.toObject();
        const QString groupId = group.value(QLatin1String("id")).toString();
        auto& clients = status.clientsByStream[group.value(QLatin1String("stream_id")).toString()];
        for (const QJsonValue& client : group.value(QLatin1String("clients")).toArray())
            clients.push_back(ReadClient(client.toObject(), groupId));
    }
    return status;
}
