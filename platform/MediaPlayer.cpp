#include "platform/MediaPlayer.h"

#include <QCoreApplication>

namespace {

const char* ReasonSource(MediaFailureReason reason)
{
    switch (reason) {
    case MediaFailureReason::Missing: return QT_TRANSLATE_NOOP("MediaFailure", "不存在");
    case MediaFailureReason::NotRegularFile: return QT_TRANSLATE_NOOP("MediaFailure", "不是普通文件");
    case MediaFailureReason::NoPermission: return QT_TRANSLATE_NOOP("MediaFailure", "没有读取权限");
    case MediaFailureReason::UnknownFormat: return QT_TRANSLATE_NOOP("MediaFailure", "无法识别的格式");
    case MediaFailureReason::Timeout: return QT_TRANSLATE_NOOP("MediaFailure", "打开超时");
    case MediaFailureReason::None:
    case MediaFailureReason::Other: break;
    }
    return QT_TRANSLATE_NOOP("MediaFailure", "无法播放");
}

} // namespace

QString MediaFailure::text() const
{
    const QString reasonText = QCoreApplication::translate("MediaFailure", ReasonSource(reason));
    if (detail.isEmpty())
        return reasonText;
    return QCoreApplication::translate("MediaFailure", "%1（%2）").arg(reasonText, detail);
}

QString MediaFailure::logText() const
{
    const QString reasonText = QString::fromUtf8(ReasonSource(reason));
    if (detail.isEmpty())
        return reasonText;
    return reasonText + QStringLiteral("（") + detail + QStringLiteral("）");
}
