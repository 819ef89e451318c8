// TLMChannelGroup::flushStoredLogs: one pass over everything stored, for the
// diagnostics tool, with an end in time whatever the service does.
#include "platform/Scheduler.h"
#include "telemetry/TLMChannelGroup.h"
#include "telemetry/TLMHttpUtil.h"

namespace qrv {
namespace {

// The state of one flush, on the logs queue. Its deadline timer owns it until
// it finishes (or the queue goes, timers and all); the units hear of it
// through a forwarder that holds it weakly, so the units it owns do not keep
// it alive.
class FlushRun final : public std::enable_shared_from_this<FlushRun> {
  public:
    FlushRun(std::shared_ptr<SerialQueue> queue, Scheduler& scheduler,
             std::function<void(TLMFlushReport)> done)
        : m_queue(std::move(queue))
        , m_scheduler(scheduler)
        , m_done(std::move(done)) {}

    void start(const QList<std::shared_ptr<TLMChannelUnitDefault>>& units,
               std::chrono::seconds timeout);
    void batchEnded(TLMChannelUnitDefault& unit, const QString& batchId,
                    const std::optional<TLMHttpResponse>& response,
                    const std::optional<TLMHttpError>& error);

  private:
    void finishWhenIdle();
    void finish();

    std::shared_ptr<SerialQueue> m_queue;
    Scheduler& m_scheduler;
    std::function<void(TLMFlushReport)> m_done;
    QList<std::shared_ptr<TLMChannelUnitDefault>> m_units;
    std::shared_ptr<QueueTimer> m_deadline;
    TLMFlushReport m_report;
    bool m_finished = false;
};

class FlushListener final : public TLMChannelDelegate {
  public:
    explicit FlushListener(std::weak_ptr<FlushRun> run)
        : m_run(std::move(run)) {}
    void didFinishSendingBatch(TLMChannelUnitDefault& unit, const QString& batchId,
                               const std::optional<TLMHttpResponse>& response,
                               const std::optional<TLMHttpError>& error) override {
        if (auto run = m_run.lock())
            run->batchEnded(unit, batchId, response, error);
    }

  private:
    std::weak_ptr<FlushRun> m_run;
};

void FlushRun::start(const QList<std::shared_ptr<TLMChannelUnitDefault>>& units,
                     std::chrono::seconds timeout) {
    m_units = units;
    const auto listener = std::make_shared<FlushListener>(weak_from_this());
    for (const auto& unit : units) {
        unit->addDelegate(listener);
        unit->flushQueue();
    }
    m_deadline =
        m_queue->startTimer(timeout, Millis(0), [self = shared_from_this()] { self->finish(); });
    finishWhenIdle();
}

void FlushRun::batchEnded(TLMChannelUnitDefault& unit, const QString& batchId,
                          const std::optional<TLMHttpResponse>& response,
                          const std::optional<TLMHttpError>& error) {
    m_report.batches << TLMFlushedBatch{unit.configuration().groupId, batchId, response, error};
    // A unit settles its state after telling its delegates, so idleness is
    // asked in a task of its own.
    m_queue->async([weak = weak_from_this()] {
        if (auto run = weak.lock())
            run->finishWhenIdle();
    });
}

void FlushRun::finishWhenIdle() {
    if (std::all_of(m_units.cbegin(), m_units.cend(),
                    [](const auto& unit) { return unit->isIdle(); }))
        finish();
}

void FlushRun::finish() {
    if (m_finished)
        return;
    m_finished = true;
    if (m_deadline) {
        m_deadline->cancel();
        // The timer's handler may be what runs now: it is let go once it has returned.
        m_queue->async([timer = std::move(m_deadline)] {});
    }
    for (const auto& unit : std::as_const(m_units))
        for (const QString& batchId : unit->pendingBatchIds())
            m_report.batches << TLMFlushedBatch{
                unit->configuration().groupId,    batchId, std::nullopt, std::nullopt, true,
                unit->pendingBatchStatus(batchId)};
    m_scheduler.asyncMain([done = std::move(m_done), report = std::move(m_report)] {
        if (done)
            done(report);
    });
    m_units.clear();
}

} // namespace

bool TLMFlushedBatch::succeeded() const {
    return !pending && !error && response && TLMHttpUtil::isSuccessStatusCode(response->statusCode);
}

bool TLMFlushReport::allSucceeded() const {
    return !batches.isEmpty() && std::all_of(batches.cbegin(), batches.cend(),
                                             [](const auto& batch) { return batch.succeeded(); });
}

void TLMChannelGroup::flushStoredLogs(const TLMChannelUnitConfiguration& configuration,
                                      std::chrono::seconds timeout,
                                      std::function<void(TLMFlushReport)> done) {
    auto run = std::make_shared<FlushRun>(m_queue, m_context.scheduler, std::move(done));
    // The task may outlive this group (the queue's other owners keep it
    // going), so it holds what it needs, not the group.
    m_queue->async([context = m_context, ingestion = m_ingestion, storage = m_storage,
                    queue = m_queue, region = m_dataResidencyRegion, run, configuration, timeout] {
        QList<std::shared_ptr<TLMChannelUnitDefault>> units;
        for (const QString& groupId : storage->groupIds()) {
            TLMChannelUnitConfiguration forGroup = configuration;
            forGroup.groupId = groupId;
            units << TLMChannelUnitDefault::create(context, ingestion, storage, forGroup, queue,
                                                   region);
        }
        // After the units have counted what is stored (a task each, queued
        // when they were made), or they would count the logs this flush took.
        queue->async([run, units, timeout] { run->start(units, timeout); });
    });
}

} // namespace qrv
