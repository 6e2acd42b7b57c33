#include "platform/GstMediaPlayer.h"

#include "platform/Errors.h"
#include "platform/GstPipelineWorker.h"
#include "platform/GstSupport.h"
#include "platform/PreparedPipeline.h"

#include <QCoreApplication>
#include <QObject>

#include <optional>
#include <utility>

GstMediaPlayer::GstMediaPlayer(const QString& audioSink) : GstMediaPlayer(audioSink, Options{}) {}

GstMediaPlayer::GstMediaPlayer(const QString& audioSink, Options options)
    : m_audioSink(audioSink), m_options(options), m_context(std::make_unique<QObject>())
{
    InitGStreamer();
    m_openTimer.setSingleShot(true);
    QObject::connect(&m_openTimer, &QTimer::timeout, m_context.get(), [this] { onOpenTimeout(); });
    m_prepared = std::make_unique<PreparedPipeline>([this] { return makeWorker(); },
                                                    [this] { return ++m_seq; });
    d = makeWorker();
}

GstMediaPlayer::~GstMediaPlayer()
{
    // A healthy worker finishes at once and is joined, so nothing of it outlives the player.
    m_prepared.reset();
    retireWorker(GstPipelineWorker::kJoinTimeout);
}

int GstMediaPlayer::abandonedWorkers()
{
    return GstPipelineWorker::abandoned();
}

int GstMediaPlayer::livePipelines()
{
    return GstPipelineWorker::livePipelines();
}

int GstMediaPlayer::liveElements()
{
    return GstPipelineWorker::liveElements();
}

std::shared_ptr<GstPipelineWorker> GstMediaPlayer::makeWorker()
{
    return GstPipelineWorker::start(++m_workerCount,
                                    {m_audioSink, m_options.regularFilesOnly, m_options.openTimeout},
                                    this, m_context.get());
}

void GstMediaPlayer::abandonWorker()
{
    retireWorker(std::chrono::milliseconds(0));
}

void GstMediaPlayer::retireWorker(std::chrono::milliseconds wait)
{
    if (!d)
        return;
    m_openPending = false;
    GstPipelineWorker::retire(d, wait);
}

void GstMediaPlayer::send(int kind)
{
    Command command;
    command.kind = CommandKind(kind);
    command.seq = ++m_seq;
    if (kind == PlayCommand && d->ended.exchange(false)) {
        command.fromStart = true;
        m_position = 0;
        m_positionSeq = command.seq;
    }
    if (kind == RewindCommand)
        m_positionSeq = command.seq;
    if (kind == PlayCommand)
        command.startAtWallNs = std::exchange(m_startAtMs, 0) * 1'000'000;
    // Pausing and resuming keep what the stream says next; everything else makes it stale.
    if (kind != PauseCommand && kind != ResumeCommand)
        m_staleBefore = command.seq;
    command.playing = m_mode == MediaMode::Playing;
    d->push(std::move(command));
}

void GstMediaPlayer::setFileName(const QString& fileName)
{
    m_fileName = fileName;
}

QString GstMediaPlayer::fileName() const
{
    return m_fileName;
}

void GstMediaPlayer::Open()
{
    takeNoticeRequest(); // an Open always reports
    shutDown();
    if (takePrepared())
        return;
    // A worker still busy with an earlier file may never come back: the new file gets a
    // fresh pipeline rather than a place in its queue.
    if (d && (m_openPending || d->stuck()))
        abandonWorker();
    if (!d) {
        try {
            d = makeWorker();
        } catch (const MediaError& e) {
            m_mode = MediaMode::Open;
            failOpenLater({MediaFailureReason::Other, e.message()});
            return;
        }
    }
    Command command;
    command.kind = OpenCommand;
    command.seq = ++m_seq;
    command.path = m_fileName;
    command.gain = m_level;
    command.fadeInNs = qint64(std::exchange(m_fadeInMs, 0)) * GST_MSECOND;
    m_openSeq = command.seq;
    m_staleBefore = command.seq;
    m_positionSeq = command.seq;
    m_openPending = true;
    d->push(std::move(command));
    m_mode = MediaMode::Open;
    m_afterOpen = MediaMode::Stopped;
    m_length = 0;
    m_position = 0;
    m_openTimer.start(m_options.openTimeout);
}

void GstMediaPlayer::failOpenLater(const MediaFailure& failure)
{
    const unsigned seq = m_openSeq = ++m_seq;
    QMetaObject::invokeMethod(
        m_context.get(),
        [this, seq, failure] {
            if (m_mode == MediaMode::Open && seq == m_openSeq)
                failOpen(failure);
        },
        Qt::QueuedConnection);
}

