#pragma once

#include "telemetry/TLMChannelUnitDefault.h"
#include "telemetry/TLMReachability.h"
#include "telemetry/TLMTelemetryConfig.h"

namespace qrv {

// What a channel group is built from. Empty fields take the program's own.
struct TLMChannelGroupOptions {
    TLMTelemetryConfig config = TLMTelemetryConfig::standard();
    QString storagePath;                           // empty: Logs.sqlite in the data folder
    std::shared_ptr<TLMReachability> reachability; // null: the system's network information
    QString dataResidencyRegion;
};

// The pieces every channel unit shares: the library's serial queue, the log
// store, and the log endpoint with its HTTP client. It makes the units and
// keeps them for its life. Create it on the main thread with a scheduler
// installed.
class TLMChannelGroup {
  public:
    static inline const QString kQueueLabel = QStringLiteral("telemetry.ChannelGroupQueue");
    // The user default that keeps this installation's identifier.
    static inline const QString kInstallIdKey = QStringLiteral("TelemetryInstallID");

    explicit TLMChannelGroup(const TLMChannelGroupOptions& options);
    ~TLMChannelGroup();
    TLMChannelGroup(const TLMChannelGroup&) = delete;
    TLMChannelGroup& operator=(const TLMChannelGroup&) = delete;

    // A unit for the configuration's group; logs an earlier run left in the
    // store are looked at once the unit is ready.
    std::shared_ptr<TLMChannelUnitDefault>
    addChannelUnit(const TLMChannelUnitConfiguration& configuration);
    std::shared_ptr<TLMChannelUnitDefault> channelUnit(const QString& groupId) const;

    const std::shared_ptr<SerialQueue>& logsDispatchQueue() const { return m_queue; }
    const std::shared_ptr<TLMLogDBStorage>& storage() const { return m_storage; }
    const std::shared_ptr<TLMHttpIngestion>& ingestion() const { return m_ingestion; }

    // The installation's identifier, made once and kept in the user defaults.
    static QString installId();

  private:
    std::shared_ptr<SerialQueue> m_queue;
    std::shared_ptr<TLMLogDBStorage> m_storage;
    std::shared_ptr<TLMHttpClient> m_client;
    std::shared_ptr<TLMHttpIngestion> m_ingestion;
    QString m_dataResidencyRegion;
    QList<std::shared_ptr<TLMChannelUnitDefault>> m_units;
};

} // namespace qrv
