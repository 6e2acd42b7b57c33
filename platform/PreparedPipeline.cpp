#include "platform/PreparedPipeline.h"

#include "platform/Errors.h"
#include "platform/GstPipelineWorker.h"

namespace {

using namespace std::chrono_literals;

// A prepared file that nobody opens is let go after this.
constexpr auto kKeep = 5s;

} // namespace

PreparedPipeline::PreparedPipeline(MakeWorker make, NextSeq nextSeq)
    : m_make(std::move(make)), m_nextSeq(std::move(nextSeq))
{
    m_expiry.setSingleShot(true);
    QObject::connect(&m_expiry, &QTimer::timeout, [this] { expire(); });
}

PreparedPipeline::~PreparedPipeline()
{
    // One still opening may be stuck in a read; it is not waited for.
    GstPipelineWorker::retire(m_worker, m_state == State::Opening ? 0ms
                                                                 : GstPipelineWorker::kJoinTimeout);
}

void PreparedPipeline::prepare(const QString& fileName)
{
    // Only regular files: a pipe or device is never opened before it is asked for.
    const FileIdentity id = FileIdentityOf(fileName);
    if (!id.regular)
        return;
    if (m_state != State::Idle && m_file == fileName && m_identity == id)
        return;
    // One still opening an earlier file may never come back; it is not waited for.
    if (m_worker && (m_state == State::Opening || m_worker->stuck()))
        GstPipelineWorker::retire(m_worker, 0ms);
    if (!m_worker) {
        try {
            m_worker = m_make();
        } catch (const MediaError&) {
            return; // the Open at the due time reports it
        }
    }
    Command command;
    command.kind = OpenCommand;
    command.seq = m_nextSeq();
    command.path = fileName;
    command.holdAtOutput = true;
    m_seq = command.seq;
    m_worker->push(std::move(command));
    m_file = fileName;
    m_identity = id;
    m_state = State::Opening;
    m_expiry.start(kKeep);
}

std::optional<PreparedPipeline::Taken> PreparedPipeline::take(const QString& fileName)
{
    if (!m_worker || m_state == State::Idle || m_file != fileName)
        return std::nullopt;
    const bool ready = m_state == State::Ready;
    m_state = State::Idle;
    m_expiry.stop();
    if (FileIdentityOf(fileName) != m_identity) {
        // Changed since it was prepared: what the pipeline holds is not this file any more.
        if (ready)
            m_worker->push(CloseCommandNumbered(m_nextSeq()));
        else
            GstPipelineWorker::retire(m_worker, 0ms);
        return std::nullopt;
    }
    Taken taken;
    taken.worker = std::move(m_worker);
    taken.seq = m_seq;
    if (ready)
        taken.opened = m_opened;
    return taken;
}

void PreparedPipeline::keep(std::shared_ptr<GstPipelineWorker> worker)
{
    if (m_worker)
        GstPipelineWorker::retire(m_worker, 0ms);
    m_worker = std::move(worker);
    m_state = State::Idle;
}

bool PreparedPipeline::onOpened(const PipelineOpened& result)
{
    if (!m_worker || result.workerId != m_worker->id)
        return false;
    if (result.seq == m_seq && m_state == State::Opening) {
        m_state = State::Ready;
        m_opened = result;
    }
    return true;
}

bool PreparedPipeline::onOpenFailed(unsigned workerId, unsigned seq)
{
    if (!m_worker || workerId != m_worker->id)
        return false;
    // Nothing is reported: the Open at the due time tries the file afresh and says why.
    if (seq == m_seq)
        m_state = State::Idle;
    return true;
}

void PreparedPipeline::expire()
{
    // Prepared for a start that did not come: the file is let go, the output stays open.
    if (m_state == State::Ready)
        m_worker->push(CloseCommandNumbered(m_nextSeq()));
    else if (m_state == State::Opening)
        GstPipelineWorker::retire(m_worker, 0ms);
    m_state = State::Idle;
}
