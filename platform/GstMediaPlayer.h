#pragma once
#include "platform/MediaPlayer.h"
#include "platform/PipelineEvents.h"

#include <QTimer>

#include <chrono>
#include <memory>

struct GstPipelineWorker;
class PreparedPipeline;

// IMediaPlayer on a GStreamer playbin. Video streams are never shown: an AVI plays its sound.
// Each instance has its own pipeline, so several can sound at once.
//
// The pipeline lives on a worker thread of its own that does every state change
// (GstPipelineWorker); this thread only sends it commands and reads the results it posts
// back. A file prepared ahead waits on a second pipeline (PreparedPipeline). A worker that does not
// finish opening in time is abandoned with its pipeline (a source stuck in a read cannot be
// torn down without waiting for it), and the next Open starts a fresh one.
class GstMediaPlayer : public IMediaPlayer, private PipelineEvents {
public:
    struct Options {
        // A file that has not prerolled by then counts as failed (打开超时).
        std::chrono::milliseconds openTimeout{10000};
        // Pipes and devices are refused before anything reads them; tests of slow sources
        // turn this off to feed the player through a pipe.
        bool regularFilesOnly = true;
    };

    // audioSink is a GStreamer description such as "autoaudiosink" or "fakesink sync=true".
    // Throws MediaError when it cannot be built.
    explicit GstMediaPlayer(const QString& audioSink = QStringLiteral("autoaudiosink"));
    GstMediaPlayer(const QString& audioSink, Options options);
    ~GstMediaPlayer() override;
    GstMediaPlayer(const GstMediaPlayer&) = delete;
    GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

    void setFileName(const QString& fileName) override;
    QString fileName() const override;
    void Open() override;
    // Opens the file ahead on a second pipeline, kept for a few seconds; an Open of the same
    // file, unchanged on disk (size, times, inode), then takes that pipeline ready to play.
    void Prepare(const QString& fileName) override;
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
    bool hasAudioOutput() const override;
    void setLevel(double gain, int rampMs = 0) override;
    void fadeOut(qint64 msFromNow, qint64 fadeMs) override;
    void setStartAt(qint64 wallMs) override { m_startAtMs = wallMs; }
    // The gain the pipeline gives the sound at ms of the open file (tests read it).
    double levelAt(qint64 ms) const;

    // Workers given up on because they did not finish in time, since the program started.
    static int abandonedWorkers();
    // Pipelines of all players not yet freed, abandoned ones included, and the GStreamer
    // elements ever added to them that are still alive. Both return to where they were once
    // the players are gone and their pipelines have ended.
    static int livePipelines();
    static int liveElements();

private:
    void onOpened(const PipelineOpened& result) override;
    void onOpenFailed(unsigned workerId, unsigned seq, const MediaFailure& failure) override;
    void onStreamEnded(unsigned workerId, unsigned seq) override;
    void onStreamError(unsigned workerId, unsigned seq) override;

    std::shared_ptr<GstPipelineWorker> makeWorker();
    bool takePrepared();
    void abandonWorker();
    void retireWorker(std::chrono::milliseconds wait);
    void failOpenLater(const MediaFailure& failure);
    void send(int kind);
    void onOpenTimeout();
    void failOpen(const MediaFailure& failure);
    void shutDown();
    void endPendingPlay(MediaNotice notice);
    void post(MediaNotice notice);
    bool takeNoticeRequest();
    bool acceptsStreamEvent(unsigned workerId, unsigned seq) const;
    qint64 livePosition() const;

    const QString m_audioSink;
    const Options m_options;
    std::shared_ptr<GstPipelineWorker> d;
    unsigned m_workerCount = 0;
    // Lives on this thread; results are posted to it, and deleting it drops those still queued.
    std::unique_ptr<QObject> m_context;
    QTimer m_openTimer;

    // The pipeline a file is prepared on; made after the members it uses.
    std::unique_ptr<PreparedPipeline> m_prepared;

    QString m_fileName;
    MediaMode m_mode = MediaMode::NotReady;
    // While opening: what the player is to do once the file is ready.
    MediaMode m_afterOpen = MediaMode::Stopped;
    unsigned m_seq = 0;        // number of the last command sent
    unsigned m_openSeq = 0;    // of the Open in flight
    unsigned m_staleBefore = 0; // stream events from before this command are stale
    unsigned m_positionSeq = 0; // the pipeline's place counts once this command is done
    bool m_openPending = false; // the worker has not answered the last Open yet
    bool m_noticeRequested = false;
    bool m_playNoticePending = false;
    bool m_hasAudioOutput = true;
    mutable qint64 m_length = 0;
    mutable qint64 m_position = 0;
    qint64 m_startAtMs = 0; // for the next Play
};
