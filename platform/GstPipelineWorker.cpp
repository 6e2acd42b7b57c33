#include "platform/GstPipelineWorker.h"

#include "platform/Errors.h"
#include "platform/GstSupport.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <utility>

namespace {

using namespace std::chrono_literals;

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
// How long a closed pipeline waits, idle, before it lets its output go.
constexpr auto kCloseDelay = 300ms;

std::atomic<int> g_abandonedWorkers{0};
std::atomic<int> g_livePipelines{0};
std::atomic<int> g_liveElements{0};

void onElementGone(gpointer, GObject*)
{
    g_liveElements.fetch_sub(1);
}

// The level a bell sounds at is set in the pipeline; the sound server's level for our stream
// is what the desktop's mixer turns down or mutes, and a bell must not inherit that. Set before
// each stream opens (the sink keeps what the mixer last set), it also overrides the level the
// server would restore for the program.
void holdStreamLevel(GstElement* sink)
{
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* e = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(e);
        if (factory && g_str_equal(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "pulsesink"))
            g_object_set(e, "volume", 1.0, "mute", FALSE, nullptr);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

// The player's output: its own volume element in front of the sink the description names.
GstElement* withVolume(GstElement* sink, GstElement** volume)
{
    GstElement* bin = gst_bin_new("output");
    *volume = gst_element_factory_make("volume", "level");
    if (!*volume) {
        gst_object_unref(gst_object_ref_sink(bin));
        gst_object_unref(gst_object_ref_sink(sink));
        throw MediaError(QCoreApplication::translate("GstPipelineWorker", "没有安装 GStreamer 的 volume 组件"));
    }
    gst_bin_add_many(GST_BIN(bin), *volume, sink, nullptr);
    if (!gst_element_link(*volume, sink)) {
        gst_object_unref(gst_object_ref_sink(bin));
        throw MediaError(QCoreApplication::translate("GstPipelineWorker", "无法建立音频输出：音量无法接到输出"));
    }
    GstPad* pad = gst_element_get_static_pad(*volume, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
    gst_object_unref(pad);
    return bin;
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

} // namespace

std::shared_ptr<GstPipelineWorker> GstPipelineWorker::start(unsigned id, const PipelineSettings& settings,
                                                            PipelineEvents* events, QObject* context)
{
    auto worker = std::make_shared<GstPipelineWorker>();
    worker->id = id;
    worker->regularFilesOnly = settings.regularFilesOnly;
    worker->openTimeout = settings.openTimeout;
    worker->sinkIsFake = settings.sinkDescription.contains(QLatin1String("fakesink"))
        || settings.sinkDescription.contains(QLatin1String("fakeaudiosink"));
    worker->sinkDescription = settings.sinkDescription;
    worker->build(BuildAudioSink(settings.sinkDescription));
    worker->owner = events;
    worker->context = context;
    // The thread holds the worker, so an abandoned one lives as long as its thread.
    worker->thread = std::thread([worker] { worker->run(); });
    return worker;
}

void GstPipelineWorker::retire(std::shared_ptr<GstPipelineWorker>& worker, std::chrono::milliseconds wait)
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

int GstPipelineWorker::abandoned()
{
    return g_abandonedWorkers.load();
}

int GstPipelineWorker::livePipelines()
{
    return g_livePipelines.load();
}

int GstPipelineWorker::liveElements()
{
    return g_liveElements.load();
}

GstPipelineWorker::GstPipelineWorker()
{
    g_livePipelines.fetch_add(1);
}

GstPipelineWorker::~GstPipelineWorker()
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

void GstPipelineWorker::push(Command command)
{
    {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(command));
    }
    wake.notify_one();
}

bool GstPipelineWorker::stuck() const
{
    const qint64 since = busySince.load();
    return since != 0 && SteadyMs() - since > kStuckMs;
}

GstBusSyncReply GstPipelineWorker::onBusMessage(GstBus*, GstMessage* message, gpointer data)
{
    auto* self = static_cast<GstPipelineWorker*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: {
        self->ended = true;
        const unsigned id = self->id, seq = self->executing.load();
        self->postToOwner([id, seq](PipelineEvents& p) { p.onStreamEnded(id, seq); });
        break;
    }
    case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        const MediaFailureReason reason = FailureReasonOf(error);
        const QString text = TakeErrorMessage(error, "");
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
            self->postToOwner([id, seq](PipelineEvents& p) { p.onStreamError(id, seq); });
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

void GstPipelineWorker::run()
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
            busySince = SteadyMs();
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
void GstPipelineWorker::runCommand(const Command& command)
{
    QString reason;
    try {
        if (!playbin && command.kind != OpenCommand)
            throw MediaError(QCoreApplication::translate("GstPipelineWorker", "播放管道没有建成"));
        execute(command);
        return;
    } catch (const MediaError& e) {
        reason = e.message();
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
        reason = QCoreApplication::translate("GstPipelineWorker", "未知错误");
    }
    spoiled = true;
    holdProbe = 0;
    syncLowered = false;
    closePending = false;
    const unsigned id = this->id, seq = command.seq;
    if (command.kind == OpenCommand) {
        const MediaFailure failure{MediaFailureReason::Other, reason};
        postToOwner([id, seq, failure](PipelineEvents& p) { p.onOpenFailed(id, seq, failure); });
    } else {
        broken = true;
        postToOwner([id, seq](PipelineEvents& p) { p.onStreamError(id, seq); });
    }
}

void GstPipelineWorker::waitForState()
{
    gst_element_get_state(playbin, nullptr, nullptr, kStateTimeout);
}

void GstPipelineWorker::resetPreroll()
{
    std::lock_guard lock(prerollMutex);
    prerolled = false;
    held = false;
    prerollFailed = false;
    sinkFailed = false;
    failure = {};
}

// Empty failure once prerolled.
MediaFailure GstPipelineWorker::preroll()
{
    resetPreroll();
    ended = false;
    broken = false;
    // A timed start before left the pipeline's time fixed; a new file runs by its own.
    if (std::exchange(timedStart, false))
        gst_element_set_start_time(playbin, 0);
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
GstPadProbeReturn GstPipelineWorker::onHeld(GstPad*, GstPadProbeInfo*, gpointer data)
{
    auto* self = static_cast<GstPipelineWorker*>(data);
    {
        std::lock_guard lock(self->prerollMutex);
        self->held = true;
    }
    self->prerollChanged.notify_all();
    return GST_PAD_PROBE_OK; // stays blocked until the probe goes
}

void GstPipelineWorker::hold()
{
    GstPad* pad = gst_element_get_static_pad(audioSink, "sink");
    if (!pad)
        return;
    holdProbe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, &GstPipelineWorker::onHeld, this,
                                  nullptr);
    gst_object_unref(pad);
}

// The element that plays: the sink itself or the one the automatic sink chose. That one sits
// a bin deeper than the description's own elements, where a search of the sinks of one level
// never looks: the automatic sink is itself a bin, and its choice would go unfound.
GstElement* GstPipelineWorker::playingSink()
{
    if (!GST_IS_BIN(outputSink))
        return GST_ELEMENT(gst_object_ref(outputSink));
    GstElement* found = nullptr;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(outputSink));
    GValue item = G_VALUE_INIT;
    while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* e = GST_ELEMENT(g_value_get_object(&item));
        if (!GST_IS_BIN(e) && GST_OBJECT_FLAG_IS_SET(e, GST_ELEMENT_FLAG_SINK)
            && g_object_class_find_property(G_OBJECT_GET_CLASS(e), "sync"))
            found = GST_ELEMENT(gst_object_ref(e));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
}

GstPadProbeReturn GstPipelineWorker::onSecondBuffer(GstPad* pad, GstPadProbeInfo*, gpointer data)
{
    auto* self = static_cast<GstPipelineWorker*>(data);
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
void GstPipelineWorker::dropSyncProbe()
{
    if (const gulong probe = syncProbe.exchange(0))
        gst_pad_remove_probe(syncPad, probe);
    if (syncPad)
        gst_object_unref(syncPad);
    syncPad = nullptr;
}

// A file too short for a second buffer leaves the output unsynchronised; the next file
// must not inherit that.
void GstPipelineWorker::restoreSync()
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
void GstPipelineWorker::startAtOnce()
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
        syncProbe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &GstPipelineWorker::onSecondBuffer,
                                      this, nullptr);
    }
    gst_object_unref(sink);
}

