#include "telemetry/TLMChannelUnitConfiguration.h"

namespace qrv {

TLMChannelUnitConfiguration
TLMChannelUnitConfiguration::defaultConfiguration(const QString& groupId, unsigned flushInterval) {
    return TLMChannelUnitConfiguration{
        .groupId = groupId,
        .priority = 1,
        .flushInterval = flushInterval,
        .batchSizeLimit = 50,
        .pendingBatchesLimit = 3,
    };
}

} // namespace qrv
