#include "telemetry/TLMChannelGroup.h"

#include "platform/UserDefaults.h"
#include "telemetry/TLMReachabilityMonitor.h"
#include "telemetry/TLMServiceIngestion.h"

#include <QUuid>

namespace qrv {
namespace {

// This machine's own address answers whatever the outside network does, so
// a service on loopback must not wait for the network to come "online".
class LoopbackReachability final : public TLMReachability {
  public:
    bool isReachable() const override { return true; }
    void start(Handler) override {}
    void stop() override {}
};

std::shared_ptr<TLMReachability> reachabilityFor(const TLMChannelGroupOptions& options) {
    if (options.reachability)
        return options.reachability;
    if (options.config.targetsLoopback())
        return std::make_shared<LoopbackReachability>();
    return std::make_shared<TLMReachabilityMonitor>();
}

} // namespace

TLMChannelGroup::TLMChannelGroup(const TLMContext& context, const TLMChannelGroupOptions& options)
    : m_context(context)
    , m_queue(context.scheduler.createSerialQueue(kQueueLabel))
    , m_storage(std::make_shared<TLMLogDBStorage>(options.storagePath.isEmpty()
                                                      ? context.dataFolder + QLatin1Char('/') +
                                                            TLMLogDBStorage::kFileName
                                                      : options.storagePath,
                                                  TLMEncrypter::withKeyIn(context.userDefaults)))
    , m_client(TLMHttpClient::create(m_queue, reachabilityFor(options)))
    , m_ingestion(std::make_shared<TLMServiceIngestion>(m_client, options.config,
                                                        installId(context.userDefaults)))
    , m_dataResidencyRegion(options.dataResidencyRegion) {}

TLMChannelGroup::~TLMChannelGroup() = default;

std::shared_ptr<TLMChannelUnitDefault>
TLMChannelGroup::addChannelUnit(const TLMChannelUnitConfiguration& configuration) {
    auto unit = TLMChannelUnitDefault::create(m_context, m_ingestion, m_storage, configuration,
                                              m_queue, m_dataResidencyRegion);
    m_units.append(unit);
    // Without this, logs kept after a failed upload would wait for the next new log.
    m_queue->async([weak = std::weak_ptr(unit)] {
        if (auto unit = weak.lock())
            unit->checkPendingLogs();
    });
    return unit;
}

std::shared_ptr<TLMChannelUnitDefault> TLMChannelGroup::channelUnit(const QString& groupId) const {
    for (const auto& unit : m_units)
        if (unit->configuration().groupId == groupId)
            return unit;
    return nullptr;
}

QString TLMChannelGroup::installId(UserDefaults& defaults) {
    QString id = defaults.stringForKey(kInstallIdKey);
    if (!QUuid::fromString(id).isNull())
        return id;
    id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    defaults.setObject(kInstallIdKey, id);
    return id;
}

} // namespace qrv