// Taking a pipeline down to READY lets its output go, which keeps the sound server and
// a core busy for some milliseconds: done as a Close comes, it would fall on the second
// when the next bell starts on the other pipeline. It is done once the worker has had
// nothing to do for a moment; an Open does it itself.
void GstPipelineWorker::finishClose()
{
    if (!closePending || !playbin)
        return;
    closePending = false;
    gst_element_set_state(playbin, GST_STATE_READY);
}

void GstPipelineWorker::releaseHold()
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
void GstPipelineWorker::build(GstElement* sink)
{
    dropPipeline();
    playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin) {
        gst_object_unref(gst_object_ref_sink(sink));
        throw MediaError(QCoreApplication::translate("GstPipelineWorker", "没有安装 GStreamer 的 playbin 组件"));
    }
    gst_object_ref_sink(playbin);
    onElementAdded(nullptr, nullptr, playbin, nullptr);
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(&onElementAdded), nullptr);
    outputSink = sink;
    GstElement* volume = nullptr;
    try {
        sink = withVolume(sink, &volume);
    } catch (const MediaError&) {
        gst_object_unref(playbin);
        playbin = nullptr;
        throw;
    }
    level.attach(volume);
    // Elements made before the pipeline are counted as it takes them.
    onElementAdded(nullptr, nullptr, sink, nullptr);
    onElementAdded(nullptr, nullptr, volume, nullptr);
    onElementAdded(nullptr, nullptr, outputSink, nullptr);
    audioSink = GST_ELEMENT(gst_object_ref_sink(sink));
    guint flags = 0;
    g_object_get(playbin, "flags", &flags, nullptr);
    flags &= ~(kPlayFlagVideo | kPlayFlagText | kPlayFlagSoftVolume);
    // The video sink is a fallback in case something turns the video flag back on.
    g_object_set(playbin, "flags", flags, "audio-sink", audioSink, "video-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);
    bus = gst_element_get_bus(playbin);
    gst_bus_set_sync_handler(bus, &GstPipelineWorker::onBusMessage, this, nullptr);
}