void GstMediaPlayer::onOpened(const PipelineOpened& result)
{
    if (m_prepared->onOpened(result))
        return;
    if (!d || result.workerId != d->id || result.seq != m_openSeq)
        return;
    m_openPending = false;
    if (m_mode != MediaMode::Open)
        return;
    m_openTimer.stop();
    m_length = result.length;
    m_position = 0;
    m_hasAudioOutput = result.hasAudioOutput;
    if (m_afterOpen == MediaMode::Playing)
        send(PlayCommand);
    m_mode = m_afterOpen;
    // The handler sees the player as it now is, playing when Play came while it opened.
    deliverNotice(MediaNotice::Opened);
}

void GstMediaPlayer::onOpenFailed(unsigned workerId, unsigned seq, const MediaFailure& failure)
{
    if (m_prepared->onOpenFailed(workerId, seq))
        return;
    if (!d || workerId != d->id || seq != m_openSeq)
        return;
    m_openPending = false;
    if (m_mode == MediaMode::Open)
        failOpen(failure);
}

void GstMediaPlayer::onOpenTimeout()
{
    if (m_mode != MediaMode::Open)
        return;
    // Stuck in a read: its pipeline cannot be stopped without waiting for the read.
    abandonWorker();
    failOpen({MediaFailureReason::Timeout,
              QCoreApplication::translate("GstMediaPlayer", "%1 秒内没有打开")
                  .arg(std::chrono::duration_cast<std::chrono::seconds>(m_options.openTimeout).count())});
}

void GstMediaPlayer::failOpen(const MediaFailure& failure)
{
    m_openTimer.stop();
    m_mode = MediaMode::NotReady;
    // The Play that waited for the file ends with the failure itself.
    m_playNoticePending = false;
    setLastFailure(failure);
    deliverNotice(MediaNotice::OpenFailed);
}

bool GstMediaPlayer::isOpen() const
{
    return m_mode != MediaMode::NotReady;
}

void GstMediaPlayer::Close()
{
    const bool notify = takeNoticeRequest();
    if (!isOpen())
        return;
    shutDown();
    if (notify)
        post(MediaNotice::Successful);
}

void GstMediaPlayer::requestNotice()
{
    m_noticeRequested = true;
}

void GstMediaPlayer::Play()
{
    takeNoticeRequest(); // playing notifies anyway
    if (!isOpen())
        return;
    endPendingPlay(MediaNotice::Superseded);
    m_playNoticePending = true;
    if (m_mode == MediaMode::Open) {
        m_afterOpen = MediaMode::Playing;
        return;
    }
    if (m_mode == MediaMode::Playing)
        return;
    send(m_mode == MediaMode::Paused ? ResumeCommand : PlayCommand);
    m_mode = MediaMode::Playing;
}

void GstMediaPlayer::Pause()
{
    const bool notify = takeNoticeRequest();
    if (!isOpen())
        return;
    if (m_mode == MediaMode::Open) {
        if (m_afterOpen == MediaMode::Playing)
            m_afterOpen = MediaMode::Paused;
        else if (m_afterOpen == MediaMode::Paused)
            m_afterOpen = MediaMode::Playing;
    } else if (m_mode == MediaMode::Playing) {
        m_position = livePosition();
        send(PauseCommand);
        m_mode = MediaMode::Paused;
    } else if (m_mode == MediaMode::Paused) {
        send(ResumeCommand);
        m_mode = MediaMode::Playing;
    }
    if (notify)
        post(MediaNotice::Successful);
}

void GstMediaPlayer::Stop()
{
    const bool notify = takeNoticeRequest();
    if (!isOpen())
        return;
    if (m_mode == MediaMode::Open) {
        m_afterOpen = MediaMode::Stopped;
        endPendingPlay(MediaNotice::Aborted);
    } else if (m_mode == MediaMode::Playing || m_mode == MediaMode::Paused) {
        if (m_mode == MediaMode::Playing)
            m_position = livePosition();
        send(StopCommand);
        m_mode = MediaMode::Stopped;
        endPendingPlay(MediaNotice::Aborted);
    }
    if (notify)
        post(MediaNotice::Successful);
}

void GstMediaPlayer::Rewind()
{
    const bool notify = takeNoticeRequest();
    if (!isOpen())
        return;
    if (m_mode != MediaMode::Open) {
        d->ended = false;
        send(RewindCommand);
        m_position = 0;
    }
    if (notify)
        post(MediaNotice::Successful);
}

MediaMode GstMediaPlayer::Mode() const
{
    return m_mode;
}

qint64 GstMediaPlayer::Length() const
{
    if (!isOpen() || m_mode == MediaMode::Open || !d)
        return 0;
    gint64 ns = 0;
    if (d->playbin && gst_element_query_duration(d->playbin, GST_FORMAT_TIME, &ns) && ns > 0)
        m_length = ns / GST_MSECOND;
    return m_length;
}

