#include "platform/GstMediaPlayer.h"

#include "platform/Errors.h"

#include <QFile>
#include <QObject>

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// A file that has not prerolled by then is treated as unplayable rather than hanging the caller.
constexpr auto kPrerollTimeout = 10s;
constexpr GstClockTime kStateTimeout = 10 * GST_SECOND;

// playbin's GstPlayFlags; the enum lives in a plugin, not in a header.
constexpr guint kPlayFlagVideo = 1u << 0;
constexpr guint kPlayFlagText = 1u << 2;

void initGStreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

QString takeMessage(GError* error, const char* fallback)
{
    if (!error)
        return QString::fromUtf8(fallback);
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

} // namespace

// Everything GStreamer touches, including what its streaming threads share with this thread.
struct GstMediaPlayer::Pipeline {
    GstMediaPlayer* owner = nullptr;
    GstElement* playbin = nullptr;
    GstBus* bus = nullptr;
    // Lives on the owner's thread; bus messages are re-posted to it so the owner only ever
    // sees them there. Deleting it drops any still queued.
    std::unique_ptr<QObject> context;

    // Bumped by every command that makes earlier stream events stale, so an end of stream
    // queued before a Stop or Open is not taken for the end of what came after.
    std::atomic<unsigned> epoch{0};
    // Set by the streaming thread at end of stream, cleared by seeking back.
    std::atomic<bool> ended{false};
    // After a stream error the pipeline only recovers through READY; owner's thread only.
    bool broken = false;
    mutable qint64 lastLength = 0;
    mutable qint64 lastPosition = 0;

    std::mutex mutex;
    std::condition_variable changed;
    bool prerolled = false; // guarded by mutex
    QString error;          // first error since the last preroll started; guarded by mutex

    ~Pipeline()
    {
        if (playbin)
            gst_element_set_state(playbin, GST_STATE_NULL); // joins the streaming threads
        if (bus) {
            gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
            gst_object_unref(bus);
        }
        context.reset();
        if (playbin)
            gst_object_unref(playbin);
    }

    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data)
    {
        auto* self = static_cast<Pipeline*>(data);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            self->ended = true;
            self->postToOwner(&GstMediaPlayer::onStreamEnded);
            break;
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            const QString text = takeMessage(error, "Playback error.");
            {
                std::lock_guard lock(self->mutex);
                if (self->error.isEmpty())
                    self->error = text;
            }
            self->changed.notify_all();
            self->postToOwner(&GstMediaPlayer::onStreamError);
            break;
        }
        case GST_MESSAGE_ASYNC_DONE:
            // Only the pipeline's own: a child's means just that branch has prerolled.
            if (GST_MESSAGE_SRC(message) == GST_OBJECT(self->playbin)) {
                {
                    std::lock_guard lock(self->mutex);
                    self->prerolled = true;
                }
                self->changed.notify_all();
            }
            break;
        default:
            break;
        }
        // Nobody pops this bus, so every message is dropped here rather than piling up.
        return GST_BUS_DROP;
    }

    void postToOwner(void (GstMediaPlayer::*handler)(unsigned))
    {
        GstMediaPlayer* target = owner;
        const unsigned at = epoch.load();
        QMetaObject::invokeMethod(
            context.get(), [target, handler, at] { (target->*handler)(at); },
            Qt::QueuedConnection);
    }

    void startPreroll()
    {
        std::lock_guard lock(mutex);
        prerolled = false;
        error.clear();
    }

    // The error text, or an empty one once the pipeline has prerolled.
    QString waitForPreroll(GstStateChangeReturn started)
    {
        std::unique_lock lock(mutex);
        if (started == GST_STATE_CHANGE_FAILURE) {
            // The error message is normally posted before the state change returns.
            changed.wait_for(lock, 1s, [this] { return !error.isEmpty(); });
            return error.isEmpty() ? QStringLiteral("The file cannot be opened.") : error;
        }
        if (started == GST_STATE_CHANGE_ASYNC
            && !changed.wait_for(lock, kPrerollTimeout,
                                 [this] { return prerolled || !error.isEmpty(); }))
            return QStringLiteral("The file did not start within %1 seconds.")
                .arg(std::chrono::seconds(kPrerollTimeout).count());
        return error;
    }

    void waitForState() const { gst_element_get_state(playbin, nullptr, nullptr, kStateTimeout); }

    // Back to position 0, leaving the pipeline in state (PAUSED or PLAYING).
    void seekToStart(GstState state)
    {
        const bool sought = !broken
            && gst_element_seek_simple(playbin, GST_FORMAT_TIME,
                                       GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        if (!sought) {
            // Prerolling afresh always starts at the beginning.
            gst_element_set_state(playbin, GST_STATE_READY);
            gst_element_set_state(playbin, state);
            broken = false;
        }
        ended = false;
        lastPosition = 0;
    }

    qint64 length() const
    {
        gint64 ns = 0;
        if (gst_element_query_duration(playbin, GST_FORMAT_TIME, &ns) && ns > 0)
            lastLength = ns / GST_MSECOND;
        return lastLength;
    }

    qint64 position() const
    {
        gint64 ns = 0;
        if (gst_element_query_position(playbin, GST_FORMAT_TIME, &ns) && ns >= 0)
            lastPosition = ns / GST_MSECOND;
        return lastPosition;
    }
};

