#include "platform/LevelControl.h"

#include <gst/controller/gstdirectcontrolbinding.h>
#include <gst/controller/gstinterpolationcontrolsource.h>

#include <algorithm>

namespace {

GstPadProbeReturn onBufferOut(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer)) {
        GstClockTime end = GST_BUFFER_PTS(buffer);
        if (GST_BUFFER_DURATION_IS_VALID(buffer))
            end += GST_BUFFER_DURATION(buffer);
        static_cast<std::shared_ptr<std::atomic<qint64>>*>(data)->get()->store(qint64(end));
    }
    return GST_PAD_PROBE_OK;
}

void dropHead(gpointer data)
{
    delete static_cast<std::shared_ptr<std::atomic<qint64>>*>(data);
}

GstTimedValueControlSource* timed(GstControlSource* source)
{
    return GST_TIMED_VALUE_CONTROL_SOURCE(source);
}

} // namespace

LevelControl::LevelControl()
{
    m_source = gst_interpolation_control_source_new();
    g_object_set(m_source, "mode", GST_INTERPOLATION_MODE_LINEAR, nullptr);
    // The element fails its stream when a sound lies before the first point.
    gst_timed_value_control_source_set(timed(m_source), 0, m_target);
}

LevelControl::~LevelControl()
{
    gst_object_unref(m_source);
}

void LevelControl::attach(GstElement* volume)
{
    gst_object_add_control_binding(
        GST_OBJECT(volume), gst_direct_control_binding_new_absolute(GST_OBJECT(volume), "volume", m_source));
    if (GstPad* pad = gst_element_get_static_pad(volume, "src")) {
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &onBufferOut,
                          new std::shared_ptr<std::atomic<qint64>>(m_head), &dropHead);
        gst_object_unref(pad);
    }
}

void LevelControl::restart(double gain, qint64 fadeInNs)
{
    std::lock_guard lock(m_mutex);
    m_target = gain;
    m_head->store(0);
    GstTimedValueControlSource* source = timed(m_source);
    gst_timed_value_control_source_unset_all(source);
    gst_timed_value_control_source_set(source, 0, fadeInNs > 0 ? 0.0 : gain);
    if (fadeInNs > 0)
        gst_timed_value_control_source_set(source, GstClockTime(fadeInNs), gain);
}

void LevelControl::rampTo(double gain, qint64 rampNs)
{
    std::lock_guard lock(m_mutex);
    const qint64 from = m_head->load();
    rampBetween(from, from + std::max<qint64>(rampNs, 0), gain);
}

void LevelControl::fadeOutEnding(qint64 endNs, qint64 fadeNs)
{
    std::lock_guard lock(m_mutex);
    const qint64 end = std::max<qint64>(endNs, 0);
    rampBetween(std::clamp(end - fadeNs, m_head->load(), end), end, 0.0);
}

// The point at fromNs carries the gain the points give there now, so nothing before it
// changes; what lay after it gives way to the ramp.
void LevelControl::rampBetween(qint64 fromNs, qint64 toNs, double gain)
{
    GstTimedValueControlSource* source = timed(m_source);
    gdouble from = m_target;
    gst_control_source_get_value(m_source, GstClockTime(fromNs), &from);
    gst_timed_value_control_source_set(source, GstClockTime(fromNs), from);
    GList* points = gst_timed_value_control_source_get_all(source);
    // Points between the start and fromNs lie behind the sound already let through: dropped,
    // so a long-playing stream ducked under every bell of the day does not gather them.
    for (GList* p = points; p; p = p->next) {
        const GstClockTime at = static_cast<GstTimedValue*>(p->data)->timestamp;
        if (at != 0 && at != GstClockTime(fromNs))
            gst_timed_value_control_source_unset(source, at);
    }
    g_list_free(points);
    if (toNs > fromNs)
        gst_timed_value_control_source_set(source, GstClockTime(toNs), gain);
    else
        gst_timed_value_control_source_set(source, GstClockTime(fromNs), gain);
    m_target = gain;
}

double LevelControl::target() const
{
    std::lock_guard lock(m_mutex);
    return m_target;
}

double LevelControl::valueAt(qint64 ns) const
{
    std::lock_guard lock(m_mutex);
    gdouble value = m_target;
    gst_control_source_get_value(m_source, GstClockTime(std::max<qint64>(ns, 0)), &value);
    return value;
}
