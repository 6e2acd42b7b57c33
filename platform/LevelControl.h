#pragma once
// The gain of a pipeline's own volume element, laid out over the stream's time. Ramps are
// given as points on the stream (the file's position) rather than as steps from a timer, so
// each sample gets its own gain: no zipper noise, and a ramp lands on the sound it was meant
// for however far the output's buffer runs ahead. Any thread may call it; the streaming
// thread reads the points as it goes.
#include <QtGlobal>

#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <mutex>

class LevelControl {
public:
    LevelControl();
    ~LevelControl();
    LevelControl(const LevelControl&) = delete;
    LevelControl& operator=(const LevelControl&) = delete;

    // Binds the gain to volume's "volume" property and notes on its output how far it has
    // gone; a new pipeline's element takes the same points.
    void attach(GstElement* volume);

    // A stream beginning at 0: gain from the start, or rising to it from silence over fadeInNs.
    void restart(double gain, qint64 fadeInNs);
    // From the next sound the element lets through, over rampNs, to gain.
    void rampTo(double gain, qint64 rampNs);
    // Down to silence at endNs of the stream, from the gain it has at endNs - fadeNs (or at
    // the next sound, when that is later).
    void fadeOutEnding(qint64 endNs, qint64 fadeNs);

    // The gain the points end at.
    double target() const;
    // The gain at ns of the stream.
    double valueAt(qint64 ns) const;
    // Stream time of the end of the last sound the element let through.
    qint64 head() const { return m_head->load(); }

private:
    void rampBetween(qint64 fromNs, qint64 toNs, double gain);

    mutable std::mutex m_mutex;
    GstControlSource* m_source = nullptr;
    double m_target = 1.0;
    // Shared with the probe, which may outlive this object as long as its element lives.
    std::shared_ptr<std::atomic<qint64>> m_head = std::make_shared<std::atomic<qint64>>(0);
};