GstMediaPlayer::GstMediaPlayer(const QString& audioSink) : d(std::make_unique<Pipeline>())
{
    initGStreamer();
    d->owner = this;
    d->context = std::make_unique<QObject>();

    GError* error = nullptr;
    GstElement* sink =
        gst_parse_bin_from_description(audioSink.toUtf8().constData(), TRUE, &error);
    // A description can yield a bin and an error together (an unknown property, say).
    if (!sink || error) {
        if (sink)
            gst_object_unref(gst_object_ref_sink(sink));
        throw MediaError(takeMessage(error, "The audio output cannot be built."));
    }
    d->playbin = gst_element_factory_make("playbin", nullptr);
    if (!d->playbin) {
        gst_object_unref(gst_object_ref_sink(sink));
        throw MediaError(QStringLiteral("GStreamer's playbin element is not installed."));
    }
    gst_object_ref_sink(d->playbin);

    guint flags = 0;
    g_object_get(d->playbin, "flags", &flags, nullptr);
    flags &= ~(kPlayFlagVideo | kPlayFlagText);
    // The video sink is a fallback in case something turns the video flag back on.
    g_object_set(d->playbin, "flags", flags, "audio-sink", sink, "video-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);

    d->bus = gst_element_get_bus(d->playbin);
    gst_bus_set_sync_handler(d->bus, &Pipeline::onBusMessage, d.get(), nullptr);
}

GstMediaPlayer::~GstMediaPlayer() = default;

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
    const bool notify = takeNoticeRequest();
    shutDown();
    if (m_fileName.isEmpty())
        throw MediaError(QStringLiteral("No file name was given."));

    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(QFile::encodeName(m_fileName).constData(), &error);
    if (!uri)
        throw MediaError(takeMessage(error, "The file name is not valid."));
    g_object_set(d->playbin, "uri", uri, nullptr);
    g_free(uri);

    d->startPreroll();
    d->ended = false;
    d->broken = false;
    d->lastLength = 0;
    d->lastPosition = 0;
    const QString failure = d->waitForPreroll(gst_element_set_state(d->playbin, GST_STATE_PAUSED));
    if (!failure.isEmpty()) {
        gst_element_set_state(d->playbin, GST_STATE_NULL);
        ++d->epoch;
        throw MediaError(failure);
    }
    ++d->epoch; // errors raised while prerolling have been dealt with here
    m_mode = MediaMode::Stopped;
    if (notify)
        post(MediaNotice::Successful);
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
    if (m_mode == MediaMode::Playing) {
        m_playNoticePending = true;
        return;
    }
    if (d->ended || d->broken)
        d->seekToStart(GST_STATE_PAUSED);
    ++d->epoch;
    if (gst_element_set_state(d->playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        d->broken = true;
        post(MediaNotice::Failure);
        return;
    }
    m_mode = MediaMode::Playing;
    m_playNoticePending = true;
}

void GstMediaPlayer::Pause()
{
    const bool notify = takeNoticeRequest();
    if (!isOpen())
        return;
    if (m_mode == MediaMode::Playing) {
        gst_element_set_state(d->playbin, GST_STATE_PAUSED);
        d->waitForState();
        m_mode = MediaMode::Paused;
    } else if (m_mode == MediaMode::Paused) {
        if (gst_element_set_state(d->playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
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
    if (m_mode == MediaMode::Playing || m_mode == MediaMode::Paused) {
        gst_element_set_state(d->playbin, GST_STATE_PAUSED);
        d->waitForState();
        ++d->epoch;
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
    const bool playing = m_mode == MediaMode::Playing;
    d->seekToStart(playing ? GST_STATE_PLAYING : GST_STATE_PAUSED);
    if (!playing)
        d->waitForState();
    ++d->epoch;
    if (notify)
        post(MediaNotice::Successful);
}

MediaMode GstMediaPlayer::Mode() const
{
    return m_mode;
}

qint64 GstMediaPlayer::Length() const
{
    return isOpen() ? d->length() : 0;
}

qint64 GstMediaPlayer::Position() const
{
    if (!isOpen())
        return 0;
    const qint64 length = d->length();
    if (d->ended)
        return length;
    const qint64 position = d->position();
    return length > 0 ? qMin(position, length) : position;
}

void GstMediaPlayer::setTimeFormatMilliseconds()
{
    // Milliseconds are the only format.
}

void GstMediaPlayer::shutDown()
{
    if (!isOpen())
        return;
    gst_element_set_state(d->playbin, GST_STATE_NULL);
    ++d->epoch;
    d->ended = false;
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
        d->context.get(), [this, notice] { deliverNotice(notice); }, Qt::QueuedConnection);
}

bool GstMediaPlayer::takeNoticeRequest()
{
    return std::exchange(m_noticeRequested, false);
}

void GstMediaPlayer::onStreamEnded(unsigned epoch)
{
    if (epoch != d->epoch || (m_mode != MediaMode::Playing && m_mode != MediaMode::Paused))
        return;
    // Paused rather than left PLAYING so the clock and the audio device stop running.
    gst_element_set_state(d->playbin, GST_STATE_PAUSED);
    m_mode = MediaMode::Stopped;
    endPendingPlay(MediaNotice::Successful);
}

void GstMediaPlayer::onStreamError(unsigned epoch)
{
    if (epoch != d->epoch || !isOpen())
        return;
    gst_element_set_state(d->playbin, GST_STATE_READY);
    d->broken = true;
    m_mode = MediaMode::Stopped;
    endPendingPlay(MediaNotice::Failure);
}
