#pragma once

#include "platform/Scheduler.h"
#include "telemetry/TLMChannelDelegate.h"
#include "telemetry/TLMChannelUnitConfiguration.h"
#include "telemetry/TLMContext.h"
#include "telemetry/TLMHttpIngestion.h"
#include "telemetry/TLMLogContainer.h"
#include "telemetry/TLMLogDBStorage.h"

#include <QSet>
#include <QStringList>
#include <memory>
#include <mutex>

namespace qrv {

// Takes the logs of one service, keeps each in the store, and moves stored
// logs to the service in batches: it decides when to flush, keeps at most
// `pendingBatchesLimit` batches in flight, and deletes or keeps a batch by
// how its request ended.
//
// Everything but the first steps of enqueueItem() runs on the logs queue;
// the public operations may be called from any thread and hand over to it.
class TLMChannelUnitDefault : public std::enable_shared_from_this<TLMChannelUnitDefault> {
  public:
    // The user default that remembers when the oldest unsent log of a group
    // arrived, for flush intervals longer than the default.
    static QString startTimerKey(const QString& groupId);

    // The context gives "now" and keeps the oldest unsent log's time for long
    // flush intervals; it must outlive the unit.
    static std::shared_ptr<TLMChannelUnitDefault>
    create(const TLMContext& context, std::shared_ptr<TLMHttpIngestion> ingestion,
           std::shared_ptr<TLMLogDBStorage> storage, TLMChannelUnitConfiguration configuration,
           std::shared_ptr<SerialQueue> logsDispatchQueue, QString dataResidencyRegion = {});
    ~TLMChannelUnitDefault();
    TLMChannelUnitDefault(const TLMChannelUnitDefault&) = delete;
    TLMChannelUnitDefault& operator=(const TLMChannelUnitDefault&) = delete;

    const TLMChannelUnitConfiguration& configuration() const { return m_configuration; }

    // Called on the logs queue with whether the store took the log.
    using EnqueueCompletion = std::function<void(bool stored)>;
    // From any thread. Completes what the log lacks (timestamp, device,
    // region), drops it when it is invalid, then stores it on the logs queue.
    void enqueueItem(const TLMLogPtr& log, quint32 flags, EnqueueCompletion completion = {});

    void pauseWithIdentifyingObject(const void* identifyingObject);
    void resumeWithIdentifyingObject(const void* identifyingObject);
    // Holds back (resumes) the logs addressed to the token's target.
    void pauseSendingLogsWithToken(const QString& token);
    void resumeSendingLogsWithToken(const QString& token);
    // Disabling with deletion deletes the group's logs and discards new ones
    // until the unit is enabled again.
    void setEnabled(bool enabled, bool deleteDataOnDisabled);

    void addDelegate(std::shared_ptr<TLMChannelDelegate> delegate);
    void removeDelegate(const TLMChannelDelegate* delegate);

    // On the logs queue.
    void flushQueue();
    void checkPendingLogs();
    void sendLogContainer(const TLMLogContainer& container);
    void startTimer(unsigned seconds);
    void resetTimer();
    unsigned resolveFlushInterval();

    // State, for the logs queue (tests and diagnostics).
    qint64 itemsCount() const { return m_itemsCount; }
    const QStringList& pendingBatchIds() const { return m_pendingBatchIds; }
    bool isPendingBatchQueueFull() const { return m_pendingBatchQueueFull; }
    bool isAvailableBatchFromStorage() const { return m_availableBatchFromStorage; }
    bool isPaused() const { return m_paused; }
    bool isEnabled() const { return m_enabled; }
    bool isDiscardingLogs() const { return m_discardLogs; }
    bool isTimerRunning() const { return m_timerSource && m_timerSource->isActive(); }
    // Nothing in flight and nothing known to wait in the store for a flush.
    bool isIdle() const;
    // Why a batch in flight has not ended, for people: how its request last
    // failed ("connection refused", "HTTP 503"), else that it waits.
    QString pendingBatchStatus(const QString& batchId) const;

  private:
    TLMChannelUnitDefault(const TLMContext& context, std::shared_ptr<TLMHttpIngestion> ingestion,
                          std::shared_ptr<TLMLogDBStorage> storage,
                          TLMChannelUnitConfiguration configuration,
                          std::shared_ptr<SerialQueue> logsDispatchQueue,
                          QString dataResidencyRegion);
    void onQueue(std::function<void(TLMChannelUnitDefault&)> work);
    QList<std::shared_ptr<TLMChannelDelegate>> delegates() const;
    template <typename Call> void forEachDelegate(Call call);

    void storeLog(const TLMLogPtr& log, quint32 flags, const QString& internalId,
                  const EnqueueCompletion& completion);
    void notifyFailureBeforeSending(const TLMLogPtr& log, const TLMHttpError& error);
    void batchCompleted(const TLMLogContainer& container,
                        const std::optional<TLMHttpResponse>& response,
                        const std::optional<TLMHttpError>& error);
    void pause(const void* identifyingObject);
    void resume(const void* identifyingObject);
    void changeEnabled(bool enabled, bool deleteDataOnDisabled);
    void deleteAllLogs(const TLMHttpError& error);
    QDateTime now() const;

    const TLMContext m_context;
    std::shared_ptr<TLMHttpIngestion> m_ingestion;
    std::shared_ptr<TLMLogDBStorage> m_storage;
    const TLMChannelUnitConfiguration m_configuration;
    std::shared_ptr<SerialQueue> m_logsDispatchQueue;
    const QString m_dataResidencyRegion;

    qint64 m_itemsCount = 0;
    QStringList m_pendingBatchIds;
    QHash<QString, std::shared_ptr<const TLMHttpCall>> m_batchCalls; // batch id -> its request
    bool m_pendingBatchQueueFull = false;
    bool m_availableBatchFromStorage = false;
    bool m_paused = false;
    bool m_enabled = true;
    bool m_discardLogs = false;
    QSet<const void*> m_pausedIdentifyingObjects;
    QSet<QString> m_pausedTargetKeys;
    std::shared_ptr<QueueTimer> m_timerSource;

    mutable std::mutex m_delegateMutex;
    QList<std::shared_ptr<TLMChannelDelegate>> m_delegates;
};

} // namespace qrv
