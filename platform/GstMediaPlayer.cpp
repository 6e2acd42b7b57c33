#include "platform/GstMediaPlayer.h"

#include "platform/Errors.h"

#include <QFile>
#include <QObject>

#include <gst/gst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// playbin's GstPlayFlags; the enum lives in a plugin, not in a header.
constexpr guint kPlayFlagVideo = 1u << 0;
constexpr guint kPlayFlagText = 1u << 2;
// Nothing sets a volume here; the volume element playbin would add for it outlives its
// pipeline (GStreamer 1.22 never drops its last reference).
constexpr guint kPlayFlagSoftVolume = 1u << 4;
// How long the worker waits for a state change that should be quick (pause, stop).
constexpr GstClockTime kStateTimeout = 2 * GST_SECOND;
// A worker still busy with a quick command after this long is taken to be stuck.
constexpr qint64 kStuckMs = 1000;
// On destruction a healthy worker is joined; a stuck one is left behind after this.
constexpr auto kJoinTimeout = 2s;
// How long a closed pipeline waits, idle, before it lets its output go.
constexpr auto kCloseDelay = 300ms;
// A prepared file that nobody opens is let go after this.
constexpr auto kStandbyKeep = 5s;

std::atomic<int> g_abandonedWorkers{0};
std::atomic<int> g_livePipelines{0};
std::atomic<int> g_liveElements{0};

void onElementGone(gpointer, GObject*)
{
    g_liveElements.fetch_sub(1);
}

// Every element that enters a pipeline of ours, at any depth, is counted until it is freed,
// also after its bin has let it go: one still held elsewhere is what a leak looks like.
void onElementAdded(GstBin*, GstBin*, GstElement* element, gpointer)
{
    static const GQuark counted = g_quark_from_static_string("tavuro-counted");
    if (g_object_get_qdata(G_OBJECT(element), counted))
        return; // taken out and added again
    g_object_set_qdata(G_OBJECT(element), counted, GINT_TO_POINTER(1));
    g_liveElements.fetch_add(1);
    g_object_weak_ref(G_OBJECT(element), &onElementGone, nullptr);
}

void initGStreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               SteadyClock::now().time_since_epoch())
        .count();
}

QString takeMessage(GError* error, const char* fallback)
{
    if (!error)
        return QString::fromUtf8(fallback);
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

MediaFailureReason reasonOf(const GError* error)
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

// What can be told about a file without reading it; a pipe would block the first read.
MediaFailure checkFile(const QString& path, bool regularFilesOnly)
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

bool isFakeSink(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory)
        return false;
    const gchar* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
    return g_str_equal(name, "fakesink") || g_str_equal(name, "fakeaudiosink");
}

// Whether the output bin plays into a fake sink it did not ask for (the automatic sink
// falls back to one when it finds no device).
bool containsFakeSink(GstElement* bin)
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

GstElement* buildSink(const QString& description)
{
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &error);
    // A description can yield a bin and an error together (an unknown property, say).
    if (!sink || error) {
        if (sink)
            gst_object_unref(gst_object_ref_sink(sink));
        throw MediaError(QStringLiteral("无法建立音频输出：") + takeMessage(error, ""));
    }
    return sink;
}

enum CommandKind { OpenCommand, PlayCommand, PauseCommand, ResumeCommand, StopCommand,
                   RewindCommand, CloseCommand };

struct Command {
    CommandKind kind = CloseCommand;
    unsigned seq = 0;
    QString path;         // Open
    bool playing = false; // Rewind: keep playing from the start
    bool fromStart = false; // Play: the file had ended, begin again
    bool holdAtOutput = false; // Open: ready the file but keep it from the output until Play
};

Command closeCommand(unsigned seq)
{
    Command command;
    command.kind = CloseCommand;
    command.seq = seq;
    return command;
}

} // namespace

// One pipeline and the thread that drives it. Shared by the player, the worker thread and
// GStreamer's streaming threads; an abandoned worker keeps itself alive until its thread ends.
struct GstMediaPlayer::Worker {
    unsigned id = 0;
    bool regularFilesOnly = true;
    std::chrono::milliseconds openTimeout{10000};
    bool sinkIsFake = false; // the description itself asks for a silent sink
    GstElement* playbin = nullptr;
    GstElement* audioSink = nullptr; // a reference of our own, for telling its errors apart
    GstBus* bus = nullptr;
    std::thread thread;

