#pragma once

#include <QString>

namespace qrv {

class TLMChannelGroup;
struct TLMTelemetryOptions;

// A telemetry service the library can start (the program starts the crash
// service only). Services are process-wide; TLMTelemetry starts each once.
class TLMService {
  public:
    virtual ~TLMService() = default;
    virtual QString serviceName() const = 0;
    // On the main thread, with the group the service makes its unit in.
    virtual void startWithChannelGroup(TLMChannelGroup& group,
                                       const TLMTelemetryOptions& options) = 0;
    // Lets go of the group's objects before the group goes.
    virtual void stop() = 0;
};

// How a service is named when starting the library: its shared instance.
using TLMServiceClass = TLMService& (*)();

} // namespace qrv
