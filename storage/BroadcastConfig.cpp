#include "storage/BroadcastConfig.h"

#include <QCoreApplication>

namespace {

constexpr int kMaxZoneName = 32;

} // namespace

const BroadcastZone* BroadcastSettings::zone(const QString& name) const
{
    for (const BroadcastZone& z : zones)
        if (z.name == name)
            return &z;
    return nullptr;
}

QString ZoneNameProblem(const QString& name, const std::vector<BroadcastZone>& others)
{
    if (name.trimmed().isEmpty())
        return QCoreApplication::translate("BroadcastConfig", "分区名称不能为空");
    if (name != name.trimmed())
        return QCoreApplication::translate("BroadcastConfig", "分区名称的首尾不能有空格");
    if (name.size() > kMaxZoneName)
        return QCoreApplication::translate("BroadcastConfig", "分区名称不能超过 %1 个字").arg(kMaxZoneName);
    // The name goes into the stream's address and into the task file's comma-separated lines.
    const QString refused = QStringLiteral("=,&?#/\\%;[]\"'");
    for (const QChar c : name)
        if (refused.contains(c) || (c.isSpace() && c != QLatin1Char(' ')) || c.category() == QChar::Other_Control)
            return QCoreApplication::translate("BroadcastConfig", "分区名称不能含有字符“%1”")
                .arg(c.isPrint() ? QString(c) : QCoreApplication::translate("BroadcastConfig", "控制字符"));
    for (const BroadcastZone& z : others)
        if (z.name.compare(name, Qt::CaseInsensitive) == 0)
            return QCoreApplication::translate("BroadcastConfig", "已有名为“%1”的分区").arg(z.name);
    return QString();
}