    // Results go to the owner's thread through the context; both cleared when abandoned.
    std::mutex postMutex;
    GstMediaPlayer* owner = nullptr;
    QObject* context = nullptr;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Command> queue;
    bool quit = false;
    bool finished = false;
    std::condition_variable finishedChanged;

    std::atomic<qint64> busySince{0}; // steady ms when the running command began, 0 when idle
    std::atomic<unsigned> executing{0}; // seq of the command begun last
    std::atomic<unsigned> completed{0}; // seq of the command finished last
    std::atomic<bool> ended{false};     // end of stream reached, cleared by seeking back
    std::atomic<bool> broken{false};    // a stream error; the pipeline recovers through READY
    bool outputReplaced = false;         // worker thread only
    // A pipeline that reported an error is not trusted with the next file.
    std::atomic<bool> spoiled{false};
    gulong holdProbe = 0; // worker thread only: keeps a prepared file from the output
    bool syncLowered = false; // worker thread only: the first sound went out unsynchronised
    GstPad* syncPad = nullptr; // worker thread only: where the probe that restores it waits
    std::atomic<gulong> syncProbe{0}; // that probe, 0 once it has removed itself
    int buffersSinceStart = 0;        // streaming thread, while the probe is there
    bool closePending = false; // worker thread only: closed, not yet taken down to READY
    QString sinkDescription;

    std::mutex prerollMutex;
    std::condition_variable prerollChanged;
    bool prerolled = false;    // guarded by prerollMutex
    bool held = false;         // the data reached the output's hold
    bool prerollFailed = false;
    bool sinkFailed = false;
    MediaFailure failure;

    Worker() { g_livePipelines.fetch_add(1); }

    ~Worker()
    {
        g_livePipelines.fetch_sub(1);
        dropSyncProbe();
        if (bus)
            gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        if (bus)
            gst_object_unref(bus);
        if (audioSink)
            gst_object_unref(audioSink);
        if (playbin)
            gst_object_unref(playbin);
    }

    template <class F>
    void postToOwner(F f)
    {
        std::lock_guard lock(postMutex);
        if (!owner)
            return;
        GstMediaPlayer* target = owner;
        QMetaObject::invokeMethod(context, [target, f] { f(*target); }, Qt::QueuedConnection);
    }

    void push(Command command)
    {
        {
            std::lock_guard lock(mutex);
            queue.push_back(std::move(command));
        }
        wake.notify_one();
    }

