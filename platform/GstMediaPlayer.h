#pragma once
#include "platform/MediaPlayer.h"

#include <memory>

// IMediaPlayer on a GStreamer playbin. Video streams are never shown: an AVI plays its sound.
// Each instance has its own pipeline, so several can sound at once.
class GstMediaPlayer : public IMediaPlayer {
public:
    // audioSink is a GStreamer description such as "autoaudiosink" or "fakesink sync=true".
    // Throws MediaError when it cannot be built.
    explicit GstMediaPlayer(const QString& audioSink = QStringLiteral("autoaudiosink"));
    ~GstMediaPlayer() override;
    GstMediaPlayer(const GstMediaPlayer&) = delete;
    GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

    void setFileName(const QString& fileName) override;
    QString fileName() const override;
    void Open() override;
    bool isOpen() const override;
    void Close() override;
    void requestNotice() override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    void Rewind() override;
    MediaMode Mode() const override;
    qint64 Length() const override;
    qint64 Position() const override;
    void setTimeFormatMilliseconds() override;

private:
    struct Pipeline;

    void shutDown();
    void endPendingPlay(MediaNotice notice);
    void post(MediaNotice notice);
    bool takeNoticeRequest();
    void onStreamEnded(unsigned epoch);
    void onStreamError(unsigned epoch);

    std::unique_ptr<Pipeline> d;
    QString m_fileName;
    MediaMode m_mode = MediaMode::NotReady;
    bool m_noticeRequested = false;
    bool m_playNoticePending = false;
};