void GstPipelineWorker::dropPipeline()
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
    outputSink = nullptr;
    if (playbin) {
        gst_object_unref(playbin);
        playbin = nullptr;
    }
}

// With no output that opens, the file still plays, silently and in time, so the task
// keeps its course; the player says so through hasAudioOutput().
void GstPipelineWorker::replaceOutputWithFakeSink()
{
    outputReplaced = true;
    rebuild();
}

void GstPipelineWorker::rebuild()
{
    spoiled = false;
    if (outputReplaced) {
        GstElement* fake = gst_element_factory_make("fakesink", nullptr);
        g_object_set(fake, "sync", TRUE, nullptr);
        build(fake);
        return;
    }
    try {
        build(BuildAudioSink(sinkDescription));
    } catch (const MediaError&) {
        outputReplaced = true; // it was built once; silence rather than no pipeline
        rebuild();
    }
}

void GstPipelineWorker::open(const Command& command)
{
    releaseHold();
    restoreSync();
    if (spoiled)
        rebuild();
    // Only the output opens on the way to READY: failing there means there is none.
    if (gst_element_set_state(playbin, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE
        && !outputReplaced)
        replaceOutputWithFakeSink();
    MediaFailure failure = CheckMediaFile(command.path, regularFilesOnly);
    if (failure.reason == MediaFailureReason::None) {
        GError* error = nullptr;
        gchar* uri = gst_filename_to_uri(QFile::encodeName(command.path).constData(), &error);
        if (!uri) {
            failure = {MediaFailureReason::Missing, TakeErrorMessage(error, "")};
        } else {
            g_object_set(playbin, "uri", uri, nullptr);
            level.restart(command.gain, command.fadeInNs);
            holdStreamLevel(audioSink);
            if (command.holdAtOutput)
                hold();
            failure = preroll();
            if (failure.reason != MediaFailureReason::None && sinkFailedLast() && !outputReplaced) {
                replaceOutputWithFakeSink();
                g_object_set(playbin, "uri", uri, nullptr);
                failure = preroll();
            }
            // The server may have restored the mixer's mute for the program as the stream
            // opened; it is lifted before the first sound.
            if (failure.reason == MediaFailureReason::None)
                holdStreamLevel(audioSink);
            g_free(uri);
        }
    }
    const unsigned id = this->id, seq = command.seq;
    if (failure.reason != MediaFailureReason::None) {
        if (failure.reason != MediaFailureReason::Timeout) {
            gst_element_set_state(playbin, GST_STATE_READY);
            releaseHold();
        }
        postToOwner([id, seq, failure](PipelineEvents& p) { p.onOpenFailed(id, seq, failure); });
        return;
    }
    PipelineOpened opened;
    opened.workerId = id;
    opened.seq = seq;
    gint64 ns = 0;
    if (gst_element_query_duration(playbin, GST_FORMAT_TIME, &ns) && ns > 0)
        opened.length = ns / GST_MSECOND;
    opened.hasAudioOutput = !outputReplaced && (sinkIsFake || !ContainsFakeSink(audioSink));
    postToOwner([opened](PipelineEvents& p) { p.onOpened(opened); });
}

bool GstPipelineWorker::sinkFailedLast()
{
    std::lock_guard lock(prerollMutex);
    return sinkFailed;
}

// Back to position 0, leaving the pipeline in state (PAUSED or PLAYING).
void GstPipelineWorker::seekToStart(GstState state)
{
    // The stream's time begins again, and with it the points of the gain: before the first
    // sound of the new start goes through.
    level.restart(level.target(), 0);
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

// The pipeline's time is set to begin where the first sound meets the sink at wallNs, instead
// of where PLAYING happens to be reached: pipelines started one after the other then all send
// their first sound at the same moment of the clock. A sink's offset that sends early moves
// the later sound only: no sound goes before the pipeline's time begins.
void GstPipelineWorker::startAtWallTime(qint64 wallNs)
{
    GstClock* clock = gst_system_clock_obtain();
    gst_pipeline_use_clock(GST_PIPELINE(playbin), clock);
    const GstClockTime now = gst_clock_get_time(clock);
    gst_object_unref(clock);
    const qint64 ahead = wallNs - g_get_real_time() * 1000;
    gint64 offset = 0;
    if (GstElement* sink = playingSink()) {
        g_object_get(sink, "ts-offset", &offset, nullptr);
        gst_object_unref(sink);
    }
    const qint64 base = qint64(now) + ahead - std::max<gint64>(0, offset);
    gst_element_set_start_time(playbin, GST_CLOCK_TIME_NONE);
    timedStart = true;
    gst_element_set_base_time(playbin, GstClockTime(std::max<qint64>(0, base)));
}

void GstPipelineWorker::execute(const Command& command)
{
    if (command.kind == PlayCommand && holdProbe != 0) {
        // Playing is asked for before the data goes on, so it flows straight through.
        if (command.startAtWallNs > 0)
            startAtWallTime(command.startAtWallNs);
        else
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
        if (command.startAtWallNs > 0)
            startAtWallTime(command.startAtWallNs);
        if (gst_element_set_state(playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            broken = true;
            const unsigned id = this->id, seq = command.seq;
            postToOwner([id, seq](PipelineEvents& p) { p.onStreamError(id, seq); });
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
