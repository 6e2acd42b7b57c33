#pragma once
// A file opened ahead on a pipeline of its own and held before the output, so that an Open
// of the same file, unchanged on disk, takes that pipeline ready to play. Kept for a few
// seconds; the player's previous pipeline waits here for the next file.
#include "platform/FileIdentity.h"
#include "platform/PipelineEvents.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

struct GstPipelineWorker;

class PreparedPipeline {
public:
    using MakeWorker = std::function<std::shared_ptr<GstPipelineWorker>()>;
    using NextSeq = std::function<unsigned()>;

    // make builds a pipeline (raising MediaError when it cannot); nextSeq numbers commands.
    PreparedPipeline(MakeWorker make, NextSeq nextSeq);
    ~PreparedPipeline();
    PreparedPipeline(const PreparedPipeline&) = delete;
    PreparedPipeline& operator=(const PreparedPipeline&) = delete;

    // Opens fileName ahead; only a regular file, and nothing is reported.
    void prepare(const QString& fileName);

    struct Taken {
        std::shared_ptr<GstPipelineWorker> worker;
        unsigned seq = 0;                      // of the Open it was prepared with
        std::optional<PipelineOpened> opened; // empty while it is still opening
    };
    // The pipeline prepared for fileName, when it holds that file as it is on disk now.
    std::optional<Taken> take(const QString& fileName);
    // A pipeline the player no longer needs, for the next file.
    void keep(std::shared_ptr<GstPipelineWorker> worker);

    // Results that concern the prepared pipeline; false for those of another.
    bool onOpened(const PipelineOpened& result);
    bool onOpenFailed(unsigned workerId, unsigned seq);

private:
    enum class State { Idle, Opening, Ready };
    void expire();

    MakeWorker m_make;
    NextSeq m_nextSeq;
    std::shared_ptr<GstPipelineWorker> m_worker;
    State m_state = State::Idle;
    QString m_file;
    FileIdentity m_identity;
    unsigned m_seq = 0;
    PipelineOpened m_opened;
    QTimer m_expiry;
};
