#pragma once
// What a pipeline worker reports, delivered on the thread of the player that owns it.
#include "platform/MediaPlayer.h"

#include <QtGlobal>

// A file has prerolled and is ready to play.
struct PipelineOpened {
    unsigned workerId = 0;
    unsigned seq = 0;
    qint64 length = 0;
    bool hasAudioOutput = true;
};

class PipelineEvents {
public:
    virtual void onOpened(const PipelineOpened& result) = 0;
    virtual void onOpenFailed(unsigned workerId, unsigned seq, const MediaFailure& failure) = 0;
    virtual void onStreamEnded(unsigned workerId, unsigned seq) = 0;
    virtual void onStreamError(unsigned workerId, unsigned seq) = 0;

protected:
    ~PipelineEvents() = default;
};
