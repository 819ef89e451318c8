#pragma once

#include "telemetry/TLMChannelUnitDefault.h"
#include "telemetry/TLMContext.h"
#include "telemetry/TLMReachability.h"
#include "telemetry/TLMTelemetryConfig.h"

namespace qrv {

// What a channel group is built from. Empty fields take the program's own.
struct TLMChannelGroupOptions {
    TLMTelemetryConfig config = TLMTelemetryConfig::standard();
    QString storagePath; // empty: Logs.sqlite in the context's data folder
    std::shared_ptr<TLMReachability> reachability; // null: the system's network information
    QString dataResidencyRegion;
};

// How one batch of a flush ended, or that it had not ended in time.
struct TLMFlushedBatch {
    QString groupId;
    QString batchId;
    std::optional<TLMHttpResponse> response; // when the service answered
    std::optional<TLMHttpError> error;       // when the request failed
    bool pending = false; // still in flight when the time was up; its logs stay stored
    QString lastFailure;  // for a pending batch: how its request last failed, or that it waits

    bool succeeded() const;
};

struct TLMFlushReport {
    QList<TLMFlushedBatch> batches; // in the order they ended; pending ones last
    // Every batch was answered with a 2xx (and there was at least one).
    bool allSucceeded() const;
};

// The pieces every channel unit shares: the library's serial queue, the log
// store, and the log endpoint with its HTTP client. It makes the units and
// keeps them for its life. Create it on the main thread; the context must
// outlive it.
class TLMChannelGroup {
  public:
    static inline const QString kQueueLabel = QStringLiteral("telemetry.ChannelGroupQueue");
    // The user default that keeps this installation's identifier.
    static inline const QString kInstallIdKey = QStringLiteral("TelemetryInstallID");

    TLMChannelGroup(const TLMContext& context, const TLMChannelGroupOptions& options);
    ~TLMChannelGroup();
    TLMChannelGroup(const TLMChannelGroup&) = delete;
    TLMChannelGroup& operator=(const TLMChannelGroup&) = delete;

    // A unit for the configuration's group; logs an earlier run left in the
    // store are looked at once the unit is ready.
    std::shared_ptr<TLMChannelUnitDefault>
    addChannelUnit(const TLMChannelUnitConfiguration& configuration);
    std::shared_ptr<TLMChannelUnitDefault> channelUnit(const QString& groupId) const;

    const TLMContext& context() const { return m_context; }
    const std::shared_ptr<SerialQueue>& logsDispatchQueue() const { return m_queue; }
    const std::shared_ptr<TLMLogDBStorage>& storage() const { return m_storage; }
    const std::shared_ptr<TLMHttpIngestion>& ingestion() const { return m_ingestion; }

    // Sends every log in the store: one unit of the given configuration per
    // group found there (its group identifier set to the group's), until no
    // batch is in flight or the time is up, whichever comes first. Then hands
    // the report to `done` on the main thread. Logs of batches that did not
    // end stay stored; a batch refused with a final answer has its group's
    // logs deleted, as a unit does.
    void flushStoredLogs(const TLMChannelUnitConfiguration& configuration,
                         std::chrono::seconds timeout, std::function<void(TLMFlushReport)> done);

    // The installation's identifier, made once and kept in the user defaults.
    static QString installId(UserDefaults& defaults);

  private:
    const TLMContext m_context;
    std::shared_ptr<SerialQueue> m_queue;
    std::shared_ptr<TLMLogDBStorage> m_storage;
    std::shared_ptr<TLMHttpClient> m_client;
    std::shared_ptr<TLMHttpIngestion> m_ingestion;
    QString m_dataResidencyRegion;
    QList<std::shared_ptr<TLMChannelUnitDefault>> m_units;
};

} // namespace qrv
