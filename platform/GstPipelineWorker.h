#pragma once
// One GStreamer playbin and the thread that does every state change on it, for the media
// player: it takes commands in order and posts what came of them to the player's thread.
// Shared by the player, its own thread and GStreamer's streaming threads; an abandoned worker
// keeps itself alive until its thread ends.
#include "platform/LevelControl.h"
#include "platform/MediaPlayer.h"
#include "platform/PipelineEvents.h"

#include <QObject>
#include <QString>

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

enum CommandKind { OpenCommand, PlayCommand, PauseCommand, ResumeCommand, StopCommand,
                   RewindCommand, CloseCommand };

struct Command {
    CommandKind kind = CloseCommand;
    unsigned seq = 0;
    QString path;         // Open
    bool playing = false; // Rewind: keep playing from the start
    bool fromStart = false; // Play: the file had ended, begin again
    bool holdAtOutput = false; // Open: ready the file but keep it from the output until Play
    double gain = 1.0;         // Open: the level the file plays at
    qint64 fadeInNs = 0;       // Open: rising to it from silence over this much of the file
    qint64 startAtWallNs = 0;  // Play: the first sound leaves the sink at this wall-clock time
};

inline Command CloseCommandNumbered(unsigned seq)
{
    Command command;
    command.kind = CloseCommand;
    command.seq = seq;
    return command;
}

// How a worker's pipeline is made and what it accepts.
struct PipelineSettings {
    QString sinkDescription;
    bool regularFilesOnly = true;
    std::chrono::milliseconds openTimeout{10000};
};

struct GstPipelineWorker {
    // Builds the pipeline (raising MediaError when it cannot be) and starts its thread.
    // Results go to events through context, on context's thread.
    static std::shared_ptr<GstPipelineWorker> start(unsigned id, const PipelineSettings& settings,
                                                    PipelineEvents* events, QObject* context);
    // Posts nothing more, tells the thread to end and joins it within wait; a thread still
    // busy after that is left to end by itself. worker is empty afterwards.
    static void retire(std::shared_ptr<GstPipelineWorker>& worker, std::chrono::milliseconds wait);
    // A healthy worker ends within this.
    static constexpr std::chrono::milliseconds kJoinTimeout{2000};

    // Workers given up on while busy, pipelines not yet freed, and the elements ever added to
    // a pipeline that are still alive, since the program started.
    static int abandoned();
    static int livePipelines();
    static int liveElements();

    unsigned id = 0;
    bool regularFilesOnly = true;
    std::chrono::milliseconds openTimeout{10000};
    bool sinkIsFake = false; // the description itself asks for a silent sink
    GstElement* playbin = nullptr;
    GstElement* audioSink = nullptr; // a reference of our own, for telling its errors apart
    GstElement* outputSink = nullptr; // the sink the description names, inside audioSink
    LevelControl level; // the gain of audioSink's volume element
    GstBus* bus = nullptr;
    std::thread thread;

    // Results go to the owner's thread through the context; both cleared when abandoned.
    std::mutex postMutex;
    PipelineEvents* owner = nullptr;
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

    GstPipelineWorker();
    ~GstPipelineWorker();

    // Queues a command for the worker's thread.
    void push(Command command);
    // Busy with one quick command for too long: taken to be stuck in a read.
    bool stuck() const;

    // What follows runs on the worker's thread or GStreamer's streaming threads.
    template <class F>
    void postToOwner(F f)
    {
        std::lock_guard lock(postMutex);
        if (!owner)
            return;
        PipelineEvents* target = owner;
        QMetaObject::invokeMethod(context, [target, f] { f(*target); }, Qt::QueuedConnection);
    }

    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data);
    void run();
    void runCommand(const Command& command);
    void waitForState();
    void resetPreroll();
    MediaFailure preroll();
    static GstPadProbeReturn onHeld(GstPad*, GstPadProbeInfo*, gpointer data);
    void hold();
    GstElement* playingSink();
    static GstPadProbeReturn onSecondBuffer(GstPad* pad, GstPadProbeInfo*, gpointer data);
    void dropSyncProbe();
    void restoreSync();
    void startAtOnce();
    void finishClose();
    void releaseHold();
    // Before PLAYING: the first sound is to leave the sink at this wall-clock time.
    bool timedStart = false; // the pipeline's time was fixed by it
    void startAtWallTime(qint64 wallNs);
    void build(GstElement* sink);
    void dropPipeline();
    void replaceOutputWithFakeSink();
    void rebuild();
    void open(const Command& command);
    bool sinkFailedLast();
    void seekToStart(GstState state);
    void execute(const Command& command);
};
