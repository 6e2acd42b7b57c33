#include "platform/AudioProbe.h"

#include "platform/GstSupport.h"

#include <QCoreApplication>
#include <QUrl>

#include <gst/pbutils/pbutils.h>

namespace {

QString withDetail(const QString& reason, const GError* error)
{
    if (!error || !error->message || !*error->message)
        return reason;
    return QCoreApplication::translate("AudioProbe", "%1（%2）").arg(reason, QString::fromUtf8(error->message));
}

QString resultProblem(GstDiscovererInfo* info, const GError* error)
{
    switch (gst_discoverer_info_get_result(info)) {
    case GST_DISCOVERER_OK:
        break;
    case GST_DISCOVERER_URI_INVALID:
        return withDetail(QCoreApplication::translate("AudioProbe", "路径无效"), error);
    case GST_DISCOVERER_TIMEOUT:
        return QCoreApplication::translate("AudioProbe", "检查超时，文件读取太慢");
    case GST_DISCOVERER_MISSING_PLUGINS:
        return withDetail(QCoreApplication::translate("AudioProbe", "缺少能解码此格式的组件"), error);
    case GST_DISCOVERER_BUSY:
    case GST_DISCOVERER_ERROR:
    default:
        return withDetail(QCoreApplication::translate("AudioProbe", "无法识别的格式或文件已损坏"), error);
    }
    GList* audio = gst_discoverer_info_get_audio_streams(info);
    const bool hasAudio = audio != nullptr;
    gst_discoverer_stream_info_list_free(audio);
    return hasAudio ? QString() : QCoreApplication::translate("AudioProbe", "文件中没有声音");
}

} // namespace

QString GstAudioProbe::problem(const QString& path)
{
    // What the file system can tell comes first, in the player's own words.
    const MediaFailure failure = CheckMediaFile(path, true);
    if (failure.reason != MediaFailureReason::None)
        return failure.text();
    InitGStreamer();
    GError* error = nullptr;
    GstDiscoverer* discoverer =
        gst_discoverer_new(GstClockTime(m_timeoutMs) * GST_MSECOND, &error);
    if (!discoverer)
        return QCoreApplication::translate("AudioProbe", "无法检查音频文件：%1").arg(TakeErrorMessage(error, ""));
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri.constData(), &error);
    QString problem;
    if (info)
        problem = resultProblem(info, error);
    else
        problem = withDetail(QCoreApplication::translate("AudioProbe", "无法识别的格式或文件已损坏"), error);
    if (error)
        g_error_free(error);
    if (info)
        gst_discoverer_info_unref(info);
    g_object_unref(discoverer);
    return problem;
}
