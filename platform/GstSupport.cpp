#include "platform/GstSupport.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <mutex>

void InitGStreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

qint64 SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString TakeErrorMessage(GError* error, const char* fallback)
{
    if (!error)
        return QString::fromUtf8(fallback);
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

MediaFailureReason FailureReasonOf(const GError* error)
{
    if (!error)
        return MediaFailureReason::Other;
    if (error->domain == GST_RESOURCE_ERROR) {
        if (error->code == GST_RESOURCE_ERROR_NOT_FOUND)
            return MediaFailureReason::Missing;
        if (error->code == GST_RESOURCE_ERROR_NOT_AUTHORIZED)
            return MediaFailureReason::NoPermission;
        return MediaFailureReason::Other;
    }
    if (error->domain == GST_STREAM_ERROR) {
        switch (error->code) {
        case GST_STREAM_ERROR_TYPE_NOT_FOUND:
        case GST_STREAM_ERROR_WRONG_TYPE:
        case GST_STREAM_ERROR_CODEC_NOT_FOUND:
        case GST_STREAM_ERROR_DEMUX:
        case GST_STREAM_ERROR_DECODE:
        case GST_STREAM_ERROR_FORMAT:
        case GST_STREAM_ERROR_NOT_IMPLEMENTED:
            return MediaFailureReason::UnknownFormat;
        default:
            return MediaFailureReason::Other;
        }
    }
    if (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN)
        return MediaFailureReason::UnknownFormat;
    return MediaFailureReason::Other;
}

MediaFailure CheckMediaFile(const QString& path, bool regularFilesOnly)
{
    if (path.isEmpty())
        return {MediaFailureReason::Missing, QString()};
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return {errno == EACCES ? MediaFailureReason::NoPermission : MediaFailureReason::Missing,
                QString()};
    if (S_ISDIR(st.st_mode) || (regularFilesOnly && !S_ISREG(st.st_mode)))
        return {MediaFailureReason::NotRegularFile, QString()};
    if (::access(name.constData(), R_OK) != 0)
        return {MediaFailureReason::NoPermission, QString()};
    return {};
}

namespace {

bool isFakeSink(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory)
        return false;
    const gchar* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
    return g_str_equal(name, "fakesink") || g_str_equal(name, "fakeaudiosink");
}

} // namespace

bool ContainsFakeSink(GstElement* bin)
{
    if (!GST_IS_BIN(bin))
        return isFakeSink(bin);
    bool found = false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(bin));
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done && !found) {
        switch (gst_iterator_next(it, &item)) {
        case GST_ITERATOR_OK:
            found = isFakeSink(GST_ELEMENT(g_value_get_object(&item)));
            g_value_reset(&item);
            break;
        case GST_ITERATOR_RESYNC:
            gst_iterator_resync(it);
            break;
        default:
            done = true;
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
}

GstElement* BuildAudioSink(const QString& description)
{
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &error);
    // A description can yield a bin and an error together (an unknown property, say).
    if (!sink || error) {
        if (sink)
            gst_object_unref(gst_object_ref_sink(sink));
        throw MediaError(QCoreApplication::translate("GstSupport", "无法建立音频输出：%1").arg(TakeErrorMessage(error, "")));
    }
    return sink;
}