qint64 GstMediaPlayer::livePosition() const
{
    gint64 ns = 0;
    // Until the worker has carried out a jump (a new file, back to the start), the pipeline
    // still tells the old place.
    if (d && d->playbin && d->completed.load() >= m_positionSeq
        && gst_element_query_position(d->playbin, GST_FORMAT_TIME, &ns) && ns >= 0)
        m_position = ns / GST_MSECOND;
    const qint64 length = Length();
    return length > 0 ? qMin(m_position, length) : m_position;
}

qint64 GstMediaPlayer::Position() const
{
    if (!isOpen() || m_mode == MediaMode::Open || !d)
        return 0;
    if (d->ended)
        return Length();
    if (m_mode == MediaMode::Playing)
        return livePosition();
    return m_position;
}

void GstMediaPlayer::setTimeFormatMilliseconds()
{
    // Milliseconds are the only format.
}

bool GstMediaPlayer::hasAudioOutput() const
{
    return m_hasAudioOutput;
}

void GstMediaPlayer::setLevel(double gain, int rampMs)
{
    m_level = gain;
    if (d)
        d->level.rampTo(gain, qint64(rampMs) * GST_MSECOND);
}

void GstMediaPlayer::fadeOut(qint64 msFromNow, qint64 fadeMs)
{
    if (!d || !isOpen())
        return;
    // Where the output is now, not where the data going into the gain is: the fade lands on
    // the sound heard msFromNow from now.
    const qint64 heard = m_mode == MediaMode::Playing ? livePosition() : m_position;
    d->level.fadeOutEnding((heard + msFromNow) * GST_MSECOND, fadeMs * GST_MSECOND);
}

double GstMediaPlayer::levelAt(qint64 ms) const
{
    return d ? d->level.valueAt(ms * GST_MSECOND) : m_level;
}

void GstMediaPlayer::Prepare(const QString& fileName)
{
    m_prepared->prepare(fileName);
}

bool GstMediaPlayer::takePrepared()
{
    std::optional<PreparedPipeline::Taken> taken = m_prepared->take(m_fileName);
    if (!taken)
        return false;
    // The prepared pipeline becomes the player's; the one it had waits for the next file.
    std::shared_ptr<GstPipelineWorker> previous = std::move(d);
    d = std::move(taken->worker);
    if (previous && (m_openPending || previous->stuck()))
        GstPipelineWorker::retire(previous, std::chrono::milliseconds(0));
    else
        m_prepared->keep(std::move(previous));
    // Held before the output, the prepared file has not met the level yet.
    d->level.restart(m_level, qint64(std::exchange(m_fadeInMs, 0)) * GST_MSECOND);
    m_openSeq = taken->seq;
    m_staleBefore = taken->seq;
    m_positionSeq = taken->seq;
    m_mode = MediaMode::Open;
    m_afterOpen = MediaMode::Stopped;
    m_length = 0;
    m_position = 0;
    m_openTimer.start(m_options.openTimeout);
    m_openPending = !taken->opened;
    if (taken->opened) {
        // Reported from the event loop, as every Open is.
        const PipelineOpened opened = *taken->opened;
        QMetaObject::invokeMethod(
            m_context.get(), [this, opened] { onOpened(opened); }, Qt::QueuedConnection);
    }
    return true;
}

void GstMediaPlayer::shutDown()
{
    if (!isOpen())
        return;
    m_openTimer.stop();
    if (d)
        send(CloseCommand);
    m_mode = MediaMode::NotReady;
    endPendingPlay(MediaNotice::Aborted);
}

void GstMediaPlayer::endPendingPlay(MediaNotice notice)
{
    if (!m_playNoticePending)
        return;
    m_playNoticePending = false;
    post(notice);
}

void GstMediaPlayer::post(MediaNotice notice)
{
    QMetaObject::invokeMethod(
        m_context.get(), [this, notice] { deliverNotice(notice); }, Qt::QueuedConnection);
}

bool GstMediaPlayer::takeNoticeRequest()
{
    return std::exchange(m_noticeRequested, false);
}

bool GstMediaPlayer::acceptsStreamEvent(unsigned workerId, unsigned seq) const
{
    return d && workerId == d->id && seq >= m_staleBefore
        && (m_mode == MediaMode::Playing || m_mode == MediaMode::Paused);
}

void GstMediaPlayer::onStreamEnded(unsigned workerId, unsigned seq)
{
    if (!acceptsStreamEvent(workerId, seq))
        return;
    m_position = Length();
    // Paused rather than left PLAYING so the clock and the audio device stop running.
    send(PauseCommand);
    m_mode = MediaMode::Stopped;
    endPendingPlay(MediaNotice::Successful);
}

void GstMediaPlayer::onStreamError(unsigned workerId, unsigned seq)
{
    if (!acceptsStreamEvent(workerId, seq))
        return;
    m_mode = MediaMode::Stopped;
    endPendingPlay(MediaNotice::Failure);
}
