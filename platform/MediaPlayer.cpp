#include "platform/MediaPlayer.h"

QString MediaFailure::text() const
{
    QString reasonText;
    switch (reason) {
    case MediaFailureReason::Missing: reasonText = QStringLiteral("不存在"); break;
    case MediaFailureReason::NotRegularFile: reasonText = QStringLiteral("不是普通文件"); break;
    case MediaFailureReason::NoPermission: reasonText = QStringLiteral("没有读取权限"); break;
    case MediaFailureReason::UnknownFormat: reasonText = QStringLiteral("无法识别的格式"); break;
    case MediaFailureReason::Timeout: reasonText = QStringLiteral("打开超时"); break;
    case MediaFailureReason::None:
    case MediaFailureReason::Other: reasonText = QStringLiteral("无法播放"); break;
    }
    if (detail.isEmpty())
        return reasonText;
    return reasonText + QStringLiteral("（") + detail + QStringLiteral("）");
}
