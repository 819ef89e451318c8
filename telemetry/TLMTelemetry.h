#pragma once

#include "telemetry/TLMChannelGroup.h"
#include "telemetry/TLMService.h"

#include <QList>

namespace qrv {

struct TLMTelemetryOptions {
    TLMChannelGroupOptions group;
    // Off in tests that run in the test process itself.
    bool installCrashHandlers = true;
};

// The library's entry: builds the channel group (queue, store, upload) and
// starts the given services in it. Call on the main thread; the context is
// copied, and the services it names must outlive the run (until stop()).
class TLMTelemetry {
  public:
    // The shipped address with the given app secret.
    static void start(const TLMContext& context, const QString& appSecret,
                      const QList<TLMServiceClass>& services);
    static void start(const TLMContext& context, const TLMTelemetryOptions& options,
                      const QList<TLMServiceClass>& services);
    static bool isStarted();
    // Stops the services and lets the group go (tests; the end of the program).
    static void stop();
    // Stops, and forgets what was set on the services without a start (the
    // crash service's delegate and confirmation handler): the process is as
    // it was before the first call. For test fixtures.
    static void reset();
    // The running group, or null.
    static TLMChannelGroup* channelGroup();
};

} // namespace qrv
