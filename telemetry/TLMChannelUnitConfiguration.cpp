#include "telemetry/TLMChannelUnitConfiguration.h"

namespace qrv {

TLMChannelUnitConfiguration
TLMChannelUnitConfiguration::defaultConfiguration(const QString& groupId, unsigned flushInterval) {
    return TLMChannelUnitConfiguration{groupId, 1, flushInterval, 50, 3};
}

} // namespace qrv
