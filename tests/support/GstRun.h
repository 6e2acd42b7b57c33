#pragma once
// Running a GStreamer pipeline to its end, for the sound files tests and benchmarks make.
#include <QString>

#include <gst/gst.h>

// A pipeline from its description; null when it cannot be built.
inline GstElement* ParsePipeline(const QString& description)
{
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!error)
        return pipeline;
    g_error_free(error);
    if (pipeline)
        gst_object_unref(pipeline);
    return nullptr;
}

// Plays the pipeline to its end and frees it; false on an error or after 30 s.
inline bool RunToEnd(GstElement* pipeline)
{
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// A bell tone of about the given length (in 10 ms steps) as a 128 kbit/s MP3.
inline bool WriteMp3Bell(const QString& path, int milliseconds)
{
    GstElement* pipeline = ParsePipeline(
        QStringLiteral("audiotestsrc wave=sine freq=880 volume=0.8 num-buffers=%1 samplesperbuffer=441"
                       " ! audio/x-raw,rate=44100,channels=2"
                       " ! lamemp3enc target=bitrate bitrate=128 cbr=true ! filesink location=\"%2\"")
            .arg(milliseconds / 10)
            .arg(path));
    return pipeline && RunToEnd(pipeline);
}