    bool stuck() const
    {
        const qint64 since = busySince.load();
        return since != 0 && steadyMs() - since > kStuckMs;
    }

    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data)
    {
        auto* self = static_cast<Worker*>(data);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS: {
            self->ended = true;
            const unsigned id = self->id, seq = self->executing.load();
            self->postToOwner([id, seq](GstMediaPlayer& p) { p.onStreamEnded(id, seq); });
            break;
        }
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            const MediaFailureReason reason = reasonOf(error);
            const QString text = takeMessage(error, "");
            const bool fromSink =
                gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT(self->audioSink));
            bool whilePrerolling = false;
            {
                std::lock_guard lock(self->prerollMutex);
                if (!self->prerolled) {
                    whilePrerolling = true;
                    if (!self->prerollFailed) {
                        self->prerollFailed = true;
                        self->sinkFailed = fromSink;
                        self->failure = {reason, text};
                    }
                }
            }
            self->prerollChanged.notify_all();
            self->spoiled = true;
            if (!whilePrerolling) {
                self->broken = true;
                const unsigned id = self->id, seq = self->executing.load();
                self->postToOwner([id, seq](GstMediaPlayer& p) { p.onStreamError(id, seq); });
            }
            break;
        }
        case GST_MESSAGE_ASYNC_DONE:
            // Only the pipeline's own: a child's means just that branch has prerolled.
            if (GST_MESSAGE_SRC(message) == GST_OBJECT(self->playbin)) {
                {
                    std::lock_guard lock(self->prerollMutex);
                    self->prerolled = true;
                }
                self->prerollChanged.notify_all();
            }
            break;
        default:
            break;
        }
        // Nobody pops this bus, so every message is dropped here rather than piling up. A
        // handler that drops a message owns it: each one kept would hold its source element,
        // and with it every parser, decoder and pad of every file played, for good.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    void run()
    {
        for (;;) {
            Command command;
            {
                std::unique_lock lock(mutex);
                auto ready = [this] { return quit || !queue.empty(); };
                if (closePending && !wake.wait_for(lock, kCloseDelay, ready)) {
                    lock.unlock();
                    finishClose();
                    continue;
                }
                wake.wait(lock, ready);
                if (quit)
                    break;
                command = std::move(queue.front());
                queue.pop_front();
                busySince = steadyMs();
            }
            executing = command.seq;
            runCommand(command);
            completed = command.seq;
            busySince = 0;
        }
        // Joins the streaming threads; for a source stuck in a read this never returns,
        // which is why nobody waits for an abandoned worker.
        if (playbin)
            gst_element_set_state(playbin, GST_STATE_NULL);
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        finishedChanged.notify_all();
    }

    // Nothing may leave this thread: an exception would end the program. A command that
    // fails so is reported as the failure of what it was for, and the next file gets a new
    // pipeline.
    void runCommand(const Command& command)
    {
        QString reason;
        try {
            if (!playbin && command.kind != OpenCommand)
                throw MediaError(QStringLiteral("播放管道没有建成"));
            execute(command);
            return;
        } catch (const MediaError& e) {
            reason = e.message();
        } catch (const std::exception& e) {
            reason = QString::fromLocal8Bit(e.what());
        } catch (...) {
            reason = QStringLiteral("未知错误");
        }
        spoiled = true;
        holdProbe = 0;
        syncLowered = false;
        closePending = false;
        const unsigned id = this->id, seq = command.seq;
        if (command.kind == OpenCommand) {
            const MediaFailure failure{MediaFailureReason::Other, reason};
            postToOwner([id, seq, failure](GstMediaPlayer& p) { p.onOpenFailed(id, seq, failure); });
        } else {
            broken = true;
            postToOwner([id, seq](GstMediaPlayer& p) { p.onStreamError(id, seq); });
        }
    }

    void waitForState() { gst_element_get_state(playbin, nullptr, nullptr, kStateTimeout); }

    void resetPreroll()
    {
        std::lock_guard lock(prerollMutex);
        prerolled = false;
        held = false;
        prerollFailed = false;
        sinkFailed = false;
        failure = {};
    }

    // Empty failure once prerolled.
    MediaFailure preroll()
    {
        resetPreroll();
        ended = false;
        broken = false;
        const GstStateChangeReturn started = gst_element_set_state(playbin, GST_STATE_PAUSED);
        std::unique_lock lock(prerollMutex);
        if (started == GST_STATE_CHANGE_FAILURE) {
            // The error message is normally posted before the state change returns.
            prerollChanged.wait_for(lock, 1s, [this] { return prerollFailed; });
            if (!prerollFailed)
                return {MediaFailureReason::Other, QString()};
            return failure;
        }
        if (started == GST_STATE_CHANGE_ASYNC
            && !prerollChanged.wait_for(lock, openTimeout + 1s,
                                        [this] { return prerolled || prerollFailed || held; }))
            return {MediaFailureReason::Timeout, QString()};
        if (prerollFailed)
            return failure;
        // Held before the output: what fails from here on fails while playing.
        prerolled = true;
        return {};
    }

    // A file opened ahead stops just before the output. An output that has taken a stream
    // counts time from then on, even paused, and would place the first sound as much later
    // as the file waited; held here, the output takes it only when Play comes.
    static GstPadProbeReturn onHeld(GstPad*, GstPadProbeInfo*, gpointer data)
    {
        auto* self = static_cast<Worker*>(data);
        {
            std::lock_guard lock(self->prerollMutex);
            self->held = true;
        }
        self->prerollChanged.notify_all();
        return GST_PAD_PROBE_OK; // stays blocked until the probe goes
    }

    void hold()
    {
        GstPad* pad = gst_element_get_static_pad(audioSink, "sink");
        if (!pad)
            return;
        holdProbe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, &Worker::onHeld, this,
                                      nullptr);
        gst_object_unref(pad);
    }

    // The element that plays: the sink itself or the one the automatic sink chose.
    GstElement* playingSink()
    {
        if (!GST_IS_BIN(audioSink))
            return GST_ELEMENT(gst_object_ref(audioSink));
        GstElement* found = nullptr;
        GstIterator* it = gst_bin_iterate_sinks(GST_BIN(audioSink));
        GValue item = G_VALUE_INIT;
        while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            auto* e = GST_ELEMENT(g_value_get_object(&item));
            if (!GST_IS_BIN(e) && g_object_class_find_property(G_OBJECT_GET_CLASS(e), "sync"))
                found = GST_ELEMENT(gst_object_ref(e));
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(it);
        return found;
    }

    static GstPadProbeReturn onSecondBuffer(GstPad* pad, GstPadProbeInfo*, gpointer data)
    {
        auto* self = static_cast<Worker*>(data);
        if (++self->buffersSinceStart < 2)
            return GST_PAD_PROBE_OK;
        if (GstElement* sink = gst_pad_get_parent_element(pad)) {
            g_object_set(sink, "sync", TRUE, nullptr);
            gst_object_unref(sink);
        }
        self->syncProbe = 0;
        return GST_PAD_PROBE_REMOVE;
    }

    // A file too short for a second buffer leaves its probe behind; one more for each such
    // bell would pile up on the output for as long as the pipeline lives.
    void dropSyncProbe()
    {
        if (const gulong probe = syncProbe.exchange(0))
            gst_pad_remove_probe(syncPad, probe);
        if (syncPad)
            gst_object_unref(syncPad);
        syncPad = nullptr;
    }

    // A file too short for a second buffer leaves the output unsynchronised; the next file
    // must not inherit that.
    void restoreSync()
    {
        dropSyncProbe();
        if (!syncLowered)
            return;
        syncLowered = false;
        if (GstElement* sink = playingSink()) {
            g_object_set(sink, "sync", TRUE, nullptr);
            gst_object_unref(sink);
        }
    }

    // An output places the first sound by its clock, which runs from the moment it took the
    // stream: the sound would follow that much silence. The first buffer goes out at once
    // instead, and the rest follow it in step with the clock.
    void startAtOnce()
    {
        GstElement* sink = playingSink();
        if (!sink)
            return;
        dropSyncProbe();
        if (GstPad* pad = gst_element_get_static_pad(sink, "sink")) {
            syncLowered = true;
            g_object_set(sink, "sync", FALSE, nullptr);
            buffersSinceStart = 0;
            syncPad = pad; // the reference is kept until the probe goes
            syncProbe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &Worker::onSecondBuffer,
                                          this, nullptr);
        }
        gst_object_unref(sink);
    }

    // Taking a pipeline down to READY lets its output go, which keeps the sound server and
    // a core busy for some milliseconds: done as a Close comes, it would fall on the second
    // when the next bell starts on the other pipeline. It is done once the worker has had
    // nothing to do for a moment; an Open does it itself.
    void finishClose()
    {
        if (!closePending || !playbin)
            return;
        closePending = false;
        gst_element_set_state(playbin, GST_STATE_READY);
    }

    void releaseHold()
    {
        if (holdProbe == 0)
            return;
        if (GstPad* pad = gst_element_get_static_pad(audioSink, "sink")) {
            gst_pad_remove_probe(pad, holdProbe);
            gst_object_unref(pad);
        }
        holdProbe = 0;
    }

    // Takes sink (floating or not) as the pipeline's output, in a new playbin: one whose
    // output failed does not take another.
    void build(GstElement* sink)
    {
        dropPipeline();
        playbin = gst_element_factory_make("playbin", nullptr);
        if (!playbin) {
            gst_object_unref(gst_object_ref_sink(sink));
            throw MediaError(QStringLiteral("没有安装 GStreamer 的 playbin 组件"));
        }
        gst_object_ref_sink(playbin);
        onElementAdded(nullptr, nullptr, playbin, nullptr);
        g_signal_connect(playbin, "deep-element-added", G_CALLBACK(&onElementAdded), nullptr);
        audioSink = GST_ELEMENT(gst_object_ref_sink(sink));
        guint flags = 0;
        g_object_get(playbin, "flags", &flags, nullptr);
        flags &= ~(kPlayFlagVideo | kPlayFlagText | kPlayFlagSoftVolume);
        // The video sink is a fallback in case something turns the video flag back on.
        g_object_set(playbin, "flags", flags, "audio-sink", audioSink, "video-sink",
                     gst_element_factory_make("fakesink", nullptr), nullptr);
        bus = gst_element_get_bus(playbin);
        gst_bus_set_sync_handler(bus, &Worker::onBusMessage, this, nullptr);
    }

    void dropPipeline()
    {
        if (playbin)
            gst_element_set_state(playbin, GST_STATE_NULL);
        dropSyncProbe();
        if (bus) {
            gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
            gst_object_unref(bus);
            bus = nullptr;
        }
        if (audioSink) {
            gst_object_unref(audioSink);
            audioSink = nullptr;
        }
        if (playbin) {
            gst_object_unref(playbin);
            playbin = nullptr;
        }
    }

    // With no output that opens, the file still plays, silently and in time, so the task
    // keeps its course; the player says so through hasAudioOutput().
    void replaceOutputWithFakeSink()
    {
        outputReplaced = true;
        rebuild();
    }

    void rebuild()
    {
        spoiled = false;
        if (outputReplaced) {
            GstElement* fake = gst_element_factory_make("fakesink", nullptr);
            g_object_set(fake, "sync", TRUE, nullptr);
            build(fake);
            return;
        }
        try {
            build(buildSink(sinkDescription));
        } catch (const MediaError&) {
            outputReplaced = true; // it was built once; silence rather than no pipeline
            rebuild();
        }
    }

    void open(const Command& command)
    {
        releaseHold();
        restoreSync();
        if (spoiled)
            rebuild();
        // Only the output opens on the way to READY: failing there means there is none.
        if (gst_element_set_state(playbin, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE
            && !outputReplaced)
            replaceOutputWithFakeSink();
        MediaFailure failure = checkFile(command.path, regularFilesOnly);
        if (failure.reason == MediaFailureReason::None) {
            GError* error = nullptr;
            gchar* uri = gst_filename_to_uri(QFile::encodeName(command.path).constData(), &error);
            if (!uri) {
                failure = {MediaFailureReason::Missing, takeMessage(error, "")};
            } else {
                g_object_set(playbin, "uri", uri, nullptr);
                if (command.holdAtOutput)
                    hold();
                failure = preroll();
                if (failure.reason != MediaFailureReason::None && sinkFailedLast() && !outputReplaced) {
                    replaceOutputWithFakeSink();
                    g_object_set(playbin, "uri", uri, nullptr);
                    failure = preroll();
                }
                g_free(uri);
            }
        }
        const unsigned id = this->id, seq = command.seq;
        if (failure.reason != MediaFailureReason::None) {
            if (failure.reason != MediaFailureReason::Timeout) {
                gst_element_set_state(playbin, GST_STATE_READY);
                releaseHold();
            }
            postToOwner([id, seq, failure](GstMediaPlayer& p) { p.onOpenFailed(id, seq, failure); });
            return;
        }
        Opened opened;
        opened.workerId = id;
        opened.seq = seq;
        gint64 ns = 0;
        if (gst_element_query_duration(playbin, GST_FORMAT_TIME, &ns) && ns > 0)
            opened.length = ns / GST_MSECOND;
        opened.hasAudioOutput = !outputReplaced && (sinkIsFake || !containsFakeSink(audioSink));
        postToOwner([opened](GstMediaPlayer& p) { p.onOpened(opened); });
    }

    bool sinkFailedLast()
    {
        std::lock_guard lock(prerollMutex);
        return sinkFailed;
    }

    // Back to position 0, leaving the pipeline in state (PAUSED or PLAYING).
    void seekToStart(GstState state)
    {
        const bool sought = !broken
            && gst_element_seek_simple(playbin, GST_FORMAT_TIME,
                                       GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        if (!sought) {
            // Prerolling afresh always starts at the beginning.
            gst_element_set_state(playbin, GST_STATE_READY);
            broken = false;
            gst_element_set_state(playbin, state);
        }
        ended = false;
    }

    void execute(const Command& command)
    {
        if (command.kind == PlayCommand && holdProbe != 0) {
            // Playing is asked for before the data goes on, so it flows straight through.
            startAtOnce();
            gst_element_set_state(playbin, GST_STATE_PLAYING);
            releaseHold();
            return;
        }
        // Anything else lets held data go; flushing on the way to READY releases it first.
        if (command.kind == CloseCommand && holdProbe != 0)
            gst_element_set_state(playbin, GST_STATE_READY);
        releaseHold();
        if (command.kind != CloseCommand && command.kind != OpenCommand)
            finishClose();
        closePending = false;
        switch (command.kind) {
        case OpenCommand:
            open(command);
            break;
        case PlayCommand:
            if (command.fromStart || ended || broken)
                seekToStart(GST_STATE_PAUSED);
            if (gst_element_set_state(playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
                broken = true;
                const unsigned id = this->id, seq = command.seq;
                postToOwner([id, seq](GstMediaPlayer& p) { p.onStreamError(id, seq); });
            }
            break;
        case ResumeCommand:
            gst_element_set_state(playbin, GST_STATE_PLAYING);
            break;
        case PauseCommand:
        case StopCommand:
            gst_element_set_state(playbin, GST_STATE_PAUSED);
            waitForState();
            break;
        case RewindCommand:
            seekToStart(command.playing ? GST_STATE_PLAYING : GST_STATE_PAUSED);
            if (!command.playing)
                waitForState();
            break;
        case CloseCommand:
            // Silent at once; the rest waits (see finishClose).
            if (GST_STATE(playbin) == GST_STATE_PLAYING)
                gst_element_set_state(playbin, GST_STATE_PAUSED);
            closePending = true;
            break;
        }
    }
};

GstMediaPlayer::GstMediaPlayer(const QString& audioSink) : GstMediaPlayer(audioSink, Options{}) {}

GstMediaPlayer::GstMediaPlayer(const QString& audioSink, Options options)
    : m_audioSink(audioSink), m_options(options), m_context(std::make_unique<QObject>())
{
    initGStreamer();
    m_openTimer.setSingleShot(true);
    QObject::connect(&m_openTimer, &QTimer::timeout, m_context.get(), [this] { onOpenTimeout(); });
    m_standbyExpiry.setSingleShot(true);
    QObject::connect(&m_standbyExpiry, &QTimer::timeout, m_context.get(), [this] { onStandbyExpired(); });
    startWorker();
}

GstMediaPlayer::~GstMediaPlayer()
{
    // A healthy worker finishes at once and is joined, so nothing of it outlives the player.
    retire(m_standby, m_standbyState == StandbyState::Opening ? std::chrono::milliseconds(0)
                                                              : std::chrono::milliseconds(kJoinTimeout));
    retireWorker(kJoinTimeout);
}

int GstMediaPlayer::abandonedWorkers()
{
    return g_abandonedWorkers.load();
}

int GstMediaPlayer::livePipelines()
{
    return g_livePipelines.load();
}

int GstMediaPlayer::liveElements()
{
    return g_liveElements.load();
}

void GstMediaPlayer::startWorker()
{
    d = makeWorker();
}

std::shared_ptr<GstMediaPlayer::Worker> GstMediaPlayer::makeWorker()
{
    auto worker = std::make_shared<Worker>();
    worker->id = ++m_workerCount;
    worker->regularFilesOnly = m_options.regularFilesOnly;
    worker->openTimeout = m_options.openTimeout;
    worker->sinkIsFake = m_audioSink.contains(QLatin1String("fakesink"))
        || m_audioSink.contains(QLatin1String("fakeaudiosink"));

    worker->sinkDescription = m_audioSink;
    worker->build(buildSink(m_audioSink));
    worker->owner = this;
    worker->context = m_context.get();
    // The thread holds the worker, so an abandoned one lives as long as its thread.
    worker->thread = std::thread([worker] { worker->run(); });
    return worker;
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
    retire(d, wait);
}

void GstMediaPlayer::retire(std::shared_ptr<Worker>& worker, std::chrono::milliseconds wait)
{
    if (!worker)
        return;
    {
        std::lock_guard lock(worker->postMutex);
        worker->owner = nullptr;
        worker->context = nullptr;
    }
    {
        std::lock_guard lock(worker->mutex);
        worker->quit = true;
    }
    worker->wake.notify_one();
    bool finished = false;
    {
        std::unique_lock lock(worker->mutex);
        finished = worker->finishedChanged.wait_for(lock, wait, [&] { return worker->finished; });
    }
    if (finished) {
        worker->thread.join();
    } else {
        if (worker->busySince.load() != 0)
            g_abandonedWorkers.fetch_add(1);
        // Its thread ends by itself once its command returns, or never; nobody waits for it.
        worker->thread.detach();
    }
    worker.reset();
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
    if (takeStandby())
        return;
    // A worker still busy with an earlier file may never come back: the new file gets a
    // fresh pipeline rather than a place in its queue.
    if (d && (m_openPending || d->stuck()))
        abandonWorker();
    if (!d) {
        try {
            startWorker();
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

void GstMediaPlayer::onOpened(const Opened& result)
{
    if (m_standby && result.workerId == m_standby->id) {
        if (result.seq == m_standbySeq && m_standbyState == StandbyState::Opening) {
            m_standbyState = StandbyState::Ready;
            m_standbyOpened = result;
        }
        return;
    }
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
    if (m_standby && workerId == m_standby->id) {
        // Nothing is reported: the Open at the due time tries the file afresh and says why.
        if (seq == m_standbySeq)
            m_standbyState = StandbyState::Idle;
        return;
    }
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
              QStringLiteral("%1 秒内没有打开")
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

GstMediaPlayer::FileIdentity GstMediaPlayer::identityOf(const QString& path)
{
    FileIdentity id;
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return id;
    id.valid = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    id.ctimeSec = st.st_ctim.tv_sec;
    id.ctimeNsec = st.st_ctim.tv_nsec;
    return id;
}

void GstMediaPlayer::Prepare(const QString& fileName)
{
    // Only regular files: a pipe or device is never opened before it is asked for.
    const FileIdentity id = identityOf(fileName);
    if (!id.valid)
        return;
    if (m_standbyState != StandbyState::Idle && m_standbyFile == fileName && m_standbyIdentity == id)
        return;
    // One still opening an earlier file may never come back; it is not waited for.
    if (m_standby && (m_standbyState == StandbyState::Opening || m_standby->stuck()))
        retire(m_standby, std::chrono::milliseconds(0));
    if (!m_standby) {
        try {
            m_standby = makeWorker();
        } catch (const MediaError&) {
            return; // the Open at the due time reports it
        }
    }
    Command command;
    command.kind = OpenCommand;
    command.seq = ++m_seq;
    command.path = fileName;
    command.holdAtOutput = true;
    m_standbySeq = command.seq;
    m_standby->push(std::move(command));
    m_standbyFile = fileName;
    m_standbyIdentity = id;
    m_standbyState = StandbyState::Opening;
    m_standbyExpiry.start(kStandbyKeep);
}

bool GstMediaPlayer::takeStandby()
{
    if (!m_standby || m_standbyState == StandbyState::Idle || m_standbyFile != m_fileName)
        return false;
    const bool ready = m_standbyState == StandbyState::Ready;
    m_standbyState = StandbyState::Idle;
    m_standbyExpiry.stop();
    if (identityOf(m_fileName) != m_standbyIdentity) {
        // Changed since it was prepared: what the standby holds is not this file any more.
        if (ready)
            m_standby->push(closeCommand(++m_seq));
        else
            retire(m_standby, std::chrono::milliseconds(0));
        return false;
    }
    // The prepared pipeline becomes the player's; the one it had waits for the next file.
    std::shared_ptr<Worker> previous = std::move(d);
    d = std::move(m_standby);
    if (previous && (m_openPending || previous->stuck()))
        retire(previous, std::chrono::milliseconds(0));
    else
        m_standby = std::move(previous);
    m_openSeq = m_standbySeq;
    m_staleBefore = m_standbySeq;
    m_positionSeq = m_standbySeq;
    m_mode = MediaMode::Open;
    m_afterOpen = MediaMode::Stopped;
    m_length = 0;
    m_position = 0;
    m_openTimer.start(m_options.openTimeout);
    m_openPending = !ready;
    if (ready) {
        // Reported from the event loop, as every Open is.
        const Opened opened = m_standbyOpened;
        QMetaObject::invokeMethod(
            m_context.get(), [this, opened] { onOpened(opened); }, Qt::QueuedConnection);
    }
    return true;
}

void GstMediaPlayer::onStandbyExpired()
{
    // Prepared for a start that did not come: the file is let go, the output stays open.
    if (m_standbyState == StandbyState::Ready)
        m_standby->push(closeCommand(++m_seq));
    else if (m_standbyState == StandbyState::Opening)
        retire(m_standby, std::chrono::milliseconds(0));
    m_standbyState = StandbyState::Idle;
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
