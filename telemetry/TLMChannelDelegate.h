#pragma once

#include "telemetry/TLMAbstractLog.h"
#include "telemetry/TLMHttpTypes.h"

#include <optional>

namespace qrv {

class TLMChannelUnitDefault;

// Listens to a channel unit. For one log the calls come in this order:
// prepareLog, didPrepareLog (on the enqueueing thread), shouldFilterLog,
// didCompleteEnqueueingLog, willSendLog, then didSucceedSendingLog or
// didFailSendingLog (on the logs queue). Every operation is optional.
class TLMChannelDelegate {
  public:
    virtual ~TLMChannelDelegate() = default;

    virtual void prepareLog(TLMChannelUnitDefault&, const TLMLogPtr&) {}
    virtual void didPrepareLog(TLMChannelUnitDefault&, const TLMLogPtr&,
                               const QString& /*internalId*/, quint32 /*flags*/) {}
    // Any delegate answering true keeps the log from being stored.
    virtual bool shouldFilterLog(TLMChannelUnitDefault&, const TLMLogPtr&) { return false; }
    virtual void didCompleteEnqueueingLog(TLMChannelUnitDefault&, const TLMLogPtr&,
                                          const QString& /*internalId*/) {}
    virtual void willSendLog(TLMChannelUnitDefault&, const TLMLogPtr&) {}
    virtual void didSucceedSendingLog(TLMChannelUnitDefault&, const TLMLogPtr&) {}
    virtual void didFailSendingLog(TLMChannelUnitDefault&, const TLMLogPtr&, const TLMHttpError&) {}
    // After the logs of a batch were told: how the request that carried it ended.
    virtual void didFinishSendingBatch(TLMChannelUnitDefault&, const QString& /*batchId*/,
                                       const std::optional<TLMHttpResponse>&,
                                       const std::optional<TLMHttpError>&) {}
};

} // namespace qrv
