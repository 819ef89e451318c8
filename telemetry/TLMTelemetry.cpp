#include "telemetry/TLMTelemetry.h"

#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMLogging.h"

namespace qrv {
namespace {

struct Running {
    std::unique_ptr<TLMChannelGroup> group;
    QList<TLMService*> services;
};

Running& running() {
    static Running instance;
    return instance;
}

} // namespace

void TLMTelemetry::start(const TLMContext& context, const QString& appSecret,
                         const QList<TLMServiceClass>& services) {
    TLMTelemetryOptions options;
    options.group.config.appSecret = appSecret;
    start(context, options, services);
}

void TLMTelemetry::start(const TLMContext& context, const TLMTelemetryOptions& options,
                         const QList<TLMServiceClass>& services) {
    Running& state = running();
    if (state.group) {
        qCWarning(lcTelemetry, "Telemetry has been started already; the second start is ignored.");
        return;
    }
    if (!options.group.config.hasValidAppSecret())
        qCWarning(lcTelemetry, "The app secret is not a UUID; no log will be sent.");
    state.group = std::make_unique<TLMChannelGroup>(context, options.group);
    for (TLMServiceClass serviceClass : services) {
        TLMService& service = serviceClass();
        if (state.services.contains(&service))
            continue;
        service.startWithChannelGroup(*state.group, options);
        state.services << &service;
        qCInfo(lcTelemetry, "Started the service %s.", qPrintable(service.serviceName()));
    }
}

bool TLMTelemetry::isStarted() {
    return running().group != nullptr;
}

void TLMTelemetry::stop() {
    Running& state = running();
    for (TLMService* service : std::as_const(state.services))
        service->stop();
    state.services.clear();
    state.group.reset();
}

void TLMTelemetry::reset() {
    stop();
    TLMCrashes::service().stop();
}

TLMChannelGroup* TLMTelemetry::channelGroup() {
    return running().group.get();
}

} // namespace qrv
