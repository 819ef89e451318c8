#include "telemetry/TLMChannelUnitDefault.h"

#include "platform/UserDefaults.h"
#include "telemetry/TLMHttpUtil.h"
#include "telemetry/TLMLogging.h"

#include <QCoreApplication>
#include <QUuid>

using namespace std::chrono_literals;

namespace qrv {

QString TLMChannelUnitDefault::startTimerKey(const QString& groupId) {
    return QStringLiteral("%1:%2").arg(QStringLiteral("ChannelStartTimer"), groupId);
}

std::shared_ptr<TLMChannelUnitDefault> TLMChannelUnitDefault::create(
    const TLMContext& context, std::shared_ptr<TLMHttpIngestion> ingestion,
    std::shared_ptr<TLMLogDBStorage> storage, TLMChannelUnitConfiguration configuration,
    std::shared_ptr<SerialQueue> logsDispatchQueue, QString dataResidencyRegion) {
    std::shared_ptr<TLMChannelUnitDefault> unit(new TLMChannelUnitDefault(
        context, std::move(ingestion), std::move(storage), std::move(configuration),
        std::move(logsDispatchQueue), std::move(dataResidencyRegion)));
    // The store belongs to the queue, so it is counted there, before any log.
    unit->onQueue(
        [](TLMChannelUnitDefault& self) { self.m_itemsCount = self.m_storage->countLogs(); });
    return unit;
}

TLMChannelUnitDefault::TLMChannelUnitDefault(const TLMContext& context,
                                             std::shared_ptr<TLMHttpIngestion> ingestion,
                                             std::shared_ptr<TLMLogDBStorage> storage,
                                             TLMChannelUnitConfiguration configuration,
                                             std::shared_ptr<SerialQueue> logsDispatchQueue,
                                             QString dataResidencyRegion)
    : m_context(context)
    , m_ingestion(std::move(ingestion))
    , m_storage(std::move(storage))
    , m_configuration(std::move(configuration))
    , m_logsDispatchQueue(std::move(logsDispatchQueue))
    , m_dataResidencyRegion(std::move(dataResidencyRegion)) {}

TLMChannelUnitDefault::~TLMChannelUnitDefault() {
    if (m_timerSource)
        m_timerSource->cancel();
}

void TLMChannelUnitDefault::onQueue(std::function<void(TLMChannelUnitDefault&)> work) {
    m_logsDispatchQueue->async([weak = weak_from_this(), work = std::move(work)] {
        if (auto self = weak.lock())
            work(*self);
    });
}

QList<std::shared_ptr<TLMChannelDelegate>> TLMChannelUnitDefault::delegates() const {
    std::lock_guard lock(m_delegateMutex);
    return m_delegates;
}

template <typename Call> void TLMChannelUnitDefault::forEachDelegate(Call call) {
    for (const auto& delegate : delegates())
        call(*delegate);
}

void TLMChannelUnitDefault::addDelegate(std::shared_ptr<TLMChannelDelegate> delegate) {
    std::lock_guard lock(m_delegateMutex);
    if (delegate && !m_delegates.contains(delegate))
        m_delegates.append(std::move(delegate));
}

void TLMChannelUnitDefault::removeDelegate(const TLMChannelDelegate* delegate) {
    std::lock_guard lock(m_delegateMutex);
    m_delegates.removeIf([delegate](const auto& d) { return d.get() == delegate; });
}

QDateTime TLMChannelUnitDefault::now() const {
    return m_context.scheduler.now();
}

// MARK: Enqueueing

void TLMChannelUnitDefault::enqueueItem(const TLMLogPtr& log, quint32 flags,
                                        EnqueueCompletion completion) {
    auto refuse = [&] {
        if (completion)
            onQueue([completion](TLMChannelUnitDefault&) { completion(false); });
    };
    if (!log)
        return refuse();
    if (!log->timestamp.isValid())
        log->timestamp = now();
    if (!log->device)
        log->device = TLMDevice::current();
    if (log->dataResidencyRegion.isEmpty())
        log->dataResidencyRegion = m_dataResidencyRegion;
    if (!log->isValid()) {
        qCWarning(lcTelemetryChannel, "Log of type '%s' is not valid; it is dropped.",
                  qPrintable(log->type()));
        return refuse();
    }
    const QString internalId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    forEachDelegate([&](TLMChannelDelegate& d) { d.prepareLog(*this, log); });
    forEachDelegate([&](TLMChannelDelegate& d) { d.didPrepareLog(*this, log, internalId, flags); });
    onQueue([log, flags, internalId, completion](TLMChannelUnitDefault& self) {
        self.storeLog(log, flags, internalId, completion);
    });
}

void TLMChannelUnitDefault::storeLog(const TLMLogPtr& log, quint32 flags, const QString& internalId,
                                     const EnqueueCompletion& completion) {
    auto completeEnqueueing = [&](bool stored) {
        forEachDelegate(
            [&](TLMChannelDelegate& d) { d.didCompleteEnqueueingLog(*this, log, internalId); });
        if (completion)
            completion(stored);
    };
    bool filtered = false;
    forEachDelegate(
        [&](TLMChannelDelegate& d) { filtered = d.shouldFilterLog(*this, log) || filtered; });
    if (filtered) {
        qCDebug(lcTelemetryChannel, "Log of type '%s' was filtered out by a delegate.",
                qPrintable(log->type()));
        return completeEnqueueing(false);
    }
    if (!m_ingestion->isReadyToSend()) {
        qCDebug(lcTelemetryChannel, "The ingestion is not ready to send; log of type '%s' dropped.",
                qPrintable(log->type()));
        return completeEnqueueing(false);
    }
    if (m_discardLogs) {
        qCWarning(lcTelemetryChannel, "Channel %s is disabled; log of type '%s' discarded.",
                  qPrintable(m_configuration.groupId), qPrintable(log->type()));
        notifyFailureBeforeSending(log, TLMHttpError::canceledWithDeletion());
        return completeEnqueueing(false);
    }
    const bool stored = m_storage->saveLog(log, m_configuration.groupId, flags);
    completeEnqueueing(stored);
    if (!stored)
        return;
    ++m_itemsCount;
    qCDebug(lcTelemetryChannel, "Saved log in group %s; %lld log(s) not flushed yet.",
            qPrintable(m_configuration.groupId), m_itemsCount);
    checkPendingLogs();
}

// A log that never reaches the service is announced as if it had been about
// to go, so that delegates pairing the calls see every log end.
void TLMChannelUnitDefault::notifyFailureBeforeSending(const TLMLogPtr& log,
                                                       const TLMHttpError& error) {
    forEachDelegate([&](TLMChannelDelegate& d) { d.willSendLog(*this, log); });
    forEachDelegate([&](TLMChannelDelegate& d) { d.didFailSendingLog(*this, log, error); });
}

// MARK: Flushing

void TLMChannelUnitDefault::checkPendingLogs() {
    if (!m_paused &&
        m_configuration.flushInterval == TLMChannelUnitConfiguration::kDefaultFlushInterval &&
        m_itemsCount >= qint64(m_configuration.batchSizeLimit)) {
        flushQueue();
    } else if (m_itemsCount > 0 && !m_paused) {
        const unsigned interval = resolveFlushInterval();
        if (interval == 0)
            flushQueue();
        else
            startTimer(interval);
    }
}

unsigned TLMChannelUnitDefault::resolveFlushInterval() {
    const unsigned interval = m_configuration.flushInterval;
    if (interval <= TLMChannelUnitConfiguration::kDefaultFlushInterval)
        return interval;
    // User defaults lock themselves, so they may be used from the logs queue.
    UserDefaults& defaults = m_context.userDefaults;
    // The wait is measured from the oldest unsent log, so that it survives a restart.
    const QString key = startTimerKey(m_configuration.groupId);
    const QDateTime current = now();
    const QDateTime start = defaults.objectForKey(key).toDateTime();
    if (!start.isValid() || start > current) {
        defaults.setObject(key, current);
        return interval;
    }
    const qint64 waited = start.secsTo(current);
    if (waited >= qint64(interval)) {
        defaults.removeObject(key);
        return 0;
    }
    return unsigned(qint64(interval) - waited);
}

void TLMChannelUnitDefault::startTimer(unsigned seconds) {
    if (!m_enabled)
        return;
    resetTimer();
    m_timerSource = m_logsDispatchQueue->startTimer(
        std::chrono::seconds(seconds), 1s, [weak = weak_from_this()] {
            auto self = weak.lock();
            if (!self)
                return;
            if (self->m_itemsCount > 0)
                self->flushQueue();
            self->resetTimer();
            self->m_context.userDefaults.removeObject(startTimerKey(self->m_configuration.groupId));
        });
}

void TLMChannelUnitDefault::resetTimer() {
    if (m_timerSource)
        m_timerSource->cancel();
    m_timerSource.reset();
}

void TLMChannelUnitDefault::flushQueue() {
    if (!m_ingestion->isEnabled() || !m_enabled || !m_ingestion->isReadyToSend())
        return;
    resetTimer();
    if (m_paused || m_pendingBatchQueueFull) {
        if (m_itemsCount >= qint64(m_configuration.batchSizeLimit)) {
            m_availableBatchFromStorage = true;
            m_itemsCount = 0;
        }
        return;
    }
    m_itemsCount = 0;
    // Batch after batch while the store has more and there is room in flight;
    // a load that finds nothing to send ends it, whatever it says is left.
    bool sent = true;
    do {
        TLMLogContainer container;
        m_availableBatchFromStorage = m_storage->loadLogsWithGroupId(
            m_configuration.groupId, int(m_configuration.batchSizeLimit), m_pausedTargetKeys,
            [&container](const QList<TLMLogPtr>& logs, const QString& batchId) {
                container = TLMLogContainer{batchId, logs};
            });
        sent = !container.logs.isEmpty();
        if (sent)
            sendLogContainer(container);
    } while (sent && m_availableBatchFromStorage && !m_pendingBatchQueueFull);
}

// MARK: Sending

void TLMChannelUnitDefault::sendLogContainer(const TLMLogContainer& container) {
    m_pendingBatchIds.append(container.batchId);
    if (m_pendingBatchIds.size() >= qsizetype(m_configuration.pendingBatchesLimit))
        m_pendingBatchQueueFull = true;
    qCDebug(lcTelemetryChannel, "Sending batch %s of %lld log(s) in group %s.",
            qPrintable(container.batchId), qint64(container.logs.size()),
            qPrintable(m_configuration.groupId));
    for (const TLMLogPtr& log : container.logs)
        forEachDelegate([&](TLMChannelDelegate& d) { d.willSendLog(*this, log); });
    // The answer comes back on the queue's thread, but may come at once (a
    // refused batch): handing over keeps this flush from re-entering itself.
    const auto call = m_ingestion->sendAsync(
        container.ingestionBatch(),
        [weak = weak_from_this(), container](const QByteArray&,
                                             const std::optional<TLMHttpResponse>& response,
                                             const std::optional<TLMHttpError>& error) {
            if (auto self = weak.lock())
                self->onQueue([container, response, error](TLMChannelUnitDefault& unit) {
                    unit.batchCompleted(container, response, error);
                });
        });
    if (call)
        m_batchCalls.insert(container.batchId, call);
}

void TLMChannelUnitDefault::batchCompleted(const TLMLogContainer& container,
                                           const std::optional<TLMHttpResponse>& response,
                                           const std::optional<TLMHttpError>& error) {
    const QString& batchId = container.batchId;
    m_batchCalls.remove(batchId);
    if (!m_pendingBatchIds.contains(batchId)) {
        qCDebug(lcTelemetryChannel, "Batch %s ended after the channel was disabled; ignored.",
                qPrintable(batchId));
        return;
    }
    const int statusCode = response ? response->statusCode : 0;
    const bool succeeded = !error && TLMHttpUtil::isSuccessStatusCode(statusCode);
    if (succeeded) {
        for (const TLMLogPtr& log : container.logs)
            forEachDelegate([&](TLMChannelDelegate& d) { d.didSucceedSendingLog(*this, log); });
        m_storage->deleteLogsWithBatchId(batchId, m_configuration.groupId);
    } else {
        const TLMHttpError failure = error.value_or(TLMHttpError::httpStatus(statusCode));
        qCWarning(lcTelemetryChannel, "Batch %s of group %s failed: %s", qPrintable(batchId),
                  qPrintable(m_configuration.groupId), qPrintable(failure.description));
        for (const TLMLogPtr& log : container.logs)
            forEachDelegate(
                [&](TLMChannelDelegate& d) { d.didFailSendingLog(*this, log, failure); });
    }
    forEachDelegate(
        [&](TLMChannelDelegate& d) { d.didFinishSendingBatch(*this, batchId, response, error); });
    if (!succeeded && !TLMHttpUtil::isRecoverableError(statusCode)) {
        changeEnabled(false, true);
        return;
    }
    m_pendingBatchIds.removeOne(batchId);
    if (m_pendingBatchQueueFull &&
        m_pendingBatchIds.size() < qsizetype(m_configuration.pendingBatchesLimit)) {
        m_pendingBatchQueueFull = false;
        if (m_availableBatchFromStorage)
            flushQueue();
    }
}

bool TLMChannelUnitDefault::isIdle() const {
    return m_pendingBatchIds.isEmpty() && !m_availableBatchFromStorage && m_itemsCount == 0;
}

QString TLMChannelUnitDefault::pendingBatchStatus(const QString& batchId) const {
    const auto call = m_batchCalls.value(batchId);
    if (call && !call->lastFailure().isEmpty())
        return call->lastFailure();
    if (m_ingestion->client().isPaused())
        return QCoreApplication::translate("TLMChannelUnitDefault", "waiting for the network");
    return QCoreApplication::translate("TLMChannelUnitDefault", "no answer yet");
}

// MARK: Pause, resume, enable

void TLMChannelUnitDefault::pauseWithIdentifyingObject(const void* identifyingObject) {
    onQueue([identifyingObject](TLMChannelUnitDefault& self) { self.pause(identifyingObject); });
}

void TLMChannelUnitDefault::resumeWithIdentifyingObject(const void* identifyingObject) {
    onQueue([identifyingObject](TLMChannelUnitDefault& self) { self.resume(identifyingObject); });
}

void TLMChannelUnitDefault::pause(const void* identifyingObject) {
    m_pausedIdentifyingObjects.insert(identifyingObject);
    if (m_paused)
        return;
    qCDebug(lcTelemetryChannel, "Pause channel %s.", qPrintable(m_configuration.groupId));
    m_paused = true;
    resetTimer();
}

void TLMChannelUnitDefault::resume(const void* identifyingObject) {
    m_pausedIdentifyingObjects.remove(identifyingObject);
    if (!m_paused || !m_pausedIdentifyingObjects.isEmpty())
        return;
    qCDebug(lcTelemetryChannel, "Resume channel %s.", qPrintable(m_configuration.groupId));
    m_paused = false;
    // A flush while paused may have left whole batches waiting in the store
    // with nothing counted: those go at once.
    if (m_availableBatchFromStorage)
        flushQueue();
    else
        checkPendingLogs();
}

void TLMChannelUnitDefault::pauseSendingLogsWithToken(const QString& token) {
    const QString key = TLMAbstractLog::targetKeyFromToken(token);
    onQueue([key](TLMChannelUnitDefault& self) { self.m_pausedTargetKeys.insert(key); });
}

void TLMChannelUnitDefault::resumeSendingLogsWithToken(const QString& token) {
    const QString key = TLMAbstractLog::targetKeyFromToken(token);
    onQueue([key](TLMChannelUnitDefault& self) {
        self.m_pausedTargetKeys.remove(key);
        self.checkPendingLogs();
    });
}

void TLMChannelUnitDefault::setEnabled(bool enabled, bool deleteDataOnDisabled) {
    onQueue([enabled, deleteDataOnDisabled](TLMChannelUnitDefault& self) {
        self.changeEnabled(enabled, deleteDataOnDisabled);
    });
}

void TLMChannelUnitDefault::changeEnabled(bool enabled, bool deleteDataOnDisabled) {
    if (m_enabled != enabled) {
        m_enabled = enabled;
        if (enabled)
            resume(this);
        else
            pause(this);
    }
    if (!enabled && deleteDataOnDisabled) {
        qCWarning(lcTelemetryChannel, "Channel %s disabled; its logs are deleted.",
                  qPrintable(m_configuration.groupId));
        deleteAllLogs(TLMHttpError::canceledWithDeletion());
        m_itemsCount = 0;
        m_availableBatchFromStorage = false;
        m_pendingBatchQueueFull = false;
        m_discardLogs = true;
    } else {
        m_discardLogs = false;
    }
}

void TLMChannelUnitDefault::deleteAllLogs(const TLMHttpError& error) {
    for (const QString& batchId : std::as_const(m_pendingBatchIds))
        m_storage->deleteLogsWithBatchId(batchId, m_configuration.groupId);
    m_pendingBatchIds.clear();
    m_batchCalls.clear();
    const QList<TLMLogPtr> deleted = m_storage->deleteLogsWithGroupId(m_configuration.groupId);
    for (const TLMLogPtr& log : deleted)
        notifyFailureBeforeSending(log, error);
}

} // namespace qrv
